// The start-up sequence with scripted answers and the test's own folders.
#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "foundation/F_Splash.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/IniFile.h"
#include "platform/ado/Ado.h"
#include "startup/M_MV_Main.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "foundation/Proc_MV.h"
#include "platform/registry/Registry.h"

#include <sqlite3.h>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");

struct Fixture {
    TestEnv env;
    QList<int> ends;

    explicit Fixture(const QString& exeName = QStringLiteral("Plicora"))
    {
        App_SetExeName(exeName);
        setProcessEndHandler([this](int code) {
            ends << code;
            App_ReleaseInstance();
        });
        // No compaction reminder at the main window's first activation.
        IniFile::write(kIni, kSec, QStringLiteral("LastCompact"), QStringLiteral("10/12/2026"));
    }
    ~Fixture()
    {
        closeMain();
        if (F_Splash::isLoaded()) F_Splash::instance().Unload();
        flush();
        App_ReleaseInstance();
        setProcessEndHandler({});
        App_SetExeName(QString());
    }
    static void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    void closeMain()
    {
        if (F_ZipXML::isLoaded()) F_ZipXML::instance().close();
        flush();
    }
    QString mdb() const { return env.appDir() + QStringLiteral("DIR_TMP.MDB"); }
    QString log() const { return env.appDir() + QStringLiteral("XMLGESTALO_Debug.LOG"); }
};

QString startLine(const QString& exe)
{
    return QStringLiteral("§=>=>=>=>=>  Inizio Programma _Main  <=<=<=<=<=  ") + exe;
}

QList<QPair<qint64, QString>> dirBase(const QString& mdbPath)
{
    QList<QPair<qint64, QString>> out;
    ado::Connection cn;
    cn.Open(MDB_OpenConn(mdbPath));
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM DIRBASE ORDER BY cod_firma"), cn, ado::adOpenStatic,
            ado::adLockReadOnly);
    while (!rs.EOF_()) {
        out << qMakePair(rs[QStringLiteral("cod_firma")].Value().toLongLong(),
                         rs[QStringLiteral("des_cartella")].toString());
        rs.MoveNext();
    }
    rs.Close();
    cn.Close();
    return out;
}

} // namespace

class TestMain : public QObject
{
    Q_OBJECT
  private slots:
    void freshInstallYes();
    void freshInstallNo();
    void emptyArchiveIsReportedAndMadeNew_data();
    void emptyArchiveIsReportedAndMadeNew();
    void secondCopyRefusedWritesNothing();
    void debugLogRotation_data();
    void debugLogRotation();
    void developFlagAndPaths_data();
    void developFlagAndPaths();
    void integratedBuildName_data();
    void integratedBuildName();
    void integratedWithStandInServer();
    void standardButtonsInItalian_data();
    void standardButtonsInItalian();
};

void TestMain::freshInstallYes()
{
    Fixture fx;
    const QStringList paths = {QStringLiteral("/srv/fatture/ACA"), QStringLiteral("/x/"),
                               QStringLiteral("/srv/fatture/BAB"), QString(),
                               QStringLiteral("/dopo/il/vuoto/")};
    for (int i = 0; i < paths.size(); ++i)
        if (!paths[i].isEmpty())
            IniFile::write(kIni, kSec, QStringLiteral("Pth_") + QString::number(i), paths[i]);
    QCOMPARE(MDB_FolderKey(paths[0]), MDB_FolderKey(paths[2]));

    fx.env.dialogs().answer(vb::Yes).answer(vb::OK);
    Main();
    QVERIFY(fx.ends.isEmpty());
    const auto& calls = fx.env.dialogs().calls;
    QCOMPARE(calls.size(), 2);
    QCOMPARE(calls[0].text, QStringLiteral("ATTENZIONE !!\r\nFile ") + fx.mdb() +
                                QStringLiteral(" NON TROVATO !!\r\n\r\nPROSEGUO ?\r\n\r\n") +
                                MDB_SupportNotice());
    QCOMPARE(calls[0].buttons(), int(vb::YesNo));
    QCOMPARE(calls[0].icon(), int(vb::Question));
    QCOMPARE(calls[0].defaultButton(), 0);
    QCOMPARE(calls[0].title, QStringLiteral("_MAIN_"));
    QCOMPARE(calls[1].text, QStringLiteral("Definire le cartella Base e quelle Collegate.\r\n\r\nUsando il "
                                           "pulsante 'Compatta Cartelle Temporanee'"));
    QCOMPARE(calls[1].style, int(vb::OKOnly));
    QCOMPARE(calls[1].title, QStringLiteral("M_MV.Main"));

    QVERIFY(QFile::exists(fx.mdb()));
    {
        ado::Connection cn;
        cn.Open(MDB_OpenConn(fx.mdb()));
        for (const char* t : {"DIRBASE", "DIRSUB", "FILES"})
            QVERIFY2(MDB_ExistTABLE(cn, QString::fromLatin1(t)), t);
        cn.Close();
    }
    // Up to the first empty key; two paths with one key end as one row with the later path.
    const auto rows = dirBase(fx.mdb());
    QCOMPARE(rows.size(), 2);
    QList<QPair<qint64, QString>> want = {{MDB_FolderKey(paths[0]), paths[2]},
                                          {MDB_FolderKey(paths[1]), paths[1]}};
    std::sort(want.begin(), want.end());
    QCOMPARE(rows, want);

    QVERIFY(F_ZipXML::isLoaded());
    QVERIFY(!F_Splash::isLoaded());
    QVERIFY(TestEnv::readFile(fx.log()).contains(startLine(QStringLiteral("Plicora")).toUtf8()));
    QVERIFY(!B_MVMode);

    // The next start asks nothing and leaves the folders as they are.
    fx.closeMain();
    QCOMPARE(fx.ends, QList<int>{0});
    fx.env.dialogs().calls.clear();
    Main();
    QVERIFY(fx.env.dialogs().calls.isEmpty());
    QCOMPARE(dirBase(fx.mdb()).size(), 2);
    QVERIFY(F_ZipXML::isLoaded());
}

void TestMain::freshInstallNo()
{
    Fixture fx;
    IniFile::write(kIni, kSec, QStringLiteral("Pth_0"), QStringLiteral("/srv/a/"));
    fx.env.dialogs().answer(vb::No);
    Main();
    QCOMPARE(fx.ends, QList<int>{0});
    QCOMPARE(G_Risp, int(vb::No));
    QVERIFY(!QFile::exists(fx.mdb()));
    QVERIFY(!F_ZipXML::isLoaded());
    QVERIFY(!F_Splash::isLoaded());
}

void TestMain::emptyArchiveIsReportedAndMadeNew_data()
{
    QTest::addColumn<QString>("folder"); // "" = no folder in the settings
    QTest::newRow("a folder in the settings") << QStringLiteral("/srv/fatture/ACA/");
    QTest::newRow("no folders") << QString();
}

void TestMain::emptyArchiveIsReportedAndMadeNew()
{
    QFETCH(QString, folder);
    Fixture fx;
    if (!folder.isEmpty()) IniFile::write(kIni, kSec, QStringLiteral("Pth_0"), folder);
    fx.env.writeFile(fx.mdb(), QByteArray());
    fx.env.dialogs().answer(vb::OK).answer(vb::OK);
    Main();
    QVERIFY(fx.ends.isEmpty());
    const auto& calls = fx.env.dialogs().calls;
    QCOMPARE(calls.size(), 2);
    QCOMPARE(calls[0].text, QStringLiteral("ATTENZIONE !!\r\nFile ") + fx.mdb() +
                                QStringLiteral(" VUOTO (0 byte) !!\r\n\r\nL'archivio viene ricreato senza "
                                               "dati.\r\n\r\n") +
                                MDB_SupportNotice());
    QCOMPARE(calls[0].buttons(), int(vb::OKOnly));
    QCOMPARE(calls[0].icon(), int(vb::Exclamation));
    QCOMPARE(calls[0].title, QStringLiteral("_MAIN_"));
    QCOMPARE(calls[1].title, QStringLiteral("M_MV.Main"));
    QVERIFY(TestEnv::readFile(fx.log()).contains(
        (QStringLiteral("*** ARCHIVIO VUOTO ") + fx.mdb() + QStringLiteral(" : 0 byte")).toUtf8()));
    QCOMPARE(ado::IntegrityCheck(fx.mdb()), QStringLiteral("ok"));
    QList<QPair<qint64, QString>> want;
    if (!folder.isEmpty()) want << qMakePair(qint64(MDB_FolderKey(folder)), folder);
    QCOMPARE(dirBase(fx.mdb()), want);
    QVERIFY(F_ZipXML::isLoaded());
}

void TestMain::secondCopyRefusedWritesNothing()
{
    Fixture fx;
    const QByteArray iniBefore = TestEnv::readFile(fx.env.winDir() + kIni);
    QLockFile other(App_LockPath());
    other.setStaleLockTime(0);
    QVERIFY(other.tryLock(0));
    fx.env.dialogs().answer(vb::OK);
    Main();
    QCOMPARE(fx.ends, QList<int>{0});
    QCOMPARE(fx.env.dialogs().messages(),
             QStringList{QStringLiteral("ATTENZIONE !!  Programma già in esecuzione !")});
    QCOMPARE(fx.env.dialogs().calls.first().icon(), int(vb::Critical));
    QCOMPARE(fx.env.dialogs().calls.first().title, App_Title());
    QVERIFY(!F_Splash::isLoaded());
    QCOMPARE(QDir(fx.env.appDir()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Plicora.lock")});
    QCOMPARE(QDir(fx.env.winDir()).entryList(QDir::Files | QDir::Hidden), QStringList{kIni});
    QCOMPARE(TestEnv::readFile(fx.env.winDir() + kIni), iniBefore);
}

void TestMain::debugLogRotation_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("rotated");
    QTest::newRow("exactly 512 KB stays") << 524288 << false;
    QTest::newRow("one byte more moves") << 524289 << true;
    QTest::newRow("small") << 10 << false;
}

void TestMain::debugLogRotation()
{
    QFETCH(int, size);
    QFETCH(bool, rotated);
    Fixture fx;
    MDB_Create(fx.mdb());
    const QByteArray old(size, 'x');
    fx.env.writeFile(fx.log(), old);
    Main();
    const QString bak = fx.env.appDir() + QStringLiteral("XMLGESTALO_Debug_BAK.LOG");
    QCOMPARE(QFile::exists(bak), rotated);
    const QByteArray now = TestEnv::readFile(fx.log());
    if (rotated) {
        QCOMPARE(TestEnv::readFile(bak), old);
        QVERIFY(!now.startsWith("xxx"));
    } else {
        QVERIFY(now.startsWith(old));
    }
    QVERIFY(now.contains(startLine(QStringLiteral("Plicora")).toUtf8()));
}

void TestMain::developFlagAndPaths_data()
{
    QTest::addColumn<bool>("marker");
    QTest::newRow("marker file") << true;
    QTest::newRow("no marker") << false;
}

void TestMain::developFlagAndPaths()
{
    QFETCH(bool, marker);
    Fixture fx;
    MDB_Create(fx.mdb());
    if (marker) fx.env.writeFile(fx.env.appDir() + QStringLiteral("_Develop.txt"), "");
    Main();
    QCOMPARE(B_Develop, marker);
    QCOMPARE(G_DirApp, fx.env.appDir());
    QCOMPARE(Pth_DebugLog, fx.log());
    QCOMPARE(Pth_DirTmpMDB, fx.mdb());
    QCOMPARE(Pth_Prot, fx.env.appDir() + QStringLiteral("PROT/"));
}

void TestMain::integratedBuildName_data()
{
    QTest::addColumn<QString>("exe");
    QTest::addColumn<bool>("integrated");
    QTest::newRow("XMLGESTALO") << QStringLiteral("XMLGESTALO") << true;
    QTest::newRow("P_XML-MV_Att") << QStringLiteral("P_XML-MV_Att") << true;
    QTest::newRow("other letter case") << QStringLiteral("xmlgestalo") << false;
}

void TestMain::integratedBuildName()
{
    QFETCH(QString, exe);
    QFETCH(bool, integrated);
    Fixture fx(exe);
    MDB_Create(fx.mdb());
    if (integrated) fx.env.dialogs().answer(vb::OK).answer(vb::OK);
    Main();
    QCOMPARE(B_MVMode, integrated);
    QVERIFY(!F_Splash::isLoaded());
    QVERIFY(TestEnv::readFile(fx.log()).contains(startLine(exe).toUtf8()));
    if (integrated) {
        // No ERP installed on this machine: the login procedure says so, then start-up ends.
        QCOMPARE(
            fx.env.dialogs().messages(),
            (QStringList{QStringLiteral("MV NON INSTALLATO  !!!!\r\rIMPOSSIBILE ESEGUIRE IL PROGRAMMA !!"),
                         QStringLiteral("ERRORI Inizializzando l'Ambiente di Gestalo !!")}));
        QCOMPARE(fx.env.dialogs().calls.first().title, QStringLiteral("Proc_MV:MV_InitLib"));
        QCOMPARE(fx.env.dialogs().calls.last().icon(), int(vb::Critical));
        QCOMPARE(fx.env.dialogs().calls.last().title, QStringLiteral("Main"));
        QCOMPARE(fx.ends, QList<int>{0});
        QVERIFY(!F_ZipXML::isLoaded());
    } else {
        QVERIFY(fx.env.dialogs().calls.isEmpty());
        QVERIFY(fx.ends.isEmpty());
        QVERIFY(F_ZipXML::isLoaded());
    }
}

// A complete integrated start on the stand-in server: no message, the company set,
// no main window, the process ends with 0 and the login backup is written.
void TestMain::integratedWithStandInServer()
{
    Fixture fx(QStringLiteral("XMLGESTALO"));
    MDB_Create(fx.mdb());
    MV_ResetGlobals();
    QTemporaryDir erp;
    const char* const dbs[] = {"kSYS", "kCONNESSIONI", "kSESSIONI", "DB_AZI1"};
    for (const char* name : dbs) {
        sqlite3* db = nullptr;
        QCOMPARE(
            sqlite3_open(erp.filePath(QString::fromLatin1(name) + QStringLiteral(".db")).toUtf8().constData(),
                         &db),
            SQLITE_OK);
        sqlite3_exec(db,
                     "CREATE TABLE TS_VERSIONE (num_versione INTEGER); INSERT INTO TS_VERSIONE VALUES (5);"
                     "CREATE TABLE TS_AZIENDE (cod_azienda TEXT COLLATE NOCASE, des_database TEXT, "
                     "des_database_com TEXT);"
                     "INSERT INTO TS_AZIENDE VALUES ('AZI1','DB_AZI1','DB_COM');"
                     "CREATE TABLE TS_AZIENDE_INFO (cod_anagra TEXT COLLATE NOCASE, des_ragsoc TEXT);"
                     "INSERT INTO TS_AZIENDE_INFO VALUES ('AZI1','Rossi S.r.l.');",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    qputenv("PLICORA_ERP_SQLITE_DIR", erp.path().toUtf8());
    Registry::Value v;
    v.text = erp.path();
    Registry::setValue(Registry::HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Ostera Software\\k\\Settings"),
                       QStringLiteral("PercorsoInstallazione"), v);
    v.text = QStringLiteral("AZI1");
    Registry::setValue(Registry::HKEY_CURRENT_USER,
                       QStringLiteral("Software\\Ostera Software\\k\\UltimoLoginAppl"),
                       QStringLiteral("Azienda"), v);
    IniFile::write(QStringLiteral("MARVO_Z.INI"), QStringLiteral("Login"), QStringLiteral("Server"),
                   QStringLiteral("'srv01'"));
    IniFile::write(QStringLiteral("MARVO_Z.INI"), QStringLiteral("Login"), QStringLiteral("UserId"),
                   QStringLiteral("sa"));
    IniFile::write(QStringLiteral("MARVO_Z.INI"), QStringLiteral("Login"), QStringLiteral("UserPwd"),
                   QStringLiteral("segreta;1"));
    IniFile::write(kIni, QStringLiteral("AMBIENTE"), QStringLiteral("Codice Azienda"),
                   QStringLiteral("AZI1"));

    Main();
    qunsetenv("PLICORA_ERP_SQLITE_DIR");
    QVERIFY2(fx.env.dialogs().calls.isEmpty(),
             qPrintable(fx.env.dialogs().messages().join(QLatin1Char('|'))));
    QCOMPARE(MV_Azi, QStringLiteral("AZI1"));
    QCOMPARE(MV_RagSoc, QStringLiteral("Rossi S.r.l."));
    QCOMPARE(Db_Azi, QStringLiteral("DB_AZI1"));
    QCOMPARE(DB_Srv, QStringLiteral("srv01"));
    QCOMPARE(MV_NomeProdotto, QStringLiteral("k/VERTICALE"));
    QCOMPARE(Cn_kSESS.State(), int(ado::adStateOpen));
    QCOMPARE(fx.ends, QList<int>{0});
    QVERIFY(!F_ZipXML::isLoaded());
    const QString backup = fx.env.appDir() + QStringLiteral("SQLOG_BACK.INI");
    QCOMPARE(IniFile::read(backup, QStringLiteral("Login"), QStringLiteral("UserPwd")),
             QStringLiteral("segreta;1"));
    QCOMPARE(QFile::permissions(backup) & 0x0077, QFileDevice::Permissions());
    // The password is in no line of the debug log.
    QVERIFY(!TestEnv::readFile(fx.log()).contains("segreta"));
    MV_ResetGlobals();
}

void TestMain::standardButtonsInItalian_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("english");
    QTest::newRow("Cancel") << int(QDialogButtonBox::Cancel) << QStringLiteral("Cancel");
    QTest::newRow("Yes") << int(QDialogButtonBox::Yes) << QStringLiteral("&Yes");
    QTest::newRow("Close") << int(QDialogButtonBox::Close) << QStringLiteral("&Close");
}

void TestMain::standardButtonsInItalian()
{
    QFETCH(int, button);
    QFETCH(QString, english);
    QVERIFY2(LoadQtTranslations(), "qtbase_it is not installed (qt6-translations-l10n)");
    QVERIFY(LoadQtTranslations()); // a second call keeps the one installed
    QDialogButtonBox box{QDialogButtonBox::StandardButton(button)};
    const QString text = box.button(QDialogButtonBox::StandardButton(button))->text();
    QVERIFY(!text.isEmpty());
    QVERIFY2(text != english, qPrintable(text));
}

QTEST_MAIN(TestMain)
#include "tst_main.moc"
