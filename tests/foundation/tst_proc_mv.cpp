// The integrated mode's ERP environment: login questions, the code table, paths by
// kind, the company, the login procedure's traps and the two windows it opens, on the
// SQLite stand-in server.
#include "foundation/F_ChEAzi.h"
#include "foundation/F_SQLAccess.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/PosFinestre.h"
#include "foundation/Proc_MV.h"
#include "platform/IniFile.h"
#include "platform/registry/Registry.h"
#include "qor/Cl_QOR.h"
#include "support/TestEnv.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

namespace
{

const QString kSettings = QStringLiteral("Software\\Ostera Software\\k\\Settings");
const QString kLastLogin = QStringLiteral("Software\\Ostera Software\\k\\UltimoLoginAppl");

void setReg(qint32 root, const QString& key, const QString& name, const QString& text)
{
    Registry::Value v;
    v.text = text;
    Registry::setValue(root, key, name, v);
}

void sql(const QString& file, const char* statements)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, statements, nullptr, nullptr, &err);
    const QByteArray m(err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, m.constData());
}

struct Fixture {
    TestEnv env;
    QTemporaryDir erp;
    QList<int> ends;

    Fixture()
    {
        G_DirApp = env.appDir();
        G_DirWin = env.winDir();
        Pth_DebugLog = env.appDir() + QStringLiteral("XMLGESTALO_Debug.LOG");
        MV_ResetGlobals();
        setProcessEndHandler([this](int code) { ends << code; });
        qputenv("PLICORA_ERP_SQLITE_DIR", erp.path().toUtf8());
    }
    ~Fixture()
    {
        if (F_SQLAccess::isLoaded()) F_SQLAccess::instance().Unload();
        if (F_ChEAzi::isLoaded()) F_ChEAzi::instance().Unload();
        setModalRunner({});
        setProcessEndHandler({});
        MV_ResetGlobals();
        qunsetenv("PLICORA_ERP_SQLITE_DIR");
    }
    QString db(const char* name) const
    {
        return erp.filePath(QString::fromLatin1(name) + QStringLiteral(".db"));
    }
    // The ERP's three databases with a version table, and one company with its database.
    void makeErp(bool withVersion = true)
    {
        for (const char* name : {"kSYS", "kCONNESSIONI", "kSESSIONI"})
            sql(db(name),
                "CREATE TABLE TS_ACCESSI (cod_utente TEXT, nomecomputer TEXT, des_nomeprodotto TEXT);");
        if (withVersion)
            sql(db("kSYS"),
                "CREATE TABLE TS_VERSIONE (num_versione INTEGER); INSERT INTO TS_VERSIONE VALUES (3);");
        sql(db("kSYS"),
            "CREATE TABLE TS_AZIENDE (cod_azienda TEXT COLLATE NOCASE, des_database TEXT, des_database_com "
            "TEXT);"
            "CREATE TABLE TS_AZIENDE_INFO (cod_anagra TEXT COLLATE NOCASE, des_ragsoc TEXT);"
            "INSERT INTO TS_AZIENDE VALUES ('AZI1','DB_A1','DB_C1'),('O''K','DB_OK','DB_C1'),"
            "('DUP','DB_D','DB_C1'),('DUP','DB_D2','DB_C1'),('LUNGOCODICE12','','DB_C1'),('NOINFO','DB_NI',''"
            ");"
            "INSERT INTO TS_AZIENDE_INFO VALUES ('AZI1','Rossi S.r.l.'),('O''K','Apostrofo'),('DUP','Uno'),"
            "('DUP','Due'),('LUNGOCODICE12','Lungo');");
        sql(db("DB_A1"),
            "CREATE TABLE CO_VERSIONE (num_versione INTEGER); INSERT INTO CO_VERSIONE VALUES (7),(9);");
        sql(db("DB_C1"),
            "CREATE TABLE CA_VERSIONE (num_versione REAL); INSERT INTO CA_VERSIONE VALUES (7.5);");
        setReg(Registry::HKEY_LOCAL_MACHINE, kSettings, QStringLiteral("PercorsoInstallazione"), erp.path());
    }
    void login(const QString& server, const QString& user, const QString& pwd)
    {
        IniFile::write(QStringLiteral("MARVO_Z.INI"), QStringLiteral("Login"), QStringLiteral("Server"),
                       server);
        IniFile::write(QStringLiteral("MARVO_Z.INI"), QStringLiteral("Login"), QStringLiteral("UserId"),
                       user);
        IniFile::write(QStringLiteral("MARVO_Z.INI"), QStringLiteral("Login"), QStringLiteral("UserPwd"),
                       pwd);
    }
    QString marvo(const QString& key) const
    {
        return IniFile::read(QStringLiteral("MARVO_Z.INI"), QStringLiteral("Login"), key,
                             QStringLiteral("<none>"));
    }
    QByteArray log() const { return TestEnv::readFile(Pth_DebugLog); }
};

} // namespace

class TstProcMv : public QObject
{
    Q_OBJECT

  private slots:
    void getLoginData_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("nullPwd");
        QTest::newRow("server typed")
            << "server"
            << "" << QStringList{QStringLiteral(" srv01 ")} << QList<int>{} << "srv01"
            << "<none>";
        QTest::newRow("user empty, give up") << "User"
                                             << "" << QStringList{QString()} << QList<int>{vb::Yes} << "-1"
                                             << "<none>";
        QTest::newRow("user empty, again")
            << "USER"
            << "" << QStringList{QString(), QStringLiteral("admin")} << QList<int>{vb::No} << "admin"
            << "<none>";
        QTest::newRow("pwd empty accepted") << "Pwd"
                                            << "" << QStringList{QString()} << QList<int>{vb::Yes} << ""
                                            << "1";
        QTest::newRow("pwd empty, not accepted, give up")
            << "pwd"
            << "abc" << QStringList{QString()} << QList<int>{vb::No, vb::Yes} << "-1"
            << "<none>";
    }
    void getLoginData()
    {
        QFETCH(QString, kind);
        QFETCH(QString, hint);
        QFETCH(QStringList, inputs);
        QFETCH(QList<int>, answers);
        QFETCH(QString, expected);
        QFETCH(QString, nullPwd);
        Fixture fx;
        for (const QString& i : inputs)
            fx.env.dialogs().answerInput(i);
        for (int a : answers)
            fx.env.dialogs().answer(a);
        GetLoginData(kind, hint);
        const QString k = kind.toUpper();
        QCOMPARE(k == QLatin1String("SERVER") ? DB_Srv
                 : k == QLatin1String("USER") ? Us_Id
                                              : Us_Pwd,
                 expected);
        QCOMPARE(fx.marvo(QStringLiteral("NullPwd")), nullPwd);
        const ScriptedDialogs::Call first = fx.env.dialogs().calls.first();
        if (k == QLatin1String("PWD")) {
            QCOMPARE(first.title, QStringLiteral("Inserire Password (GetLoginData)"));
            QCOMPARE(first.text, hint.isEmpty()
                                     ? QStringLiteral("Password Utente\r\n (   PASSWORD NULLA  ??   )")
                                     : QStringLiteral("Password Utente\r\n (   abc   ??   )"));
        }
        if (k == QLatin1String("USER"))
            QCOMPARE(fx.env.dialogs().inputDefaults.first(), QStringLiteral("sa"));
    }

    void tGuess()
    {
        Fixture fx;
        const QString pw = fx.env.appDir() + QStringLiteral("PW_k.MDB");
        QCOMPARE(T_Guess(QStringLiteral("1 2 3"), QStringLiteral(" ")), QString()); // no file
        sql(pw, "CREATE TABLE codes (num_code INTEGER, num_posiz INTEGER, des_carat TEXT);"
                "INSERT INTO codes VALUES (11,1,'a'),(33,3,'c');");
        QCOMPARE(T_Guess(QStringLiteral("11 22 33"), QStringLiteral(" ")), QStringLiteral("a?c"));
        QCOMPARE(T_Guess(QStringLiteral("   "), QStringLiteral(" ")), QString());
        QFile::remove(pw);
        fx.env.writeFile(pw, QByteArray("Standard Jet DB\0\0\0\0", 19)); // an old Access file
        QCOMPARE(T_Guess(QStringLiteral("11"), QStringLiteral(" ")), QString());
    }

    void doveMv()
    {
        Fixture fx;
        const QString base = fx.env.work() + QStringLiteral("erp/");
        setReg(Registry::HKEY_LOCAL_MACHINE, kSettings, QStringLiteral("PathTemp"),
               base + QStringLiteral("tmp/"));
        setReg(Registry::HKEY_LOCAL_MACHINE, kSettings, QStringLiteral("PW"), QStringLiteral("11 22"));
        MV_Azi = QStringLiteral("AZI1");
        QCOMPARE(Dove_MV(1), base + QStringLiteral("tmp/"));
        QCOMPARE(MV_BaseDir, base);
        QCOMPARE(Dove_MV(5), base + QStringLiteral("mv_S2K/"));
        QCOMPARE(Dove_MV(6), base + QStringLiteral("mv_S2K/AZI1/"));
        QVERIFY(QFileInfo(base + QStringLiteral("mv_S2K/AZI1")).isDir());
        QCOMPARE(Dove_MV(22), QStringLiteral("   "));
        QCOMPARE(Dove_MV(23), QStringLiteral("11 22"));
        QCOMPARE(Dove_MV(8), QString());
        const QByteArray log = fx.log();
        QVERIFY(log.contains("// Tipo Dove_MV NON TROVATO !! : 8"));
        QVERIFY(log.contains("// ESCO da Dove_MV : 23 : ********"));
        QVERIFY(!log.contains("11 22"));

        // The Windows default makes no folder in the current one.
        MV_ResetGlobals();
        Registry::Value none;
        setReg(Registry::HKEY_LOCAL_MACHINE, kSettings, QStringLiteral("PathTemp"), QString());
        QCOMPARE(Dove_MV(1), QStringLiteral("c:\\temp\\"));
        QCOMPARE(MV_BaseDir, QStringLiteral("c:\\"));
        QCOMPARE(Dove_MV(5), QStringLiteral("c:\\mv_S2K/"));
        QVERIFY(!QFileInfo::exists(QStringLiteral("c:\\mv_S2K")));
    }

    void regGetDbServer()
    {
        Fixture fx;
        QCOMPARE(Reg_GetDBServer(), QString());
        setReg(Registry::HKEY_LOCAL_MACHINE,
               QStringLiteral("SOFTWARE\\Wow6432Node\\Ostera Software\\k\\BaseDati"),
               QStringLiteral("DBServer"), QStringLiteral("srv32"));
        QCOMPARE(Reg_GetDBServer(), QStringLiteral("srv32"));
        setReg(Registry::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Ostera Software\\k\\BaseDati"),
               QStringLiteral("DBServer"), QStringLiteral("srv64"));
        QCOMPARE(Reg_GetDBServer(), QStringLiteral("srv64"));
    }

    void aziOpen_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("codeAfter");
        QTest::newRow("one row") << "AZI1"
                                 << "" << QList<int>{} << true << "AZI1";
        QTest::newRow("quote in code") << "O'K"
                                       << "" << QList<int>{} << true << "O'K";
        QTest::newRow("two rows") << "DUP"
                                  << "" << QList<int>{vb::OK} << false << "DUP";
        QTest::newRow("no row") << "NONE"
                                << "" << QList<int>{vb::OK} << false << "NONE";
        QTest::newRow("empty, Yes") << ""
                                    << "AZI1" << QList<int>{vb::Yes} << true << "AZI1";
        QTest::newRow("empty, No") << ""
                                   << "AZI1" << QList<int>{vb::No} << false << "";
        QTest::newRow("empty, no previous") << ""
                                            << "" << QList<int>{vb::Yes} << false << "";
    }
    void aziOpen()
    {
        QFETCH(QString, code);
        QFETCH(QString, previous);
        QFETCH(QList<int>, answers);
        QFETCH(bool, ok);
        QFETCH(QString, codeAfter);
        Fixture fx;
        fx.makeErp();
        Cn_kSYS.Open(
            QStringLiteral("Provider=SQLOLEDB.1;User ID=sa;Password=;Initial Catalog=kSYS;Data Source=s"));
        setReg(Registry::HKEY_CURRENT_USER, kLastLogin, QStringLiteral("Azienda"), previous);
        for (int a : answers)
            fx.env.dialogs().answer(a);
        MV_Azi = QStringLiteral("OLD");
        QString c = code;
        QCOMPARE(AziOpen(c), ok);
        QCOMPARE(c, codeAfter);
        QVERIFY(fx.env.dialogs().allAnswered());
        if (ok) {
            QCOMPARE(MV_Azi, codeAfter);
            QVERIFY(!Db_Azi.isEmpty());
        }
        if (code.isEmpty() && !ok) QCOMPARE(MV_Azi, QStringLiteral("OLD")); // untouched
    }

    // The integrated start's company: the registry's, or the user's choice when the
    // registry names none. A company table that cannot be read ends in the start's own
    // message, with no company, and the start goes on.
    void initMvProcCompany_data()
    {
        QTest::addColumn<QString>("registry"); // UltimoLoginAppl "Azienda"
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QStringList>("messages"); // the last ones shown, in order
        QTest::addColumn<QString>("company");
        const QString notFound = QStringLiteral("ERRORE Recuperando i Dati Azienda !! (AZI1)");
        const QString disaster = QStringLiteral("DISASTRO APRENDO L'AZIENDA !!");
        const QString undefined = QStringLiteral("Azienda Gestalo NON Definita !!");
        QTest::newRow("registry company") << "AZI1" << true << QStringList{} << "AZI1";
        QTest::newRow("registry company, table unreadable")
            << "AZI1" << false << QStringList{notFound, notFound, disaster} << "";
        QTest::newRow("no registry company") << "" << true << QStringList{undefined} << "AZI1";
        QTest::newRow("no registry company, table unreadable")
            << "" << false << QStringList{notFound, notFound, disaster} << "";
    }
    void initMvProcCompany()
    {
        QFETCH(QString, registry);
        QFETCH(bool, readable);
        QFETCH(QStringList, messages);
        QFETCH(QString, company);
        Fixture fx;
        fx.makeErp();
        if (!readable) sql(fx.db("kSYS"), "DROP TABLE TS_AZIENDE_INFO;");
        Cn_kSYS.Open(
            QStringLiteral("Provider=SQLOLEDB.1;User ID=sa;Password=;Initial Catalog=kSYS;Data Source=s"));
        setReg(Registry::HKEY_CURRENT_USER, kLastLogin, QStringLiteral("Azienda"), registry);
        setReg(Registry::HKEY_CURRENT_USER, QStringLiteral("Software\\Ostera Software\\k\\Login"),
               QStringLiteral("UltimaAzienda"), QStringLiteral("AZI1"));
        IniFile::write(QStringLiteral("QOR_PLCR.INI"), QStringLiteral("AMBIENTE"),
                       QStringLiteral("Codice Azienda"), QStringLiteral("AZI1"));
        int chooserShown = 0;
        setModalRunner([&chooserShown](VbForm& f) {
            QVERIFY(dynamic_cast<F_ChEAzi*>(&f));
            ++chooserShown; // left without a choice
        });
        fx.env.dialogs().acceptOkBoxes = true;

        InitMVProc(16380);

        QCOMPARE(chooserShown, registry.isEmpty() ? 1 : 0);
        QCOMPARE(fx.env.dialogs().beeps, registry.isEmpty() ? 1 : 0);
        const QStringList shown = fx.env.dialogs().messages();
        QVERIFY2(shown.size() >= messages.size(), qPrintable(shown.join(QLatin1Char('|'))));
        QCOMPARE(shown.mid(shown.size() - messages.size()), messages);
        if (registry.isEmpty()) QCOMPARE(shown.first(), QStringLiteral("Azienda Gestalo NON Definita !!"));
        if (!readable) QCOMPARE(fx.env.dialogs().calls.last().title, QStringLiteral("AziMarvo - AziOpen"));
        QCOMPARE(MV_Azi, company);
        QCOMPARE(Db_Azi, readable ? QStringLiteral("DB_A1") : QString());
        QCOMPARE(MV_NomeProdotto, QStringLiteral("k/VERTICALE"));
        if (!readable) QVERIFY(fx.log().contains("*** ERRORE AziOpen (AZI1) : "));
    }

    void versions()
    {
        Fixture fx;
        fx.makeErp();
        Db_AziCom = QStringLiteral("DB_C1");
        QCOMPARE(MV_VerCO(QStringLiteral("DB_A1")), QStringLiteral("9"));
        QCOMPARE(MV_VerCA(QString()), QStringLiteral("7,5"));
        QCOMPARE(MV_VerCO(QStringLiteral("DB_NONE")), QString());
        QCOMPARE(MV_VerCA(QStringLiteral("DB_A1")), QString()); // no such table there
    }

    void clearAccessi_data()
    {
        QTest::addColumn<QString>("product");
        QTest::addColumn<int>("left");
        QTest::newRow("none") << "" << 3;
        QTest::newRow("k/") << "k/" << 3;
        QTest::newRow("vertical") << "k/VERTICALE" << 3;
        QTest::newRow("k/AZI") << "k/AZI" << 2;
    }
    void clearAccessi()
    {
        QFETCH(QString, product);
        QFETCH(int, left);
        Fixture fx;
        fx.makeErp();
        const QByteArray pc = Qor().ComputerName().toUtf8();
        sql(fx.db("kSESSIONI"), QByteArray("INSERT INTO TS_ACCESSI VALUES ('admk','" + pc +
                                           "','k/AZI'),('admk','other','k/AZI'),"
                                           "('admk','" +
                                           pc + "','k/ALTRO');")
                                    .constData());
        ado::Connection cn;
        cn.Open(QStringLiteral(
            "Provider=SQLOLEDB.1;User ID=sa;Password=;Initial Catalog=kSESSIONI;Data Source=s"));
        MV_NomeProdotto = product;
        MV_ClearACCESSI(cn);
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM TS_ACCESSI"), cn, ado::adOpenStatic, ado::adLockReadOnly);
        QCOMPARE(int(rs.RecordCount()), left);
    }

    // The whole login: the three connections, the backup, the traps.
    void initLibComplete()
    {
        Fixture fx;
        fx.makeErp();
        fx.login(QStringLiteral("\"srv01\""), QStringLiteral("sa"), QStringLiteral("segreta;1"));
        QVERIFY(MV_InitLib(true));
        QVERIFY(fx.env.dialogs().calls.isEmpty());
        QCOMPARE(DB_Srv, QStringLiteral("srv01"));
        for (ado::Connection* c : {&Cn_kSYS, &Cn_kCONN, &Cn_kSESS})
            QCOMPARE(c->State(), int(ado::adStateOpen));
        const QString backup = fx.env.appDir() + QStringLiteral("SQLOG_BACK.INI");
        QCOMPARE(IniFile::read(backup, QStringLiteral("Login"), QStringLiteral("Server")),
                 QStringLiteral("srv01"));
        QCOMPARE(IniFile::read(backup, QStringLiteral("Login"), QStringLiteral("UserPwd")),
                 QStringLiteral("segreta;1"));
        QCOMPARE(QFile::permissions(backup) & 0x0077, QFileDevice::Permissions());
        const QByteArray log = fx.log();
        QVERIFY(log.contains("     Us_Pwd : ********<"));
        QVERIFY(log.contains("Password=********;Initial Catalog=kSYS"));
        QVERIFY(!log.contains("segreta"));
    }

    void initLibNullPassword()
    {
        Fixture fx;
        fx.makeErp();
        fx.login(QStringLiteral("srv01"), QStringLiteral("sa"), QString());
        IniFile::write(QStringLiteral("MARVO_Z.INI"), QStringLiteral("Login"), QStringLiteral("NullPwd"),
                       QStringLiteral("1"));
        QVERIFY(MV_InitLib(true));
        QVERIFY(fx.env.dialogs().calls.isEmpty());

        // Asked, "CONFERMI PASSWORD NULLA ?" Yes, "SICURO ..." No: the loop ends on NullPwd.
        Fixture again;
        again.makeErp();
        again.login(QStringLiteral("srv01"), QStringLiteral("sa"), QString());
        again.env.dialogs().answerInput(QString()).answer(vb::Yes).answer(vb::No);
        QVERIFY(MV_InitLib(true));
        QCOMPARE(again.marvo(QStringLiteral("UserPwd")), QString());
        QCOMPARE(again.marvo(QStringLiteral("NullPwd")), QStringLiteral("1"));
    }

    void initLibNotInstalled_data()
    {
        QTest::addColumn<bool>("show");
        QTest::newRow("messages") << true;
        QTest::newRow("silent") << false;
    }
    void initLibNotInstalled()
    {
        QFETCH(bool, show);
        Fixture fx;
        if (show) fx.env.dialogs().answer(vb::OK);
        QVERIFY(!MV_InitLib(show));
        QCOMPARE(fx.env.dialogs().calls.size(), show ? 1 : 0);
        QCOMPARE(Cn_kSYS.State(), int(ado::adStateClosed));
    }

    // No version table on the system database: the trap names the step; Yes repeats, No ends.
    void initLibConnectionTrap()
    {
        Fixture fx;
        fx.makeErp(false);
        fx.login(QStringLiteral("srv01"), QStringLiteral("sa"), QStringLiteral("segreta"));
        fx.env.dialogs().answer(vb::Yes).answer(vb::No).answer(vb::OK);
        QVERIFY(!MV_InitLib(true));
        const auto& calls = fx.env.dialogs().calls;
        QCOMPARE(calls.size(), 3);
        QCOMPARE(calls.at(0).title, QStringLiteral("MV_InitLib - TS_VERSIONE"));
        QVERIFY(calls.at(0).text.contains(QLatin1String("\r\n\r\nLabel: TS_VERSIONE\r\n\r\n")));
        QVERIFY(calls.at(0).text.contains(QLatin1String("- srv01 - sa - ******** -")));
        QVERIFY(!calls.at(0).text.contains(QLatin1String("segreta")));
        QCOMPARE(calls.at(1).title, QStringLiteral("MV_InitLib - TS_VERSIONE")); // repeated once
        QCOMPARE(calls.at(2).text, QStringLiteral("IMPOSSIBILE CONNETTERSI !!"));
        QCOMPARE(calls.at(2).title, QStringLiteral("MV_InitLib: TS_VERSIONE"));
        QCOMPARE(fx.ends, QList<int>{0});
        QVERIFY(!QFile::exists(fx.env.appDir() + QStringLiteral("SQLOG_BACK.INI")));
    }

    // Cancel: the login window; a changed login is written back and the program restarts.
    void initLibCancelChanged_data()
    {
        QTest::addColumn<bool>("change");
        QTest::newRow("changed") << true;
        QTest::newRow("unchanged") << false;
    }
    void initLibCancelChanged()
    {
        QFETCH(bool, change);
        Fixture fx;
        fx.makeErp(false);
        fx.login(QStringLiteral("srv01"), QStringLiteral("sa"), QStringLiteral("pw"));
        setModalRunner([change](VbForm& f) {
            auto& w = static_cast<F_SQLAccess&>(f);
            w.Activate(); // shown: the fields read the login
            if (change) w.Txt_Server.setText(QStringLiteral("srv02"));
            w.Cmd_Save_Click();
        });
        fx.env.dialogs().answer(vb::Cancel);
        if (change) fx.env.dialogs().answer(vb::OK);
        QVERIFY(!MV_InitLib(true));
        QCOMPARE(fx.marvo(QStringLiteral("Server")),
                 change ? QStringLiteral("srv02") : QStringLiteral("srv01"));
        if (change) {
            QVERIFY(fx.env.dialogs().calls.last().text.startsWith(
                QLatin1String("MODIFICATI PARAMETRI LOGIN !!")));
            QVERIFY(fx.env.dialogs().calls.last().title.endsWith(QLatin1String(" - Rel.: 2.19.xx")));
            QCOMPARE(fx.ends, QList<int>{0});
        } else {
            QVERIFY(fx.ends.isEmpty());
        }
    }

    // No login in the ERP's file: the login window until server and user are known.
    void initLibAsksLoginWindow_data()
    {
        QTest::addColumn<bool>("quit");
        QTest::newRow("saved") << false;
        QTest::newRow("Abbandona") << true;
    }
    void initLibAsksLoginWindow()
    {
        QFETCH(bool, quit);
        Fixture fx;
        fx.makeErp();
        IniFile::write(QStringLiteral("MARVO_Z.INI"), QStringLiteral("Login"), QStringLiteral("NullPwd"),
                       QStringLiteral("1"));
        setModalRunner([quit](VbForm& f) {
            auto& w = static_cast<F_SQLAccess&>(f);
            if (quit) {
                w.Cmd_Quit_Click();
                return;
            }
            w.Txt_Server.setText(QStringLiteral("srv01"));
            w.Txt_User.setText(QStringLiteral("sa"));
            w.Cmd_Save_Click();
        });
        QCOMPARE(MV_InitLib(true), !quit);
        QVERIFY(!F_SQLAccess::isLoaded());
        QCOMPARE(fx.ends, quit ? QList<int>{0} : QList<int>{});
        QCOMPARE(fx.marvo(QStringLiteral("Server")),
                 quit ? QStringLiteral("<none>") : QStringLiteral("srv01"));
    }

    void sqlAccessWindow()
    {
        Fixture fx;
        // Backup only: the restore question; Yes fills the fields without the quotes.
        IniFile::write(fx.env.appDir() + QStringLiteral("SQLOG_BACK.INI"), QStringLiteral("Login"),
                       QStringLiteral("Server"), QStringLiteral("'srvB'"));
        fx.env.dialogs().answer(vb::Yes);
        F_SQLAccess& w = F_SQLAccess::instance();
        w.Activate();
        QCOMPARE(w.Txt_Server.Text(), QStringLiteral("srvB"));
        QCOMPARE(w.Txt_User.Text(), QStringLiteral("sa"));
        QCOMPARE(w.Txt_Pwd.PasswordChar(), QString());
        w.Cmd_ShowChar_Click();
        QCOMPARE(w.Txt_Pwd.PasswordChar(), QStringLiteral("#"));
        w.Cmd_ShowChar_Click();
        QCOMPARE(w.Txt_Pwd.PasswordChar(), QString());
        w.Lbl_Srv_Click(); // nothing in the registry
        QCOMPARE(fx.env.dialogs().beeps, 1);
        w.Cmd_Quit_Click();
        QVERIFY(w.Is_Quit());
        QCOMPARE(fx.marvo(QStringLiteral("Server")), QStringLiteral("<none>"));
        w.Unload();
        QCOMPARE(F_SQLAccess::StripQuotes(QStringLiteral("'a'")), QStringLiteral("a"));
        QCOMPARE(F_SQLAccess::StripQuotes(QStringLiteral("'a")), QStringLiteral("a"));
        QCOMPARE(F_SQLAccess::StripQuotes(QStringLiteral("\"a\"")), QStringLiteral("\"a\""));
    }

    // A fresh install: the login saved from the window is readable by its owner only.
    void sqlAccessSaveOwnersOnly()
    {
        Fixture fx;
        const QString marvo = fx.env.winDir() + QStringLiteral("MARVO_Z.INI");
        QVERIFY(!QFileInfo::exists(marvo));
        F_SQLAccess& w = F_SQLAccess::instance();
        w.Txt_Server.setText(QStringLiteral("srv01"));
        w.Txt_User.setText(QStringLiteral("sa"));
        w.Txt_Pwd.setText(QStringLiteral("segreta"));
        w.Cmd_Save_Click();
        QCOMPARE(fx.marvo(QStringLiteral("UserPwd")), QStringLiteral("segreta"));
        QCOMPARE(QFile::permissions(marvo) & 0x0077, QFileDevice::Permissions());
    }

    // The SQL login window's status bar: message, lock and insert indicators, time and date.
    void sqlAccessStatusBar()
    {
        Fixture fx;
        F_SQLAccess& w = F_SQLAccess::instance();
        QStringList names;
        for (const QLabel* l : w.St_Bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            names << (l->objectName().isEmpty() ? l->text() : l->objectName());
        QCOMPARE(names, (QStringList{"Pan_Msg", "NUM", "CAPS", "INS", "Pan_Time", "Pan_Date"}));
        QCOMPARE(w.Pan_Time->text(), QStringLiteral("09:00"));
        QCOMPARE(w.Pan_Date->text(), QStringLiteral("10/12/2026"));
        fx.env.clock().set(QDateTime(QDate(2026, 12, 11), QTime(10, 1)));
        QTRY_COMPARE_WITH_TIMEOUT(w.Pan_Time->text(), QStringLiteral("10:01"), 3000);
        QCOMPARE(w.Pan_Date->text(), QStringLiteral("11/12/2026"));
    }

    void companyChooser()
    {
        Fixture fx;
        fx.makeErp();
        Cn_kSYS.Open(QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Password=pw;"
                                    "Initial Catalog=kSYS;Data Source=s"));
        Db_AziCom = QStringLiteral("DB_C1");
        setWorkAreaProvider([] { return QRect(0, 0, 1280, 1024); });
        const auto restore = qScopeGuard([] { setWorkAreaProvider({}); });
        F_ChEAzi& w = F_ChEAzi::instance();
        QCOMPARE(w.Lst_Azi->count(), 8); // "DUP" twice, each with two names
        const QString azi1 = w.Lst_Azi->item(0)->text();
        QCOMPARE(azi1, Qor().PadStr(QStringLiteral("AZI1"), 10) + QStringLiteral("|") +
                           Qor().PadStr(QStringLiteral("Rossi S.r.l."), 30) + QStringLiteral("|") +
                           Qor().PadStr(QStringLiteral("DB_A1"), 20) + QStringLiteral("|") +
                           Qor().PadStr(QStringLiteral("DB_C1"), 20) + QStringLiteral("|") +
                           Qor().PadStr(QStringLiteral("9"), 15) + QStringLiteral("|") +
                           Qor().PadStr(QString(), 15) + QStringLiteral("|")); // no CA_VERSIONE in DB_A1
        // Declined: beep, the settings unchanged, the window open.
        w.Lst_Azi->setCurrentRow(5); // "LUNGOCODICE12": no database, blank versions
        QVERIFY(w.Lst_Azi->item(5)->text().endsWith(Qor().PadStr(QString(), 15) + QStringLiteral("|")));
        // At its first opening the window is wide enough for whole rows.
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY2(w.Lst_Azi->viewport()->width() >= w.Lst_Azi->sizeHintForColumn(0),
                 qPrintable(QString::number(w.Lst_Azi->viewport()->width()) + " < " +
                            QString::number(w.Lst_Azi->sizeHintForColumn(0))));
        fx.env.dialogs().answer(vb::No);
        w.Lst_Azi_DblClick();
        QCOMPARE(fx.env.dialogs().beeps, 1);
        QVERIFY(F_ChEAzi::isLoaded());
        // Confirmed: the whole 13-character code is written and switched to.
        fx.env.dialogs().answer(vb::Yes).answer(vb::Yes);
        w.Lst_Azi_DblClick();
        QCOMPARE(IniFile::read(QStringLiteral("QOR_PLCR.INI"), QStringLiteral("AMBIENTE"),
                               QStringLiteral("Codice Azienda")),
                 QStringLiteral("LUNGOCODICE12"));
        QCOMPARE(MV_Azi, QStringLiteral("LUNGOCODICE12"));
        QVERIFY(!F_ChEAzi::isLoaded());
    }
};

QTEST_MAIN(TstProcMv)
#include "tst_proc_mv.moc"
