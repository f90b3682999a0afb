// The maintenance window's date repairs: missing reception dates from the files' stamps, and
// send dates for the files received up to a typed limit.
#include "archive/F_XMLCompact.h"
#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/Folders.h"
#include "qor/Cl_QOR.h"
#include "support/InvoiceMaker.h"
#include "support/TestEnv.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTest>

using namespace ado;

class TstXMLCompactDates : public QObject
{
    Q_OBJECT
  private slots:
    void sendDates_data();
    void sendDates();
    void receptionDates_data();
    void receptionDates();
};

namespace
{
const QString kForm = QStringLiteral("dd/MM/yyyy HH:mm:ss");

QDateTime at(const QString& text)
{
    return QDateTime::fromString(text, kForm);
}

struct Row {
    bool inB2;
    const char* received; // "" for none
    const char* sent;     // "" for none
};

struct Fixture {
    TestEnv env;
    Connection cn;
    QString b, b2;
    QStringList paths;
    QList<QPair<QString, QString>> seen; // development views: list name, guard held
    Fixture()
    {
        G_DirApp = Folders::appDir();
        G_DirWin = Folders::windowsDir();
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
        B_Develop = false;
        b = env.work() + QStringLiteral("b/");
        b2 = env.work() + QStringLiteral("b2/");
        MDB_Create(Pth_DirTmpMDB);
        cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
        Upd_Tabs_Compact(cn);
        for (const QString& f : {b, b2})
            cn.Execute(QStringLiteral("INSERT INTO DIRBASE (cod_firma, des_cartella) VALUES (?, ?)"),
                       {MDB_FolderKey(f), f});
    }
    // A file on disk (unless missing) with its FILES row.
    void add(const Row& r, bool missing = false, const QDateTime& stamp = {})
    {
        const QString folder = r.inB2 ? b2 : b;
        const QString name = QStringLiteral("IT01234567890_%1.xml").arg(paths.size() + 1, 5, 10, QChar('0'));
        const QString path = folder + name;
        if (!missing) {
            env.writeFile(path, invoiceXml(Doc(QString::number(paths.size() + 1))));
            if (stamp.isValid()) {
                QFile f(path);
                QVERIFY(f.open(QIODevice::ReadWrite));
                QVERIFY(f.setFileTime(stamp, QFileDevice::FileModificationTime));
            }
        }
        const QString rec = QLatin1String(r.received), snt = QLatin1String(r.sent);
        cn.Execute(
            QStringLiteral("INSERT INTO FILES (cod_firma, des_file, des_fileonly, val_lunfile, dat_ric, "
                           "dat_send, des_numdoc) VALUES (?, ?, ?, 100, ?, ?, ?)"),
            {MDB_FolderKey(folder), path, name, rec.isEmpty() ? QVariant() : QVariant(at(rec)),
             snt.isEmpty() ? QVariant() : QVariant(at(snt)), QString::number(paths.size() + 1)});
        paths << path;
    }
    QStringList column(const QString& col)
    {
        QStringList out;
        for (const QString& p : paths) {
            Recordset rs;
            rs.Open(QStringLiteral("SELECT ") + col + QStringLiteral(" FROM FILES WHERE des_file=?"), cn,
                    adOpenStatic, adLockReadOnly, QVariantList{p});
            const QVariant v = rs[col].Value();
            out << (v.isNull() ? QString() : v.toDateTime().toString(kForm));
            rs.Close();
        }
        return out;
    }
    F_XMLCompact& window()
    {
        F_XMLCompact& w = F_XMLCompact::instance();
        F_XMLCompact::setRs2List([this, &w](Recordset&, const QString& name, int maxCol) {
            seen.append({name + QLatin1Char(':') + QString::number(maxCol),
                         w.running() ? QStringLiteral("held") : QStringLiteral("free")});
        });
        w.Show();
        return w;
    }
    ~Fixture()
    {
        F_XMLCompact::setRs2List({});
        B_Develop = false;
        if (cn.State() == adStateOpen) cn.Close();
        if (F_XMLCompact::isLoaded()) F_XMLCompact::instance().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

const QString kAsk = QStringLiteral("Confermi assegnazione Data di Invio al Commercialista ?");
const QString kDone = QStringLiteral("Assegnazione date, COMPLETATA !!");

// Rows of every send-date case, in this order.
const QList<Row> kSendRows{
    {false, "10/03/2021 10:00:00", ""},
    {false, "20/01/2021 08:00:00", ""},
    {false, "15/03/2021 23:59:59", ""},
    {false, "16/03/2021 00:00:00", ""},
    {false, "05/03/2021 09:00:00", "01/03/2021 20:00:00"}, // already sent
    {true, "01/03/2021 09:00:00", ""},                     // another base folder
    {false, "14/02/2024 09:00:00", ""},
};
} // namespace

void TstXMLCompactDates::sendDates_data()
{
    QTest::addColumn<bool>("folder");     // a base folder selected
    QTest::addColumn<QString>("lastZip"); // "" writes none
    QTest::addColumn<int>("confirm");     // 0: not asked
    QTest::addColumn<QString>("typed");   // "-": no input box
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("sent");

    const QStringList untouched{"", "", "", "", "01/03/2021 20:00:00", "", ""};
    const QString ask = kAsk;
    QTest::newRow("limit month gets the limit, older months their end")
        << true << "15/03/2021" << int(vb::Yes) << "15/03/2021" << QStringList{ask} << kDone
        << QStringList{"15/03/2021 20:00:00",
                       "31/01/2021 20:00:00",
                       "15/03/2021 20:00:00",
                       "",
                       "01/03/2021 20:00:00",
                       "",
                       ""};
    QTest::newRow("a limit with a time means its whole day")
        << true << "15/03/2021" << int(vb::Yes) << "15/03/2021 10:00" << QStringList{ask} << kDone
        << QStringList{"15/03/2021 20:00:00",
                       "31/01/2021 20:00:00",
                       "15/03/2021 20:00:00",
                       "",
                       "01/03/2021 20:00:00",
                       "",
                       ""};
    QTest::newRow("leap February ends on the 29th")
        << true << "15/03/2021" << int(vb::Yes) << "10/04/2024" << QStringList{ask} << kDone
        << QStringList{"31/03/2021 20:00:00", "31/01/2021 20:00:00", "31/03/2021 20:00:00",
                       "31/03/2021 20:00:00", "01/03/2021 20:00:00", "",
                       "29/02/2024 20:00:00"};
    QTest::newRow("nothing up to the limit")
        << true << "15/03/2021" << int(vb::Yes) << "01/01/2000"
        << QStringList{ask, QStringLiteral("NESSUNA Fattura da gestire !!")} << kDone << untouched;
    QTest::newRow("never a definitive ZIP")
        << true << "" << 0 << "-" << QStringList{QStringLiteral("Mai generato lo ZIP definitivo !!")} << ""
        << untouched;
    QTest::newRow("declined") << true << "15/03/2021" << int(vb::No) << "-" << QStringList{ask} << ""
                              << untouched;
    QTest::newRow("input cancelled") << true << "15/03/2021" << int(vb::Yes) << "" << QStringList{ask} << ""
                                     << untouched;
    QTest::newRow("invalid date") << true << "15/03/2021" << int(vb::Yes) << "31/02/2021"
                                  << QStringList{ask, QStringLiteral(
                                                          "Data non valida !!\r\nAbbandono operazione !!")}
                                  << "" << untouched;
    QTest::newRow("no base folder selected")
        << false << "15/03/2021" << 0 << "-" << QStringList{} << "" << untouched;
}

void TstXMLCompactDates::sendDates()
{
    QFETCH(bool, folder);
    QFETCH(QString, lastZip);
    QFETCH(int, confirm);
    QFETCH(QString, typed);
    QFETCH(QStringList, messages);
    QFETCH(QString, status);
    QFETCH(QStringList, sent);

    Fixture fx;
    for (const Row& r : kSendRows)
        fx.add(r);
    const QString key = QString::number(MDB_FolderKey(fx.b));
    if (!lastZip.isEmpty())
        Qor().IniWrite(QStringLiteral("ParamXML"), QStringLiteral("LastZIP_") + key, lastZip,
                       QStringLiteral("QOR_PLCR.INI"));
    B_Develop = true;
    F_XMLCompact& w = fx.window();
    w.setFoldIndex(folder ? w.Cmb_FoldXML->findText(fx.b) : -1);
    QCOMPARE(w.BaseKey(), folder ? key : QString());
    w.setStatus(QString());

    ScriptedDialogs& d = fx.env.dialogs();
    d.acceptOkBoxes = true;
    if (confirm) d.answer(confirm);
    if (typed != QLatin1String("-")) d.answerInput(typed);
    const int beepsBefore = d.beeps;
    w.Cmd_OldDat_Click();

    QCOMPARE(d.messages(), messages);
    QVERIFY(d.allAnswered());
    QCOMPARE(d.beeps - beepsBefore, status.isEmpty() ? 1 : (messages.size() > 1 ? 2 : 1));
    QCOMPARE(w.status(), status);
    QCOMPARE(fx.column(QStringLiteral("dat_send")), sent);
    QVERIFY(!w.running());
    for (const ScriptedDialogs::Call& c : d.calls) {
        if (c.kind == QLatin1String("input")) {
            QCOMPARE(c.text, QStringLiteral("Data Ricezione Documento limite per Assegnazione Data :"));
            QCOMPARE(c.title, QStringLiteral("Asegnazione data di Invio a Commercialista"));
        } else if (c.text == kAsk) {
            QCOMPARE(c.style, vb::YesNo | vb::Question);
            QCOMPARE(c.title, F_XMLCompact::Caption());
        } else {
            QCOMPARE(c.icon(), int(vb::Critical));
        }
    }
    if (typed != QLatin1String("-")) QCOMPARE(d.inputDefaults, QStringList{lastZip});
    if (!status.isEmpty()) {
        QCOMPARE(fx.seen.size(), 1);
        QCOMPARE(fx.seen[0],
                 (QPair<QString, QString>{QStringLiteral("TEST_OldFt:30"), QStringLiteral("held")}));
    }
}

void TstXMLCompactDates::receptionDates_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("withRows");
    QTest::addColumn<int>("confirm"); // 0: not asked
    QTest::addColumn<bool>("repaired");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("status");

    const QString ask = QStringLiteral("Confermi assegnazione Data Ricevimento File ?");
    const QString done = QStringLiteral("Assegnazione Data Ricevomento Aggiornate !!");
    QTest::newRow("right button repairs") << 2 << true << int(vb::Yes) << true << QStringList{ask} << done;
    QTest::newRow("declined") << 2 << true << int(vb::No) << false << QStringList{ask} << "";
    QTest::newRow("left button does nothing") << 1 << true << 0 << false << QStringList{} << "";
    QTest::newRow("nothing to repair")
        << 2 << false << int(vb::Yes) << false
        << QStringList{ask, QStringLiteral("Nessun file senza data di Ricezione !!")} << done;
}

void TstXMLCompactDates::receptionDates()
{
    QFETCH(int, button);
    QFETCH(bool, withRows);
    QFETCH(int, confirm);
    QFETCH(bool, repaired);
    QFETCH(QStringList, messages);
    QFETCH(QString, status);

    Fixture fx;
    const QDateTime stamp = at(QStringLiteral("07/05/2023 11:22:33"));
    fx.add({false, "01/01/2000 00:00:00", ""}, false, stamp); // plausible: left
    fx.add({false, "02/02/2022 10:00:00", ""}, false, stamp);
    if (withRows) {
        fx.add({false, "", ""}, false, stamp);
        fx.add({false, "31/12/1999 23:59:59", ""}, false, stamp);
        fx.add({true, "", ""}, false, stamp); // another base folder
        fx.add({false, "", ""}, true);        // its file is gone
    }
    B_Develop = true;
    F_XMLCompact& w = fx.window();
    w.setStatus(QString());
    ScriptedDialogs& d = fx.env.dialogs();
    d.acceptOkBoxes = true;
    if (confirm) d.answer(confirm);
    w.Cmd_OldDat_MouseUp(button, 0, 0, 0);

    QCOMPARE(d.messages(), messages);
    QVERIFY(d.allAnswered());
    QCOMPARE(w.status(), status);
    const QString s = stamp.toString(kForm);
    QStringList expected{"01/01/2000 00:00:00", "02/02/2022 10:00:00"};
    if (withRows)
        expected << (repaired ? s : QString()) << (repaired ? s : QStringLiteral("31/12/1999 23:59:59"))
                 << (repaired ? s : QString()) << QString();
    QCOMPARE(fx.column(QStringLiteral("dat_ric")), expected);
    if (!messages.isEmpty() && confirm == vb::Yes) {
        QCOMPARE(d.calls[0].style, vb::YesNo | vb::Question);
        QCOMPARE(d.calls[0].title, F_XMLCompact::Caption());
        QCOMPARE(fx.seen.value(0),
                 (QPair<QString, QString>{QStringLiteral("NoRIC:20"), QStringLiteral("held")}));
    }
    const QString log = QString::fromUtf8(TestEnv::readFile(Pth_DebugLog));
    QCOMPARE(log.contains(QStringLiteral("file non trovato : ") + fx.paths.value(5)), repaired);
}

QTEST_MAIN(TstXMLCompactDates)
#include "tst_xmlcompact_dates.moc"
