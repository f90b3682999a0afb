// The maintenance window's refresh of one base folder and its runs over every base folder:
// the counts and end texts, the folder selected in turn, a folder that fails, and the
// commands refused while a run holds the window.
#include "archive/F_XMLCompact.h"
#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/Folders.h"
#include "qor/Cl_QOR.h"
#include "support/InvoiceMaker.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <stdexcept>

using namespace ado;

class TstXMLCompactRuns : public QObject
{
    Q_OBJECT
  private slots:
    void refreshOne_data();
    void refreshOne();
    void refreshAll_data();
    void refreshAll();
    void compactAll_data();
    void compactAll();
    void userRefusedDuringRun_data();
    void userRefusedDuringRun();
};

namespace
{
const QString kCrLf = QStringLiteral("\r\n");
const QString kErrors = QStringLiteral("( 1 Cartelle con errori: vedere XMLGESTALO_Debug.LOG )");
const QString kAskMDB =
    QStringLiteral("ATTENZIONE !!\r\n\r\nQuesta operazione Aggiorna l'MDB\r\nper TUTTE le "
                   "Cartelle BASE.\r\n\r\nPROSEGUO ??");
const QString kAskFold =
    QStringLiteral("ATTENZIONE !!\r\n\r\nQuesta operazione Compatta\r\nTUTTE le Cartelle "
                   "collegate\r\na TUTTE le Cartelle BASE\r\n\r\nPROSEGUO ??");
const QString kNoBase = QStringLiteral("NESSUA Cartella Base in elenco !!");
const QString kMDBDone = QStringLiteral("Aggiornamento MDB globale TERMINATO !!\r\n");
const QString kFoldDone = QStringLiteral("Compattamento globale TERMINATO !!\r\n");
const QString kFailed = QStringLiteral("  !!! ERRORE Cartella : ");
const QString kUpdHead = QStringLiteral("    -----  AGGIORNAMENTO Cartella : ");
const QString kMDBHead = QStringLiteral("§==========  AGGIORNAMENTO Automatico Cartelle di : ");
const QString kFoldHead = QStringLiteral("§==========  COMPATTAMENTO Automatico Sottocartelle di : ");
const QString kMDBStart = QStringLiteral("§========== Inizio CMD_ALLMDB_CLICK  ==========");
const QString kMDBEnd = QStringLiteral("========== Fine CMD_ALLMDB_CLICK  ==========");

// A base folder of a fixture: its new invoice files, or -1 for one file that cannot be
// read; with a linked folder or not; its selection failing in the database or not; how
// many of its files the linked folder holds a copy of; whether deleting there fails with
// an error that ends the folder's compaction.
struct Base {
    int files = 0;
    bool linked = false;
    bool failing = false;
    int copies = 0;
    bool removeThrows = false;
};

struct Fixture {
    TestEnv env;
    Connection cn;
    QStringList paths;
    QStringList links; // "" for a base folder without one
    int invoices = 0;
    Fixture()
    {
        G_DirApp = Folders::appDir();
        G_DirWin = Folders::windowsDir();
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
        B_Develop = false;
        env.dialogs().acceptOkBoxes = true;
        MDB_Create(Pth_DirTmpMDB);
        cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
        Upd_Tabs_Compact(cn);
    }
    ~Fixture()
    {
        B_Develop = false;
        XMLCompact_SetRemoveForTests({});
        if (cn.State() == adStateOpen) cn.Close();
        if (F_XMLCompact::isLoaded()) F_XMLCompact::instance().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Base folders "b1/", "b2/", ... in list order. False when an unreadable file cannot be
    // made here.
    bool make(const QList<Base>& bases)
    {
        QList<qint32> failing;
        QStringList throwing;
        for (int i = 0; i < bases.size(); ++i) {
            const QString path = env.work() + QStringLiteral("b%1/").arg(i + 1);
            QDir().mkpath(path);
            paths << path;
            cn.Execute(QStringLiteral("INSERT INTO DIRBASE (cod_firma, des_cartella) VALUES (?, ?)"),
                       {MDB_FolderKey(path), path});
            if (bases[i].files < 0 && TestEnv::unreadableFile(path + QStringLiteral("IT01_X.xml"),
                                                              invoiceXml(Doc(QStringLiteral("0"))))
                                          .isEmpty())
                return false;
            const QStringList written = addFiles(i, bases[i].files);
            links << QString();
            if (bases[i].linked || bases[i].failing) {
                const QString link = env.work() + QStringLiteral("l%1/").arg(i + 1);
                QDir().mkpath(link);
                links.last() = link;
                for (int c = 0; c < bases[i].copies; ++c)
                    if (!QFile::copy(written[c], link + QFileInfo(written[c]).fileName())) return false;
                cn.Execute(QStringLiteral("INSERT INTO DIRSUB (cod_firma_base, cod_firma, des_cartella, "
                                          "num_cartella) VALUES (?, ?, ?, 1)"),
                           {MDB_FolderKey(path), MDB_FolderKey(link), link});
            }
            if (bases[i].failing) failing << MDB_FolderKey(path);
            if (bases[i].removeThrows) throwing << links.last();
        }
        if (!throwing.isEmpty())
            XMLCompact_SetRemoveForTests([throwing](const QString& file, QString* error) {
                for (const QString& t : throwing)
                    if (file.startsWith(t)) throw std::runtime_error("disco non pronto");
                if (QFile::remove(file)) return true;
                if (error) *error = QStringLiteral("rimozione fallita");
                return false;
            });
        if (!failing.isEmpty()) {
            // Reading this base folder's linked folders fails at its row, as a damaged
            // archive does; the other folders read theirs.
            QStringList keys;
            for (qint32 k : failing)
                keys << QString::number(k);
            cn.Execute(QStringLiteral("ALTER TABLE DIRSUB RENAME TO DIRSUB_DATA"));
            cn.Execute(QStringLiteral("CREATE VIEW DIRSUB AS SELECT cod_firma_base, num_cartella, cod_firma, "
                                      "CASE WHEN cod_firma_base IN (") +
                       keys.join(QLatin1Char(',')) +
                       QStringLiteral(") THEN json('guasto') ELSE des_cartella END AS des_cartella "
                                      "FROM DIRSUB_DATA"));
        }
        return true;
    }
    QStringList addFiles(int base, int n)
    {
        QStringList out;
        for (int k = 0; k < n; ++k) {
            ++invoices;
            out << env.writeFile(paths[base] +
                                     QStringLiteral("IT01234567890_%1.xml").arg(invoices, 5, 10, QChar('0')),
                                 invoiceXml(Doc(QString::number(invoices))));
        }
        return out;
    }
    // XML files left in each linked folder; -1 for a base folder without one.
    QList<int> left() const
    {
        QList<int> out;
        for (const QString& l : links)
            out << (l.isEmpty() ? -1 : int(QDir(l).entryList({QStringLiteral("*.xml")}, QDir::Files).size()));
        return out;
    }
    qint64 rows(int base)
    {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM FILES WHERE cod_firma=?"), cn, adOpenStatic, adLockReadOnly,
                QVariantList{MDB_FolderKey(paths[base])});
        const qint64 n = rs.RecordCount();
        rs.Close();
        return n;
    }
    static QString key(const QString& path) { return QStringLiteral("%1").arg(MDB_FolderKey(path), 9); }
    // From here on the log is the run's.
    void mark() { logStart = TestEnv::readFile(Pth_DebugLog).size(); }
    qsizetype logStart = 0;
    // The run's own lines of the debug log, without their time stamps: those that begin
    // with one of the heads.
    QStringList runLog(const QStringList& heads) const
    {
        static const QRegularExpression stamp(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d "));
        QStringList out;
        for (QString line : QString::fromUtf8(TestEnv::readFile(Pth_DebugLog).mid(logStart)).split(kCrLf)) {
            line.remove(stamp);
            for (const QString& head : heads) {
                if (line.startsWith(head)) {
                    out << line;
                    break;
                }
            }
        }
        return out;
    }
    F_XMLCompact& window()
    {
        F_XMLCompact& w = F_XMLCompact::instance();
        w.Show();
        return w;
    }
};

// The window as a run leaves it, however the run ended.
void checkLeftClean(F_XMLCompact& w)
{
    QVERIFY(!w.running());
    QVERIFY(!w.B_AutoRun);
    QVERIFY(w.Lbl_Wait->isHidden());
    QVERIFY(!QApplication::overrideCursor());
}
} // namespace

Q_DECLARE_METATYPE(Base)

void TstXMLCompactRuns::refreshOne_data()
{
    QTest::addColumn<int>("files");     // new files; -1: one that cannot be read
    QTest::addColumn<bool>("recorded"); // the files were recorded before
    QTest::addColumn<bool>("selected"); // a base folder selected
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("message"); // start of the one message shown, or empty
    QTest::addColumn<qint64>("rows");

    QTest::newRow("two new files") << 2 << false << true
                                   << QStringLiteral("Lettura completata. (Aggiunti 2 files.)") << QString()
                                   << qint64(2);
    QTest::newRow("one new file") << 1 << false << true
                                  << QStringLiteral("Lettura completata. (Aggiunti 1 files.)") << QString()
                                  << qint64(1);
    QTest::newRow("nothing new") << 2 << true << true
                                 << QStringLiteral("Lettura completata. (Nessun nuovo file !)") << QString()
                                 << qint64(2);
    QTest::newRow("no folder selected") << 2 << false << false << QString() << QString() << qint64(0);
    QTest::newRow("unreadable file: the handler reports it")
        << -1 << false << true << QString() << QStringLiteral("ERRORE in Cmd_UpdFiles_Click :\r\n")
        << qint64(0);
}

void TstXMLCompactRuns::refreshOne()
{
    QFETCH(int, files);
    QFETCH(bool, recorded);
    QFETCH(bool, selected);
    QFETCH(QString, status);
    QFETCH(QString, message);
    QFETCH(qint64, rows);

    Fixture fx;
    if (!fx.make({Base{files}})) QSKIP("no unreadable file can be made here");
    if (recorded) QCOMPARE(MDB_UpdFiles(fx.cn, MDB_FolderKey(fx.paths[0])), files);
    F_XMLCompact& w = fx.window();
    if (!selected) w.setFoldIndex(-1);
    w.setStatus(QString());
    ScriptedDialogs& d = fx.env.dialogs();
    const int beeps = d.beeps;
    fx.mark();

    w.Cmd_UpdFiles->click(); // as the user does: under the window's handler guard

    QCOMPARE(w.status(), status);
    const QStringList shown = d.messages();
    QCOMPARE(shown.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QVERIFY2(shown[0].startsWith(message), qPrintable(shown[0]));
        QCOMPARE(d.calls.last().icon(), int(vb::Critical));
    }
    QCOMPARE(d.beeps - beeps, message.isEmpty() ? 1 : 0);
    QCOMPARE(fx.rows(0), rows);
    QCOMPARE(fx.runLog({kUpdHead}), selected ? QStringList{kUpdHead + Fixture::key(fx.paths[0]) +
                                                           QStringLiteral(" - ") + fx.paths[0]}
                                             : QStringList{});
    checkLeftClean(w);
}

void TstXMLCompactRuns::refreshAll_data()
{
    QTest::addColumn<QList<Base>>("bases");
    QTest::addColumn<int>("answer");  // 0: not asked
    QTest::addColumn<QString>("end"); // the end text; empty: none
    QTest::addColumn<qint32>("added");
    QTest::addColumn<QList<qint64>>("rows");

    QTest::newRow("gains 3 and 2") << QList<Base>{{3}, {2}} << int(vb::Yes)
                                   << kMDBDone + QStringLiteral(" ( 5 Files Aggiunti.)") << 5
                                   << QList<qint64>{3, 2};
    QTest::newRow("nothing new") << QList<Base>{{0}, {0}} << int(vb::Yes)
                                 << kMDBDone + QStringLiteral(" (Nessun file aggiunto.)") << 0
                                 << QList<qint64>{0, 0};
    QTest::newRow("an unreadable file, the next folder still done")
        << QList<Base>{{-1}, {2}} << int(vb::Yes)
        << kMDBDone + QStringLiteral(" ( 2 Files Aggiunti.)") + kCrLf + kErrors << 2 << QList<qint64>{0, 2};
    QTest::newRow("a folder failing in the database, the next still done")
        << QList<Base>{{2}, {3, false, true}, {1}} << int(vb::Yes)
        << kMDBDone + QStringLiteral(" ( 3 Files Aggiunti.)") + kCrLf + kErrors << 3
        << QList<qint64>{2, 0, 1};
    QTest::newRow("the last folder failing")
        << QList<Base>{{2}, {-1}} << int(vb::Yes)
        << kMDBDone + QStringLiteral(" ( 2 Files Aggiunti.)") + kCrLf + kErrors << 2 << QList<qint64>{2, 0};
    QTest::newRow("declined") << QList<Base>{{3}, {2}} << int(vb::No) << QString() << 7
                              << QList<qint64>{0, 0};
    QTest::newRow("no base folder") << QList<Base>{} << 0 << QString() << 7 << QList<qint64>{};
}

void TstXMLCompactRuns::refreshAll()
{
    QFETCH(QList<Base>, bases);
    QFETCH(int, answer);
    QFETCH(QString, end);
    QFETCH(qint32, added);
    QFETCH(QList<qint64>, rows);

    Fixture fx;
    if (!fx.make(bases)) QSKIP("no unreadable file can be made here");
    F_XMLCompact& w = fx.window();
    w.N_Added = 7;
    w.setStatus(QString());
    ScriptedDialogs& d = fx.env.dialogs();
    if (answer) d.answer(answer);
    const int beeps = d.beeps;
    fx.mark();

    w.Cmd_AllMDB->click();

    QStringList expected;
    if (bases.isEmpty()) expected << kNoBase;
    if (answer) expected << kAskMDB;
    if (!end.isEmpty()) expected << end;
    QCOMPARE(d.messages(), expected);
    QVERIFY(d.allAnswered());
    const ScriptedDialogs::Call& first = d.calls.first();
    QCOMPARE(first.style, answer ? vb::YesNo | vb::Question : vb::OKOnly | vb::Critical);
    QCOMPARE(first.title, F_XMLCompact::Caption());
    if (!end.isEmpty()) {
        QCOMPARE(d.calls.last().style, int(vb::OKOnly));
        QCOMPARE(d.calls.last().title, QString());
    }
    // One beep, at the end or for the refusal: none from the folders' own refreshes.
    QCOMPARE(d.beeps - beeps, 1);
    QCOMPARE(w.status(), end);
    QCOMPARE(w.N_Added, added);
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(fx.rows(i), rows[i]);

    QStringList log;
    if (!end.isEmpty()) {
        log << kMDBStart;
        for (int i = 0; i < bases.size(); ++i) {
            const QString p = fx.paths[i];
            if (bases[i].failing) {
                log << kFailed + p;
                continue;
            }
            log << kMDBHead + p << kUpdHead + Fixture::key(p) + QStringLiteral(" - ") + p;
            if (bases[i].files < 0) log << kFailed + p;
        }
        log << kMDBEnd;
        // The last folder stays selected.
        QCOMPARE(w.Cmb_FoldXML->currentIndex(), bases.size() - 1);
        QCOMPARE(w.BaseKey(), QString::number(MDB_FolderKey(fx.paths.last())));
        QVERIFY(w.Lbl_XMLFile->isHidden());
        QCOMPARE(w.Lbl_XMLFile->text(), QString());
    }
    QStringList got = fx.runLog({kMDBStart, kMDBHead, kUpdHead, kFailed, kMDBEnd});
    // An error line goes on with the error's number and description.
    for (QString& line : got) {
        if (!line.startsWith(kFailed)) continue;
        const int cut = line.indexOf(QStringLiteral(" - Errore "));
        QVERIFY2(cut > 0 && line.size() > cut + 14, qPrintable(line));
        line.truncate(cut);
    }
    QCOMPARE(got, log);
    checkLeftClean(w);
}

void TstXMLCompactRuns::compactAll_data()
{
    QTest::addColumn<QList<Base>>("bases");
    QTest::addColumn<int>("answer");  // 0: not asked
    QTest::addColumn<QString>("end"); // the end text; empty: none
    QTest::addColumn<qint32>("deleted");
    QTest::addColumn<QList<int>>("left"); // files left in each linked folder, -1: none
    QTest::addColumn<bool>("stamped");    // "LastCompact" written

    const QString none = QStringLiteral(" (Nessun file eliminato.)");
    QTest::newRow("every base folder in turn, deletions totalled")
        << QList<Base>{{2, true, false, 1}, {1, false}, {3, true, false, 2}} << int(vb::Yes)
        << kFoldDone + QStringLiteral(" ( 3 Files Eliminati.)") << 3 << QList<int>{0, -1, 0} << true;
    QTest::newRow("links with nothing to delete") << QList<Base>{{1, true}, {1, false}} << int(vb::Yes)
                                                  << kFoldDone + none << 0 << QList<int>{0, -1} << true;
    QTest::newRow("no base folder with links") << QList<Base>{{1, false}, {1, false}} << int(vb::Yes)
                                               << kFoldDone + none << 0 << QList<int>{-1, -1} << false;
    QTest::newRow("a folder failing in the database, the next still done")
        << QList<Base>{{2, true, false, 1}, {1, true, true}, {2, true, false, 2}} << int(vb::Yes)
        << kFoldDone + QStringLiteral(" ( 3 Files Eliminati.)") + kCrLf + kErrors << 3 << QList<int>{0, 0, 0}
        << true;
    QTest::newRow("a compaction ending in an error, the next still done")
        << QList<Base>{{2, true, false, 2, true}, {2, true, false, 1}} << int(vb::Yes)
        << kFoldDone + QStringLiteral(" ( 1 Files Eliminati.)") + kCrLf + kErrors << 1 << QList<int>{2, 0}
        << true;
    QTest::newRow("the last compaction ending in an error")
        << QList<Base>{{2, true, false, 1}, {2, true, false, 1, true}} << int(vb::Yes)
        << kFoldDone + QStringLiteral(" ( 1 Files Eliminati.)") + kCrLf + kErrors << 1 << QList<int>{0, 1}
        << true;
    QTest::newRow("the last folder failing in the database")
        << QList<Base>{{1, true, false, 1}, {1, true, true}} << int(vb::Yes)
        << kFoldDone + QStringLiteral(" ( 1 Files Eliminati.)") + kCrLf + kErrors << 1 << QList<int>{0, 0}
        << true;
    QTest::newRow("declined") << QList<Base>{{1, true, false, 1}} << int(vb::No) << QString() << 7
                              << QList<int>{1} << false;
    QTest::newRow("no base folder") << QList<Base>{} << 0 << QString() << 7 << QList<int>{} << false;
}

void TstXMLCompactRuns::compactAll()
{
    QFETCH(QList<Base>, bases);
    QFETCH(int, answer);
    QFETCH(QString, end);
    QFETCH(qint32, deleted);
    QFETCH(QList<int>, left);
    QFETCH(bool, stamped);

    Fixture fx;
    QVERIFY(fx.make(bases));
    for (int i = 0; i < bases.size(); ++i)
        MDB_UpdFiles(fx.cn, MDB_FolderKey(fx.paths[i]));
    F_XMLCompact& w = fx.window();
    w.N_Deleted = 7;
    w.setStatus(QString());
    ScriptedDialogs& d = fx.env.dialogs();
    if (answer) d.answer(answer);
    const int beeps = d.beeps;
    fx.mark();

    w.Cmd_AllFold->click();

    QStringList expected;
    if (bases.isEmpty()) expected << kNoBase;
    if (answer) expected << kAskFold; // once for the whole run
    if (!end.isEmpty()) expected << end;
    QCOMPARE(d.messages(), expected);
    QVERIFY(d.allAnswered());
    const ScriptedDialogs::Call& first = d.calls.first();
    QCOMPARE(first.style, answer ? vb::YesNo | vb::Question : vb::OKOnly | vb::Critical);
    QCOMPARE(first.title, F_XMLCompact::Caption());
    if (!end.isEmpty()) {
        QCOMPARE(d.calls.last().style, int(vb::OKOnly));
        QCOMPARE(d.calls.last().title, QString());
    } else {
        QCOMPARE(d.beeps - beeps, 1);
    }
    QCOMPARE(w.status(), end);
    QCOMPARE(w.N_Deleted, deleted);

    QStringList log;
    for (int i = 0; !end.isEmpty() && i < bases.size(); ++i) {
        log << (bases[i].failing ? kFailed : kFoldHead) + fx.paths[i];
        if (bases[i].removeThrows) log << kFailed + fx.paths[i];
    }
    QStringList got = fx.runLog({kFoldHead, kFailed});
    for (QString& line : got) {
        const int cut = line.indexOf(QStringLiteral(" - Errore "));
        if (line.startsWith(kFailed) && cut > 0) line.truncate(cut);
    }
    QCOMPARE(got, log);
    QCOMPARE(fx.left(), left);
    QCOMPARE(Qor().IniRead(QStringLiteral("ParamXML"), QStringLiteral("LastCompact"), QString(),
                           QStringLiteral("QOR_PLCR.INI")),
             stamped ? fx.env.clock().now().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : QString());
    checkLeftClean(w);
    if (end.isEmpty()) return;
    QCOMPARE(w.Cmb_FoldXML->currentIndex(), bases.size() - 1);
    QCOMPARE(w.BaseKey(), QString::number(MDB_FolderKey(fx.paths.last())));

    // However the run ended, the next single compaction asks first.
    if (fx.links.last().isEmpty() || bases.last().failing) return;
    d.answer(vb::No);
    w.Cmd_Compact->click();
    QCOMPARE(d.messages().last(), QStringLiteral("Confermi eliminazione files doppi ??"));
    QCOMPARE(fx.left(), left);
}

void TstXMLCompactRuns::userRefusedDuringRun_data()
{
    QTest::addColumn<QString>("run"); // the button's name
    QTest::addColumn<int>("answer");  // 0: not asked
    QTest::addColumn<QString>("end"); // status text the run ends with

    QTest::newRow("Cmd_UpdFiles") << QStringLiteral("Cmd_UpdFiles") << 0
                                  << QStringLiteral("Lettura completata. (Aggiunti 1 files.)");
    QTest::newRow("Cmd_AllMDB") << QStringLiteral("Cmd_AllMDB") << int(vb::Yes)
                                << kMDBDone + QStringLiteral(" ( 3 Files Aggiunti.)");
    QTest::newRow("Cmd_AllFold") << QStringLiteral("Cmd_AllFold") << int(vb::Yes)
                                 << kFoldDone + QStringLiteral(" (Nessun file eliminato.)");
}

void TstXMLCompactRuns::userRefusedDuringRun()
{
    QFETCH(QString, run);
    QFETCH(int, answer);
    QFETCH(QString, end);

    Fixture fx;
    QVERIFY(fx.make({Base{1, true}, Base{2, true}}));
    B_Develop = true; // Cmd_UpdFiles shown
    F_XMLCompact& w = fx.window();
    auto* button = w.findChild<QPushButton*>(run);
    QVERIFY(button);
    ScriptedDialogs& d = fx.env.dialogs();
    if (answer) d.answer(answer);
    const int beeps = d.beeps;

    // What the user does while the run lets events through: the same command again, a
    // folder removal, closing the window.
    QMetaObject::invokeMethod(button, "click", Qt::QueuedConnection);
    QMetaObject::invokeMethod(w.Cmd_DelDir, "click", Qt::QueuedConnection);
    QMetaObject::invokeMethod(&w, "close", Qt::QueuedConnection);
    button->click();
    QCoreApplication::processEvents(); // nothing was left to run after the run

    QVERIFY(F_XMLCompact::isLoaded());
    QVERIFY(w.isVisible());
    QCOMPARE(w.status(), end);
    QCOMPARE(d.messages().size(), answer ? 2 : 0); // one run's question and end text only
    QCOMPARE(d.beeps - beeps, 1 + 3);              // the run's end, then one for each refusal
    QCOMPARE(w.Cmb_FoldXML->count(), 2);
    checkLeftClean(w);
}

QTEST_MAIN(TstXMLCompactRuns)
#include "tst_xmlcompact_runs.moc"
