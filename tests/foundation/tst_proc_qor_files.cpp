#include "foundation/Proc_Qor_Files.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TstProcQorFiles : public QObject
{
    Q_OBJECT
  private slots:
    void fileBak_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size"); // -1: no file
        QTest::addColumn<bool>("olderBackup");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<QString>("backup");
        QTest::newRow("missing file")
            << "XMLGESTALO_Debug.LOG" << qint64(-1) << false << false << "XMLGESTALO_Debug_BAK.LOG";
        QTest::newRow("exactly 512 KB stays")
            << "XMLGESTALO_Debug.LOG" << qint64(524288) << true << false << "XMLGESTALO_Debug_BAK.LOG";
        QTest::newRow("one byte more is moved")
            << "XMLGESTALO_Debug.LOG" << qint64(524289) << false << true << "XMLGESTALO_Debug_BAK.LOG";
        QTest::newRow("older backup replaced")
            << "XMLGESTALO_Debug.LOG" << qint64(600000) << true << true << "XMLGESTALO_Debug_BAK.LOG";
        QTest::newRow("no extension") << "debug" << qint64(524289) << false << true << "debug_BAK.";
        QTest::newRow("blanks in the name")
            << "il mio log.txt" << qint64(524289) << false << true << "il mio log_BAK.txt";
    }

    void fileBak()
    {
        QFETCH(QString, name);
        QFETCH(qint64, size);
        QFETCH(bool, olderBackup);
        QFETCH(bool, moved);
        QFETCH(QString, backup);
        TestEnv env;
        const QString path = env.work() + name;
        const QString bak = env.work() + backup;
        QByteArray content(qMax<qint64>(size, 0), 'a');
        if (size >= 0) env.writeFile(path, content);
        if (olderBackup) env.writeFile(bak, "old backup");
        QVERIFY(File_BAK(path, 512));
        if (moved) {
            QVERIFY(!QFile::exists(path));
            QCOMPARE(TestEnv::readFile(bak), content);
        } else {
            QCOMPARE(QFile::exists(path), size >= 0);
            QCOMPARE(QFile::exists(bak), olderBackup);
            if (olderBackup) QCOMPARE(TestEnv::readFile(bak), QByteArray("old backup"));
        }
    }

    void shellViewFile_data()
    {
        QTest::addColumn<bool>("viewerThere");
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<QString>("message"); // "" = started
        QTest::newRow("both there") << true << true << "";
        QTest::newRow("viewer missing")
            << false << true << "File visualizzatore : <v>\r\nINESISTENTE !!\r\n\r\n";
        QTest::newRow("file missing")
            << true << false << "File da visualizzare : <f>\r\nINESISTENTE !!\r\n\r\n";
        QTest::newRow("both missing names the file")
            << false << false << "File da visualizzare : <f>\r\nINESISTENTE !!\r\n\r\n";
    }

    void shellViewFile()
    {
        QFETCH(bool, viewerThere);
        QFETCH(bool, fileThere);
        QFETCH(QString, message);
        TestEnv env;
        env.dialogs().acceptOkBoxes = true;
        const QString viewer = env.work() + QStringLiteral("bin/my viewer");
        // Blanks and quotes in the name: it must reach the viewer as one argument.
        const QString file = env.work() + QStringLiteral("list \"2024\" _ZIPLIST.TXT");
        if (viewerThere) env.writeFile(viewer, "#!/bin/sh\n");
        if (fileThere) env.writeFile(file, "x");
        const bool started = Shell_ViewFile(viewer, file);
        QCOMPARE(started, message.isEmpty());
        if (message.isEmpty()) {
            QCOMPARE(env.launcher().starts.size(), 1);
            QCOMPARE(env.launcher().starts[0].kind, QStringLiteral("detached"));
            QCOMPARE(env.launcher().starts[0].program, viewer);
            QCOMPARE(env.launcher().starts[0].args, QStringList{file});
            QCOMPARE(env.dialogs().calls.size(), 0);
            QCOMPARE(env.dialogs().beeps, 0);
        } else {
            QCOMPARE(env.launcher().starts.size(), 0);
            QCOMPARE(env.dialogs().calls.size(), 1);
            QString want = message;
            want.replace(QLatin1String("<v>"), viewer).replace(QLatin1String("<f>"), file);
            QCOMPARE(env.dialogs().calls[0].text, want);
            QCOMPARE(env.dialogs().calls[0].title, QStringLiteral("Shell_ViewFile"));
            QCOMPARE(env.dialogs().calls[0].icon(), int(vb::Critical));
            QCOMPARE(env.dialogs().beeps, 1);
        }
    }

    void nomeFileNorm_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("full path") << "/home/u/fatture/IT01234567890_00001.xml"
                                   << "IT01234567890_00001.xml";
        QTest::newRow("blanks trimmed") << "  nota.TXT  "
                                        << "nota.TXT";
        QTest::newRow("no extension") << "/tmp/LEGGIMI"
                                      << "LEGGIMI.";
        QTest::newRow("two dots") << "archivio.tar.gz"
                                  << "archivio.tar.gz";
        QTest::newRow("backslash is part of the name") << "/srv/Dati\\f.p7m"
                                                       << "Dati\\f.p7m";
    }

    void nomeFileNorm()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(NomeFile_Norm(in), out);
    }

    void virtualStore_data()
    {
        QTest::addColumn<QString>("local"); // "unset", "nofolder", "folder"
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("closing");
        QTest::addColumn<QString>("expected"); // "<vs>" = the VirtualStore folder with "/"
        QTest::newRow("no variable, closing") << "unset" << 14 << true << "/";
        QTest::newRow("no variable") << "unset" << 14 << false << "";
        QTest::newRow("no folder") << "nofolder" << 14 << true << "/";
        QTest::newRow("folder") << "folder" << 14 << true << "<vs>";
        QTest::newRow("folder, no closing") << "folder" << 14 << false << "<vs-";
        QTest::newRow("windows") << "folder" << 0 << true << "<vs>Windows/";
        QTest::newRow("program files") << "folder" << 1 << false << "<vs>Program Files (x86)";
        QTest::newRow("other code") << "folder" << 3 << false << "";
    }

    void virtualStore()
    {
        QFETCH(QString, local);
        QFETCH(int, code);
        QFETCH(bool, closing);
        QFETCH(QString, expected);
        TestEnv env;
        const QString la = env.work() + QStringLiteral("AppData/Local");
        if (local == QLatin1String("unset"))
            qunsetenv("LOCALAPPDATA");
        else
            qputenv("LOCALAPPDATA", la.toUtf8());
        if (local == QLatin1String("folder")) QDir().mkpath(la + QStringLiteral("/VirtualStore"));
        const QString vs = la + QStringLiteral("/VirtualStore/");
        QString want = expected;
        want.replace(QLatin1String("<vs>"), vs).replace(QLatin1String("<vs-"), vs.chopped(1));
        QCOMPARE(VirtualStore_Path(code, closing), want);
        qunsetenv("LOCALAPPDATA");
    }

    void openVirtualStore_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<int>("answer"); // 0: no question expected
        QTest::addColumn<bool>("opened");
        QTest::addColumn<int>("beeps");
        QTest::newRow("no folder only beeps") << false << 0 << false << 1;
        QTest::newRow("yes opens") << true << int(vb::Yes) << true << 0;
        QTest::newRow("no beeps") << true << int(vb::No) << false << 1;
    }

    void openVirtualStore()
    {
        QFETCH(bool, folder);
        QFETCH(int, answer);
        QFETCH(bool, opened);
        QFETCH(int, beeps);
        TestEnv env;
        const QString la = env.work() + QStringLiteral("Local Data");
        qputenv("LOCALAPPDATA", la.toUtf8());
        if (folder) QDir().mkpath(la + QStringLiteral("/VirtualStore"));
        if (answer) env.dialogs().answer(answer);
        OpenVirtualStore();
        QCOMPARE(env.dialogs().beeps, beeps);
        if (answer) {
            QCOMPARE(env.dialogs().calls.size(), 1);
            QCOMPARE(env.dialogs().calls[0].text, QStringLiteral("Confermi apertura cartella :\r\n") + la +
                                                      QStringLiteral("/VirtualStore/"));
            QCOMPARE(env.dialogs().calls[0].title, QStringLiteral("OpenVirtualStore"));
            QCOMPARE(env.dialogs().calls[0].buttons(), int(vb::YesNo));
            QCOMPARE(env.dialogs().calls[0].icon(), int(vb::Question));
        } else {
            QCOMPARE(env.dialogs().calls.size(), 0);
        }
        QCOMPARE(env.launcher().starts.size(), opened ? 1 : 0);
        if (opened) {
            QCOMPARE(env.launcher().starts[0].kind, QStringLiteral("folder"));
            QCOMPARE(env.launcher().starts[0].program, la + QStringLiteral("/VirtualStore/"));
        }
        qunsetenv("LOCALAPPDATA");
    }
};

QTEST_GUILESS_MAIN(TstProcQorFiles)
#include "tst_proc_qor_files.moc"
