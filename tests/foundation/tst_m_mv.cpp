// Entry helpers: stored-text form, build names, the single-copy lock and the end of the process.
#include "foundation/M_MV.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTest>

class TestMV : public QObject
{
    Q_OBJECT
  private slots:
    void crLfToPar_data();
    void crLfToPar();
    void parToCrLf_data();
    void parToCrLf();
    void storedTextRoundTrip();
    void buildNames_data();
    void buildNames();
    void secondCopyIsRefused();
    void crashedCopyLeavesNoStuckLock();
    void taskKillLogsAndEnds();
};

void TestMV::crLfToPar_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    const QString par(QChar(0x00A7));
    QTest::newRow("CR LF") << QStringLiteral("a\r\nb") << QStringLiteral("a") + par + QStringLiteral("b");
    QTest::newRow("lone CR") << QStringLiteral("a\rb") << QStringLiteral("a") + par + QStringLiteral("b");
    QTest::newRow("lone LF kept") << QStringLiteral("a\nb") << QStringLiteral("a\nb");
    QTest::newRow("single CR stays") << QStringLiteral("\r") << QStringLiteral("\r");
    QTest::newRow("CR CR LF") << QStringLiteral("a\r\r\nb")
                              << QStringLiteral("a") + par + par + QStringLiteral("b");
    QTest::newRow("trailing CR LF") << QStringLiteral("ab\r\n") << QStringLiteral("ab") + par;
    QTest::newRow("empty") << QString() << QString();
}

void TestMV::crLfToPar()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(Str_CrLf2Par(in), out);
}

void TestMV::parToCrLf_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    const QString par(QChar(0x00A7));
    QTest::newRow("one") << QStringLiteral("a") + par + QStringLiteral("b") << QStringLiteral("a\r\nb");
    QTest::newRow("two together") << par + par << QStringLiteral("\r\n\r\n");
    QTest::newRow("none") << QStringLiteral("abc") << QStringLiteral("abc");
    QTest::newRow("empty") << QString() << QString();
}

void TestMV::parToCrLf()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(Str_Par2CrLf(in), out);
}

void TestMV::storedTextRoundTrip()
{
    // A "§" typed by the user comes back as a line break: the stored form has no escape.
    const QString typed = QStringLiteral("Saluti ") + QChar(0x00A7) + QStringLiteral(" a tutti\r\nRiga 2");
    QCOMPARE(Str_Par2CrLf(Str_CrLf2Par(typed)), QStringLiteral("Saluti \r\n a tutti\r\nRiga 2"));
}

void TestMV::buildNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("integrated");
    QTest::newRow("XMLGESTALO") << QStringLiteral("XMLGESTALO") << true;
    QTest::newRow("XMLGESTALOatt") << QStringLiteral("XMLGESTALOatt") << true;
    QTest::newRow("P_XML-MV") << QStringLiteral("P_XML-MV") << true;
    QTest::newRow("P_XML-MV_Att") << QStringLiteral("P_XML-MV_Att") << true;
    QTest::newRow("lower case") << QStringLiteral("xmlgestalo") << false;
    QTest::newRow("other case") << QStringLiteral("XMLGESTALOATT") << false;
    QTest::newRow("part of a name") << QStringLiteral("XMLGESTALO2") << false;
    QTest::newRow("own name") << QStringLiteral("Plicora") << false;
}

void TestMV::buildNames()
{
    QFETCH(QString, name);
    QFETCH(bool, integrated);
    QCOMPARE(IsMVBuildName(name), integrated);
}

void TestMV::secondCopyIsRefused()
{
    TestEnv env;
    QLockFile other(App_LockPath());
    other.setStaleLockTime(0);
    QVERIFY(other.tryLock(0));
    QVERIFY(App_PrevInstance());
    other.unlock();
    QVERIFY(!App_PrevInstance());
    // This copy holds it now: asking again is not a second copy.
    QVERIFY(!App_PrevInstance());
    QLockFile third(App_LockPath());
    QVERIFY(!third.tryLock(0));
    App_ReleaseInstance();
    QVERIFY(third.tryLock(0));
}

void TestMV::crashedCopyLeavesNoStuckLock()
{
    TestEnv env;
    // The lock file of a copy that died without unlocking: a real lock file with
    // the process id of a process that has ended.
    QProcess dead;
    qint64 deadPid = 0;
    connect(&dead, &QProcess::started, this, [&] { deadPid = dead.processId(); });
    dead.start(QStringLiteral("/bin/true"), {});
    QVERIFY(dead.waitForFinished(10000));
    QVERIFY(deadPid > 0);

    QByteArray content;
    {
        QLockFile mine(App_LockPath());
        QVERIFY(mine.tryLock(0));
        QFile f(App_LockPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        content = f.readAll();
        mine.unlock();
    }
    const qsizetype eol = content.indexOf('\n');
    QVERIFY(eol > 0);
    content = QByteArray::number(deadPid) + content.mid(eol);
    QFile f(App_LockPath());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
    f.close();

    QVERIFY(!App_PrevInstance());
    App_ReleaseInstance();
}

void TestMV::taskKillLogsAndEnds()
{
    TestEnv env;
    Pth_DebugLog = env.appDir() + QStringLiteral("XMLGESTALO_Debug.LOG");
    QList<int> ends;
    setProcessEndHandler([&](int code) { ends << code; });
    TaskKill();
    setProcessEndHandler({});
    QCOMPARE(ends, QList<int>{0});
    QVERIFY(TestEnv::readFile(Pth_DebugLog).endsWith("   -----   TaskKill\r\n"));
}

QTEST_GUILESS_MAIN(TestMV)
#include "tst_m_mv.moc"
