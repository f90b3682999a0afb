// The real launcher: what a child gets as its input, and the wait that keeps the
// windows' events running.
#include "platform/Launcher.h"
#include "support/TestEnv.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

#include <unistd.h>

class TstLauncher : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void childInputIsNull_data();
    void childInputIsNull();
    void liveWait_data();
    void liveWait();

  private:
    int keepOpen_ = -1; // the writing end of the pipe the program's own input now reads
};

// The program's own input becomes a pipe nobody writes to, as when it is started from a
// desktop or a script: a child that read it would wait for ever.
void TstLauncher::initTestCase()
{
    int fds[2];
    QCOMPARE(::pipe(fds), 0);
    QVERIFY(::dup2(fds[0], 0) == 0);
    ::close(fds[0]);
    keepOpen_ = fds[1];
}

void TstLauncher::childInputIsNull_data()
{
    QTest::addColumn<QString>("road");
    QTest::newRow("run and wait") << QStringLiteral("wait");
    QTest::newRow("run and wait, events running") << QStringLiteral("live");
    QTest::newRow("started for the user") << QStringLiteral("detached");
}

void TstLauncher::childInputIsNull()
{
    QFETCH(QString, road);
    TestEnv env;
    setLauncher(nullptr); // the real one
    const QString out = env.work() + QStringLiteral("read.txt");
    // "timeout" ends a read that hangs with 124; the null device ends it at once with 0.
    const QStringList args{QStringLiteral("-c"), QStringLiteral("timeout 5 cat >/dev/null; echo $? > \"$0\""),
                           out};
    const QString sh = findProgram(QStringLiteral("sh"));
    if (road == QStringLiteral("wait")) {
        const Launcher::Result r = launcher().runAndWait(sh, args);
        QVERIFY(r.started);
        QCOMPARE(r.exitCode, 0);
    } else if (road == QStringLiteral("live")) {
        const Launcher::Result r = launcher().runAndWaitLive(sh, args);
        QVERIFY(r.started);
        QCOMPARE(r.exitCode, 0);
    } else {
        QVERIFY(launcher().startDetached(sh, args));
        QTRY_VERIFY_WITH_TIMEOUT(TestEnv::readFile(out).endsWith('\n'), 10000);
    }
    QCOMPARE(TestEnv::readFile(out), QByteArray("0\n"));
}

void TstLauncher::liveWait_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("ends by itself") << QStringLiteral("sleep 1; echo fatto; exit 3") << 3;
    QTest::newRow("killed") << QStringLiteral("sleep 1; kill -9 $$") << -1;
}

// A timer due while the child runs fires before the child ends; the end is reported as usual.
void TstLauncher::liveWait()
{
    QFETCH(QString, script);
    QFETCH(int, exitCode);
    TestEnv env;
    setLauncher(nullptr);
    QElapsedTimer clock;
    qint64 firedAt = -1;
    QTimer::singleShot(200, this, [&] { firedAt = clock.elapsed(); });
    clock.start();
    const Launcher::Result r =
        launcher().runAndWaitLive(findProgram(QStringLiteral("sh")), {QStringLiteral("-c"), script});
    const qint64 endedAt = clock.elapsed();
    QVERIFY(r.started);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(firedAt >= 0 && firedAt < endedAt - 300, qPrintable(QString::number(firedAt)));
    if (exitCode == 3) QCOMPARE(r.output, QByteArray("fatto\n"));
}

QTEST_GUILESS_MAIN(TstLauncher)
#include "tst_launcher.moc"
