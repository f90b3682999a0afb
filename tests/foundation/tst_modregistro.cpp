#include "foundation/ModRegistro.h"
#include "platform/registry/Registry.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <unistd.h>

namespace
{

const QByteArray UserHive = "; HKEY_CURRENT_USER\r\n"
                            "[Software\\Gestalo\\Setup]\r\n"
                            "\"PathSys\"=\"C:\\\\Gestalo\\\\SYS\"\r\n"
                            "\"Quoted\"=\"say \\\"hi\\\"\"\r\n"
                            "\"Count\"=dword:0000001a\r\n"
                            "@=\"the default\"\r\n"
                            "\"Dup\"=\"first\"\r\n"
                            "\"Dup\"=\"second\"\r\n"
                            "\r\n"
                            "[Environment]\r\n"
                            "\"Temp\"=\"%REGTEST_HOME%/tmp/\"\r\n"
                            "[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\r\n"
                            "\"Personal\"=\"/home/u/Documenti/\"\r\n"
                            "\"Desktop\"=\"/x/y%REGTEST_HOME%/Scrivania\"\r\n"
                            "\"Fonts\"=\"/usr/share/fonts%\"\r\n";

const QByteArray MachineHive = "[Software\\Microsoft\\Windows\\CurrentVersion]\n" // LF only: edited by hand
                               "\"ProgramFilesDir\"=\"/opt/\"\n"
                               "\"CommonFilesDir\"=\"/pf (x86)/common\"\n"
                               "\"CommonW6432Dir\"=\"/pf/common\"\n"
                               "[SOFTWARE\\ODBC\\ODBC.INI\\ODBC File DSN]\n"
                               "\"DefaultDSNDir\"=\"%REGTEST_UNSET%/dsn\"\n";

void writeHives(const TestEnv& env)
{
    env.writeFile(env.regDir() + QStringLiteral("HKEY_CURRENT_USER.reg"), UserHive);
    env.writeFile(env.regDir() + QStringLiteral("HKEY_LOCAL_MACHINE.reg"), MachineHive);
}

} // namespace

class TstModRegistro : public QObject
{
    Q_OBJECT
  private slots:
    void getValue_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text with escapes") << "Software\\Gestalo\\Setup"
                                           << "PathSys" << true << "C:\\Gestalo\\SYS";
        QTest::newRow("quotes") << "Software\\Gestalo\\Setup"
                                << "Quoted" << true << "say \"hi\"";
        QTest::newRow("mixed-case path and name") << "SOFTWARE\\gestalo\\SETUP"
                                                  << "pathsys" << true << "C:\\Gestalo\\SYS";
        QTest::newRow("dword") << "Software\\Gestalo\\Setup"
                               << "Count" << true << "&h0000001A";
        QTest::newRow("default value") << "Software\\Gestalo\\Setup"
                                       << "" << true << "the default";
        QTest::newRow("first duplicate wins") << "Software\\Gestalo\\Setup"
                                              << "Dup" << true << "first";
        QTest::newRow("missing value") << "Software\\Gestalo\\Setup"
                                       << "Nope" << false << "";
        QTest::newRow("missing key") << "Software\\Gestalo\\Nope"
                                     << "PathSys" << false << "";
        QTest::newRow("parent key has no value of its own") << "Software\\Gestalo"
                                                            << "PathSys" << false << "";
    }

    void getValue()
    {
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(bool, found);
        QFETCH(QString, expected);
        TestEnv env;
        writeHives(env);
        QString text = QStringLiteral("old");
        QCOMPARE(Reg_QueryValue(HKEY_CURRENT_USER, key, name, text), found);
        QCOMPARE(text, expected);
        QCOMPARE(Reg_GetValue(HKEY_CURRENT_USER, key, name), expected);
    }

    void valueSizeLimit_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("fits");
        QTest::newRow("1023 characters and the closing zero") << 1023 << true;
        QTest::newRow("1024 characters") << 1024 << false;
        QTest::newRow("2000 characters") << 2000 << false;
    }

    void valueSizeLimit()
    {
        QFETCH(int, length);
        QFETCH(bool, fits);
        TestEnv env;
        writeHives(env);
        const QString big(length, QLatin1Char('x'));
        qint32 root = HKEY_CURRENT_USER, key = 0;
        QVERIFY(Reg_OpenKey(root, QStringLiteral("Software\\Gestalo\\Setup"), key));
        QVERIFY(Reg_SetString(key, QStringLiteral("Big"), big));
        QVERIFY(Reg_CloseKey(key));
        QCOMPARE(Reg_GetValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Gestalo\\Setup"),
                              QStringLiteral("Big")),
                 fits ? big : QString());
    }

    void openSetClose()
    {
        TestEnv env;
        writeHives(env);
        qint32 root = HKEY_CURRENT_USER, key = 77;
        QVERIFY(!Reg_OpenKey(root, QStringLiteral("Software\\Gestalo\\Missing"), key));
        QCOMPARE(key, 0);
        QVERIFY(!Reg_SetString(0, QStringLiteral("X"), QStringLiteral("y")));
        QVERIFY(!Registry::valueNames(HKEY_CURRENT_USER, QStringLiteral("")).contains(QStringLiteral("X")));

        QVERIFY(Reg_OpenKey(root, QStringLiteral("software\\GESTALO\\setup"), key));
        QVERIFY(key != 0);
        QVERIFY(Reg_SetString(key, QStringLiteral("LastDitta"), QStringLiteral("Ditta àè 01")));
        QVERIFY(Reg_SetString(key, QStringLiteral("PATHSYS"), QStringLiteral("D:\\New")));
        QVERIFY(Reg_CloseKey(key));
        QVERIFY(!Reg_CloseKey(key));
        QCOMPARE(Reg_GetValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Gestalo\\Setup"),
                              QStringLiteral("lastditta")),
                 QStringLiteral("Ditta àè 01"));
        // An existing name keeps its case and its place.
        const QStringList names =
            Registry::valueNames(HKEY_CURRENT_USER, QStringLiteral("Software\\Gestalo\\Setup"));
        QCOMPARE(names.first(), QStringLiteral("PathSys"));
        QCOMPARE(Reg_GetValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Gestalo\\Setup"),
                              QStringLiteral("PathSys")),
                 QStringLiteral("D:\\New"));
        // The other keys of the hand-written hive survive the rewrite.
        QCOMPARE(Reg_GetValue(HKEY_CURRENT_USER, QStringLiteral("Environment"), QStringLiteral("Temp")),
                 QStringLiteral("%REGTEST_HOME%/tmp/"));
    }

    void readOnlyHiveCannotBeOpened()
    {
        if (geteuid() == 0) QSKIP("file permissions do not bind the superuser");
        TestEnv env;
        writeHives(env);
        const QString hive = env.regDir() + QStringLiteral("HKEY_LOCAL_MACHINE.reg");
        QFile::setPermissions(hive, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QCOMPARE(Reg_GetValue(HKEY_LOCAL_MACHINE,
                              QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion"),
                              QStringLiteral("ProgramFilesDir")),
                 QString());
        QFile::setPermissions(hive, QFile::ReadOwner | QFile::WriteOwner);
    }

    void sysFolder_data()
    {
        QTest::addColumn<bool>("narrow"); // SysFolder instead of Reg_SysFolder
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("closing");
        QTest::addColumn<QString>("expected"); // "<win>" and "<home>" are replaced
        QTest::newRow("windows, closing") << false << 0 << true << "<win>/";
        QTest::newRow("windows, none") << false << 0 << false << "<win>";
        QTest::newRow("stored closing separator dropped") << false << 1 << false << "/opt";
        QTest::newRow("one closing separator") << false << 1 << true << "/opt/";
        QTest::newRow("temp with variable") << false << 2 << false << "<home>/tmp";
        QTest::newRow("system") << false << 3 << false << "/usr/bin";
        QTest::newRow("documents") << false << 4 << true << "/home/u/Documenti/";
        QTest::newRow("text before the variable is dropped") << false << 5 << false << "<home>/Scrivania";
        QTest::newRow("single percent unchanged") << false << 6 << false << "/usr/share/fonts%";
        QTest::newRow("common files") << false << 7 << false << "/pf (x86)/common";
        QTest::newRow("download falls back to documents") << false << 9 << false << "/home/u/Documenti";
        QTest::newRow("unset variable") << false << 10 << false << "/dsn";
        QTest::newRow("unset 32-bit folder") << false << 11 << false << "";
        QTest::newRow("no such kind, closing") << false << 12 << true << "/";
        QTest::newRow("no such kind") << false << 13 << false << "";
        QTest::newRow("narrow: programs") << true << 1 << true << "/opt/";
        QTest::newRow("narrow: common files, native for (x86)") << true << 7 << false << "/pf/common";
        QTest::newRow("narrow: other kinds") << true << 2 << false << "";
    }

    void sysFolder()
    {
        QFETCH(bool, narrow);
        QFETCH(int, code);
        QFETCH(bool, closing);
        QFETCH(QString, expected);
        TestEnv env;
        writeHives(env);
        qputenv("REGTEST_HOME", "/home/test");
        qunsetenv("REGTEST_UNSET");
        QString want = expected;
        want.replace(QLatin1String("<win>/"), env.winDir());
        want.replace(QLatin1String("<win>"), env.winDir().chopped(1));
        want.replace(QLatin1String("<home>"), QLatin1String("/home/test"));
        QCOMPARE(narrow ? SysFolder(code, closing) : Reg_SysFolder(code, closing), want);
        qunsetenv("REGTEST_HOME");
    }

    // A machine without hive files answers every folder kind with a sound Linux folder.
    void freshHives()
    {
        TestEnv env;
        QVERIFY(!QFile::exists(Registry::hiveFile(HKEY_LOCAL_MACHINE)));
        for (int code : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10}) {
            const QString f = Reg_SysFolder(code, true);
            QVERIFY2(f.size() > 1 && QDir::isAbsolutePath(f),
                     qPrintable(QString::number(code) + QLatin1Char(' ') + f));
            QVERIFY(f.endsWith(QLatin1Char('/')) && !f.endsWith(QLatin1String("//")));
        }
        QCOMPARE(Reg_SysFolder(11, false), QString());
        QCOMPARE(SysFolder(1, false), Reg_SysFolder(1, false));
        QCOMPARE(Reg_SysFolder(2, true), QDir::tempPath() + QLatin1Char('/'));
        QVERIFY(QFile::exists(Registry::hiveFile(HKEY_LOCAL_MACHINE)));
        QVERIFY(QFile::exists(Registry::hiveFile(HKEY_CURRENT_USER)));

        // A user edits the file: the program sees the change.
        QByteArray hive = TestEnv::readFile(Registry::hiveFile(HKEY_LOCAL_MACHINE));
        hive.replace("\"ProgramFilesDir\"=\"/opt\"", "\"ProgramFilesDir\"=\"/srv/programmi\"");
        env.writeFile(Registry::hiveFile(HKEY_LOCAL_MACHINE), hive);
        QCOMPARE(Reg_SysFolder(1, false), QStringLiteral("/srv/programmi"));
    }

    // A hive that is there but cannot be read is never replaced by one holding the new value.
    void unreadableHiveNeverRewritten()
    {
        TestEnv env;
        const QString hive = TestEnv::unreadableFile(Registry::hiveFile(HKEY_CURRENT_USER), UserHive);
        if (hive.isEmpty()) QSKIP("no unreadable file can be made here");
        Registry::Value v;
        v.text = QStringLiteral("/x/");
        QVERIFY(!Registry::setValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Gestalo\\Setup"),
                                    QStringLiteral("PathSys"), v));
        if (QFileInfo(hive).isSymLink()) return; // stands for a device file: still the link
        QFile::setPermissions(hive, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(TestEnv::readFile(hive), UserHive);
    }

    void lineBreaksRefused_data()
    {
        QTest::addColumn<QString>("subKey");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const QString k = QStringLiteral("Software\\Gestalo\\Setup");
        QTest::newRow("text plants a key") << k << "PathSys"
                                           << "/x/\r\n[Environment]\r\n\"Temp\"=\"/evil\"";
        QTest::newRow("text with LF") << k << "PathSys"
                                      << "/x/\n/y/";
        QTest::newRow("name with CR") << k << "Path\rSys"
                                      << "/x/";
        QTest::newRow("key with LF") << "Software\\Ges\ntalo"
                                     << "PathSys"
                                     << "/x/";
    }

    void lineBreaksRefused()
    {
        QFETCH(QString, subKey);
        QFETCH(QString, name);
        QFETCH(QString, text);
        TestEnv env;
        writeHives(env);
        Registry::Value v;
        v.text = text;
        QVERIFY(!Registry::setValue(HKEY_CURRENT_USER, subKey, name, v));
        QCOMPARE(TestEnv::readFile(Registry::hiveFile(HKEY_CURRENT_USER)), UserHive);
    }
};

QTEST_GUILESS_MAIN(TstModRegistro)
#include "tst_modregistro.moc"
