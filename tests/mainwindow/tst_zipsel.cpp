// The ZIP button of the main window: the counted rows packed by the real 7z, the list
// file, the send dates and the folder's last ZIP date; a failed 7z run changes nothing.
#include "support/ListFixture.h"

#include <QLabel>
#include <QPushButton>

using namespace listfx;


class TestZipSel : public QObject
{
    Q_OBJECT
  private slots:
    void definitiveRun_data();
    void definitiveRun();
    void ruleDates_data();
    void ruleDates();
    void headerClick_data();
    void headerClick();
    void headerClickRefused_data();
    void headerClickRefused();
    void zipRightClick_data();
    void zipRightClick();
    void lastDateClick_data();
    void lastDateClick();
    void dateSendRows_data();
    void dateSendRows();
    void zipStops_data();
    void zipStops();
};

// failure: "" the run succeeds; "link" it succeeds with a listed file that is a symbolic
// link; "deleted" a listed file is gone before the ZIP (7z exit 1); "not started" the 7z
// child does not start; "stamps refused" the archive refuses the send dates. With earlier,
// an archive of the same name is there before the run.
void TestZipSel::definitiveRun_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("earlier");
    QTest::newRow("three new rows, definitive, no mail") << QString() << false;
    QTest::newRow("an earlier archive of the name is replaced") << QString() << true;
    QTest::newRow("a listed file is a symbolic link") << QStringLiteral("link") << false;
    QTest::newRow("a listed file deleted before the ZIP, an earlier archive kept")
        << QStringLiteral("deleted") << true;
    QTest::newRow("7z does not start") << QStringLiteral("not started") << false;
    QTest::newRow("the archive refuses the send dates") << QStringLiteral("stamps refused") << false;
}

void TestZipSel::definitiveRun()
{
    QFETCH(QString, failure);
    QFETCH(bool, earlier);
    const bool packs =
        failure.isEmpty() || failure == QStringLiteral("link") || failure == QStringLiteral("stamps refused");
    Fixture fx;
    fx.archive(true);
    const QStringList names{QStringLiteral("IT01234567890_00001.xml"),
                            QStringLiteral("IT01234567890_00002.xml"),
                            QStringLiteral("IT01234567890_00003.xml")};
    QMap<QString, QByteArray> bytes;
    const QDateTime received[] = {day(2024, 1, 10), day(2024, 1, 12), day(2024, 1, 11)};
    for (int i = 0; i < 3; ++i) {
        Doc d{QString::number(i + 1)};
        d.date = QStringLiteral("2024-01-0") + QString::number(i + 3);
        bytes.insert(names[i], TestEnv::readFile(fx.write(names[i], d, received[i])));
    }
    if (failure == QStringLiteral("link")) {
        // The listed name is a link to the invoice kept in another folder.
        const QString target = fx.env.work() + QStringLiteral("elsewhere/") + names[2];
        QDir().mkpath(QFileInfo(target).path());
        QVERIFY(QFile::rename(fx.folder + names[2], target));
        QVERIFY(QFile::link(target, fx.folder + names[2]));
    }
    // The list keeps reception-date order: 00001, 00003, 00002.
    const QStringList listOrder{names[0], names[2], names[1]};
    const QString zipDir = fx.env.work() + QStringLiteral("zip dir/");
    QDir().mkpath(zipDir);
    const QString zipName = QStringLiteral("20240112_RIF_") + fx.key() + QStringLiteral("_XML.ZIP");
    const QString zipPath = zipDir + zipName;
    const QString listPath =
        zipDir + QStringLiteral("20240112_RIF_") + fx.key() + QStringLiteral("_ZIPLIST.TXT");
    QByteArray earlierZip;
    if (earlier) {
        const QString old = fx.env.writeFile(fx.env.work() + QStringLiteral("old.xml"), "<vecchio/>");
        QCOMPARE(runProcessAndWait(QStringLiteral("7z"), {QStringLiteral("a"), QStringLiteral("-tzip"),
                                                          QStringLiteral("--"), zipPath, old})
                     .exitCode,
                 0);
        earlierZip = TestEnv::readFile(zipPath);
        QVERIFY(earlierZip.startsWith("PK"));
    }

    if (failure == QStringLiteral("not started"))
        fx.env.launcher().onRun = [](const QString&, const QStringList&, const QString&) {
            return Launcher::Result{};
        };
    else
        fx.env.launcher().onRun = &RecordingLauncher::runForReal;

    F_ZipXML& w = fx.open();
    QVERIFY(w.Lbl_RAR->isHidden());
    w.Cmd_ListNew_Click();
    QCOMPARE(Fixture::listedNames(), names);
    const QStringList rowsBefore = Fixture::rows();
    const QString lastDoBefore = w.Lbl_LastDo->text();
    w.Lst_XMLRows->selectAll(true);
    w.Txt_DirZIP.setText(zipDir);
    w.Txt_Rif.setText(QStringLiteral("RIF"));
    w.Chk_DoMail.setValue(0);
    const QStringList iniBefore = IniFile::readSection(kIni, kSec);

    if (failure == QStringLiteral("deleted")) QVERIFY(QFile::remove(fx.folder + listOrder[1]));
    if (failure == QStringLiteral("stamps refused"))
        fx.cn.Execute(QStringLiteral("CREATE TRIGGER refuse_send BEFORE UPDATE OF dat_send ON FILES "
                                     "BEGIN SELECT RAISE(ABORT, 'disco pieno'); END"));
    fx.env.dialogs().answer(vb::Yes).answer(vb::Yes); // confirm, then "Definitiva ?"
    const QByteArray clicked = fx.env.clock().now().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")).toUtf8();
    w.Cmd_ZipSel->setFocus(); // pressed with the keyboard
    QCOMPARE(w.focusWidget(), w.Cmd_ZipSel);
    w.Cmd_ZipSel_Click();

    const QStringList messages = fx.env.dialogs().messages();
    QVERIFY(w.Cmd_ZipSel->isEnabled());
    QVERIFY(w.Cmb_FoldXML->isEnabled());
    // The focus is back on the button, not left on "Invia Mail".
    QCOMPARE(w.focusWidget(), w.Cmd_ZipSel);
    QCOMPARE(w.Chk_DoMail.Value(), 0);
    QCOMPARE(w.status(), QStringLiteral("Termine generazione File ZIP. - Mail NON Inviata."));
    // 7z is run once per file until the first failure, always with its arguments as a list.
    const int expectedRuns = packs ? 3 : (failure == QStringLiteral("deleted") ? 2 : 1);
    QList<QStringList> runs;
    for (const RecordingLauncher::Start& s : fx.env.launcher().starts)
        if (s.kind == QStringLiteral("wait")) runs << s.args;
    QCOMPARE(runs.size(), expectedRuns);
    for (int i = 0; i < expectedRuns; ++i) {
        const QStringList args = runs[i];
        QCOMPARE(args.mid(0, 7),
                 (QStringList{QStringLiteral("a"), QStringLiteral("-tzip"), QStringLiteral("-y"),
                              QStringLiteral("-bd"), QStringLiteral("-spd"), QStringLiteral("-l"),
                              QStringLiteral("--")}));
        QCOMPARE(args.size(), 9);
        QCOMPARE(args.value(8), fx.folder + listOrder[i]);
    }

    if (packs) {
        QVERIFY(messages.join(QLatin1Char('\n')).contains(QStringLiteral("Definitiva ?")));
        const QString out = fx.env.work() + QStringLiteral("out/");
        QCOMPARE(extracted(zipPath, out), bytes);
        // Entries hold the files' bytes, never a link (which 7z would extract as a link).
        for (const QString& n : names)
            QVERIFY2(!QFileInfo(out + n).isSymLink(), qPrintable(n));
        QVERIFY(!QFileInfo::exists(zipPath + QStringLiteral(".tmp.zip")));
    }
    if (failure.isEmpty() || failure == QStringLiteral("link")) {
        QCOMPARE(IniFile::read(kIni, kSec, QStringLiteral("LastZIP_") + fx.key(), QString()),
                 QStringLiteral("2024/01/12"));
        QCOMPARE(w.Lbl_LastDo->text(), QStringLiteral("2024/01/12"));
        for (const QString& n : names)
            QCOMPARE(datSend(fx.cn, n).toDateTime(), QDateTime(QDate(2026, 12, 10), QTime(0, 0)));
        const QByteArray line40(40, '=');
        QCOMPARE(TestEnv::readFile(listPath),
                 "=====   Files inviati il " + clicked + "\r\n" + line40 + "\r\n" +
                     (rowsBefore.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8() + "\r\n" +
                     line40 + "\r\n");
        return;
    }
    if (failure == QStringLiteral("stamps refused")) {
        QVERIFY2(messages.last().contains(QStringLiteral("disco pieno")), qPrintable(messages.join(u'|')));
    } else {
        const QString which = fx.folder + listOrder[failure == QStringLiteral("deleted") ? 1 : 0];
        const QString head =
            QStringLiteral("ERRORE nella creazione del File ZIP !!\r\nFile non compattato : ") + which +
            QStringLiteral("\r\n");
        if (failure == QStringLiteral("deleted")) {
            // 7z's own words follow its code.
            const QString expected = head + QStringLiteral("( 7z : codice 1 )\r\n");
            QVERIFY2(messages.size() == 2 && messages[1].startsWith(expected) &&
                         messages[1].endsWith(QStringLiteral("errno=2 : No such file or directory")),
                     qPrintable(messages.join(QLatin1Char('|'))));
        } else {
            QVERIFY2(messages.contains(head + QStringLiteral("( 7z non avviato )")),
                     qPrintable(messages.join(QLatin1Char('|'))));
        }
        QVERIFY(!messages.join(QLatin1Char('\n')).contains(QStringLiteral("Definitiva ?")));
        QVERIFY(Fixture::log().contains(QStringLiteral("---XML-ZIP ERRORE : ")));
        // A failed run leaves an earlier archive as it was, and no partial one.
        QCOMPARE(QFileInfo::exists(zipPath), earlier);
        if (earlier) QCOMPARE(TestEnv::readFile(zipPath), earlierZip);
        QVERIFY(!QFileInfo::exists(zipPath + QStringLiteral(".tmp.zip")));
    }
    // Nothing tells of a sending that the archive does not hold.
    QVERIFY(!QFileInfo::exists(listPath));
    QCOMPARE(IniFile::readSection(kIni, kSec), iniBefore);
    QCOMPARE(w.Lbl_LastDo->text(), lastDoBefore);
    for (const QString& n : names)
        QVERIFY(!datSend(fx.cn, n).isValid());
}

// One never-sent row in the last layout, document of 15/01/2024, received on "received".
void TestZipSel::ruleDates_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QDateTime>("received");
    QTest::addColumn<QDate>("stamped"); // null: nothing stamped
    QTest::newRow("1: reception date") << QStringLiteral("1") << day(2024, 2, 20) << QDate(2024, 2, 20);
    QTest::newRow("2: document month end") << QStringLiteral("2") << day(2024, 3, 20) << QDate(2024, 1, 31);
    QTest::newRow("3: ten days after month end")
        << QStringLiteral("3") << day(2024, 2, 10) << QDate(2024, 1, 31);
    QTest::newRow("3: eleven days after month end") << QStringLiteral("3") << day(2024, 2, 11) << QDate();
    QTest::newRow("answer 0") << QStringLiteral("0") << day(2024, 2, 10) << QDate();
    QTest::newRow("answer 4") << QStringLiteral("4") << day(2024, 2, 10) << QDate();
    QTest::newRow("answer '1 '") << QStringLiteral("1 ") << day(2024, 2, 10) << QDate();
    QTest::newRow("empty answer") << QString() << day(2024, 2, 10) << QDate();
}

void TestZipSel::ruleDates()
{
    QFETCH(QString, rule);
    QFETCH(QDateTime, received);
    QFETCH(QDate, stamped);
    Fixture fx;
    fx.archive(true);
    Doc d{QStringLiteral("1")};
    d.date = QStringLiteral("2024-01-15");
    const QString name = QStringLiteral("IT01234567890_00001.xml");
    fx.write(name, d, received);
    F_ZipXML& w = fx.open(5);
    w.Cmd_ListNew_Click();
    QCOMPARE(w.Lst_XMLRows->ListCount(), 1);
    QVERIFY(w.Lst_XMLRows->Field(0, 1).startsWith(QStringLiteral("**")));
    w.Lst_XMLRows->selectAll(true);
    fx.env.dialogs().answer(vb::Yes).answerInput(rule);
    const int beepsBefore = fx.env.dialogs().beeps;
    w.Cmd_DoDateSend_Click();
    const QVariant sent = datSend(fx.cn, name);
    if (stamped.isValid()) {
        QCOMPARE(sent.toDateTime(), QDateTime(stamped, QTime(0, 0)));
        QCOMPARE(w.status(), QStringLiteral("TERMINE Assegnazione Data di Invio a Commercialista."));
    } else {
        QVERIFY(!sent.isValid());
        QVERIFY(fx.env.dialogs().beeps > beepsBefore);
    }
    QCOMPARE(Fixture::log().contains(QStringLiteral("  *****  ERRORE di data !!")),
             rule == QStringLiteral("3") && !stamped.isValid());
}

// Three files, all selected: A never sent (document 10/01/2024, received 20/02/2024),
// B sent on 05/02/2024, C with no document date (received 04/03/2024). answers go to the
// boxes in turn; stamped holds A, B, C's dat_send afterwards ("" for none).
void TestZipSel::headerClick_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("shift");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("stamped");
    QTest::addColumn<QString>("last"); // the last message shown, "" for none
    QTest::addColumn<bool>("dateError");
    const QString sent = QStringLiteral("2024-02-05");
    const QStringList before{QString(), sent, QString()};
    const QList<int> setDoc{vb::Yes, vb::Yes};
    const QList<int> setRic{vb::Yes, vb::No};
    const QString one = QStringLiteral("Messi a Inviati : 1 File(s).");
    QTest::newRow("layout 0, document month, no date on C")
        << 0 << 2 << setDoc << QStringList{QStringLiteral("2024-01-31"), sent, QString()} << one << true;
    QTest::newRow("layout 0, reception month (leap year)")
        << 0 << 2 << setRic << QStringList{QStringLiteral("2024-02-29"), sent, QStringLiteral("2024-03-31")}
        << QStringLiteral("Messi a Inviati : 2 File(s).") << false;
    QTest::newRow("layout 5, asterisk rows count as never sent")
        << 5 << 2 << setDoc << QStringList{QStringLiteral("2024-01-31"), sent, QString()} << one << true;
    QTest::newRow("no DATAINVIO column: B is looked at but never overwritten")
        << 1 << 2 << setDoc << QStringList{QStringLiteral("2024-01-31"), sent, QString()} << one << true;
    QTest::newRow("set mode refused") << 0 << 2 << QList<int>{vb::No} << before << QString() << false;
    QTest::newRow("month question cancelled")
        << 5 << 2 << QList<int>{vb::Yes, vb::Cancel} << before << QString() << false;
    QTest::newRow("layout 0, clear") << 0 << 0 << QList<int>{vb::Yes}
                                     << QStringList{QString(), QString(), QString()}
                                     << QStringLiteral("Ripuliti : 1 File(s).") << false;
    QTest::newRow("layout 5, clear skips asterisk rows")
        << 5 << 0 << QList<int>{vb::Yes} << QStringList{QString(), QString(), QString()}
        << QStringLiteral("Ripuliti : 1 File(s).") << false;
    QTest::newRow("no DATAINVIO column: nothing to clear")
        << 1 << 0 << QList<int>{vb::Yes} << before
        << QStringLiteral("Nessun file con la Data Invio da pulire !!") << false;
    QTest::newRow("clear refused") << 0 << 0 << QList<int>{vb::No} << before << QString() << false;
}

void TestZipSel::headerClick()
{
    QFETCH(int, layout);
    QFETCH(int, shift);
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, stamped);
    QFETCH(QString, last);
    QFETCH(bool, dateError);
    Fixture fx;
    fx.archive(true);
    const QStringList names{QStringLiteral("IT01234567890_00001.xml"),
                            QStringLiteral("IT01234567890_00002.xml"),
                            QStringLiteral("IT01234567890_00003.xml")};
    Doc a{QStringLiteral("1")};
    Doc b{QStringLiteral("2")};
    b.date = QStringLiteral("2024-01-12");
    Doc c{QStringLiteral("3")};
    c.date.clear();
    fx.write(names[0], a, day(2024, 2, 20));
    fx.record(fx.write(names[1], b, day(2024, 1, 15)), QDateTime(QDate(2024, 2, 5), QTime(0, 0)));
    fx.write(names[2], c, day(2024, 3, 4));
    F_ZipXML& w = fx.open(layout);
    w.Cmd_ListNew_Click();
    QCOMPARE(w.Lst_XMLRows->ListCount(), 3);
    // The caption may have been switched since the list was built; the columns must not move.
    w.Lbl_Hed->setText(w.S_HdrLayout2);
    w.Lst_XMLRows->selectAll(true);
    for (int answer : answers)
        fx.env.dialogs().answer(answer);
    const int beepsBefore = fx.env.dialogs().beeps;
    w.Lbl_Hed_MouseUp(2, shift, 0, 0);

    QVERIFY(fx.env.dialogs().allAnswered());
    for (int i = 0; i < 3; ++i) {
        const QVariant v = datSend(fx.cn, names[i]);
        QCOMPARE(v.isNull() ? QString() : v.toDate().toString(Qt::ISODate), stamped[i]);
    }
    const QList<ScriptedDialogs::Call> calls = fx.env.dialogs().calls;
    const bool reported =
        last.startsWith(QStringLiteral("Messi")) || last.startsWith(QStringLiteral("Ripuliti"));
    if (last.isEmpty()) {
        QVERIFY(fx.env.dialogs().beeps > beepsBefore);
        QCOMPARE(calls.size(), answers.size());
    } else {
        QCOMPARE(calls.last().text, last);
        QCOMPARE(calls.last().icon(), reported ? int(vb::Information) : int(vb::Critical));
    }
    QCOMPARE(calls.first().defaultButton(), 1);
    if (answers.size() > 1) {
        QCOMPARE(calls[1].title, w.windowTitle() + QStringLiteral("-"));
        QCOMPARE(calls[1].buttons(), int(vb::YesNoCancel));
    }
    if (reported) {
        // The list shows the new dates.
        const int col = layout == 0 ? 10 : (layout == 5 ? 1 : 0);
        if (col > 0) {
            const QString shown =
                w.Lst_XMLRows->Field(0, col) + w.Lst_XMLRows->Field(1, col) + w.Lst_XMLRows->Field(2, col);
            QCOMPARE(shown.contains(QStringLiteral("2024")), !stamped.join(QString()).isEmpty());
        }
    }
    const QString log = Fixture::log();
    QCOMPARE(log.contains(QStringLiteral("  *****  ERRORE di data !!")), dateError);
    if (dateError) QVERIFY(log.contains(QStringLiteral("- Riga : ")));
}

// The header gives nothing to do: another button, an empty list, no selection.
void TestZipSel::headerClickRefused_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("message"); // "" for a beep alone
    const QString none = QStringLiteral("Nessun file presente o nessun file selezionato !!");
    QTest::newRow("left button") << 1 << true << true << QString();
    QTest::newRow("empty list") << 2 << false << false << none;
    QTest::newRow("no row selected") << 2 << true << false << none;
}

void TestZipSel::headerClickRefused()
{
    QFETCH(int, button);
    QFETCH(bool, listed);
    QFETCH(bool, selected);
    QFETCH(QString, message);
    Fixture fx;
    fx.archive(true);
    const QString name = QStringLiteral("IT01234567890_00001.xml");
    fx.write(name, Doc{QStringLiteral("1")});
    F_ZipXML& w = fx.open();
    if (listed) w.Cmd_ListNew_Click();
    w.Lst_XMLRows->selectAll(selected);
    const int beepsBefore = fx.env.dialogs().beeps;
    w.Lbl_Hed_MouseUp(button, 2, 0, 0);
    QCOMPARE(fx.env.dialogs().beeps, beepsBefore + 1);
    QCOMPARE(fx.env.dialogs().messages(), message.isEmpty() ? QStringList() : QStringList{message});
    if (listed) QVERIFY(!datSend(fx.cn, name).isValid());
}

// Two listed files, the first selected. The caption of Lbl_LastDo gives the date; one that
// is no date asks whether to take today (10/12/2026 on the test clock).
void TestZipSel::zipRightClick_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("answer"); // 0: no question expected
    QTest::addColumn<QDate>("stamped");
    QTest::newRow("yyyy/mm/dd") << QStringLiteral("2024/03/15") << 0 << QDate(2024, 3, 15);
    QTest::newRow("dd/mm/yyyy") << QStringLiteral("15/03/2024") << 0 << QDate(2024, 3, 15);
    QTest::newRow("no date, today") << QStringLiteral("__/__/____") << int(vb::Yes) << QDate(2026, 12, 10);
    QTest::newRow("no date, refused") << QStringLiteral("__/__/____") << int(vb::No) << QDate();
}

void TestZipSel::zipRightClick()
{
    QFETCH(QString, caption);
    QFETCH(int, answer);
    QFETCH(QDate, stamped);
    Fixture fx;
    fx.archive(true);
    const QStringList names{QStringLiteral("IT01234567890_00001.xml"),
                            QStringLiteral("IT01234567890_00002.xml")};
    fx.write(names[0], Doc{QStringLiteral("1")}, day(2024, 1, 10));
    fx.write(names[1], Doc{QStringLiteral("2")}, day(2024, 1, 11));
    F_ZipXML& w = fx.open();
    w.Cmd_ListNew_Click();
    QCOMPARE(w.Lst_XMLRows->ListCount(), 2);
    QCOMPARE(w.Lst_XMLRows->FileName(0), names[0]);
    w.Lst_XMLRows->setSelected(0, true);
    w.Lbl_LastDo->setText(caption);
    if (answer != 0) fx.env.dialogs().answer(answer);

    w.Cmd_ZipSel_MouseUp(1, 0, 0, 0); // only the right button stamps
    QVERIFY(!datSend(fx.cn, names[0]).isValid());
    w.Cmd_ZipSel_MouseUp(2, 0, 0, 0);

    QVERIFY(fx.env.dialogs().allAnswered());
    const QStringList messages = fx.env.dialogs().messages();
    if (answer != 0) QCOMPARE(messages.value(0), QStringLiteral("Considero la data di oggi ?"));
    if (stamped.isValid()) {
        QCOMPARE(datSend(fx.cn, names[0]).toDateTime(), QDateTime(stamped, QTime(0, 0)));
        // The list is rebuilt: the stamped file shows its date, or is left out as sent before
        // the folder's limit.
        for (int i = 0; i < w.Lst_XMLRows->ListCount(); ++i)
            if (w.Lst_XMLRows->FileName(i) == names[0]) QVERIFY(!w.Lst_XMLRows->Field(i, 10).isEmpty());
        QCOMPARE(w.Lst_XMLRows->ListCount(), stamped.year() == 2026 ? 2 : 1);
    } else {
        QVERIFY(!datSend(fx.cn, names[0]).isValid());
        QCOMPARE(messages.last(), QStringLiteral("Abbandono la procedura !!"));
    }
    QVERIFY(!datSend(fx.cn, names[1]).isValid());
}

// The folder's date limit changed by a right click on Lbl_LastDo.
void TestZipSel::lastDateClick_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer"); // the confirmation; 0: none expected
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty answer") << QString() << 0 << false << QString();
    QTest::newRow("no such day") << QStringLiteral("2024/02/30") << 0 << false
                                 << QStringLiteral("Data ERRATA. ABBANDONO MODIFICA !!");
    QTest::newRow("no date") << QStringLiteral("domani") << 0 << false
                             << QStringLiteral("Data ERRATA. ABBANDONO MODIFICA !!");
    QTest::newRow("refused") << QStringLiteral("2024/05/31") << int(vb::No) << false << QString();
    QTest::newRow("confirmed") << QStringLiteral("2024/05/31") << int(vb::Yes) << true << QString();
    QTest::newRow("confirmed, dd/mm/yyyy")
        << QStringLiteral("31/05/2024") << int(vb::Yes) << true << QString();
}

void TestZipSel::lastDateClick()
{
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(bool, written);
    QFETCH(QString, error);
    Fixture fx;
    fx.archive(true);
    const QString key = QStringLiteral("LastZIP_") + fx.key();
    IniFile::write(kIni, kSec, key, QStringLiteral("2024/01/12"));
    F_ZipXML& w = fx.open();
    w.Cmd_ListNew_Click();
    QCOMPARE(w.FolderKey(), fx.key());
    const QString captionBefore = w.Lbl_LastDo->text();
    fx.env.dialogs().answerInput(typed);
    if (answer != 0) fx.env.dialogs().answer(answer);
    const int beepsBefore = fx.env.dialogs().beeps;
    w.Lbl_LastDo_MouseUp(2, 0, 0, 0);

    QVERIFY(fx.env.dialogs().allAnswered());
    QCOMPARE(fx.env.dialogs().inputDefaults, QStringList{QStringLiteral("2024/01/12")});
    QCOMPARE(fx.env.dialogs().calls.first().title, QStringLiteral("Cambio Data per Elenco XML"));
    QCOMPARE(IniFile::read(kIni, kSec, key, QString()), written ? typed : QStringLiteral("2024/01/12"));
    QCOMPARE(w.Lbl_LastDo->text(), written ? typed : captionBefore);
    const QStringList messages = fx.env.dialogs().messages();
    if (!error.isEmpty()) {
        QCOMPARE(messages, QStringList{error});
        QCOMPARE(fx.env.dialogs().beeps, beepsBefore + 1);
    }
    if (answer != 0) QCOMPARE(messages, QStringList{QStringLiteral("Confermi nuova data :\r\n\r\n") + typed});
}

// Rule 1 on A (never sent, received 20/02/2024) and B (sent on 05/02/2024), both selected.
// "switched": rows built in layout 0, Cmb_Ord then put on the last layout; "no record": A's
// FILES record is gone after the list was built.
void TestZipSel::dateSendRows_data()
{
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QString>("stampedA"); // "" for none
    QTest::addColumn<QString>("logged");   // "" for nothing logged
    QTest::newRow("sent row left alone") << QString() << QStringLiteral("2024-02-20") << QString();
    QTest::newRow("rows of another layout") << QStringLiteral("switched") << QString() << QString();
    QTest::newRow("row without record") << QStringLiteral("no record") << QString()
                                        << QStringLiteral("  *****  File NON presente in Archivio !!");
}

void TestZipSel::dateSendRows()
{
    QFETCH(QString, variant);
    QFETCH(QString, stampedA);
    QFETCH(QString, logged);
    Fixture fx;
    fx.archive(true);
    const QStringList names{QStringLiteral("IT01234567890_00001.xml"),
                            QStringLiteral("IT01234567890_00002.xml")};
    fx.write(names[0], Doc{QStringLiteral("1")}, day(2024, 2, 20));
    fx.record(fx.write(names[1], Doc{QStringLiteral("2")}, day(2024, 1, 15)),
              QDateTime(QDate(2024, 2, 5), QTime(0, 0)));
    const bool switched = variant == QStringLiteral("switched");
    F_ZipXML& w = fx.open(switched ? 0 : 5);
    w.Cmd_ListNew_Click();
    QCOMPARE(w.Lst_XMLRows->ListCount(), 2);
    if (switched) w.Cmb_Ord->setCurrentIndex(5);
    if (variant == QStringLiteral("no record"))
        fx.cn.Execute(QStringLiteral("DELETE FROM FILES WHERE des_fileonly=?"), {names[0]});
    w.Lst_XMLRows->selectAll(true);
    if (!switched) fx.env.dialogs().answer(vb::Yes).answerInput(QStringLiteral("1"));
    const int beepsBefore = fx.env.dialogs().beeps;
    w.Cmd_DoDateSend_Click();

    QVERIFY(fx.env.dialogs().allAnswered());
    if (switched) {
        QVERIFY(fx.env.dialogs().calls.isEmpty());
        QCOMPARE(fx.env.dialogs().beeps, beepsBefore + 1);
    }
    // Without its record A is not stamped (the list rebuilt after the run records it afresh).
    const QVariant a = datSend(fx.cn, names[0]);
    QCOMPARE(a.isNull() ? QString() : a.toDate().toString(Qt::ISODate), stampedA);
    QCOMPARE(datSend(fx.cn, names[1]).toDate(), QDate(2024, 2, 5));
    const QString log = Fixture::log();
    if (logged.isEmpty()) {
        QVERIFY(!log.contains(QStringLiteral("  *****  ")));
    } else {
        QVERIFY(log.contains(logged));
        QVERIFY(log.contains(QStringLiteral("- Riga : ")));
    }
}

// A new file A (received 10/01/2024) and a sent file B listed; "select" names the selected
// ones. answers and input go to the boxes in turn. A "blocker" is a plain file already at
// the ZIP path. zipped: the name the archive is found under, "" for none made.
void TestZipSel::zipStops_data()
{
    QTest::addColumn<QString>("select");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("blocker");
    QTest::addColumn<QString>("message"); // the last message expected, "" for any
    QTest::addColumn<QString>("zipped");
    QTest::newRow("only sent rows") << QStringLiteral("B") << QList<int>{} << QString() << false
                                    << QStringLiteral("NESSUN file Selezionato deve essere ancora Spedito !!")
                                    << QString();
    QTest::newRow("cancelled") << QStringLiteral("AB") << QList<int>{vb::Cancel} << QString() << false
                               << QString() << QString();
    QTest::newRow("rename left empty") << QStringLiteral("A") << QList<int>{vb::No} << QStringLiteral("")
                                       << false << QStringLiteral("ABBANDONO Invio File !!") << QString();
    QTest::newRow("a plain file in the way")
        << QStringLiteral("A") << QList<int>{vb::Yes} << QString() << true
        << QStringLiteral("IL FILE ESISTE E NON E' UNO ZIP !!") << QString();
    QTest::newRow("renamed without .ZIP, not definitive")
        << QStringLiteral("A") << QList<int>{vb::No, vb::Yes, vb::No} << QStringLiteral("MIO") << false
        << QStringLiteral("Definitiva ?") << QStringLiteral("MIO");
}

void TestZipSel::zipStops()
{
    QFETCH(QString, select);
    QFETCH(QList<int>, answers);
    QFETCH(QString, input);
    QFETCH(bool, blocker);
    QFETCH(QString, message);
    QFETCH(QString, zipped);
    Fixture fx;
    fx.archive(true);
    const QStringList names{QStringLiteral("IT01234567890_00001.xml"),
                            QStringLiteral("IT01234567890_00002.xml")};
    fx.write(names[0], Doc{QStringLiteral("1")}, day(2024, 1, 10));
    fx.record(fx.write(names[1], Doc{QStringLiteral("2")}, day(2024, 1, 11)),
              QDateTime(QDate(2024, 2, 5), QTime(0, 0)));
    const QString zipDir = fx.env.work() + QStringLiteral("zip/");
    QDir().mkpath(zipDir);
    const QString zipPath = zipDir + QStringLiteral("20240110_RIF_") + fx.key() + QStringLiteral("_XML.ZIP");
    if (blocker) fx.env.writeFile(zipPath, "not an archive");
    fx.env.launcher().onRun = &RecordingLauncher::runForReal;

    F_ZipXML& w = fx.open();
    w.Cmd_ListNew_Click();
    QCOMPARE(w.Lst_XMLRows->ListCount(), 2);
    for (int i = 0; i < 2; ++i)
        w.Lst_XMLRows->setSelected(i, select.contains(QLatin1Char('A' + i)));
    w.Txt_DirZIP.setText(zipDir);
    w.Txt_Rif.setText(QStringLiteral("RIF"));
    w.Chk_DoMail.setValue(0);
    for (int i = 0; i < answers.size(); ++i) {
        fx.env.dialogs().answer(answers[i]);
        if (i == 0 && answers[i] == vb::No) fx.env.dialogs().answerInput(input);
    }
    const int beepsBefore = fx.env.dialogs().beeps;
    w.Cmd_ZipSel_Click();

    QVERIFY(fx.env.dialogs().allAnswered());
    QVERIFY(w.Cmd_ZipSel->isEnabled());
    QVERIFY(w.Cmb_FoldXML->isEnabled());
    const QStringList messages = fx.env.dialogs().messages();
    if (!message.isEmpty()) QVERIFY2(messages.last().startsWith(message), qPrintable(messages.last()));
    int runs = 0;
    for (const RecordingLauncher::Start& st : fx.env.launcher().starts)
        if (st.kind == QStringLiteral("wait")) ++runs;
    if (zipped.isEmpty()) {
        QCOMPARE(runs, 0);
        QVERIFY(fx.env.dialogs().beeps > beepsBefore);
        QCOMPARE(TestEnv::readFile(zipPath), QByteArray(blocker ? "not an archive" : ""));
    } else {
        QCOMPARE(runs, 1);
        QVERIFY(QFileInfo::exists(zipDir + zipped));
        QVERIFY(!QFileInfo::exists(zipPath));
        // The list file is written by a definitive run only.
        QVERIFY(!QFileInfo::exists(zipDir + QStringLiteral("20240110_RIF_") + fx.key() +
                                   QStringLiteral("_ZIPLIST.TXT")));
        QCOMPARE(w.status(), QStringLiteral("Termine generazione File ZIP. - Mail NON Inviata."));
    }
    // Nothing here is a definitive run: no send date moves.
    QVERIFY(!datSend(fx.cn, names[0]).isValid());
    QCOMPARE(datSend(fx.cn, names[1]).toDate(), QDate(2024, 2, 5));
}

QTEST_MAIN(TestZipSel)
#include "tst_zipsel.moc"
