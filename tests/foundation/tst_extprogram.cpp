#include "platform/registry/Registry.h"
#include "qor/Cl_QOR.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QStandardPaths>
#include <QTest>

namespace
{

QString makeExe(const TestEnv& env, const QString& path)
{
    const QString p = env.writeFile(path, "#!/bin/sh\n");
    QFile::setPermissions(p, QFile::permissions(p) | QFile::ExeOwner);
    return p;
}

} // namespace

// The program the desktop opens a file type with, and registry reads by full path.
class TstExtProgram : public QObject
{
    Q_OBJECT
  private slots:
    void extProgram_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QByteArray>("mimeapps"); // user's mimeapps.list
        QTest::addColumn<QByteArray>("exec");     // Exec line of edit.desktop ("<bin>" = the program)
        QTest::addColumn<QString>("expected");    // "<bin>", "<path>" (found on PATH) or ""
        const QByteArray txt = "[Default Applications]\ntext/plain=gone.desktop;edit.desktop;\n";
        QTest::newRow("first installed entry") << ".TXT" << txt << QByteArray("<bin> %F") << "<bin>";
        QTest::newRow("quoted, blank in the path") << "txt" << txt << QByteArray("\"<sbin>\" %u") << "<sbin>";
        QTest::newRow("program on PATH") << ".txt" << txt << QByteArray("sh %f") << "<path>";
        QTest::newRow("env in front") << ".txt" << txt << QByteArray("env LANG=C <bin> %f") << "<bin>";
        QTest::newRow("program missing") << ".txt" << txt << QByteArray("/nowhere/edit %f") << "";
        QTest::newRow("other type") << ".pdf" << txt << QByteArray("<bin> %f") << "";
        QTest::newRow("no association")
            << ".txt" << QByteArray("[Added Associations]\ntext/plain=edit.desktop;\n")
            << QByteArray("<bin> %f") << "";
        QTest::newRow("no extension") << "" << txt << QByteArray("<bin> %f") << "";
    }

    void extProgram()
    {
        QFETCH(QString, ext);
        QFETCH(QByteArray, mimeapps);
        QFETCH(QByteArray, exec);
        QFETCH(QString, expected);
        TestEnv env;
        const QString bin = makeExe(env, QStringLiteral("bin/myedit"));
        const QString sbin = makeExe(env, QStringLiteral("bin/my edit"));
        env.writeFile(env.root() + QStringLiteral("config/mimeapps.list"), mimeapps);
        env.writeFile(env.root() + QStringLiteral("data/applications/edit.desktop"),
                      "[Desktop Action new]\nExec=/other\n[Desktop Entry]\nName=Edit\nExec=" +
                          QByteArray(exec).replace("<bin>", bin.toUtf8()).replace("<sbin>", sbin.toUtf8()) +
                          "\n");
        QString want = expected;
        want.replace(QLatin1String("<bin>"), bin).replace(QLatin1String("<sbin>"), sbin);
        want.replace(QLatin1String("<path>"), QStandardPaths::findExecutable(QStringLiteral("sh")));
        QCOMPARE(Qor().ExtProgram(ext), want);
    }

    void regRead_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("full root name") << "HKEY_LOCAL_MACHINE\\Software\\Gestalo\\Path"
                                        << "/srv/gestalo";
        QTest::newRow("short root, mixed case") << "hklm\\SOFTWARE\\gestalo\\PATH"
                                                << "/srv/gestalo";
        QTest::newRow("dword") << "HKEY_CURRENT_USER\\Software\\Gestalo\\Ditta"
                               << "42";
        // A missing value reads "": the ERP's server is then looked up under Wow6432Node.
        QTest::newRow("missing value") << "HKEY_CURRENT_USER\\Software\\Gestalo\\Nope"
                                       << "";
        QTest::newRow("unknown root") << "HKEY_USERS\\Software\\Gestalo\\Path"
                                      << "";
        QTest::newRow("no key") << "Path"
                                << "";
    }

    void regRead()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        TestEnv env;
        Registry::Value s;
        s.text = QStringLiteral("/srv/gestalo");
        Registry::setValue(Registry::HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Gestalo"),
                           QStringLiteral("Path"), s);
        Registry::Value d;
        d.type = Registry::REG_DWORD;
        d.dword = 42;
        Registry::setValue(Registry::HKEY_CURRENT_USER, QStringLiteral("Software\\Gestalo"),
                           QStringLiteral("Ditta"), d);
        QCOMPARE(Qor().RegRead(path, QStringLiteral("\\")), expected);
    }
};

QTEST_GUILESS_MAIN(TstExtProgram)
#include "tst_extprogram.moc"
