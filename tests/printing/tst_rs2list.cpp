// The recordset loader: refusals, names and files, column limits, the many-records
// question, the information block, header and cells, Null cells, vertical layout, batch.
#include "archive/M_MDB.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/Folders.h"
#include "printing/F_List.h"
#include "printing/Rs2List.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QLabel>
#include <QListView>
#include <QTest>

namespace
{

struct Fixture {
    TestEnv env;
    QString oldCwd = QDir::currentPath();
    ado::Connection cn;
    QStringList shown; // the list as the window was shown
    QString shownTitle;
    int shows = 0;
    int widestRoom = 0; // the width the view gave the widest row as the window was shown
    int widestNeed = 0; // and the width that row's text takes
    Fixture()
    {
        G_DirApp = Folders::appDir();
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        QDir().mkpath(env.work());
        QDir::setCurrent(env.work());
        const QString db = env.work() + QStringLiteral("t.MDB");
        MDB_Create(db);
        cn.Open(MDB_OpenConn(db));
        cn.Execute(QStringLiteral(
            "CREATE TABLE T (id INTEGER, nome VARCHAR(30), importo DOUBLE, dat_send DATETIME)"));
        env.dialogs().acceptOkBoxes = true;
        setModalRunner([this](VbForm& f) {
            auto& l = static_cast<F_List&>(f);
            ++shows;
            shownTitle = l.windowTitle();
            shown.clear();
            int widest = 0;
            for (int i = 0; i < l.Lst_Lista->ListCount(); ++i) {
                shown << l.Lst_Lista->List(i);
                if (shown.last().size() > shown.at(widest).size()) widest = i;
            }
            if (!shown.isEmpty()) {
                l.Lst_ListaView->doItemsLayout();
                widestRoom = l.Lst_ListaView->visualRect(l.Lst_Lista->index(widest, 0)).width();
                widestNeed = l.Lst_ListaView->fontMetrics().horizontalAdvance(shown.at(widest));
            }
            l.Cmd_Cancel_Click();
        });
    }
    ~Fixture()
    {
        setModalRunner({});
        if (F_List::isLoaded()) F_List::instance().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (cn.State() == ado::adStateOpen) cn.Close();
        QDir::setCurrent(oldCwd);
    }
    void rows(int n)
    {
        for (int i = 1; i <= n; ++i)
            cn.Execute(QStringLiteral("INSERT INTO T VALUES (?, ?, ?, ?)"),
                       {i, QStringLiteral("riga %1").arg(i), i * 1.5,
                        i % 2 ? QVariant() : QVariant(QStringLiteral("2024-01-10 00:00:00"))});
    }
    ado::Recordset open(int cursor = ado::adOpenStatic,
                        const QString& sql = QStringLiteral("SELECT * FROM T"))
    {
        ado::Recordset rs;
        rs.Open(sql, cn, cursor, ado::adLockReadOnly);
        return rs;
    }
    qsizetype records() const
    {
        qsizetype n = 0;
        for (const QString& l : shown)
            if (l.endsWith(QLatin1Char('|')) && !l.contains(QLatin1Char('!')) &&
                l.count(QLatin1Char('|')) == 4)
                ++n;
        return n;
    }
};

} // namespace

class TestRs2List : public QObject
{
    Q_OBJECT
  private slots:
    void refusals();
    void namesAndLog_data();
    void namesAndLog();
    void maxCol_data();
    void maxCol();
    void manyRecords_data();
    void manyRecords();
    void headerCellsAndNulls();
    void sqlClauses();
    void forwardOnly();
    void vertical();
    void batch_data();
    void batch();
    void widestRow_data();
    void widestRow();
};

void TestRs2List::refusals()
{
    Fixture fx;
    qint16 mc = 0, nd = 0;
    Rs2List(nullptr, QStringLiteral("X"), 0, mc, false, false, nd, false);
    ado::Recordset closed;
    Rs2List(&closed, QStringLiteral("X"), 0, mc, false, false, nd, false);
    Rs2List(&closed, QStringLiteral("X"), 0, mc, true, false, nd, false);
    QCOMPARE(fx.env.dialogs().messages(),
             (QStringList{QStringLiteral("Recorset Nullo !"), QStringLiteral("Recordset Chiuso !")}));
    QCOMPARE(fx.env.dialogs().calls[0].title, QStringLiteral("Rs2List :X"));
    QCOMPARE(fx.env.dialogs().beeps, 3);
    QVERIFY(!QFile::exists(G_DirApp + QStringLiteral("RS2LIST_X.LOG")));
}

void TestRs2List::namesAndLog_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("title");
    QTest::newRow("empty") << QString() << QStringLiteral("RS2LIST_RS2LIST.LOG")
                           << QStringLiteral("Lista RS2LIST   ");
    QTest::newRow("slash") << QStringLiteral("Dir/Da") << QStringLiteral("RS2LIST_Dir_Da.LOG")
                           << QStringLiteral("Lista Dir/Da");
}

void TestRs2List::namesAndLog()
{
    QFETCH(QString, name);
    QFETCH(QString, log);
    QFETCH(QString, title);
    Fixture fx;
    fx.rows(2);
    qint16 mc = 0, nd = 0;
    for (int call = 0; call < 2; ++call) {
        ado::Recordset rs = fx.open();
        Rs2List(&rs, name, 0, mc, false, false, nd, false);
        QCOMPARE(rs.State(), int(ado::adStateOpen));
        QCOMPARE(rs.AbsolutePosition(), 1);
        QCOMPARE(rs.Filter(), QString());
    }
    QCOMPARE(fx.shownTitle, title);
    QCOMPARE(G_NomeLista, name.isEmpty() ? QStringLiteral("RS2LIST") : name);
    QVERIFY(!B_Rs2List);
    const QString text = QString::fromUtf8(TestEnv::readFile(G_DirApp + log));
    QCOMPARE(text.count(QStringLiteral("----- Rs2List -----  ") + name), 2); // the log grows
}

void TestRs2List::maxCol_data()
{
    QTest::addColumn<int>("in");
    QTest::addColumn<int>("out");
    QTest::addColumn<int>("width"); // of the 30-character text column
    QTest::newRow("5 to 10") << 5 << 10 << 10;
    QTest::newRow("300 to 255") << 300 << 255 << 30;
    QTest::newRow("0 no limit") << 0 << 0 << 30;
}

void TestRs2List::maxCol()
{
    QFETCH(int, in);
    QFETCH(int, out);
    QFETCH(int, width);
    Fixture fx;
    fx.rows(1);
    qint16 mc = static_cast<qint16>(in), nd = 0;
    ado::Recordset rs = fx.open();
    Rs2List(&rs, QStringLiteral("C"), 0, mc, false, true, nd, false);
    QCOMPARE(int(mc), out);
    const QString header = fx.shown.value(0);
    QCOMPARE(header.section(QLatin1Char('!'), 1, 1).size(), width);
}

void TestRs2List::manyRecords_data()
{
    QTest::addColumn<int>("maxRec");
    QTest::addColumn<bool>("batch");
    QTest::addColumn<QString>("answer"); // "-" no question
    QTest::addColumn<int>("listed");     // -1: given up
    QTest::newRow("500") << 0 << false << QStringLiteral("500") << 500;
    QTest::newRow("empty gives up") << 0 << false << QString() << -1;
    QTest::newRow("abc lists all") << 0 << false << QStringLiteral("abc") << 1500;
    QTest::newRow("MaxRec 100") << 100 << false << QStringLiteral("-") << 100;
}

void TestRs2List::manyRecords()
{
    QFETCH(int, maxRec);
    QFETCH(bool, batch);
    QFETCH(QString, answer);
    QFETCH(int, listed);
    Fixture fx;
    fx.cn.BeginTrans();
    fx.rows(1500);
    fx.cn.CommitTrans();
    if (answer != QStringLiteral("-")) fx.env.dialogs().answerInput(answer);
    qint16 mc = 0, nd = 0;
    ado::Recordset rs = fx.open();
    Rs2List(&rs, QStringLiteral("M"), maxRec, mc, batch, true, nd, false);
    if (answer != QStringLiteral("-")) {
        QCOMPARE(fx.env.dialogs().inputDefaults, QStringList{QStringLiteral("1500")});
    }
    if (listed < 0) {
        QCOMPARE(fx.shows, 0);
        QCOMPARE(fx.env.dialogs().messages().last(),
                 QStringLiteral("Lista da RecordSet Abbandonata !!\r\n\r\nM"));
        QCOMPARE(G_RigaLista, QString());
    } else {
        QCOMPARE(fx.shown.size(), listed + 1); // header line and the records
    }
}

void TestRs2List::headerCellsAndNulls()
{
    Fixture fx;
    fx.rows(2);
    qint16 mc = 0, nd = 0;
    ado::Recordset rs = fx.open();
    Rs2List(&rs, QStringLiteral("H"), 0, mc, false, false, nd, false);
    const QString header = QStringLiteral("id        !") + QStringLiteral("nome").leftJustified(30) +
                           QStringLiteral("!") + QStringLiteral("importo").leftJustified(20) +
                           QStringLiteral("!") + QStringLiteral("dat_send").leftJustified(10) +
                           QStringLiteral("!");
    QVERIFY2(fx.shown.contains(header), qPrintable(fx.shown.join(QLatin1Char('\n'))));
    QVERIFY(fx.shown.contains(QStringLiteral("2 Record(s) nel Recordset.")));
    // Row 1 has a Null date: a blank cell of its width, the listing goes on.
    const int at = fx.shown.lastIndexOf(header);
    QCOMPARE(fx.shown.value(at + 1), QStringLiteral("         1|") +
                                         QStringLiteral("riga 1").leftJustified(30) + QStringLiteral("|") +
                                         QStringLiteral("1,500000").rightJustified(20) + QStringLiteral("|") +
                                         QString(10, QLatin1Char(' ')) + QStringLiteral("|"));
    QCOMPARE(fx.shown.size(), at + 3);
    // Description lines: a Null shows as ">_".
    bool nullShown = false;
    for (const QString& l : fx.shown)
        if (l.contains(QStringLiteral("dat_send")) && l.endsWith(QStringLiteral(">_"))) nullShown = true;
    QVERIFY(nullShown);
}

void TestRs2List::sqlClauses()
{
    Fixture fx;
    fx.cn.Execute(QStringLiteral("CREATE TABLE U (id INTEGER, x VARCHAR(5))"));
    fx.rows(1);
    qint16 mc = 0, nd = 0;
    ado::Recordset rs =
        fx.open(ado::adOpenStatic,
                QStringLiteral("select t.id from T left join U on U.id = T.id where t.id > 0 order by t.id"));
    Rs2List(&rs, QStringLiteral("S"), 0, mc, false, false, nd, false);
    const int at = fx.shown.indexOf(QStringLiteral("- SELECT T.ID"));
    QVERIFY2(at >= 0, qPrintable(fx.shown.join(QLatin1Char('\n'))));
    QCOMPARE(fx.shown.mid(at, 6),
             (QStringList{QStringLiteral("- SELECT T.ID"), QStringLiteral("- FROM T"),
                          QStringLiteral("  LEFT JOIN U ON U.ID = T.ID"), QStringLiteral("- "),
                          QStringLiteral("- WHERE T.ID > 0"), QStringLiteral("- ORDER BY T.ID")}));
}

void TestRs2List::forwardOnly()
{
    Fixture fx;
    fx.rows(3);
    qint16 mc = 0, nd = 0;
    ado::Recordset rs = fx.open(ado::adOpenForwardOnly);
    Rs2List(&rs, QStringLiteral("F"), 0, mc, false, true, nd, false);
    QCOMPARE(fx.shown.size(), 4);
    QVERIFY(!fx.shown.join(QString()).contains(QStringLiteral("Record(s)")));
}

void TestRs2List::vertical()
{
    Fixture fx;
    fx.cn.Execute(QStringLiteral("CREATE TABLE M (nota MEMO)"));
    fx.cn.Execute(QStringLiteral("INSERT INTO M VALUES (?)"), {QStringLiteral("uno\r\ndue\r\ntre")});
    fx.cn.Execute(QStringLiteral("INSERT INTO M VALUES (?)"), {QStringLiteral("uno\r\n\r\ntre")});
    fx.cn.Execute(QStringLiteral("INSERT INTO M VALUES (?)"), {QVariant()});
    qint16 mc = 0, nd = 0;
    ado::Recordset rs = fx.open(ado::adOpenStatic, QStringLiteral("SELECT * FROM M"));
    Rs2List(&rs, QStringLiteral("V"), 0, mc, false, true, nd, true);
    const QString name = QStringLiteral("nota").leftJustified(25) + QStringLiteral("|");
    const QString end = QString(60, QLatin1Char('='));
    QCOMPARE(fx.shown, (QStringList{name + QStringLiteral("uno"), name + QStringLiteral("due"),
                                    name + QStringLiteral("tre"), end + QStringLiteral("  Fine Record : 1"),
                                    name + QStringLiteral("uno"), end + QStringLiteral("  Fine Record : 2"),
                                    end + QStringLiteral("  Fine Record : 3")}));
}

void TestRs2List::batch_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("records");
    QTest::addColumn<QString>("file");
    QTest::newRow("empty name") << QString() << 2 << QStringLiteral("RS2LIST_.DBP");
    QTest::newRow("odd characters") << QStringLiteral("a b/c\\d:e+f") << 2
                                    << QStringLiteral("a_b-c-d.e-f.DBP");
    QTest::newRow("empty, no info") << QStringLiteral("E") << 0 << QString();
}

void TestRs2List::batch()
{
    QFETCH(QString, name);
    QFETCH(int, records);
    QFETCH(QString, file);
    Fixture fx;
    fx.rows(records);
    qint16 mc = 0, nd = 0;
    ado::Recordset rs = fx.open();
    Rs2List(&rs, name, 0, mc, true, true, nd, false);
    QCOMPARE(fx.shows, 0);
    QVERIFY(fx.env.dialogs().calls.isEmpty());
    if (file.isEmpty()) {
        QCOMPARE(QDir(fx.env.work()).entryList({QStringLiteral("*.DBP")}), QStringList{});
    } else {
        const QStringList lines =
            QString::fromUtf8(TestEnv::readFile(fx.env.work() + file)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), records + 2); // header, records, the final line end
    }
    QCOMPARE(F_List::instance().Lst_Lista->ListCount(), 0);
}

void TestRs2List::widestRow_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("vertical");
    const QString longText = QString(300, QLatin1Char('x'));
    // The statement's line comes before the records; a long value of the last record ends the
    // vertical list.
    QTest::newRow("long row first") << QStringLiteral("SELECT * FROM T WHERE nome <> '%1'").arg(longText)
                                    << false;
    QTest::newRow("long row last") << QStringLiteral("SELECT id, nome || '%1' AS lungo FROM T").arg(longText)
                                   << true;
}

void TestRs2List::widestRow()
{
    QFETCH(QString, sql);
    QFETCH(bool, vertical);
    Fixture fx;
    fx.rows(3);
    ado::Recordset rs = fx.open(ado::adOpenStatic, sql);
    qint16 mc = 0, nd = 0;
    Rs2List(&rs, QStringLiteral("Larga"), 0, mc, false, false, nd, vertical);
    QCOMPARE(fx.shows, 1);
    QVERIFY(fx.widestNeed > 1000);
    QVERIFY2(fx.widestRoom >= fx.widestNeed,
             qPrintable(QString::number(fx.widestRoom) + " < " + QString::number(fx.widestNeed)));
}

QTEST_MAIN(TestRs2List)
#include "tst_rs2list.moc"
