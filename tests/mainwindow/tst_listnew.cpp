// The invoice list of the main window: which files get a row, the row of each layout,
// the FILES rows it keeps, duplicate questions, numbering gaps and the start date.
#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "archive/M_XML.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "qor/Cl_QOR.h"
#include "startup/M_MV_Main.h"
#include "support/ListFixture.h"
#include "support/RecordingLauncher.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <optional>

using namespace listfx;

namespace
{

// A clock that, at each pause, notes what the status panel last painted, how many FILES
// rows another connection can see by then and whether that connection can write.
class WatchingClock final : public Clock
{
  public:
    QDateTime now() const override { return now_; }
    qint64 monotonicMs() const override { return mono_; }
    void sleepMs(qint64 ms) override
    {
        Pause p;
        p.ms = ms;
        p.painted = painted;
        p.connections = ado::OpenConnectionCount(Pth_DirTmpMDB);
        ado::Connection other;
        other.Open(MDB_OpenConn(Pth_DirTmpMDB));
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM FILES"), other, ado::adOpenStatic, ado::adLockReadOnly);
        p.visibleRows = rs.RecordCount();
        rs.Close();
        try {
            other.Execute(QStringLiteral("UPDATE DIRBASE SET des_cartella=des_cartella"));
            p.othersWrite = true;
        } catch (const ado::Error&) {
            p.othersWrite = false;
        }
        other.Close();
        pauses << p;
        mono_ += ms;
        now_ = now_.addMSecs(ms);
    }
    struct Pause {
        qint64 ms = 0;
        QString painted;
        int connections = 0;
        qint64 visibleRows = 0;
        bool othersWrite = false;
    };
    QList<Pause> pauses;
    QString painted;

  private:
    QDateTime now_ = day(2026, 12, 10, 9);
    qint64 mono_ = 1000;
};

class PaintSpy final : public QObject
{
  public:
    PaintSpy(QLabel* l, WatchingClock* c) : label_(l), clock_(c) { l->installEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == label_ && e->type() == QEvent::Paint) clock_->painted = label_->text();
        return false;
    }

  private:
    QLabel* label_;
    WatchingClock* clock_;
};

} // namespace

class TestListNew : public QObject
{
    Q_OBJECT
  private slots:
    void inclusion_data();
    void inclusion();
    void folderNotInBaseAnsweredNo();
    void missingFolder();
    void xmlNamesAnyCase();
    void namesOfThisSystem();
    void nameNotUtf8LoggedAndCounted();
    void rowOfEachLayout_data();
    void rowOfEachLayout();
    void layoutStaysWithRows();
    void newFilesStoredBeforeEachPause();
    void lockedArchiveEndsInMessage_data();
    void lockedArchiveEndsInMessage();
    void unreadableFileListedNotRecorded();
    void duplicates_data();
    void duplicates();
    void duplicateDeletesTheRowsFile();
    void neverADuplicate_data();
    void neverADuplicate();
    void gaps_data();
    void gaps();
    void startDate_data();
    void startDate();
    void oneKeyPerFolder_data();
    void oneKeyPerFolder();
};

// archive: 0 none, 1 the folder is a base folder, 2 it is not (answer Yes).
// recorded: -1 not in FILES, 0 in FILES never sent, 1 in FILES with the send date.
void TestListNew::inclusion_data()
{
    QTest::addColumn<int>("archive");
    QTest::addColumn<QString>("lastZip");
    QTest::addColumn<bool>("excludeSent");
    QTest::addColumn<QDateTime>("modified");
    QTest::addColumn<int>("recorded");
    QTest::addColumn<QDateTime>("sent");
    QTest::addColumn<bool>("listed");

    const QDateTime before = day(2024, 1, 10), on = day(2024, 1, 15, 0), after = day(2024, 1, 20);
    const QDateTime sent = day(2024, 1, 25, 0), y2k = day(2000, 1, 1, 0);
    const QString limit = QStringLiteral("15/01/2024"), none = QStringLiteral("__/__/____");
    QTest::newRow("no zip yet: old sent file listed") << 1 << none << false << before << 1 << sent << true;
    QTest::newRow("no archive, before limit") << 0 << limit << false << before << -1 << QDateTime() << true;
    QTest::newRow("no archive, on limit day") << 0 << limit << false << on << -1 << QDateTime() << false;
    QTest::newRow("no archive, Escludi has nothing to go by")
        << 0 << none << true << after << -1 << QDateTime() << true;
    QTest::newRow("new file on limit day") << 1 << limit << false << on << -1 << QDateTime() << true;
    QTest::newRow("on limit day, sent") << 1 << limit << false << on << 1 << sent << false;
    QTest::newRow("before limit, sent") << 1 << limit << false << before << 1 << sent << false;
    QTest::newRow("before limit, never sent") << 1 << limit << false << before << 0 << QDateTime() << true;
    QTest::newRow("before limit, sent 01/01/2000 00:00") << 1 << limit << false << before << 1 << y2k << true;
    QTest::newRow("after limit, sent") << 1 << limit << false << after << 1 << sent << true;
    QTest::newRow("after limit, sent, Escludi") << 1 << limit << true << after << 1 << sent << false;
    QTest::newRow("after limit, never sent, Escludi")
        << 1 << limit << true << after << 0 << QDateTime() << true;
    QTest::newRow("not a base folder: old sent file listed")
        << 2 << limit << false << before << 1 << sent << true;
    QTest::newRow("not a base folder: send date still counts")
        << 2 << limit << true << after << 1 << sent << false;
}

void TestListNew::inclusion()
{
    QFETCH(int, archive);
    QFETCH(QString, lastZip);
    QFETCH(bool, excludeSent);
    QFETCH(QDateTime, modified);
    QFETCH(int, recorded);
    QFETCH(QDateTime, sent);
    QFETCH(bool, listed);
    Fixture fx;
    IniFile::write(kIni, kSec, QStringLiteral("LastZIP_") + fx.key(), lastZip);
    const QString path =
        fx.write(QStringLiteral("IT01234567890_00001.xml"), Doc{QStringLiteral("1")}, modified);
    // A second file, new and recent, is always listed.
    fx.write(QStringLiteral("IT01234567890_00002.xml"), Doc{QStringLiteral("2")}, day(2024, 2, 1));
    if (archive > 0) fx.archive(archive == 1);
    if (recorded >= 0) fx.record(path, recorded == 1 ? QVariant(sent) : QVariant());
    if (archive == 2) fx.env.dialogs().answer(vb::Yes);

    F_ZipXML& w = fx.open();
    w.Chk_Sended.setValue(excludeSent ? 1 : 0);
    QCOMPARE(w.Lbl_LastDo->text(), lastZip);
    w.Cmd_ListNew_Click();

    QStringList expected{QStringLiteral("IT01234567890_00002.xml")};
    if (listed) expected.prepend(QStringLiteral("IT01234567890_00001.xml"));
    QCOMPARE(Fixture::listedNames(), expected);
    QCOMPARE(w.Lst_XML->toolTip(), QString::number(expected.size()) + QStringLiteral(" Files."));
    QVERIFY(w.Lst_XML->isVisible());
    QVERIFY(w.Cmd_ListNew->isEnabled());
    QVERIFY(w.Cmb_FoldXML->isEnabled());
    QVERIFY(!w.B_Building);
    QCOMPARE(w.Lst_XMLRows->ListIndex(), 0);

    // FILES: a base folder records what it lacks, anything else records nothing.
    const int before = recorded >= 0 ? 1 : 0;
    const int newRows = archive == 1 ? 2 - before : 0;
    QString done = QStringLiteral("Completata lettura Cartella");
    if (newRows > 0)
        done += QStringLiteral(" - Aggiunti ") + QString::number(newRows) + QStringLiteral(" Files all'MDB.");
    QCOMPARE(w.status(), done);
    if (archive > 0) QCOMPARE(fx.filesRows(), qint64(before + newRows));
    QCOMPARE(fx.env.clock().sleeps, QList<qint64>(newRows, 700));
    const int asked = archive == 2 ? 1 : 0;
    QCOMPARE(fx.env.dialogs().calls.size(), asked);
    if (asked) {
        QCOMPARE(fx.env.dialogs().calls[0].text,
                 QStringLiteral("Cartella non trovata tra quelle Base.\r\nProseguo ugualmente ?"));
        QCOMPARE(fx.env.dialogs().calls[0].style, vb::YesNo | vb::Question);
    }
    QVERIFY(fx.env.dialogs().beeps >= 1);
}

void TestListNew::folderNotInBaseAnsweredNo()
{
    Fixture fx;
    fx.write(QStringLiteral("a.xml"), Doc{QStringLiteral("1")});
    fx.archive(false);
    fx.env.dialogs().answer(vb::No);
    F_ZipXML& w = fx.open();
    w.B_FullList = true;
    w.Cmd_ListNew_Click();
    QCOMPARE(w.Lst_XMLRows->ListCount(), 0);
    QCOMPARE(fx.filesRows(), qint64(0));
    QVERIFY(w.Lst_XML->isVisible());
    QVERIFY(w.Cmd_ListNew->isEnabled());
    QVERIFY(w.Cmb_FoldXML->isEnabled());
    QVERIFY(!w.B_Building); // list clicks are taken again
    QVERIFY(!w.B_FullList);
    QCOMPARE(ado::OpenConnectionCount(Pth_DirTmpMDB), 1); // only the test's own
}

void TestListNew::missingFolder()
{
    Fixture fx;
    QDir(fx.folder).removeRecursively();
    F_ZipXML& w = fx.open();
    w.Cmd_ListNew_Click();
    QCOMPARE(w.Lst_XMLRows->ListCount(), 0);
    QCOMPARE(w.Lst_XML->toolTip(), QStringLiteral("0 Files."));
    QCOMPARE(w.status(), QStringLiteral("Completata lettura Cartella"));
    QCOMPARE(w.N_LongestRow, -1);
}

void TestListNew::xmlNamesAnyCase()
{
    Fixture fx;
    const QDir fixtures(QStringLiteral(PLICORA_FIXTURES "/fatturapa"));
    QStringList invoices;
    for (const QString& name : fixtures.entryList(QDir::Files)) {
        QVERIFY(QFile::copy(fixtures.filePath(name), fx.folder + name));
        if (name.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive)) invoices << name;
    }
    for (const QString& name : {QStringLiteral("a.xml"), QStringLiteral("B.XML"), QStringLiteral("c.Xml")}) {
        fx.write(name, Doc{QStringLiteral("1")});
        invoices << name;
    }
    fx.write(QStringLiteral("d.txt"), Doc{QStringLiteral("1")});
    QDir().mkpath(fx.folder + QStringLiteral("sub.xml"));
    invoices.sort();
    QVERIFY(invoices.contains(QStringLiteral("IT05979361218_006.XML")));
    fx.archive(true);

    F_ZipXML& w = fx.open();
    w.Cmd_ListNew_Click();
    QCOMPARE(Fixture::listedNames(), invoices);
    QCOMPARE(fx.filesRows(), qint64(invoices.size()));
    // A real invoice reads through to its row.
    bool found = false;
    for (const QString& r : Fixture::rows())
        if (r.contains(QStringLiteral("IT01234567890_FPR01.xml")))
            found =
                r.contains(QStringLiteral("SOCIETA' ALPHA SRL")) && r.contains(QStringLiteral("DITTA BETA"));
    QVERIFY(found);
    // The longest row is the one the font buttons fit the list to.
    QVERIFY(w.N_LongestRow >= 0);
    int longest = 0;
    for (const QString& r : Fixture::rows())
        longest = qMax(longest, int(r.size()));
    QCOMPARE(Fixture::rows().at(w.N_LongestRow).size(), longest);
}

// "\\" and letter case belong to Linux file names: each file is its own row and FILES row,
// in its own folder, with its own send date.
void TestListNew::namesOfThisSystem()
{
    Fixture fx;
    fx.write(QStringLiteral("back\\slash.xml"), Doc{QStringLiteral("1")});
    fx.write(QStringLiteral("slash.xml"), Doc{QStringLiteral("2")});
    fx.write(QStringLiteral("A.xml"), Doc{QStringLiteral("3")});
    fx.write(QStringLiteral("a.xml"), Doc{QStringLiteral("4")});
    fx.archive(true);
    F_ZipXML& w = fx.open(0);
    w.Cmd_ListNew_Click();
    const QStringList names{QStringLiteral("A.xml"), QStringLiteral("a.xml"),
                            QStringLiteral("back\\slash.xml"), QStringLiteral("slash.xml")};
    QCOMPARE(Fixture::listedNames(), names);
    QCOMPARE(fx.filesRows(), qint64(4));
    for (const QString& n : names)
        QCOMPARE(fx.filesRows(n), qint64(1));
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT DISTINCT cod_firma FROM FILES"), fx.cn, ado::adOpenStatic,
            ado::adLockReadOnly);
    QCOMPARE(rs.RecordCount(), 1);
    QCOMPARE(rs[QStringLiteral("cod_firma")].Value().toLongLong(), qint64(MDB_FolderKey(fx.folder)));
    rs.Close();
    // Only the file sent shows a send date.
    fx.cn.Execute(QStringLiteral("UPDATE FILES SET dat_send=? WHERE des_fileonly=? COLLATE BINARY"),
                  {day(2024, 1, 25, 0), QStringLiteral("back\\slash.xml")});
    w.Cmd_ListNew_Click();
    for (int i = 0; i < w.Lst_XMLRows->ListCount(); ++i)
        QCOMPARE(w.Lst_XMLRows->Field(i, 10) == QStringLiteral("25/01/2024"),
                 w.Lst_XMLRows->FileName(i) == QStringLiteral("back\\slash.xml"));
}

void TestListNew::nameNotUtf8LoggedAndCounted()
{
    Fixture fx;
    fx.write(QStringLiteral("a.xml"), Doc{QStringLiteral("1")});
    // A name written by a Windows-1252 system: "è" as one byte, no UTF-8.
    QVERIFY(TestEnv::writeRawName(fx.folder, "fattura_\xE8.xml", invoiceXml(Doc{QStringLiteral("2")})));
    fx.archive(true);
    F_ZipXML& w = fx.open();
    w.Cmd_ListNew_Click();
    QCOMPARE(Fixture::listedNames(), QStringList{QStringLiteral("a.xml")});
    QCOMPARE(w.status(), QStringLiteral("Completata lettura Cartella - Aggiunti 1 Files all'MDB. - Saltati 1 "
                                        "Files con nome non valido."));
    QVERIFY(Fixture::log().contains(QStringLiteral("   *** Nome file non valido (non UTF-8), saltato : ") +
                                    fx.folder + QStringLiteral("fattura_")));
}

// sentField: the field that carries the send date (0: none).
void TestListNew::rowOfEachLayout_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("withArchive");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<int>("sentField");
    QTest::addColumn<QString>("tail"); // what follows the ToPipe line, "" for nothing
    QTest::addColumn<bool>("zipTools");

    QTest::newRow("0 sent") << 0 << true << true << 10 << QString() << true;
    QTest::newRow("0 not sent") << 0 << true << false << 0 << QString() << true;
    QTest::newRow("1") << 1 << true << true << 0 << QString() << false;
    QTest::newRow("2 sent") << 2 << true << true << 9 << QStringLiteral("|25/01/2024 08:30:00|") << false;
    QTest::newRow("2 not sent") << 2 << true << false << 0 << QStringLiteral("|   |") << false;
    QTest::newRow("2 no archive") << 2 << false << false << 0 << QString() << false;
    QTest::newRow("3") << 3 << true << true << 0 << QString() << false;
    QTest::newRow("4") << 4 << true << true << 0 << QString() << false;
    QTest::newRow("5 sent") << 5 << true << true << 1 << QString() << false;
    QTest::newRow("5 not sent") << 5 << true << false << 0 << QString() << false;
}

void TestListNew::rowOfEachLayout()
{
    QFETCH(int, layout);
    QFETCH(bool, withArchive);
    QFETCH(bool, sent);
    QFETCH(int, sentField);
    QFETCH(QString, tail);
    QFETCH(bool, zipTools);
    Fixture fx;
    Doc d{QStringLiteral("123")};
    d.type = QStringLiteral("TD04");
    d.attach = QStringLiteral("Fattura.pdf");
    const QString path = fx.write(QStringLiteral("IT01234567890_00123.xml"), d, day(2024, 1, 10, 11));
    const QString sentText = QStringLiteral("25/01/2024 08:30:00");
    if (withArchive) {
        fx.archive(true);
        fx.record(path, sent ? QVariant(QDateTime(QDate(2024, 1, 25), QTime(8, 30))) : QVariant());
    }
    F_ZipXML& w = fx.open(layout);
    w.Cmd_ListNew_Click();

    XML_Stru rec;
    XML_ReadHeader(path, rec);
    const QString line = rec.ToPipe(XmlList::PipeCode(layout), QStringLiteral("|"));
    QCOMPARE(Fixture::rows().size(), 1);
    const QString row = Fixture::rows().at(0);
    if (sentField > 0 && tail.isEmpty()) {
        QCOMPARE(Qor().GetField(row, sentField, QStringLiteral("|")), sentText);
        QCOMPARE(Qor().SetField(row, sentField, Qor().GetField(line, sentField, QStringLiteral("|")),
                                QStringLiteral("|")),
                 line);
    } else {
        QCOMPARE(row, line + tail);
        if (sentField > 0) QCOMPARE(w.Lst_XMLRows->Field(0, sentField), sentText);
    }
    QVERIFY(row.contains(QStringLiteral("TD04-")));
    QVERIFY(row.contains(QStringLiteral("Fattura.pdf")));

    QCOMPARE(w.Lbl_Hed->text(), F_ZipXML::HeaderTexts().at(layout));
    QCOMPARE(w.Cmd_SelAll->isEnabled(), zipTools);
    QCOMPARE(w.Cmd_SelInv->isEnabled(), zipTools);
    QCOMPARE(w.Cmd_ZipSel->isEnabled(), zipTools);
    QCOMPARE(w.Chk_ReSend.widget()->isVisible(), layout == 0);
    QCOMPARE(w.Cmd_DoDateSend->isVisible(), layout == 5);
    QCOMPARE(w.Lst_XMLRows->Layout(), layout);
}

void TestListNew::layoutStaysWithRows()
{
    Fixture fx;
    fx.write(QStringLiteral("a.xml"), Doc{QStringLiteral("7")});
    F_ZipXML& w = fx.open(1);
    w.Cmd_ListNew_Click();
    w.Cmb_Ord->setCurrentIndex(4);
    // The rows were built for the document-number layout and are read as such.
    QCOMPARE(w.Lst_XMLRows->Layout(), 1);
    QCOMPARE(w.Lst_XMLRows->Field(0, 1), QStringLiteral("7"));
    QCOMPARE(w.Lst_XMLRows->Field(0, 4), QStringLiteral("a.xml"));
    w.Cmd_ListNew_Click();
    QCOMPARE(w.Lst_XMLRows->Layout(), 4);
    w.setFoldListIndex(0); // a folder choice empties the list
    QCOMPARE(w.Lst_XMLRows->ListCount(), 0);
    QCOMPARE(w.Lst_XMLRows->Layout(), -1);
}

// Each new row is stored before its pause: another copy of the program sees it and can
// write to the archive while this run waits, and a run that is killed keeps it.
void TestListNew::newFilesStoredBeforeEachPause()
{
    Fixture fx;
    for (int i = 1; i <= 3; ++i)
        fx.write(QStringLiteral("n%1.xml").arg(i), Doc{QString::number(i)});
    fx.archive(true);
    fx.cn.Close();
    auto* clock = new WatchingClock;
    setClock(std::unique_ptr<Clock>(clock));
    F_ZipXML& w = fx.open();
    PaintSpy spy(w.Pan_Msg, clock);
    w.Cmd_ListNew_Click();

    QCOMPARE(clock->pauses.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const auto& p = clock->pauses[i];
        QCOMPARE(p.ms, qint64(700));
        // The message was on the screen for the whole pause.
        QCOMPARE(p.painted, QStringLiteral("--> Aggiornato MDB per Doc  %1  (TD01)").arg(i + 1));
        QCOMPARE(p.connections, 1);
        QCOMPARE(p.visibleRows, qint64(i + 1));
        QVERIFY(p.othersWrite);
    }
    fx.cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
    QCOMPARE(fx.filesRows(), qint64(3));
    QCOMPARE(w.status(), QStringLiteral("Completata lettura Cartella - Aggiunti 3 Files all'MDB."));
    QVERIFY(Fixture::log().contains(QStringLiteral("§=====  INIZIO ListNew  =====")));
    QVERIFY(Fixture::log().contains(QStringLiteral("         Yet_MDB : ") + fx.folder +
                                    QStringLiteral("n2.xml")));
    fx.cn.Close();
    // A second run finds every file recorded: no pause, no new row.
    clock->pauses.clear();
    w.Cmd_ListNew_Click();
    QCOMPARE(clock->pauses.size(), 0);
    QCOMPARE(w.status(), QStringLiteral("Completata lettura Cartella"));
    QCOMPARE(ado::OpenConnectionCount(Pth_DirTmpMDB), 0);
}

void TestListNew::lockedArchiveEndsInMessage_data()
{
    QTest::addColumn<bool>("zipRun");
    QTest::newRow("list") << false;
    QTest::newRow("ZIP run relisting") << true;
}

// Another copy of the program holds the archive's write lock while a new file waits to be
// recorded: the list ends in a message and gives the window back, and a ZIP run whose
// stamp and relisting meet the lock still reaches its end.
void TestListNew::lockedArchiveEndsInMessage()
{
    QFETCH(bool, zipRun);
    Fixture fx;
    fx.write(QStringLiteral("n1.xml"), Doc{QStringLiteral("1")});
    fx.archive(true);
    fx.cn.Close();
    std::optional<ado::WriteLock> otherCopy;
    const auto lockWithNewFile = [&] {
        fx.write(QStringLiteral("n2.xml"), Doc{QStringLiteral("2")});
        otherCopy.emplace(Pth_DirTmpMDB);
    };
    F_ZipXML& w = fx.open();
    ScriptedDialogs& d = fx.env.dialogs();
    if (zipRun) {
        w.Cmd_ListNew_Click();
        w.Lst_XMLRows->selectAll(true);
        const QString zipDir = fx.env.work() + QStringLiteral("zip/");
        QDir().mkpath(zipDir);
        w.Txt_DirZIP.setText(zipDir);
        w.Chk_DoMail.setValue(0);
        fx.env.launcher().onRun = [&](const QString& program, const QStringList& args, const QString& dir) {
            const Launcher::Result r = RecordingLauncher::runForReal(program, args, dir);
            if (!otherCopy) lockWithNewFile();
            return r;
        };
        d.answer(vb::Yes).answer(vb::Yes); // confirm, then "Definitiva ?"
        w.Cmd_ZipSel_Click();
        QCOMPARE(w.status(), QStringLiteral("Termine generazione File ZIP. - Mail NON Inviata."));
    } else {
        lockWithNewFile();
        w.Cmd_ListNew_Click();
    }
    QVERIFY(otherCopy);
    const QString locked = QStringLiteral("Archivio in uso da un'altra operazione.");
    int told = 0;
    for (const QString& m : d.messages())
        told += m.startsWith(locked) ? 1 : 0;
    QCOMPARE(told, zipRun ? 2 : 1); // the ZIP run: its stamp, then the relisting
    QVERIFY(w.Cmd_ListNew->isEnabled());
    QVERIFY(w.Cmb_FoldXML->isEnabled());
    QVERIFY(w.Lst_XML->isVisible());
    otherCopy.reset();
    fx.cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
    QCOMPARE(fx.filesRows(QStringLiteral("n2.xml")), qint64(0));
    QCOMPARE(ado::OpenConnectionCount(Pth_DirTmpMDB), 1);
}

void TestListNew::unreadableFileListedNotRecorded()
{
    Fixture fx;
    fx.write(QStringLiteral("a.xml"), Doc{QStringLiteral("1")});
    const QString locked = TestEnv::unreadableFile(fx.folder + QStringLiteral("locked.xml"),
                                                   invoiceXml(Doc{QStringLiteral("9")}));
    if (locked.isEmpty()) QSKIP("no unreadable file can be made here");
    fx.archive(true);
    F_ZipXML& w = fx.open();
    w.Cmd_ListNew_Click();
    QCOMPARE(Fixture::listedNames(), (QStringList{QStringLiteral("a.xml"), QStringLiteral("locked.xml")}));
    QCOMPARE(fx.filesRows(), qint64(1));
    QCOMPARE(fx.filesRows(QStringLiteral("locked.xml")), qint64(0));
    QCOMPARE(w.status(), QStringLiteral("Completata lettura Cartella - Aggiunti 1 Files all'MDB."));
    // Its row still knows its file.
    const XmlList& l = *w.Lst_XMLRows;
    QCOMPARE(l.FileName(1), QStringLiteral("locked.xml"));
    QCOMPARE(l.FilePath(1), locked);
}

void TestListNew::duplicates_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("withArchive");
    QTest::addColumn<bool>("kept");       // the second file is still on disk
    QTest::addColumn<int>("rowsAfter");   // list rows after the run
    QTest::addColumn<bool>("gapChecked"); // the gap before number 3 is shown

    QTest::newRow("Yes") << int(vb::Yes) << true << false << 0 << false;
    QTest::newRow("Yes, no archive") << int(vb::Yes) << false << false << 0 << false;
    QTest::newRow("No") << int(vb::No) << true << true << 4 << true;
    QTest::newRow("Cancel") << int(vb::Cancel) << true << true << 3 << false;
}

void TestListNew::duplicates()
{
    QFETCH(int, answer);
    QFETCH(bool, withArchive);
    QFETCH(bool, kept);
    QFETCH(int, rowsAfter);
    QFETCH(bool, gapChecked);
    Fixture fx;
    // The same invoice twice, the second under a name that holds a quote; number 3 after
    // a missing 2. Number 1 twice more but to another recipient: not the same document.
    const QString first = fx.write(QStringLiteral("A_1.xml"), Doc{QStringLiteral("1")});
    const QString second = fx.write(QStringLiteral("B'1.xml"), Doc{QStringLiteral("1")});
    fx.write(QStringLiteral("C_3.xml"), Doc{QStringLiteral("3")});
    if (withArchive) fx.archive(true);
    fx.env.dialogs().answer(answer);
    F_ZipXML& w = fx.open(1);
    w.Cmd_ListNew_Click();

    const auto& calls = fx.env.dialogs().calls;
    QVERIFY(calls.size() >= 1);
    QCOMPARE(calls[0].text, QStringLiteral("Elimino il file ?\r\nB'1.xml"));
    QCOMPARE(calls[0].style, vb::YesNoCancel | vb::Question);
    QCOMPARE(calls[0].title, F_ZipXML::Caption());
    QVERIFY(QFile::exists(first));
    QCOMPARE(QFile::exists(second), kept);
    QCOMPARE(w.Lst_XMLRows->ListCount(), rowsAfter);
    QCOMPARE(!Fixture::gapRows().isEmpty(), gapChecked);
    if (answer == vb::Yes) {
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[1].text,
                 QStringLiteral("AGGIORNARE ELENCO DEI NUOVI FILES !!\r\n1 file(s) eliminati."));
        QCOMPARE(calls[1].style, vb::OKOnly | vb::Information);
        QVERIFY(w.Lst_XML->isVisible());
        QVERIFY(w.Cmd_ListNew->isEnabled());
    } else {
        QCOMPARE(calls.size(), 1);
        QCOMPARE(w.status(), QStringLiteral("Completata lettura Cartella - Aggiunti 3 Files all'MDB."));
    }
    if (withArchive) {
        QCOMPARE(fx.filesRows(QStringLiteral("A_1.xml")), qint64(1));
        QCOMPARE(fx.filesRows(QStringLiteral("B'1.xml")), qint64(kept ? 1 : 0));
    }
}

// The deleted file is the row's own, not one rebuilt from the folder text and the name as
// the row shows it ("|" is shown as "¦"), also for a folder kept without its closing "/".
void TestListNew::duplicateDeletesTheRowsFile()
{
    Fixture fx;
    IniFile::write(kIni, kSec, QStringLiteral("Pth_0"), fx.folder.chopped(1));
    const QString first = fx.write(QStringLiteral("A_1.xml"), Doc{QStringLiteral("1")});
    const QString second = fx.write(QStringLiteral("B|1.xml"), Doc{QStringLiteral("1")});
    const QString lookalike = fx.env.writeFile(fx.folder + QStringLiteral("B¦1.xml"), "not an invoice");
    fx.archive(true);
    fx.env.dialogs().answer(vb::Yes);
    F_ZipXML& w = fx.open(1);
    w.Cmd_ListNew_Click();
    const auto& calls = fx.env.dialogs().calls;
    QVERIFY(calls.size() >= 1);
    QCOMPARE(calls[0].text, QStringLiteral("Elimino il file ?\r\nB|1.xml"));
    QVERIFY(QFile::exists(first));
    QVERIFY(!QFile::exists(second));
    QVERIFY(QFile::exists(lookalike));
    QCOMPARE(fx.filesRows(QStringLiteral("B|1.xml")), qint64(0));
    QCOMPARE(fx.filesRows(QStringLiteral("A_1.xml")), qint64(1));
}

// kind: 0 two receipts, 1 two empty files, 2 one number in two years, 3 two unreadable files.
void TestListNew::neverADuplicate_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("receipts") << 0;
    QTest::newRow("0-byte files") << 1;
    QTest::newRow("same number, two years") << 2;
    QTest::newRow("unreadable files") << 3;
}

// Deleting a user's file needs a real duplicate: rows without number or type are no
// documents, and a number used again in another year is another document.
void TestListNew::neverADuplicate()
{
    QFETCH(int, kind);
    Fixture fx;
    QStringList paths;
    const QByteArray receipt = "<?xml version=\"1.0\"?><types:RicevutaConsegna><NomeFile>x.xml</NomeFile>"
                               "</types:RicevutaConsegna>";
    for (int i = 0; i < 2; ++i) {
        const QString name = QStringLiteral("f%1.xml").arg(i);
        if (kind == 0) {
            paths << fx.env.writeFile(fx.folder + name, receipt);
        } else if (kind == 1) {
            paths << fx.env.writeFile(fx.folder + name, QByteArray());
        } else if (kind == 2) {
            Doc d{QStringLiteral("1")};
            d.date = i == 0 ? QStringLiteral("2023-01-10") : QStringLiteral("2024-01-10");
            paths << fx.write(name, d);
        } else {
            paths << TestEnv::unreadableFile(fx.folder + name, QByteArray());
            if (paths.last().isEmpty()) QSKIP("no unreadable file can be made here");
        }
        if (kind != 3) Fixture::setModified(paths.last(), day(2024, 1, 10));
    }
    fx.archive(true);
    F_ZipXML& w = fx.open(1);
    w.Cmd_ListNew_Click();
    QVERIFY(fx.env.dialogs().calls.isEmpty());
    QCOMPARE(w.Lst_XMLRows->ListCount(), 2);
    for (const QString& p : paths)
        QVERIFY(QFileInfo(p).isSymLink() || QFile::exists(p));
}

void TestListNew::gaps_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<int>("attPas");
    QTest::addColumn<QStringList>("gaps"); // "before|gap text" for each gap row, in list order

    const QString tail = QStringLiteral("                              ");
    QTest::newRow("1 2 5") << QStringList{"1", "2", "5"} << 0
                           << QStringList{"5|" + tail + "->3<-   ->4<-   MANCANTE(I) !!"};
    QTest::newRow("1 40") << QStringList{"1", "40"} << 0 << QStringList{"40|"};
    QTest::newRow("7 7") << QStringList{"7", "7"} << 0 << QStringList{};
    QTest::newRow("7 7 8") << QStringList{"7", "7", "8"} << 0 << QStringList{};
    QTest::newRow("1 2 3") << QStringList{"1", "2", "3"} << 0 << QStringList{};
    QTest::newRow("1 10: nine apart, listed")
        << QStringList{"1", "10"} << 0
        << QStringList{"10|" + tail +
                       "->2<-   ->3<-   ->4<-   ->5<-   ->6<-   ->7<-   ->8<-   ->9<-   MANCANTE(I) !!"};
    QTest::newRow("1 11: ten apart, not listed") << QStringList{"1", "11"} << 0 << QStringList{"11|"};
    QTest::newRow("1 3 3 6") << QStringList{"1", "3", "3", "6"} << 0
                             << QStringList{"3|" + tail + "->2<-   MANCANTE(I) !!",
                                            "6|" + tail + "->4<-   ->5<-   MANCANTE(I) !!"};
    QTest::newRow("same number, two years") << QStringList{"1/2023", "1/2024"} << 0 << QStringList{};
    QTest::newRow("received 1 2 5") << QStringList{"1", "2", "5"} << 1 << QStringList{};
}

void TestListNew::gaps()
{
    QFETCH(QStringList, numbers);
    QFETCH(int, attPas);
    QFETCH(QStringList, gaps);
    Fixture fx;
    for (int i = 0; i < numbers.size(); ++i) {
        Doc d{numbers[i]};
        d.destin = QStringLiteral("CLIENTE %1").arg(i); // never the same document twice
        fx.write(QStringLiteral("f%1.xml").arg(i), d);
    }
    F_ZipXML& w = fx.open(1);
    w.Opt_AttPas[attPas]->setChecked(true);
    w.Cmd_ListNew_Click();

    const QStringList rows = Fixture::rows();
    QCOMPARE(rows.size(), numbers.size() + gaps.size());
    QCOMPARE(w.Lst_XML->toolTip(), QString::number(rows.size()) + QStringLiteral(" Files."));
    QStringList found;
    for (int i = 0; i < rows.size(); ++i) {
        if (!rows[i].contains(QStringLiteral("|    ------------------------"))) continue;
        const QString before = Qor().GetField(rows[i], 1, QStringLiteral("|"), true);
        QCOMPARE(rows[i], PadNum(before, 20, QStringLiteral(" ")) +
                              QStringLiteral(" |    ------------------------") +
                              Qor().GetField(rows[i], 2, QStringLiteral("|")).mid(28));
        found << before + QStringLiteral("|") + Qor().GetField(rows[i], 2, QStringLiteral("|")).mid(28);
        // It stands just before the row whose number ends the gap.
        QVERIFY(i + 1 < rows.size());
        QCOMPARE(w.Lst_XMLRows->Field(i + 1, 1), before);
    }
    QCOMPARE(found, gaps);
    QCOMPARE(w.Lst_XMLRows->ListIndex(), 0);
    // Gap rows stand for no file; every other row names its own.
    for (int i = 0; i < rows.size(); ++i) {
        const bool gap = rows[i].contains(QStringLiteral("|    ------------------------"));
        QCOMPARE(w.Lst_XMLRows->FilePath(i).isEmpty(), gap);
        if (!gap) QCOMPARE(w.Lst_XMLRows->FilePath(i), fx.folder + w.Lst_XMLRows->FileName(i));
    }
}

void TestListNew::startDate_data()
{
    QTest::addColumn<QString>("stored"); // "" for no LastDate key
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("storedAfter");
    QTest::addColumn<QString>("limit");

    QTest::newRow("a date") << QString() << "31/12/2023"
                            << "31/12/2023"
                            << "20231230";
    QTest::newRow("a date over an older one") << "05/05/2022"
                                              << "01/03/2024"
                                              << "01/03/2024"
                                              << "20240229";
    QTest::newRow("no date") << "05/05/2022"
                             << "domani"
                             << "05/05/2022"
                             << "20181231";
    QTest::newRow("cancelled") << QString() << QString() << QString() << "20181231";
}

void TestListNew::startDate()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(QString, storedAfter);
    QFETCH(QString, limit);
    Fixture fx;
    if (!stored.isEmpty()) IniFile::write(kIni, kSec, QStringLiteral("LastDate"), stored);
    // The last ZIP date does not count for a listing from a chosen date.
    IniFile::write(kIni, kSec, QStringLiteral("LastZIP_") + fx.key(), QStringLiteral("15/06/2024"));
    const QString oldSent = fx.write(QStringLiteral("old.xml"), Doc{QStringLiteral("1")}, day(2024, 1, 10));
    fx.archive(true);
    fx.record(oldSent, day(2024, 1, 11));
    fx.env.dialogs().answerInput(typed);
    F_ZipXML& w = fx.open();
    w.Cmd_ListNew_MouseUp(1, 0, 0, 0); // left button: nothing
    QCOMPARE(fx.env.dialogs().calls.size(), 0);
    w.Cmd_ListNew_MouseUp(2, 0, 0, 0);

    const auto& calls = fx.env.dialogs().calls;
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].kind, QStringLiteral("input"));
    QCOMPARE(calls[0].text, QStringLiteral("Data Inizio lettura :\r\n\r\n( Formato : gg/mm/aaaa )\r\n"));
    QCOMPARE(calls[0].title, QStringLiteral("Inizio lettura Files"));
    QCOMPARE(fx.env.dialogs().inputDefaults,
             QStringList{stored.isEmpty() ? QStringLiteral("01/01/2019") : stored});
    QCOMPARE(IniFile::read(kIni, kSec, QStringLiteral("LastDate"), QString()), storedAfter);
    QVERIFY(Fixture::log().contains(QStringLiteral("   --  S_Base : ") + limit + QStringLiteral("\r\n")));
    QVERIFY(!w.B_FullList);
    // The sent file of 10/01/2024 is old only when the chosen date lies after it.
    QCOMPARE(Fixture::listedNames().size(), limit > QStringLiteral("20240110") ? 0 : 1);

    // The next plain run goes by the last ZIP date again.
    w.Cmd_ListNew_Click();
    QVERIFY(Fixture::log().contains(QStringLiteral("   --  S_Base : 20240615\r\n")));
}

QTEST_MAIN(TestListNew)
#include "tst_listnew.moc"

void TestListNew::oneKeyPerFolder_data()
{
    QTest::addColumn<bool>("closingSlash"); // how the folder list holds the folder
    QTest::newRow("with closing /") << true;
    QTest::newRow("without closing /") << false;
}

// The folder chooser gives folders without their closing "/", the archive writes them with
// it: every place that keys the folder must find the one key, from start-up to close.
void TestListNew::oneKeyPerFolder()
{
    QFETCH(bool, closingSlash);
    Fixture fx;
    QVERIFY(fx.folder.endsWith(QLatin1Char('/')));
    const QString stored = closingSlash ? fx.folder : fx.folder.chopped(1);
    const qint32 k = Str_CheckSum(fx.folder);
    QVERIFY(k != Str_CheckSum(fx.folder.chopped(1)));
    const QString key = QString::number(k);
    QCOMPARE(MDB_FolderKey(stored), k);
    IniFile::write(kIni, kSec, QStringLiteral("Pth_0"), stored);
    IniFile::write(kIni, kSec, QStringLiteral("DirID"), key);
    IniFile::write(kIni, kSec, QStringLiteral("LastZIP_") + key, QStringLiteral("05/01/2024"));
    IniFile::write(kIni, kSec, QStringLiteral("Rif_") + key, QStringLiteral("DITTA"));
    IniFile::write(kIni, kSec, QStringLiteral("AttPass_") + key, QStringLiteral("1"));
    fx.write(QStringLiteral("a.xml"), Doc{QStringLiteral("1")});

    // Start-up: a new archive seeded from the folder list, the remembered folder chosen.
    App_SetExeName(QStringLiteral("Plicora"));
    fx.env.dialogs().answer(vb::Yes);
    Main();
    QVERIFY(F_ZipXML::isLoaded());
    F_ZipXML& w = F_ZipXML::instance();
    QCOMPARE(w.Cmb_FoldXML->currentIndex(), 0);
    QCOMPARE(w.FolderKey(), key);
    QCOMPARE(w.Lbl_LastDo->text(), QStringLiteral("05/01/2024"));
    QCOMPARE(w.Txt_Rif.Text(), QStringLiteral("DITTA"));
    QCOMPARE(w.AttPas(), 1);
    fx.cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
    auto keysOf = [&fx](const QString& table) {
        QList<qint64> out;
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT cod_firma FROM ") + table, fx.cn, ado::adOpenStatic,
                ado::adLockReadOnly);
        for (; !rs.EOF_(); rs.MoveNext())
            out << rs[QStringLiteral("cod_firma")].Value().toLongLong();
        rs.Close();
        return out;
    };
    QCOMPARE(keysOf(QStringLiteral("DIRBASE")), QList<qint64>{k});

    // The list finds the folder among the base folders (no question), records the file
    // under the key and reads its send date back by it.
    fx.env.dialogs().calls.clear();
    w.Cmb_Ord->setCurrentIndex(0);
    w.Cmd_ListNew_Click();
    QVERIFY(fx.env.dialogs().calls.isEmpty());
    QCOMPARE(keysOf(QStringLiteral("FILES")), QList<qint64>{k});
    fx.cn.Execute(QStringLiteral("UPDATE FILES SET dat_send=?"), {day(2024, 1, 25, 0)});
    w.Cmd_ListNew_Click();
    QCOMPARE(w.Lst_XMLRows->ListCount(), 1);
    QCOMPARE(w.Lst_XMLRows->Field(0, 10), QStringLiteral("25/01/2024"));

    // The window's own writes, and the key remembered at close.
    QTest::mouseClick(w.Opt_AttPas[0], Qt::LeftButton);
    QCOMPARE(IniFile::read(kIni, kSec, QStringLiteral("AttPass_") + key, QString()), QStringLiteral("0"));
    w.Txt_Rif.setText(QStringLiteral("NUOVO"));
    w.Txt_Rif_LostFocus();
    QCOMPARE(IniFile::read(kIni, kSec, QStringLiteral("Rif_") + key, QString()), QStringLiteral("NUOVO"));
    IniFile::write(kIni, kSec, QStringLiteral("DirID"), QStringLiteral("0"));
    fx.cn.Close();
    w.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(IniFile::read(kIni, kSec, QStringLiteral("DirID"), QString()), key);
    App_ReleaseInstance();
    App_SetExeName(QString());
}
