// The archive file: connection text, creation, column tests, the periodic
// compaction and the tables' creation and upgrade, on real files.
#include "archive/M_MDB.h"
#include "foundation/F_MSG.h"
#include "foundation/M_MV.h"
#include "platform/IniFile.h"
#include "platform/ado/ArchiveLock.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <filesystem>

#include <sqlite3.h>

using namespace ado;

namespace
{

const QString kCmdb = QStringLiteral("QOR_CMDB.INI");

QStringList columns(Connection& cn, const QString& table)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM ") + table, cn, adOpenStatic, adLockReadOnly);
    QStringList out;
    for (int i = 0; i < rs.GetFields().Count(); ++i)
        out << rs[i].Name();
    return out;
}

// The stored definition of every table and index: equal texts, same schema.
QStringList schema(Connection& cn)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT sql FROM sqlite_master ORDER BY name"), cn, adOpenStatic, adLockReadOnly);
    QStringList out;
    while (!rs.EOF_()) {
        out << rs[0].toString();
        rs.MoveNext();
    }
    return out;
}

QVariantList values(Connection& cn, const QString& sql)
{
    Recordset rs;
    rs.Open(sql, cn, adOpenStatic, adLockReadOnly);
    QVariantList out;
    while (!rs.EOF_()) {
        out << rs[0].Value();
        rs.MoveNext();
    }
    return out;
}

const QStringList kDirbase = {QStringLiteral("cod_firma"), QStringLiteral("des_cartella"),
                              QStringLiteral("flg_tipo_cartella")};
const QStringList kDirsub = {QStringLiteral("cod_firma_base"), QStringLiteral("num_cartella"),
                             QStringLiteral("cod_firma"), QStringLiteral("des_cartella")};
const QStringList kFiles =
    QStringLiteral("cod_firma des_file des_fileonly val_lunfile dat_ric dat_send cod_emit_pi "
                   "cod_emit_cf des_emit des_emit_nome des_emit_cogn des_numdoc des_datdoc "
                   "cod_tipodoc_min cod_ric_pi cod_ric_cf des_ric des_ric_nome des_ric_cogn "
                   "des_allegato des_confronto dat_contab")
        .split(QLatin1Char(' '));

// Another program holding the archive's lock file, as its connections do: the
// util-linux flock command, in a process of its own.
class LockHolder
{
  public:
    LockHolder(const QString& lockFile, const char* mode, double seconds = 30)
    {
        p_.start(QStringLiteral("flock"), {QStringLiteral("-o"), QString::fromLatin1(mode), lockFile, QStringLiteral("-c"),
                                          QStringLiteral("echo held; sleep %1").arg(seconds)});
        ok_ = p_.waitForStarted(5000) && p_.waitForReadyRead(5000);
    }
    ~LockHolder()
    {
        p_.kill();
        p_.waitForFinished(5000);
    }
    bool ok() const { return ok_; }

  private:
    QProcess p_;
    bool ok_ = false;
};

// Whether another program could take the lock file exclusively right now.
bool othersMayCompact(const QString& lockFile)
{
    return QProcess::execute(QStringLiteral("flock"), {QStringLiteral("-n"), QStringLiteral("-x"), lockFile,
                                                      QStringLiteral("true")}) == 0;
}

} // namespace

class TstMdb : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnv> env_;
    QString db_;

    QString updLog() const { return env_->appDir() + QStringLiteral("UpdDB.LOG"); }
    QString cmdbKey() const { return QStringLiteral("Plicora_DIR_TMP"); }

    Connection open(const QString& path)
    {
        Connection cn;
        cn.Open(MDB_OpenConn(path));
        return cn;
    }
    // A database of the current schema with a few FILES rows.
    void current(int rows = 3)
    {
        QCOMPARE(MDB_Create(db_), 0);
        Connection cn = open(db_);
        Upd_Tabs_Compact(cn);
        for (int i = 0; i < rows; ++i)
            cn.Execute(QStringLiteral("INSERT INTO FILES (cod_firma, des_file, des_fileonly, val_lunfile) "
                                      "VALUES (1, ?, ?, 100)"),
                       {QStringLiteral("/x/f%1.xml").arg(i), QStringLiteral("f%1.xml").arg(i)});
        cn.Close();
    }
    void storeCompactDate(const QString& text)
    {
        QVERIFY(IniFile::write(kCmdb, QStringLiteral("DataShrink"), cmdbKey(), text));
    }
    QString storedCompactDate() const
    {
        return IniFile::read(kCmdb, QStringLiteral("DataShrink"), cmdbKey(), QStringLiteral("<none>"));
    }
    QString today() const { return env_->clock().now().date().toString(QStringLiteral("dd/MM/yyyy")); }

  private slots:
    void init()
    {
        env_ = std::make_unique<TestEnv>();
        db_ = env_->appDir() + QStringLiteral("DIR_TMP.MDB");
    }
    void cleanup()
    {
        MDB_SetRenameForTests({});
        if (env_) QVERIFY2(env_->dialogs().allAnswered(), "scripted answers left over");
        env_.reset();
    }

    void openConn_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("windows path") << "C:\\P\\DIR_TMP.MDB"
                                      << "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;User "
                                         "ID=;Data Source='C:\\P\\DIR_TMP.MDB'";
        QTest::newRow("apostrophe")
            << "/srv/dell'azienda/DIR_TMP.MDB"
            << "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;User ID=;Data "
               "Source='/srv/dell''azienda/DIR_TMP.MDB'";
    }
    void openConn()
    {
        QFETCH(QString, path);
        QFETCH(QString, text);
        QCOMPARE(MDB_OpenConn(path), text);
        if (!path.isEmpty()) QCOMPARE(ConnectionStringValue(text, QStringLiteral("Data Source")), path);
    }

    void pathWithApostropheWorks()
    {
        const QString dir = env_->appDir() + QStringLiteral("dell'azienda/");
        QVERIFY(QDir().mkpath(dir));
        const QString path = dir + QStringLiteral("DIR_TMP.MDB");
        QCOMPARE(MDB_Create(path), 0);
        Connection cn = open(path);
        Upd_Tabs_Compact(cn);
        QVERIFY(MDB_ExistTABLE(cn, QStringLiteral("FILES")));
    }

    void create_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("fileAfter");
        QTest::newRow("upper") << "DIR_TMP.MDB" << 0 << true;
        QTest::newRow("lower case extension") << "dir_tmp.mdb" << 0 << true;
        QTest::newRow("accdb") << "DIR_TMP.accdb" << 3 << false;
        QTest::newRow("empty") << "" << 3 << false;
        QTest::newRow("missing folder") << "nope/DIR_TMP.MDB" << 2 << false;
    }
    void create()
    {
        QFETCH(QString, name);
        QFETCH(int, result);
        QFETCH(bool, fileAfter);
        const QString path = name.isEmpty() ? QString() : env_->appDir() + name;
        env_->dialogs().acceptOkBoxes = true;
        QCOMPARE(MDB_Create(path), result);
        QCOMPARE(QFileInfo::exists(path), fileAfter);
        if (result == 2) {
            QCOMPARE(env_->dialogs().calls.size(), 1);
            QCOMPARE(env_->dialogs().calls.at(0).icon(), int(vb::Information));
        } else {
            QCOMPARE(env_->dialogs().calls.size(), 0);
        }
        if (fileAfter) {
            QVERIFY(IsDatabaseFile(path));
            QCOMPARE(MDB_Create(path), 1);
        }
    }

    void oldAccessFileIsReportedOnceAndKept()
    {
        QByteArray jet(8192, '\0');
        jet.replace(4, 15, "Standard Jet DB");
        env_->writeFile(db_, jet);
        env_->dialogs().answer(vb::OK);
        QVERIFY(MDB_ForeignFile(db_));
        QVERIFY(MDB_ForeignFile(db_)); // no second message
        QCOMPARE(env_->dialogs().calls.size(), 1);
        QVERIFY(env_->dialogs().calls.at(0).text.contains(db_));
        QCOMPARE(MDB_Create(db_), 1);
        storeCompactDate(QStringLiteral("01/01/1900"));
        MDBCompact(db_, QStringLiteral("Plicora"), env_->appDir(), 30);
        QCOMPARE(TestEnv::readFile(db_), jet);
        QVERIFY(!QFile::exists(db_ + QStringLiteral(".bak")));
        QCOMPARE(storedCompactDate(), QStringLiteral("01/01/1900"));
        QCOMPARE(env_->dialogs().calls.size(), 1);
    }

    void existTableAndField_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("precision");
        QTest::addColumn<bool>("exists");
        QTest::newRow("column") << "FILES"
                                << "des_numdoc" << 0 << 0 << -1 << true;
        QTest::newRow("other case") << "files"
                                    << "DES_NUMDOC" << 0 << 0 << -1 << true;
        QTest::newRow("no column") << "FILES"
                                   << "des_nope" << 0 << 0 << -1 << false;
        QTest::newRow("no table") << "NOPE"
                                  << "des_numdoc" << 0 << 0 << -1 << false;
        QTest::newRow("type and size") << "FILES"
                                       << "des_numdoc" << int(adVarWChar) << 50 << -1 << true;
        QTest::newRow("other size") << "FILES"
                                    << "des_numdoc" << int(adVarWChar) << 25 << -1 << false;
        QTest::newRow("other type") << "FILES"
                                    << "val_lunfile" << int(adInteger) << 0 << -1 << false;
        QTest::newRow("precision") << "FILES"
                                   << "val_lunfile" << int(adDouble) << 0 << 15 << true;
    }
    void existTableAndField()
    {
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(int, type);
        QFETCH(int, size);
        QFETCH(int, precision);
        QFETCH(bool, exists);
        current(0);
        Connection cn = open(db_);
        QCOMPARE(MDB_ExistTABLE(cn, table), table != QLatin1String("NOPE"));
        QCOMPARE(MDB_ExistField(cn, table, field, type, size, precision), exists);
        QCOMPARE(env_->dialogs().calls.size(), 0); // a missing table or column is no message
    }

    void pipeAddFields_data()
    {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("types");
        QTest::addColumn<QStringList>("added");
        QTest::newRow("two") << "a|b|"
                             << "varchar(5) NULL|double|" << QStringList{"a", "b"};
        QTest::newRow("trailing bar counts once") << "a|"
                                                  << "int" << QStringList{"a"};
        QTest::newRow("two fields one type") << "a|b|"
                                             << "int|" << QStringList{};
        QTest::newRow("first error stops") << "a|b|c|"
                                           << "int|varchar(|int|" << QStringList{"a"};
        QTest::newRow("existing one skipped") << "k|c|"
                                              << "int|BOOLEAN|" << QStringList{"c"};
    }
    void pipeAddFields()
    {
        QFETCH(QString, fields);
        QFETCH(QString, types);
        QFETCH(QStringList, added);
        QCOMPARE(MDB_Create(db_), 0);
        Connection cn = open(db_);
        cn.Execute(QStringLiteral("CREATE TABLE T (k int)"));
        MDB_PipeADDFld(QStringLiteral("T"), fields, types, cn);
        QCOMPARE(columns(cn, QStringLiteral("T")), QStringList{QStringLiteral("k")} + added);
        if (added.contains(QStringLiteral("c")) && types.contains(QStringLiteral("BOOLEAN")))
            QVERIFY(MDB_ExistField(cn, QStringLiteral("T"), QStringLiteral("c"), adSmallInt, 0, -1));
        MDB_SetZeroLen(QStringLiteral("T"), fields, cn, QStringLiteral("|")); // nothing to do, nothing fails
        QCOMPARE(env_->dialogs().calls.size(), 0);
    }

    void freshDatabaseHasTheSchema()
    {
        QCOMPARE(MDB_Create(db_), 0);
        Connection cn = open(db_);
        Upd_Tabs_Compact(cn);
        QCOMPARE(columns(cn, QStringLiteral("DIRBASE")), kDirbase);
        QCOMPARE(columns(cn, QStringLiteral("DIRSUB")), kDirsub);
        QCOMPARE(columns(cn, QStringLiteral("FILES")), kFiles);
        const QStringList log =
            QString::fromUtf8(TestEnv::readFile(updLog())).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(log.size(), 3);
        QCOMPARE(log.at(0), QStringLiteral("+++ 10/12/2026 09:00:00 - Creo Tabella DIRBASE ()"));
        QVERIFY(log.at(1).endsWith(QStringLiteral(" - Creo Tabella DIRSUB ()")));
        QVERIFY(log.at(2).endsWith(QStringLiteral(" - Creo Tabella FILES ()")));
        QCOMPARE(
            values(cn, QStringLiteral("SELECT name FROM sqlite_master WHERE type='index' ORDER BY name")),
            (QVariantList{QStringLiteral("IX_FILES_fileonly_exact"), QStringLiteral("IX_FILES_firma_fileonly"),
                          QStringLiteral("IX_FILES_numdoc_datdoc")}));
        // Text columns take '' (kept apart from Null); MEMO keeps text as it is.
        cn.Execute(QStringLiteral("INSERT INTO FILES (des_file, des_fileonly, des_emit, des_confronto) "
                                  "VALUES ('0012', '', '', NULL)"));
        QCOMPARE(values(cn, QStringLiteral("SELECT des_file FROM FILES WHERE des_emit=''")),
                 QVariantList{QStringLiteral("0012")});
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM FILES"), cn, adOpenStatic, adLockReadOnly);
        QCOMPARE(rs["des_file"].Type(), int(adLongVarWChar));
        QCOMPARE(rs["dat_ric"].Type(), int(adDate));
        QCOMPARE(rs["cod_tipodoc_min"].DefinedSize(), 4);
        QVERIFY(IsNull(rs["des_confronto"].Value()));
        QCOMPARE(env_->dialogs().calls.size(), 0);
    }

    void oldSchemaIsUpgradedOnce()
    {
        QCOMPARE(MDB_Create(db_), 0);
        Connection cn = open(db_);
        // The first release's tables.
        cn.Execute(
            QStringLiteral("CREATE TABLE DIRBASE (  cod_firma int, des_cartella varchar(255) NOT NULL)"));
        cn.Execute(QStringLiteral(
            "CREATE TABLE FILES (  cod_firma double, des_file MEMO NOT NULL, des_fileonly varchar( 255) NOT "
            "NULL, "
            "val_lunfile double, cod_emit_pi varchar(  25) NULL, cod_emit_cf varchar(  25) NULL, des_emit "
            "varchar( "
            "255) NULL, des_numdoc varchar(  50) NULL, des_datdoc varchar(  10) NULL, cod_tipodoc_min "
            "varchar(   4) "
            "NULL, cod_ric_pi varchar(  25) NULL, cod_ric_cf varchar(  25) NULL, des_ric varchar( 255) NULL, "
            "des_allegato varchar( 255) NULL, des_confronto MEMO NULL)"));
        for (int key : {101, 202, 303})
            cn.Execute(QStringLiteral("INSERT INTO DIRBASE VALUES (?, ?)"),
                       {key, QStringLiteral("/f/%1/").arg(key)});
        cn.Execute(
            QStringLiteral("INSERT INTO FILES (cod_firma, des_file, des_fileonly, val_lunfile, des_numdoc) "
                           "VALUES (101, '/f/101/a.xml', 'a.xml', 10, '7')"));
        IniFile::write(QStringLiteral("QOR_PLCR.INI"), QStringLiteral("ParamXML"),
                       QStringLiteral("AttPass_202"), QStringLiteral("1"));
        IniFile::write(QStringLiteral("QOR_PLCR.INI"), QStringLiteral("ParamXML"),
                       QStringLiteral("AttPass_303"), QStringLiteral("0"));

        env_->dialogs().answer(vb::OK);
        Upd_Tabs_Compact(cn);
        QCOMPARE(env_->dialogs().calls.size(), 1);
        const ScriptedDialogs::Call& c = env_->dialogs().calls.at(0);
        QCOMPARE(c.title, QStringLiteral("Upd_Tabs_Compact"));
        QVERIFY(
            c.text.startsWith(QStringLiteral("ATTENZIONE !!\r\nRigenerazione Campo : dat_contab\r\n\r\n")));
        QCOMPARE(c.icon(), int(vb::Critical));

        QCOMPARE(values(cn, QStringLiteral("SELECT flg_tipo_cartella FROM DIRBASE ORDER BY cod_firma")),
                 (QVariantList{QStringLiteral("E"), QStringLiteral("R"), QStringLiteral("E")}));
        const QStringList filesCols = columns(cn, QStringLiteral("FILES"));
        for (const QString& col : kFiles)
            QVERIFY2(filesCols.contains(col), qPrintable(col));
        QVERIFY(MDB_ExistTABLE(cn, QStringLiteral("DIRSUB")));
        QCOMPARE(values(cn, QStringLiteral("SELECT des_numdoc FROM FILES")),
                 QVariantList{QStringLiteral("7")});
        const QString log = QString::fromUtf8(TestEnv::readFile(updLog()));
        QVERIFY(
            log.contains(QStringLiteral(" - Aggiorno Tabella DIRBASE () - P_Fld:flg_tipo_cartella|\r\n")));
        QVERIFY(log.contains(
            QStringLiteral(" - Aggiorno Tabella FILES () - P_Fld:dat_contab|dat_ric|dat_send|\r\n")));
        QVERIFY(
            log.contains(QStringLiteral(" - Aggiorno Tabella FILES () - "
                                        "P_Fld:des_emit_nome|des_emit_cogn|des_ric_nome|des_ric_cogn|\r\n")));
        QVERIFY(log.contains(QStringLiteral(" - Creo Tabella DIRSUB ()")));

        // A second start finds nothing to do.
        const QStringList before = schema(cn);
        env_->clock().advance(3600 * 1000);
        Upd_Tabs_Compact(cn);
        QCOMPARE(env_->dialogs().calls.size(), 1);
        QCOMPARE(schema(cn), before);
        QCOMPARE(QString::fromUtf8(TestEnv::readFile(updLog())), log);
    }

    void backFillCutShortIsDoneAgain()
    {
        QCOMPARE(MDB_Create(db_), 0);
        Connection cn = open(db_);
        cn.Execute(
            QStringLiteral("CREATE TABLE DIRBASE (cod_firma int, des_cartella varchar(255) NOT NULL)"));
        cn.Execute(QStringLiteral("INSERT INTO DIRBASE VALUES (1, '/a/')"));
        cn.Execute(QStringLiteral("INSERT INTO DIRBASE VALUES (2, '/b/')"));
        // The second row cannot be written this time.
        cn.Execute(QStringLiteral("CREATE TRIGGER stop2 BEFORE UPDATE ON DIRBASE WHEN OLD.cod_firma=2 "
                                  "BEGIN SELECT RAISE(ABORT, 'riga bloccata'); END"));
        env_->dialogs().answer(vb::Abort);
        Upd_Tabs_Compact(cn);
        QCOMPARE(env_->dialogs().calls.size(), 1);
        QVERIFY(env_->dialogs().calls.at(0).text.contains(QStringLiteral("riga bloccata")));
        // Nothing half done: the column is not there, so the next start fills every row.
        QVERIFY(
            !MDB_ExistField(cn, QStringLiteral("DIRBASE"), QStringLiteral("flg_tipo_cartella"), 0, 0, -1));
        cn.Execute(QStringLiteral("DROP TRIGGER stop2"));
        Upd_Tabs_Compact(cn);
        QCOMPARE(values(cn, QStringLiteral("SELECT flg_tipo_cartella FROM DIRBASE")),
                 (QVariantList{QStringLiteral("E"), QStringLiteral("E")}));
    }

    void ignoredRowIsLeftAndTheRestFilled()
    {
        QCOMPARE(MDB_Create(db_), 0);
        Connection cn = open(db_);
        cn.Execute(
            QStringLiteral("CREATE TABLE DIRBASE (cod_firma int, des_cartella varchar(255) NOT NULL)"));
        for (int k : {1, 2, 3})
            cn.Execute(QStringLiteral("INSERT INTO DIRBASE VALUES (?, '/x/')"), {k});
        cn.Execute(QStringLiteral("CREATE TRIGGER stop2 BEFORE UPDATE ON DIRBASE WHEN OLD.cod_firma=2 "
                                  "BEGIN SELECT RAISE(ABORT, 'riga bloccata'); END"));
        env_->dialogs().answer(vb::Ignore);
        Upd_Tabs_Compact(cn);
        QCOMPARE(values(cn, QStringLiteral("SELECT flg_tipo_cartella FROM DIRBASE")),
                 (QVariantList{QStringLiteral("E"), QVariant(), QStringLiteral("E")}));
    }

    void filesWithDatContabIsNotChangedForOneMissingName()
    {
        QCOMPARE(MDB_Create(db_), 0);
        Connection cn = open(db_);
        Upd_Tabs_Compact(cn);
        // FILES has everything but des_ric_cogn: the step looks at des_emit_nome only.
        cn.Execute(QStringLiteral("DROP TABLE FILES"));
        cn.Execute(
            QStringLiteral("CREATE TABLE FILES (cod_firma double, des_file MEMO NOT NULL, des_fileonly "
                           "varchar(255) NOT NULL, des_numdoc varchar(50), des_datdoc varchar(10), "
                           "dat_contab datetime, des_emit_nome varchar(255))"));
        const QByteArray logBefore = TestEnv::readFile(updLog());
        Upd_Tabs_Compact(cn);
        QVERIFY(!MDB_ExistField(cn, QStringLiteral("FILES"), QStringLiteral("des_ric_cogn"), 0, 0, -1));
        QCOMPARE(TestEnv::readFile(updLog()), logBefore);
        QCOMPARE(env_->dialogs().calls.size(), 0);
    }

    void upgradeErrorAsksAndAbortStops()
    {
        QCOMPARE(MDB_Create(db_), 0);
        Connection cn = open(db_);
        // An index that holds the name FILES: creating the table fails.
        cn.Execute(QStringLiteral("CREATE TABLE X (a int)"));
        cn.Execute(QStringLiteral("CREATE INDEX FILES ON X(a)"));
        env_->dialogs().answer(vb::Retry).answer(vb::Abort);
        Upd_Tabs_Compact(cn);
        QCOMPARE(env_->dialogs().calls.size(), 2);
        QCOMPARE(env_->dialogs().calls.at(0).title, QStringLiteral("UPG_TABS"));
        QVERIFY(env_->dialogs().calls.at(0).text.startsWith(QStringLiteral("Errore:")));
        QCOMPARE(env_->dialogs().calls.at(0).buttons(), int(vb::AbortRetryIgnore));
        QVERIFY(MDB_ExistTABLE(cn, QStringLiteral("DIRBASE")));
        QVERIFY(!MDB_ExistTABLE(cn, QStringLiteral("FILES")));
    }

    void compactInterval_data()
    {
        QTest::addColumn<QString>("stored"); // "" = no key yet
        QTest::addColumn<int>("daysAgo");
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("compacts");
        QTest::newRow("first start") << "" << 0 << 30 << true;
        QTest::newRow("30 days of 30") << "ago" << 30 << 30 << false;
        QTest::newRow("31 days of 30") << "ago" << 31 << 30 << true;
        QTest::newRow("5 is 10: 10 days") << "ago" << 10 << 5 << false;
        QTest::newRow("5 is 10: 11 days") << "ago" << 11 << 5 << true;
        QTest::newRow("90 is 60: 60 days") << "ago" << 60 << 90 << false;
        QTest::newRow("90 is 60: 61 days") << "ago" << 61 << 90 << true;
        QTest::newRow("today") << "ago" << 0 << 30 << false;
        QTest::newRow("unreadable date") << "31/13/2020" << 0 << 30 << false;
        QTest::newRow("not a date") << "mai" << 0 << 30 << false;
    }
    void compactInterval()
    {
        QFETCH(QString, stored);
        QFETCH(int, daysAgo);
        QFETCH(int, days);
        QFETCH(bool, compacts);
        current(20);
        {
            Connection cn = open(db_);
            cn.Execute(QStringLiteral("DELETE FROM FILES WHERE des_fileonly>'f1.xml'"));
        }
        if (stored == QLatin1String("ago"))
            stored = env_->clock().now().date().addDays(-daysAgo).toString(QStringLiteral("dd/MM/yyyy"));
        if (!stored.isEmpty()) storeCompactDate(stored);
        const QByteArray old = TestEnv::readFile(db_);

        MDBCompact(db_, QStringLiteral("Plicora"), env_->appDir(), days);

        QCOMPARE(env_->dialogs().calls.size(), 0);
        QVERIFY(!QFile::exists(env_->appDir() + QStringLiteral("Compactz.mdb")));
        QCOMPARE(IntegrityCheck(db_), QStringLiteral("ok"));
        if (compacts) {
            QCOMPARE(TestEnv::readFile(db_ + QStringLiteral(".bak")), old);
            QCOMPARE(storedCompactDate(), today());
            QVERIFY(TestEnv::readFile(db_).size() <= old.size());
        } else {
            QVERIFY(!QFile::exists(db_ + QStringLiteral(".bak")));
            QCOMPARE(TestEnv::readFile(db_), old);
            QCOMPARE(storedCompactDate(), stored.isEmpty() ? QStringLiteral("<none>") : stored);
        }
        Connection cn = open(db_);
        QCOMPARE(values(cn, QStringLiteral("SELECT des_fileonly FROM FILES")),
                 (QVariantList{QStringLiteral("f0.xml"), QStringLiteral("f1.xml")}));
    }

    void compactShowsItsWindowAndKeepsTheBackupOfEachRun()
    {
        current(2);
        storeCompactDate(QStringLiteral("01/01/2000"));
        MDBCompact(db_, QStringLiteral("Plicora"), env_->appDir(), 30);
        QVERIFY(!F_MSG::isLoaded());
        // Next run, 31 days later, with one more row: the backup is the newer database.
        env_->clock().advance(qint64(31) * 86400 * 1000);
        {
            Connection cn = open(db_);
            cn.Execute(
                QStringLiteral("INSERT INTO FILES (des_file, des_fileonly) VALUES ('/x/n.xml', 'n.xml')"));
        }
        const QByteArray second = TestEnv::readFile(db_);
        MDBCompact(db_, QStringLiteral("Plicora"), env_->appDir(), 30);
        QCOMPARE(TestEnv::readFile(db_ + QStringLiteral(".bak")), second);
        QCOMPARE(storedCompactDate(), today());
    }

    void compactWaitsForOpenConnections()
    {
        current(1);
        Connection cn = open(db_);
        const QByteArray old = TestEnv::readFile(db_);
        MDBCompact(db_, QStringLiteral("Plicora"), env_->appDir(), 30);
        QCOMPARE(TestEnv::readFile(db_), old);
        QCOMPARE(storedCompactDate(), QStringLiteral("<none>"));
    }

    void compactWaitsForOtherPrograms_data()
    {
        QTest::addColumn<bool>("throughLink"); // this program reaches the archive through a link
        QTest::newRow("same path") << false;
        QTest::newRow("through a link") << true;
    }
    void compactWaitsForOtherPrograms()
    {
        QFETCH(bool, throughLink);
        Pth_DebugLog = env_->appDir() + QStringLiteral("XMLGESTALO_Debug.LOG");
        current(2);
        if (throughLink) {
            const QString link = env_->appDir() + QStringLiteral("LINK.MDB");
            QVERIFY(QFile::link(db_, link));
            db_ = link;
        }
        const QString key = QStringLiteral("Plicora_") + QFileInfo(db_).completeBaseName();
        QVERIFY(IniFile::write(kCmdb, QStringLiteral("DataShrink"), key, QStringLiteral("01/01/2000")));
        const QString real = QFileInfo(db_).canonicalFilePath();
        const QByteArray old = TestEnv::readFile(real);
        {
            LockHolder other(real + QStringLiteral(".lock"), "-s");
            QVERIFY(other.ok());
            MDBCompact(db_, QStringLiteral("Plicora"), env_->appDir(), 30);
            QCOMPARE(env_->dialogs().calls.size(), 0);
            QCOMPARE(TestEnv::readFile(real), old);
            QVERIFY(!QFile::exists(real + QStringLiteral(".bak")));
            QCOMPARE(IniFile::read(kCmdb, QStringLiteral("DataShrink"), key, QString()),
                     QStringLiteral("01/01/2000"));
            QVERIFY(TestEnv::readFile(Pth_DebugLog).contains("archivio in uso da un altro programma"));
            QVERIFY(TestEnv::readFile(Pth_DebugLog).contains("compattamento rinviato"));
        }
        // Once the other program has let go, the next start compacts.
        MDBCompact(db_, QStringLiteral("Plicora"), env_->appDir(), 30);
        QCOMPARE(IniFile::read(kCmdb, QStringLiteral("DataShrink"), key, QString()), today());
        QVERIFY(QFile::exists(real + QStringLiteral(".bak")));
        QVERIFY(othersMayCompact(ArchiveLockPath(db_)));
    }

    void connectionsHoldTheLockFile()
    {
        current(1);
        const QString lock = ArchiveLockPath(db_);
        {
            Connection a = open(db_);
            QVERIFY(QFile::exists(lock));
            QVERIFY(!othersMayCompact(lock));
            {
                Connection b = open(db_);
                QVERIFY(!othersMayCompact(lock));
            }
            QVERIFY(!othersMayCompact(lock)); // a still holds it
        }
        QVERIFY(othersMayCompact(lock));

        // Another program compacting: a connection waits, then gives up with a message.
        SetArchiveLockWaitForTests(200);
        {
            LockHolder compacting(lock, "-x");
            QVERIFY(compacting.ok());
            QString why;
            try {
                open(db_);
            } catch (const Error& e) {
                why = e.Description();
            }
            QVERIFY2(why.contains(QStringLiteral("compattamento")), qPrintable(why));
        }
        // A compaction that ends while it waits: the connection opens.
        SetArchiveLockWaitForTests(5000);
        {
            LockHolder shortRun(lock, "-x", 0.3);
            QVERIFY(shortRun.ok());
            Connection c = open(db_);
            QVERIFY(!othersMayCompact(lock));
        }
    }

    void compactKeepsPermissionsAndLinks_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("links"); // 0 the file itself, 1 a link to it, 2 a link to a link
        QTest::newRow("0600 file") << 0600 << 0;
        QTest::newRow("0640 file") << 0640 << 0;
        QTest::newRow("0600 through a link") << 0600 << 1;
        QTest::newRow("0660 through two links") << 0660 << 2;
    }
    void compactKeepsPermissionsAndLinks()
    {
        QFETCH(int, mode);
        QFETCH(int, links);
        namespace fs = std::filesystem;
        const QString real = env_->appDir() + QStringLiteral("shared/ARCHIVIO.MDB");
        QVERIFY(QDir().mkpath(QFileInfo(real).absolutePath()));
        // The archive is made at the real file, then reached through the links.
        const QString linkPath = db_;
        db_ = real;
        current(3);
        for (int i = links; i > 0; --i) {
            db_ = i == 1 ? linkPath : linkPath + QStringLiteral(".link%1").arg(i);
            QVERIFY(QFile::link(i == links ? real : linkPath + QStringLiteral(".link%1").arg(i + 1), db_));
        }
        fs::permissions(QFile::encodeName(real).toStdString(), fs::perms(mode), fs::perm_options::replace);
        const QByteArray old = TestEnv::readFile(real);
        const QString key = QStringLiteral("Plicora_") + QFileInfo(db_).completeBaseName();
        QVERIFY(IniFile::write(kCmdb, QStringLiteral("DataShrink"), key, QStringLiteral("01/01/2000")));

        MDBCompact(db_, QStringLiteral("Plicora"), env_->appDir(), 30);

        QCOMPARE(env_->dialogs().calls.size(), 0);
        QCOMPARE(IniFile::read(kCmdb, QStringLiteral("DataShrink"), key, QString()), today());
        const auto modeOf = [](const QString& p) {
            return int(fs::status(QFile::encodeName(p).toStdString()).permissions() & fs::perms::mask);
        };
        QCOMPARE(modeOf(real), mode);
        QCOMPARE(modeOf(real + QStringLiteral(".bak")), mode);
        QCOMPARE(TestEnv::readFile(real + QStringLiteral(".bak")), old);
        QVERIFY(!QFile::exists(QFileInfo(real).absolutePath() + QStringLiteral("/Compactz.mdb")));
        if (links > 0) {
            QVERIFY(QFileInfo(db_).isSymLink());
            QCOMPARE(QFileInfo(db_).canonicalFilePath(), QFileInfo(real).canonicalFilePath());
        }
        QCOMPARE(IntegrityCheck(real), QStringLiteral("ok"));
        Connection cn = open(db_);
        QCOMPARE(values(cn, QStringLiteral("SELECT count(*) FROM FILES")), QVariantList{qint64(3)});
    }

    void compactHoldsOffOtherWriters_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("during"); // the other connection's answer at the swap
        QTest::newRow("a write waits")
            << QStringLiteral("INSERT INTO FILES (des_file, des_fileonly) VALUES ('/x/late.xml', 'late.xml')")
            << SQLITE_BUSY;
        QTest::newRow("a read is served") << QStringLiteral("SELECT count(*) FROM FILES") << SQLITE_OK;
    }
    void compactHoldsOffOtherWriters()
    {
        QFETCH(QString, sql);
        QFETCH(int, during);
        current(2);
        // Another program on the same file, which no connection count of ours sees.
        const auto run = [&](const QString& path) {
            sqlite3* db = nullptr;
            int rc =
                sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
            if (rc == SQLITE_OK) rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
            sqlite3_close_v2(db);
            return rc;
        };
        int atSwap = -1;
        MDB_SetRenameForTests([&](const QString& from, const QString& to, QString*) {
            atSwap = run(to);
            QFile::remove(to);
            return QFile::rename(from, to);
        });

        MDBCompact(db_, QStringLiteral("Plicora"), env_->appDir(), 30);

        QCOMPARE(env_->dialogs().calls.size(), 0);
        QCOMPARE(atSwap, during);
        QCOMPARE(storedCompactDate(), today());
        // The lock ends with the compaction.
        QCOMPARE(run(db_), SQLITE_OK);
    }

    void failedSwapLeavesTheDatabase_data()
    {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("compacted");
        QTest::newRow("abort") << QList<int>{vb::Abort} << false;
        QTest::newRow("ignore") << QList<int>{vb::Ignore} << false;
        QTest::newRow("retry, then ignore") << QList<int>{vb::Retry, vb::Ignore} << false;
        QTest::newRow("retry succeeds") << QList<int>{vb::Retry} << true;
    }
    void failedSwapLeavesTheDatabase()
    {
        QFETCH(QList<int>, answers);
        QFETCH(bool, compacted);
        current(5);
        const QByteArray old = TestEnv::readFile(db_);
        int failures = compacted ? 1 : int(answers.size());
        MDB_SetRenameForTests([&](const QString& from, const QString& to, QString* error) {
            if (failures-- > 0) {
                *error = QStringLiteral("disco non disponibile");
                return false;
            }
            QFile::remove(to);
            return QFile::rename(from, to);
        });
        for (int a : answers)
            env_->dialogs().answer(a);

        MDBCompact(db_, QStringLiteral("Plicora"), env_->appDir(), 30);

        QCOMPARE(env_->dialogs().calls.size(), answers.size());
        const ScriptedDialogs::Call& c = env_->dialogs().calls.at(0);
        QVERIFY(c.title.startsWith(QStringLiteral("TrapErr : Errore ! - MDBCompact: ") + db_));
        QVERIFY(c.text.contains(QStringLiteral("disco non disponibile")));
        QCOMPARE(c.buttons(), int(vb::AbortRetryIgnore));
        QCOMPARE(c.defaultButton(), 1);
        QVERIFY(!QFile::exists(env_->appDir() + QStringLiteral("Compactz.mdb")));
        Connection cn = open(db_);
        QCOMPARE(values(cn, QStringLiteral("SELECT count(*) FROM FILES")), QVariantList{qint64(5)});
        if (compacted) {
            QCOMPARE(storedCompactDate(), today());
        } else {
            QCOMPARE(TestEnv::readFile(db_), old);
            QCOMPARE(storedCompactDate(), QStringLiteral("<none>"));
        }
    }
};

QTEST_MAIN(TstMdb)
#include "tst_mdb.moc"
