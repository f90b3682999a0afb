// The folder chooser and the about box, driven through the modal runner.
#include "foundation/F_CpRt.h"
#include "foundation/F_Fold.h"
#include "platform/IniFile.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>

namespace
{
const QString kIni = QStringLiteral("QOR_PLCR.INI");

// Runs the chooser for a key with the given script in place of the user.
bool choose(const QString& key, const std::function<void(F_Fold&)>& script)
{
    setModalRunner([&](VbForm& form) {
        form.show();
        form.Activate();
        script(static_cast<F_Fold&>(form));
    });
    const bool ok = F_Fold::Choose(key);
    setModalRunner({});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ok;
}

void click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}
} // namespace

class TestSmallWindows : public QObject
{
    Q_OBJECT
  private slots:
    void foldFirstUseStartsAtRoot_data();
    void foldFirstUseStartsAtRoot();
    void foldCancelKeepsEverything();
    void foldOkStoresChoice_data();
    void foldOkStoresChoice();
    void foldNewSubfolder_data();
    void foldNewSubfolder();
    void foldDrivesAreMountRoots();
    void aboutTitle_data();
    void aboutTitle();
    void aboutClicksClose_data();
    void aboutClicksClose();
};

void TestSmallWindows::foldFirstUseStartsAtRoot_data()
{
    QTest::addColumn<QString>("storedDrive");
    QTest::addColumn<QString>("storedFolder");
    QTest::newRow("new key") << QString() << QString();
    QTest::newRow("old drive-letter entry") << QStringLiteral("C:") << QStringLiteral("C:\\_CAB");
    QTest::newRow("folder gone") << QStringLiteral("/") << QStringLiteral("/non/esiste/piu");
}

void TestSmallWindows::foldFirstUseStartsAtRoot()
{
    QFETCH(QString, storedDrive);
    QFETCH(QString, storedFolder);
    TestEnv env;
    if (!storedFolder.isEmpty()) {
        IniFile::write(kIni, QStringLiteral("Fold_Drive"), QStringLiteral("NEWKEY"), storedDrive);
        IniFile::write(kIni, QStringLiteral("Fold_Folders"), QStringLiteral("NEWKEY"), storedFolder);
    }
    QString drive, dir;
    choose(QStringLiteral("NEWKEY"), [&](F_Fold& f) {
        drive = F_Fold::DrivePart(f.Drive1->currentText());
        dir = f.dirPath();
        f.Cmd_Quit_Click();
    });
    QCOMPARE(drive, QStringLiteral("/"));
    QCOMPARE(dir, QStringLiteral("/"));
}

void TestSmallWindows::foldCancelKeepsEverything()
{
    TestEnv env;
    IniFile::write(kIni, QStringLiteral("Fold_Folders"), QStringLiteral("XML"), env.work());
    auto folds = [] {
        QStringList all;
        for (const char* sec : {"Fold_Drive", "Fold_Folders", "Fold_File"})
            all << IniFile::readSection(kIni, QString::fromLatin1(sec));
        return all;
    };
    const QStringList before = folds();
    const QString other = env.work() + QStringLiteral("altra");
    QDir().mkpath(other);
    const bool ok = choose(QStringLiteral("XML"), [&](F_Fold& f) {
        QCOMPARE(QDir(f.dirPath()), QDir(env.work()));
        f.setDirPath(other);
        click(f.Cmd_Quit);
    });
    QVERIFY(!ok);
    QCOMPARE(folds(), before);
    QVERIFY(!F_Fold::isLoaded());
}

void TestSmallWindows::foldOkStoresChoice_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("pickFile");
    QTest::newRow("caller key, no file") << QStringLiteral("PCLR") << QStringLiteral("PCLR") << false;
    QTest::newRow("empty tag") << QString() << QStringLiteral("CL_FOLD") << false;
    QTest::newRow("file chosen") << QStringLiteral("DirBase") << QStringLiteral("DirBase") << true;
}

void TestSmallWindows::foldOkStoresChoice()
{
    QFETCH(QString, tag);
    QFETCH(QString, key);
    QFETCH(bool, pickFile);
    TestEnv env;
    const QString folder = env.work() + QStringLiteral("Fatture Emesse");
    env.writeFile(folder + QStringLiteral("/IT01_A.xml"), "<x/>");
    QString fdFile;
    const bool ok = choose(tag, [&](F_Fold& f) {
        QCOMPARE(f.callerKey(), key);
        f.setDirPath(folder);
        QCOMPARE(f.File1->count(), 1);
        if (pickFile) {
            f.Cmd_View_Click();
            QVERIFY(f.File1->isVisible());
            QCOMPARE(f.Cmd_View->text(), QStringLiteral("<--"));
            f.File1->setCurrentRow(0);
        }
        f.Cmd_OK_Click();
        fdFile = f.Fd_File();
    });
    QVERIFY(ok);
    const QString expectFile =
        folder + QStringLiteral("/") + (pickFile ? QStringLiteral("IT01_A.xml") : QString());
    QCOMPARE(fdFile, expectFile);
    QCOMPARE(IniFile::read(kIni, QStringLiteral("Fold_Folders"), key), folder);
    QCOMPARE(IniFile::read(kIni, QStringLiteral("Fold_File"), key), expectFile);
    QCOMPARE(IniFile::read(kIni, QStringLiteral("Fold_Drive"), key),
             F_Fold::DrivePart(QStorageInfo(folder).rootPath()));
    // The next showing starts where this one ended.
    choose(tag, [&](F_Fold& f) {
        QCOMPARE(f.dirPath(), folder);
        f.Cmd_Quit_Click();
    });
}

void TestSmallWindows::foldNewSubfolder_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("created");
    QTest::newRow("new") << QStringLiteral("Nuova") << QString() << true;
    QTest::newRow("exists") << QStringLiteral("Esiste") << QStringLiteral("Cartella o file già esistente !")
                            << false;
    QTest::newRow("file of that name")
        << QStringLiteral("file.txt") << QStringLiteral("Cartella o file già esistente !") << false;
    QTest::newRow("empty answer") << QString() << QString() << false;
}

void TestSmallWindows::foldNewSubfolder()
{
    QFETCH(QString, answer);
    QFETCH(QString, message);
    QFETCH(bool, created);
    TestEnv env;
    QDir().mkpath(env.work() + QStringLiteral("Esiste"));
    env.writeFile(QStringLiteral("file.txt"), "x");
    env.dialogs().answerInput(answer);
    if (!message.isEmpty()) env.dialogs().answer(vb::OK);
    choose(QStringLiteral("XML"), [&](F_Fold& f) {
        f.setDirPath(env.work());
        const int beeps = env.dialogs().beeps;
        f.Cmd_NewDir_Click();
        QCOMPARE(env.dialogs().calls.first().title, QDir::cleanPath(env.work()));
        QCOMPARE(env.dialogs().beeps > beeps, !created);
        if (created) {
            bool listed = false;
            for (int i = 0; i < f.Dir1->count(); ++i)
                listed |= f.Dir1->item(i)->data(Qt::UserRole).toString() == env.work() + answer;
            QVERIFY(listed);
        }
        f.Cmd_Quit_Click();
    });
    const QStringList msgs = env.dialogs().messages();
    QCOMPARE(msgs, message.isEmpty() ? QStringList() : QStringList{message});
    if (created) QVERIFY(QFileInfo(env.work() + answer).isDir());
}

void TestSmallWindows::foldDrivesAreMountRoots()
{
    const QStringList drives = F_Fold::DriveEntries();
    QVERIFY(!drives.isEmpty());
    QCOMPARE(F_Fold::DrivePart(drives.first()), QStringLiteral("/"));
    QCOMPARE(F_Fold::DrivePart(QStringLiteral("/media/u/CHIAVE [CHIAVE]")),
             QStringLiteral("/media/u/CHIAVE"));
}

void TestSmallWindows::aboutTitle_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("2019") << 2019 << QStringLiteral(" - 2019");
    QTest::newRow("2018") << 2018 << QStringLiteral(" - 2018");
    QTest::newRow("2026") << 2026 << QStringLiteral(" - 2019/2026");
}

void TestSmallWindows::aboutTitle()
{
    QFETCH(int, year);
    QFETCH(QString, suffix);
    TestEnv env;
    env.clock().set(QDateTime(QDate(year, 6, 1), QTime(10, 0)));
    F_CpRt& about = F_CpRt::instance();
    QVERIFY(about.windowTitle().endsWith(suffix));
    QVERIFY(!about.windowTitle().endsWith(QStringLiteral("/") + suffix));
    // The machine name is not a number: the value and its caption are hidden.
    QVERIFY(about.Lbl_IP->text().isEmpty());
    QVERIFY(about.Lbl_IndirIP->isHidden());
    about.Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestSmallWindows::aboutClicksClose_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("opened");
    QTest::newRow("form") << QString() << QString() << QString();
    QTest::newRow("picture") << QStringLiteral("Image1") << QString() << QString();
    QTest::newRow("plain label") << QStringLiteral("Label4") << QString() << QString();
    QTest::newRow("web") << QStringLiteral("Lbl_Web") << QString() << F_CpRt::MakerWebAddress();
    QTest::newRow("partner, no tip") << QStringLiteral("Lbl_Parner") << QString()
                                     << F_CpRt::PartnerDefaultAddress();
    QTest::newRow("partner, tip") << QStringLiteral("Lbl_Parner") << QStringLiteral("https://p.example/x")
                                  << QStringLiteral("https://p.example/x");
}

void TestSmallWindows::aboutClicksClose()
{
    QFETCH(QString, part);
    QFETCH(QString, tip);
    QFETCH(QString, opened);
    TestEnv env;
    F_CpRt& about = F_CpRt::instance();
    about.Lbl_Parner->setText(QStringLiteral("Partner"));
    about.Lbl_Parner->setToolTip(tip);
    about.show();
    QWidget* target = part.isEmpty() ? static_cast<QWidget*>(&about) : about.findChild<QWidget*>(part);
    QVERIFY(target);
    if (part.isEmpty())
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(2, 2));
    else
        click(target);
    QVERIFY(!F_CpRt::isLoaded());
    const auto& starts = env.launcher().starts;
    if (opened.isEmpty()) {
        QVERIFY(starts.isEmpty());
    } else {
        QCOMPARE(starts.size(), 1);
        QCOMPARE(starts.first().kind, QStringLiteral("url"));
        QCOMPARE(starts.first().program, opened);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(TestSmallWindows)
#include "tst_small_windows.moc"
