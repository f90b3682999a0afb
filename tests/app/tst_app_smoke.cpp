// Starts the real program headless in temporary folders and lets it close itself.
#include "archive/M_MDB.h"
#include "platform/IniFile.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace
{

struct Install {
    QTemporaryDir root;
    QString app() const { return root.path() + QStringLiteral("/app/"); }
    QString win() const { return root.path() + QStringLiteral("/win/"); }
    QString reg() const { return root.path() + QStringLiteral("/reg/"); }
    QString log() const { return app() + QStringLiteral("XMLGESTALO_Debug.LOG"); }
    QString ini() const { return win() + QStringLiteral("QOR_PLCR.INI"); }

    Install()
    {
        for (const char* d : {"app", "win", "reg", "home", "config", "data", "cache"})
            QDir().mkpath(root.path() + QLatin1Char('/') + QLatin1String(d));
        // An installed program: its archive exists and was compacted today, so no question is asked.
        MDB_Create(app() + QStringLiteral("DIR_TMP.MDB"));
        const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
        IniFile::write(ini(), QStringLiteral("ParamXML"), QStringLiteral("LastCompact"), today);
        IniFile::write(ini(), QStringLiteral("ParamXML"), QStringLiteral("Pth_0"),
                       root.path() + QStringLiteral("/fatture/"));
    }

    QProcessEnvironment environment(int closeAfterMs) const
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        e.insert(QStringLiteral("PLICORA_APPDIR"), app());
        e.insert(QStringLiteral("PLICORA_WINDIR"), win());
        e.insert(QStringLiteral("PLICORA_REGDIR"), reg());
        e.insert(QStringLiteral("HOME"), root.path() + QStringLiteral("/home"));
        e.insert(QStringLiteral("XDG_CONFIG_HOME"), root.path() + QStringLiteral("/config"));
        e.insert(QStringLiteral("XDG_DATA_HOME"), root.path() + QStringLiteral("/data"));
        e.insert(QStringLiteral("XDG_CACHE_HOME"), root.path() + QStringLiteral("/cache"));
        if (closeAfterMs > 0)
            e.insert(QStringLiteral("PLICORA_TEST_CLOSE_MS"), QString::number(closeAfterMs));
        else
            e.remove(QStringLiteral("PLICORA_TEST_CLOSE_MS"));
        return e;
    }
};

bool runToEnd(const Install& inst, int& exitCode)
{
    QProcess p;
    p.setProcessEnvironment(inst.environment(300));
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral(PLICORA_BINARY), {});
    if (!p.waitForStarted(10000)) return false;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return true;
}

} // namespace

class TestAppSmoke : public QObject
{
    Q_OBJECT
  private slots:
    void startsAndClosesCleanly();
    void crashedCopyDoesNotBlockTheNext();
};

void TestAppSmoke::startsAndClosesCleanly()
{
    Install inst;
    QVERIFY(inst.root.isValid());
    int code = -1;
    QVERIFY2(runToEnd(inst, code), "the program did not close by itself");
    QCOMPARE(code, 0);
    const QByteArray log = [&] {
        QFile f(inst.log());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QVERIFY(log.contains(QStringLiteral("Inizio Programma _Main  <=<=<=<=<=  Plicora").toUtf8()));
    QVERIFY(log.contains("   -----   TaskKill"));
    // Closing saved the window's settings and released the single-copy lock.
    QVERIFY(IniFile::hasKey(inst.ini(), QStringLiteral("PosFinestre"), QStringLiteral("F_ZipXML_Size")));
    QCOMPARE(IniFile::read(inst.ini(), QStringLiteral("ParamXML"), QStringLiteral("Pth_0")),
             inst.root.path() + QStringLiteral("/fatture/"));
    QVERIFY(!QFile::exists(inst.app() + QStringLiteral("Plicora.lock")));
}

void TestAppSmoke::crashedCopyDoesNotBlockTheNext()
{
    Install inst;
    QProcess crashed;
    crashed.setProcessEnvironment(inst.environment(0));
    crashed.setProcessChannelMode(QProcess::ForwardedChannels);
    crashed.start(QStringLiteral(PLICORA_BINARY), {});
    QVERIFY(crashed.waitForStarted(10000));
    // Running once its window is up: the start line is written after the lock is taken.
    QVERIFY(QTest::qWaitFor(
        [&] {
            QFile f(inst.log());
            return f.open(QIODevice::ReadOnly) && f.readAll().contains("Inizio Programma");
        },
        60000));
    QVERIFY(QFile::exists(inst.app() + QStringLiteral("Plicora.lock")));
    crashed.kill(); // no chance to clean up
    QVERIFY(crashed.waitForFinished(10000));
    QVERIFY(QFile::exists(inst.app() + QStringLiteral("Plicora.lock")));

    int code = -1;
    QVERIFY2(runToEnd(inst, code), "the next copy was refused or hung");
    QCOMPARE(code, 0);
}

QTEST_GUILESS_MAIN(TestAppSmoke)
#include "tst_app_smoke.moc"
