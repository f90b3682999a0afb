// The ZIP button's other roads: file names and folders as they come, re-sending, the name
// parts, an old archive, the folder checks, the mail questions, the develop block, 7z
// missing or refusing the folder, and one run mailed to a local SMTP server.
#include "support/ListFixture.h"
#include "support/ScriptedDialogs.h"
#include "support/SmtpTestServer.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

using namespace listfx;

namespace
{

const QString kMail = QStringLiteral("MailXML");

// 7z runs for real; any other program waited for (the desktop mail client) is only
// recorded, as started and ended with 0.
Launcher::Result sevenZipForReal(const QString& program, const QStringList& args, const QString& dir)
{
    if (QFileInfo(program).fileName() == QLatin1String("7z"))
        return RecordingLauncher::runForReal(program, args, dir);
    return Launcher::Result{true, 0, {}, {}};
}

QList<RecordingLauncher::Start> startsOf(Fixture& fx, const QString& kind, const QString& programName = {})
{
    QList<RecordingLauncher::Start> out;
    for (const RecordingLauncher::Start& s : fx.env.launcher().starts)
        if (s.kind == kind && (programName.isEmpty() || QFileInfo(s.program).fileName() == programName))
            out << s;
    return out;
}

// Three files: A new (received 10/01), B sent on 05/02 (received 14/01), C new (received 12/01).
struct ThreeFiles {
    QStringList names{QStringLiteral("IT01234567890_0000A.xml"), QStringLiteral("IT01234567890_0000B.xml"),
                      QStringLiteral("IT01234567890_0000C.xml")};
    QMap<QString, QByteArray> bytes;
    const QDateTime sent{QDate(2024, 2, 5), QTime(0, 0)};

    explicit ThreeFiles(Fixture& fx)
    {
        const QDateTime received[] = {day(2024, 1, 10), day(2024, 1, 14), day(2024, 1, 12)};
        for (int i = 0; i < 3; ++i) {
            Doc d{QString::number(i + 1)};
            d.date = QStringLiteral("2024-01-0") + QString::number(i + 3);
            const QString path = fx.write(names[i], d, received[i]);
            bytes.insert(names[i], TestEnv::readFile(path));
            if (i == 1) fx.record(path, sent);
        }
    }
    QMap<QString, QByteArray> only(const QString& which) const
    {
        QMap<QString, QByteArray> out;
        for (int i = 0; i < 3; ++i)
            if (which.contains(QLatin1Char('A' + i))) out.insert(names[i], bytes[names[i]]);
        return out;
    }
};

// The main window on the fixture's folder, the list built and every row selected.
F_ZipXML& listedAndSelected(Fixture& fx, const QString& zipDir, bool mail = false)
{
    F_ZipXML& w = fx.open();
    w.Cmd_ListNew_Click();
    w.Lst_XMLRows->selectAll(true);
    w.Txt_DirZIP.setText(zipDir);
    w.Txt_Rif.setText(QStringLiteral("RIF"));
    w.Chk_DoMail.setValue(mail ? 1 : 0);
    return w;
}

} // namespace

class TestZipSelCases : public QObject
{
    Q_OBJECT
  private slots:
    void hostileNames_data();
    void hostileNames();
    void nameParts_data();
    void nameParts();
    void folderNotInBase_data();
    void folderNotInBase();
    void folderWithoutClosingSlash();
    void mailQuestions_data();
    void mailQuestions();
    void endStatusWindowBackLate_data();
    void endStatusWindowBackLate();
    void developBlock();
    void sevenZipFailures_data();
    void sevenZipFailures();
    void mailedToSmtpServer();
};

void TestZipSelCases::hostileNames_data()
{
    QTest::addColumn<QString>("name");
    for (const char* n : {"a b.xml", "-lead.xml", "q'uo\"te.xml", "società€.xml", "p|ipe.xml", "st*ar.xml",
                          "@list.xml", " blank.xml"})
        QTest::newRow(n) << QString::fromUtf8(n);
}

// Each name reaches 7z as one argument and is packed under exactly that name, into a
// ZIP folder with blanks and quotes; its FILES row is stamped.
void TestZipSelCases::hostileNames()
{
    QFETCH(QString, name);
    Fixture fx;
    fx.archive(true);
    const QByteArray bytes = TestEnv::readFile(fx.write(name, Doc{QStringLiteral("7")}));
    fx.env.launcher().onRun = &sevenZipForReal;
    const QString zipDir = fx.env.work() + QStringLiteral("zip d'a \"q\"/");
    QDir().mkpath(zipDir);
    F_ZipXML& w = listedAndSelected(fx, zipDir);
    QCOMPARE(w.Lst_XMLRows->ListCount(), 1);
    fx.env.dialogs().answer(vb::Yes).answer(vb::Yes);
    w.Cmd_ZipSel_Click();

    const QString zip = zipDir + QStringLiteral("20240110_RIF_") + fx.key() + QStringLiteral("_XML.ZIP");
    QCOMPARE(extracted(zip, fx.env.work() + QStringLiteral("out")), (QMap<QString, QByteArray>{{name, bytes}}));
    QCOMPARE(datSend(fx.cn, name).toDateTime(), QDateTime(fx.env.clock().now().date(), QTime(0, 0)));
    const auto runs = startsOf(fx, QStringLiteral("wait"));
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs[0].args.mid(6),
             (QStringList{QStringLiteral("--"), zip + QStringLiteral(".tmp.zip"), fx.folder + name}));
    QCOMPARE(w.status(), QStringLiteral("Termine generazione File ZIP. - Mail NON Inviata."));
}

void TestZipSelCases::nameParts_data()
{
    QTest::addColumn<bool>("resend");
    QTest::addColumn<bool>("useSel");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("zipDir");   // under the scratch folder; "" the program folder
    QTest::addColumn<bool>("oldZip");      // an older archive of that name lies there
    QTest::addColumn<QString>("caption");  // Lbl_LastDo and "LastZIP_" before
    QTest::addColumn<QString>("name");     // the archive's name, "<key>" for the folder key
    QTest::addColumn<QString>("packed");   // the files in it
    QTest::addColumn<QString>("lastZip");  // "LastZIP_" and the caption after
    const QString plain = QStringLiteral("20240112_RIF_<key>_XML.ZIP");
    const QString zip = QStringLiteral("zip/");
    QTest::newRow("new rows only, greatest reception date")
        << false << false << QString() << zip << false << QString() << plain << "AC" << "2024/01/12";
    QTest::newRow("re-send: the sent row counts too")
        << true << false << QString() << zip << false << QString()
        << QStringLiteral("20240114_RIF_<key>_XML.ZIP") << "ABC" << "2024/01/14";
    // "/" becomes "-"; the blank, with no counterpart, goes.
    QTest::newRow("search text in the name")
        << false << true << QStringLiteral(" 12/2024 x ") << zip << false << QString()
        << QStringLiteral("20240112_RIF_12-2024x_<key>_XML.ZIP") << "AC" << "2024/01/12";
    QTest::newRow("search text asked for, none typed")
        << false << true << QString() << zip << false << QString() << plain << "AC" << "2024/01/12";
    QTest::newRow("search text typed, not asked for")
        << false << false << QStringLiteral("x") << zip << false << QString() << plain << "AC" << "2024/01/12";
    QTest::newRow("empty ZIP folder: the program folder")
        << false << false << QString() << QString() << false << QString() << plain << "AC" << "2024/01/12";
    QTest::newRow("an old archive is replaced, not updated")
        << false << false << QString() << zip << true << QString() << plain << "AC" << "2024/01/12";
    QTest::newRow("a later last date stays (yyyy/mm/dd)")
        << false << false << QString() << zip << false << QStringLiteral("2024/03/01") << plain << "AC"
        << "2024/03/01";
    QTest::newRow("a later last date stays (dd/mm/yyyy)")
        << false << false << QString() << zip << false << QStringLiteral("01/03/2024") << plain << "AC"
        << "01/03/2024";
    QTest::newRow("an earlier last date moves")
        << false << false << QString() << zip << false << QStringLiteral("31/12/2023") << plain << "AC"
        << "2024/01/12";
}

void TestZipSelCases::nameParts()
{
    QFETCH(bool, resend);
    QFETCH(bool, useSel);
    QFETCH(QString, find);
    QFETCH(QString, zipDir);
    QFETCH(bool, oldZip);
    QFETCH(QString, caption);
    QFETCH(QString, name);
    QFETCH(QString, packed);
    QFETCH(QString, lastZip);
    Fixture fx;
    fx.archive(true);
    ThreeFiles files(fx);
    const QString dir = zipDir.isEmpty() ? G_DirApp : fx.env.work() + zipDir;
    QDir().mkpath(dir);
    name.replace(QStringLiteral("<key>"), fx.key());
    const QString zipPath = dir + name;
    if (oldZip) {
        const QString stale = fx.env.writeFile(fx.env.work() + QStringLiteral("stale.xml"), "old");
        const Launcher::Result r = runProcessAndWait(
            QStringLiteral("7z"), {QStringLiteral("a"), QStringLiteral("-tzip"), QStringLiteral("--"), zipPath, stale});
        QCOMPARE(r.exitCode, 0);
    }
    const QString lastKey = QStringLiteral("LastZIP_") + fx.key();
    if (!caption.isEmpty()) IniFile::write(kIni, kSec, lastKey, caption);
    fx.env.launcher().onRun = &sevenZipForReal;
    F_ZipXML& w = listedAndSelected(fx, zipDir.isEmpty() ? QString() : dir);
    // A last date after B's send date keeps B out of the list.
    QVERIFY(Fixture::listedNames().contains(files.names[0]) && Fixture::listedNames().contains(files.names[2]));
    QCOMPARE(w.Lbl_LastDo->text(), caption.isEmpty() ? QStringLiteral("__/__/____") : caption);
    const QStringList rows = Fixture::rows();
    w.Chk_ReSend.setValue(resend ? 1 : 0);
    w.Chk_UseSel.setValue(useSel ? 1 : 0);
    w.Txt_Find.setText(find);
    fx.env.dialogs().answer(vb::Yes).answer(vb::Yes);
    w.Cmd_ZipSel_Click();

    QVERIFY(fx.env.dialogs().allAnswered());
    QCOMPARE(fx.env.dialogs().messages().value(0).section(QStringLiteral("\r\n"), 1, 1), name);
    QCOMPARE(extracted(zipPath, fx.env.work() + QStringLiteral("out")), files.only(packed));
    // The list file names the counted rows, in list order.
    const QString listPath = zipPath.chopped(int(QStringLiteral("_XML.ZIP").size())) + QStringLiteral("_ZIPLIST.TXT");
    QStringList listed;
    for (const QString& r : rows)
        for (int i = 0; i < 3; ++i)
            if (packed.contains(QLatin1Char('A' + i)) && r.contains(files.names[i])) listed << r;
    QVERIFY2(TestEnv::readFile(listPath).contains((listed.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n")).toUtf8()),
             TestEnv::readFile(listPath).constData());
    QCOMPARE(IniFile::read(kIni, kSec, lastKey, QString()), lastZip);
    QCOMPARE(w.Lbl_LastDo->text(), lastZip);
    // New rows are stamped today; a row sent before keeps its date, re-sent or not.
    const QDateTime today(fx.env.clock().now().date(), QTime(0, 0));
    QCOMPARE(datSend(fx.cn, files.names[0]).toDateTime(), today);
    QCOMPARE(datSend(fx.cn, files.names[1]).toDateTime(), files.sent);
    QCOMPARE(datSend(fx.cn, files.names[2]).toDateTime(), today);
}

void TestZipSelCases::folderNotInBase_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("go on") << int(vb::Yes);
    QTest::newRow("stop") << int(vb::No);
}

// A folder that is no base folder is only a warning; the user may stop there.
void TestZipSelCases::folderNotInBase()
{
    QFETCH(int, answer);
    Fixture fx;
    fx.archive(true);
    fx.write(QStringLiteral("a.xml"), Doc{QStringLiteral("1")});
    fx.env.launcher().onRun = &sevenZipForReal;
    const QString zipDir = fx.env.work() + QStringLiteral("zip/");
    QDir().mkpath(zipDir);
    F_ZipXML& w = listedAndSelected(fx, zipDir);
    QCOMPARE(w.Lst_XMLRows->ListCount(), 1);
    // The folder stops being a base folder after the list was built.
    fx.cn.Execute(QStringLiteral("DELETE FROM DIRBASE"));
    fx.env.dialogs().answer(answer);
    if (answer == vb::Yes) fx.env.dialogs().answer(vb::Yes).answer(vb::No);
    w.Cmd_ZipSel_Click();

    QVERIFY(fx.env.dialogs().allAnswered());
    QCOMPARE(fx.env.dialogs().messages().value(0),
             QStringLiteral("Cartella non trovata tra quelle Base.\r\nProseguo ugiualmente ?"));
    QCOMPARE(startsOf(fx, QStringLiteral("wait")).size(), answer == vb::Yes ? 1 : 0);
    QCOMPARE(QDir(zipDir).entryList(QDir::Files).size(), answer == vb::Yes ? 1 : 0);
    QVERIFY(w.Cmd_ZipSel->isEnabled());
    QVERIFY(w.Cmb_FoldXML->isEnabled());
}

// A base folder saved without its closing "/": its files are packed and stamped all the same.
void TestZipSelCases::folderWithoutClosingSlash()
{
    Fixture fx;
    const QString withSlash = fx.folder;
    fx.folder.chop(1);
    const QString key = QString::number(MDB_FolderKey(fx.folder));
    IniFile::write(kIni, kSec, QStringLiteral("Pth_0"), fx.folder);
    IniFile::write(kIni, kSec, QStringLiteral("DirID"), key);
    fx.archive(false);
    fx.cn.Execute(QStringLiteral("INSERT INTO DIRBASE (cod_firma, des_cartella, flg_tipo_cartella) VALUES (?, ?, 'E')"),
                  {key.toLongLong(), fx.folder});
    const QString name = QStringLiteral("IT01234567890_00001.xml");
    const QByteArray bytes = TestEnv::readFile(fx.env.writeFile(withSlash + name, invoiceXml(Doc{QStringLiteral("1")})));
    Fixture::setModified(withSlash + name, day(2024, 1, 10));
    fx.env.launcher().onRun = &sevenZipForReal;
    const QString zipDir = fx.env.work() + QStringLiteral("zip/");
    QDir().mkpath(zipDir);
    F_ZipXML& w = listedAndSelected(fx, zipDir);
    QCOMPARE(w.Cmb_FoldXML->currentText(), fx.folder);
    QCOMPARE(w.Lst_XMLRows->ListCount(), 1);
    fx.env.dialogs().answer(vb::Yes).answer(vb::Yes);
    w.Cmd_ZipSel_Click();

    QCOMPARE(fx.env.dialogs().messages().size(), 2); // no folder warning, only the two questions
    const QString zip = zipDir + QStringLiteral("20240110_RIF_") + key + QStringLiteral("_XML.ZIP");
    QCOMPARE(extracted(zip, fx.env.work() + QStringLiteral("out")), (QMap<QString, QByteArray>{{name, bytes}}));
    QCOMPARE(datSend(fx.cn, name).toDateTime(), QDateTime(fx.env.clock().now().date(), QTime(0, 0)));
}

void TestZipSelCases::mailQuestions_data()
{
    QTest::addColumn<bool>("mail");        // Chk_DoMail
    QTest::addColumn<QList<int>>("answers"); // after "Confermi..." Yes
    QTest::addColumn<bool>("mailed");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("after"); // messages after "Definitiva ?"
    const QString sent = QStringLiteral("Termine generazione File ZIP. - Mail Inviata.");
    const QString notSent = QStringLiteral("Termine generazione File ZIP. - Mail NON Inviata.");
    const QString ask = QStringLiteral("Invio ugualmente la Mail ?");
    const QString client = QStringLiteral("COMPLETARE L'Invio Mail dalla Finestra del Client di Posta !!");
    QTest::newRow("definitive, mailed") << true << QList<int>{vb::Yes} << true << sent << QStringList{client};
    QTest::newRow("not definitive, mailed anyway")
        << true << QList<int>{vb::No, vb::Yes} << true << sent << QStringList{ask, client};
    QTest::newRow("not definitive, no mail")
        << true << QList<int>{vb::No, vb::No} << false << notSent
        << QStringList{ask, QStringLiteral("Mail NON Inviata !!")};
    QTest::newRow("not definitive, mail not asked for")
        << false << QList<int>{vb::No} << false << notSent << QStringList{};
}

// The mail step after the ZIP, through the desktop mail client.
void TestZipSelCases::mailQuestions()
{
    QFETCH(bool, mail);
    QFETCH(QList<int>, answers);
    QFETCH(bool, mailed);
    QFETCH(QString, status);
    QFETCH(QStringList, after);
    Fixture fx;
    fx.archive(true);
    ThreeFiles files(fx);
    IniFile::write(kIni, kMail, QStringLiteral("Mode"), QStringLiteral("MAPI"));
    IniFile::write(kIni, kMail, QStringLiteral("Indir"), QStringLiteral("studio@x.it"));
    fx.env.launcher().onRun = &sevenZipForReal;
    const QString zipDir = fx.env.work() + QStringLiteral("zip/");
    QDir().mkpath(zipDir);
    F_ZipXML& w = listedAndSelected(fx, zipDir, mail);
    fx.env.dialogs().answer(vb::Yes);
    for (int a : answers)
        fx.env.dialogs().answer(a);
    w.Cmd_ZipSel_Click();

    QVERIFY(fx.env.dialogs().allAnswered());
    const QStringList messages = fx.env.dialogs().messages();
    const int definitive = messages.indexOf(QStringLiteral("Definitiva ?"));
    QVERIFY(definitive > 0);
    QCOMPARE(messages.mid(definitive + 1), after);
    const auto clients = startsOf(fx, QStringLiteral("wait"), QStringLiteral("xdg-email"));
    QCOMPARE(clients.size(), mailed ? 1 : 0);
    const QString zip = zipDir + QStringLiteral("20240112_RIF_") + fx.key() + QStringLiteral("_XML.ZIP");
    if (mailed) QVERIFY2(clients[0].args.contains(zip), qPrintable(clients[0].args.join(QLatin1Char(' '))));
    QCOMPARE(w.status(), status);
    // Only the definitive run stamps.
    QCOMPARE(datSend(fx.cn, files.names[0]).isValid(), answers.first() == vb::Yes);
}

void TestZipSelCases::endStatusWindowBackLate_data()
{
    QTest::addColumn<bool>("mail");          // Chk_DoMail
    QTest::addColumn<QList<int>>("answers"); // after "Confermi..." Yes
    QTest::addColumn<int>("clientExit");     // the desktop mail client's hand-over
    QTest::addColumn<QString>("status");
    const QString sent = QStringLiteral("Termine generazione File ZIP. - Mail Inviata.");
    const QString notSent = QStringLiteral("Termine generazione File ZIP. - Mail NON Inviata.");
    QTest::newRow("not definitive, mail not asked for") << false << QList<int>{vb::No} << 0 << notSent;
    QTest::newRow("not definitive, no mail") << true << QList<int>{vb::No, vb::No} << 0 << notSent;
    QTest::newRow("definitive, the mail fails") << true << QList<int>{vb::Yes} << 1 << notSent;
    QTest::newRow("definitive, mailed") << true << QList<int>{vb::Yes} << 0 << sent;
}

// The run's end status stays when the main window gets the activation back after the run,
// as a window manager gives it after the last message box.
void TestZipSelCases::endStatusWindowBackLate()
{
    QFETCH(bool, mail);
    QFETCH(QList<int>, answers);
    QFETCH(int, clientExit);
    QFETCH(QString, status);
    Fixture fx;
    fx.archive(true);
    ThreeFiles files(fx);
    IniFile::write(kIni, kMail, QStringLiteral("Indir"), QStringLiteral("studio@x.it"));
    fx.env.launcher().onRun = [clientExit](const QString& program, const QStringList& args,
                                           const QString& dir) {
        if (QFileInfo(program).fileName() == QLatin1String("7z"))
            return RecordingLauncher::runForReal(program, args, dir);
        return Launcher::Result{true, clientExit, {}, {}};
    };
    const QString zipDir = fx.env.work() + QStringLiteral("zip/");
    QDir().mkpath(zipDir);
    F_ZipXML& w = listedAndSelected(fx, zipDir, mail);
    // Message boxes as a desktop shows them: each one takes the activation, and the main
    // window gets it back only later, when the window manager says so.
    const auto box = std::make_shared<QWidget>(); // stands for the message box window
    ScriptedDialogs& d = fx.env.dialogs();
    d.onMsgBox = [box] {
        box->show();
        QApplication::setActiveWindow(box.get());
    };
    d.acceptOkBoxes = true;
    d.answer(vb::Yes);
    for (int a : answers)
        d.answer(a);
    QApplication::setActiveWindow(&w);
    w.Cmd_ZipSel->setFocus();
    QCOMPARE(QApplication::focusWidget(), w.Cmd_ZipSel);
    w.Cmd_ZipSel_Click();
    QApplication::setActiveWindow(&w);

    QVERIFY(d.allAnswered());
    QCOMPARE(QApplication::focusWidget(), w.Cmd_ZipSel);
    QCOMPARE(w.status(), status);
}

// With the develop marker the rows go first to a block of their own, with the list's
// header, and the viewer shows the file before and after "Definitiva ?".
void TestZipSelCases::developBlock()
{
    Fixture fx;
    fx.archive(true);
    ThreeFiles files(fx);
    B_Develop = true;
    fx.env.launcher().onRun = &sevenZipForReal;
    const QString zipDir = fx.env.work() + QStringLiteral("zip/");
    QDir().mkpath(zipDir);
    F_ZipXML& w = listedAndSelected(fx, zipDir);
    QStringList counted;
    for (const QString& r : Fixture::rows())
        if (!r.contains(files.names[1])) counted << r;
    const QString hed = w.Lbl_Hed->text();
    fx.env.dialogs().answer(vb::Yes).answer(vb::Yes);
    const QByteArray now = fx.env.clock().now().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")).toUtf8();
    w.Cmd_ZipSel_Click();
    B_Develop = false;

    const QString listPath = zipDir + QStringLiteral("20240112_RIF_") + fx.key() + QStringLiteral("_ZIPLIST.TXT");
    const QByteArray block = (counted.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8() + "\r\n";
    const QByteArray eq50(50, '='), eq40(40, '=');
    QCOMPARE(TestEnv::readFile(listPath),
             "=====   Files inviati il " + now + " =====\r\n" + eq50 + "\r\n" + hed.toUtf8() + "\r\n" +
                 QByteArray(hed.size(), '-') + "\r\n" + block + eq50 + "\r\n" + "=====   Files inviati il " + now +
                 "\r\n" + eq40 + "\r\n" + block + eq40 + "\r\n");
    const auto views = startsOf(fx, QStringLiteral("detached"));
    QCOMPARE(views.size(), 2);
    for (const auto& v : views) {
        QCOMPARE(v.program, G_PgmVisualizzatore);
        QCOMPARE(v.args, QStringList{listPath});
    }
}

void TestZipSelCases::sevenZipFailures_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("7z missing at load") << QStringLiteral("missing");
    QTest::newRow("ZIP folder runs through a file (exit 2)") << QStringLiteral("through a file");
}

void TestZipSelCases::sevenZipFailures()
{
    QFETCH(QString, failure);
    Fixture fx;
    fx.archive(true);
    ThreeFiles files(fx);
    fx.env.launcher().onRun = &sevenZipForReal;
    QString zipDir = fx.env.work() + QStringLiteral("zip/");
    QDir().mkpath(zipDir);
    if (failure == QStringLiteral("through a file")) {
        fx.env.writeFile(fx.env.work() + QStringLiteral("plain.txt"), "x");
        zipDir = fx.env.work() + QStringLiteral("plain.txt/sub/");
    }
    const QByteArray oldPath = qgetenv("PATH");
    QTemporaryDir empty;
    if (failure == QStringLiteral("missing")) qputenv("PATH", QFile::encodeName(empty.path()));
    const QStringList iniBefore = IniFile::readSection(kIni, kSec);
    F_ZipXML& w = listedAndSelected(fx, zipDir, true);
    qputenv("PATH", oldPath);
    QCOMPARE(w.Lbl_RAR->isVisible(), failure == QStringLiteral("missing"));
    QCOMPARE(w.Lst_XMLRows->ListCount(), 3);
    if (failure != QStringLiteral("missing")) fx.env.dialogs().answer(vb::Yes);
    const int beeps = fx.env.dialogs().beeps;
    w.Cmd_ZipSel_Click();

    QVERIFY(fx.env.dialogs().allAnswered());
    const QStringList messages = fx.env.dialogs().messages();
    if (failure == QStringLiteral("missing")) {
        QCOMPARE(messages, QStringList{QStringLiteral("IMPOSSIBILI COMPATTARE !!\r\nManca il file 7Z.EXE !!")});
        QCOMPARE(startsOf(fx, QStringLiteral("wait")).size(), 0);
    } else {
        QCOMPARE(messages.size(), 3);
        QCOMPARE(messages[1],
                 QStringLiteral("ERRORE nella creazione del File ZIP !!\r\nFile non compattato : ") +
                     fx.folder + files.names[0] +
                     QStringLiteral("\r\n( 7z : codice 2 )\r\nerrno=20 : Not a directory"));
        QCOMPARE(messages[2], QStringLiteral("Mail NON Inviata !!"));
        QCOMPARE(w.status(), QStringLiteral("Termine generazione File ZIP. - Mail NON Inviata."));
        QCOMPARE(startsOf(fx, QStringLiteral("wait")).size(), 1);
    }
    QVERIFY(fx.env.dialogs().beeps > beeps);
    QCOMPARE(startsOf(fx, QStringLiteral("wait"), QStringLiteral("xdg-email")).size(), 0);
    QCOMPARE(IniFile::readSection(kIni, kSec), iniBefore);
    QVERIFY(!datSend(fx.cn, files.names[0]).isValid());
    QVERIFY(w.Cmd_ZipSel->isEnabled());
    QVERIFY(w.Cmb_FoldXML->isEnabled());
}

// A definitive run mailed straight to an SMTP server: the attachment is the archive.
void TestZipSelCases::mailedToSmtpServer()
{
    Fixture fx;
    SmtpTestServer srv;
    QVERIFY2(srv.start(), qPrintable(srv.error()));
    IniFile::write(kIni, kMail, QStringLiteral("Mode"), QStringLiteral("CDO"));
    IniFile::write(kIni, kMail, QStringLiteral("Indir"), QStringLiteral("studio@x.it"));
    IniFile::write(kIni, kMail, QStringLiteral("Mittente"), QStringLiteral("ditta@x.it"));
    IniFile::write(kIni, kMail, QStringLiteral("SMTP"), QStringLiteral("127.0.0.1"));
    IniFile::write(kIni, kMail, QStringLiteral("Porta"), QString::number(srv.port()));
    IniFile::write(kIni, kMail, QStringLiteral("UseSSL"), QStringLiteral("0"));
    IniFile::write(kIni, kMail, QStringLiteral("Auth"), QStringLiteral("0"));
    IniFile::write(kIni, kMail, QStringLiteral("User"), QStringLiteral("studio"));
    IniFile::write(kIni, kMail, QStringLiteral("Passwd"), Qor().ToHex(Qor().PwdEncode(QStringLiteral("segreta"))));
    fx.archive(true);
    ThreeFiles files(fx);
    fx.env.launcher().onRun = &sevenZipForReal;
    const QString zipDir = fx.env.work() + QStringLiteral("zip/");
    QDir().mkpath(zipDir);
    F_ZipXML& w = listedAndSelected(fx, zipDir, true);
    w.Chk_ReSend.setValue(1);
    fx.env.dialogs().answer(vb::Yes).answer(vb::Yes);
    w.Cmd_ZipSel_Click();

    QVERIFY(fx.env.dialogs().allAnswered());
    QCOMPARE(w.status(), QStringLiteral("Termine generazione File ZIP. - Mail Inviata."));
    const QString zip = zipDir + QStringLiteral("20240114_RIF_") + fx.key() + QStringLiteral("_XML.ZIP");
    const QList<QJsonObject> mails = srv.mails();
    QCOMPARE(mails.size(), 1);
    const QString body = mails[0].value(QStringLiteral("body")).toString();
    QVERIFY2(body.startsWith(QStringLiteral("Gennaio 2024\r\n\r\n- N. 3 Documenti inviati in allegato.")),
             qPrintable(body));
    const QJsonArray att = mails[0].value(QStringLiteral("attachments")).toArray();
    QCOMPARE(att.size(), 1);
    QCOMPARE(att[0].toObject().value(QStringLiteral("name")).toString(), QFileInfo(zip).fileName());
    QCOMPARE(QByteArray::fromBase64(att[0].toObject().value(QStringLiteral("data")).toString().toLatin1()),
             TestEnv::readFile(zip));
}

QTEST_MAIN(TestZipSelCases)
#include "tst_zipsel_cases.moc"
