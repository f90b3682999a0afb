#include "platform/ado/Ado.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace ado;

namespace
{
QString connText(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral(
               "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;User ID=;Data Source='") +
           p + QLatin1Char('\'');
}
} // namespace

class TstAdo : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString path_;
    Connection cn_;

    // A fresh database with one table of each kind of column the archive uses.
    void fresh(const QString& create)
    {
        if (cn_.State() == adStateOpen) cn_.Close();
        QFile::remove(path_);
        CreateDatabase(path_);
        cn_ = Connection();
        cn_.Open(connText(path_));
        if (!create.isEmpty()) cn_.Execute(create);
    }
    QVariantList column(const QString& sql)
    {
        Recordset rs;
        rs.Open(sql, cn_, adOpenStatic, adLockReadOnly);
        QVariantList out;
        while (!rs.EOF_()) {
            out << rs[0].Value();
            rs.MoveNext();
        }
        return out;
    }

  private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        path_ = dir_.path() + QStringLiteral("/DIR_TMP.MDB");
    }
    void cleanup()
    {
        if (cn_.State() == adStateOpen) cn_.Close();
    }

    // Dates as the program shows them: the day alone at midnight, else day and time; the
    // milliseconds never shown but counted against midnight.
    void valueTextOfDates_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("text");
        QTest::newRow("midnight") << QDateTime(QDate(2025, 1, 10), QTime(0, 0)) << "10/01/2025";
        QTest::newRow("day and time") << QDateTime(QDate(2025, 7, 9), QTime(8, 5, 3)) << "09/07/2025 08:05:03";
        QTest::newRow("just after midnight")
            << QDateTime(QDate(2025, 12, 31), QTime(0, 0, 0, 500)) << "31/12/2025 00:00:00";
        QTest::newRow("milliseconds dropped")
            << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 999)) << "31/12/1999 23:59:59";
        QTest::newRow("first four-digit year") << QDateTime(QDate(1000, 1, 1), QTime(12, 0)) << "01/01/1000 12:00:00";
        QTest::newRow("three-digit year") << QDateTime(QDate(999, 3, 4), QTime(0, 0), Qt::UTC)
                                          << QDateTime(QDate(999, 3, 4), QTime(0, 0), Qt::UTC)
                                                 .toString(QStringLiteral("dd/MM/yyyy"));
        QTest::newRow("UTC") << QDateTime(QDate(2024, 2, 29), QTime(13, 0), Qt::UTC) << "29/02/2024 13:00:00";
        QTest::newRow("invalid") << QDateTime() << "";
    }
    void valueTextOfDates()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, text);
        QCOMPARE(ValueText(QVariant(when)), text);
    }
    void translation_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("top") << "SELECT TOP 1 * FROM [T]"
                             << "SELECT * FROM [T] LIMIT 1";
        QTest::newRow("top order") << "SELECT TOP 5 a FROM T ORDER BY a DESC;"
                                   << "SELECT a FROM T ORDER BY a DESC LIMIT 5";
        QTest::newRow("top distinct") << "select distinct top 2 a from T"
                                      << "select distinct a from T LIMIT 2";
        QTest::newRow("date day first") << "SELECT * FROM T WHERE d<#05/03/2021#"
                                        << "SELECT * FROM T WHERE d<'2021-03-05 00:00:00'";
        QTest::newRow("date with time") << "SELECT * FROM T WHERE d<=#15/03/2021 23:59:59#"
                                        << "SELECT * FROM T WHERE d<='2021-03-15 23:59:59'";
        QTest::newRow("literals untouched")
            << "SELECT * FROM T WHERE a='TOP 1 #1/1/2000# MEMO' AND b='it''s'"
            << "SELECT * FROM T WHERE a='TOP 1 #1/1/2000# MEMO' AND b='it''s'";
        QTest::newRow("memo and collation")
            << "CREATE TABLE X (  a int, b varchar( 25) NULL, c MEMO NOT NULL, d datetime NULL, e double)"
            << "CREATE TABLE X (  a int, b varchar( 25) COLLATE NOCASE NULL, c LONGTEXT COLLATE NOCASE NOT "
               "NULL, "
               "d datetime NULL, e double)";
        QTest::newRow("alter add") << "ALTER TABLE [FILES] ADD [des_x] varchar( 255) NULL;"
                                   << "ALTER TABLE [FILES] ADD [des_x] varchar( 255) COLLATE NOCASE NULL;";
        QTest::newRow("alter add date") << "ALTER TABLE [FILES] ADD [dat_x] datetime NULL;"
                                        << "ALTER TABLE [FILES] ADD [dat_x] datetime NULL;";
    }
    void translation()
    {
        QFETCH(QString, jet);
        QFETCH(QString, sqlite);
        QCOMPARE(TranslateJetSql(jet), sqlite);
    }

    void badDateLiteralIsAnError()
    {
        fresh(QStringLiteral("CREATE TABLE T (d datetime)"));
        // Translations are kept per text: a refused one is refused again.
        for (int time = 0; time < 2; ++time) {
            try {
                cn_.Execute(QStringLiteral("DELETE FROM T WHERE d<#31/02/2021#"));
                QFAIL("no error");
            } catch (const Error& e) {
                QCOMPARE(e.Number(), int(DB_E_ERRORSINCOMMAND));
            }
        }
    }

    void topLimitsAndFirstRowIsInsertionOrder()
    {
        fresh(QStringLiteral("CREATE TABLE T (k int, name varchar(20))"));
        cn_.Execute(QStringLiteral("CREATE INDEX T_name ON T(name)"));
        for (const char* n : {"zeta", "alfa", "mike"})
            cn_.Execute(QStringLiteral("INSERT INTO T (name) VALUES (?)"), {QString::fromLatin1(n)});
        // The index would give alfa first; the rows come in the order they were written.
        QCOMPARE(column(QStringLiteral("SELECT TOP 1 name FROM T WHERE name>'a'")),
                 QVariantList{QStringLiteral("zeta")});
        QCOMPARE(column(QStringLiteral("SELECT TOP 2 name FROM T ORDER BY name")),
                 (QVariantList{QStringLiteral("alfa"), QStringLiteral("mike")}));
        QCOMPARE(column(QStringLiteral("SELECT name FROM T")).size(), 3);
    }

    void dateLiteralMeansDayFirst()
    {
        fresh(QStringLiteral("CREATE TABLE T (d datetime NULL)"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (?)"), {QDateTime(QDate(2021, 3, 5), QTime(0, 0))});
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (?)"), {QDateTime(QDate(2021, 5, 3), QTime(0, 0))});
        const QVariantList got = column(QStringLiteral("SELECT d FROM T WHERE d=#05/03/2021#"));
        QCOMPARE(got, QVariantList{QDateTime(QDate(2021, 3, 5), QTime(0, 0))});
        QCOMPARE(column(QStringLiteral("SELECT d FROM T WHERE d<=#05/03/2021 23:59:59#")).size(), 1);
    }

    void nullAndEmptyStayDistinct_data()
    {
        QTest::addColumn<QString>("type");
        QTest::newRow("varchar") << "varchar(10)";
        QTest::newRow("memo") << "MEMO";
    }
    void nullAndEmptyStayDistinct()
    {
        QFETCH(QString, type);
        fresh(QStringLiteral("CREATE TABLE T (k int, v ") + type + QStringLiteral(" NULL)"));
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM T"), cn_, adOpenKeyset, adLockOptimistic);
        rs.AddNew();
        rs["k"] = 1;
        rs["v"] = QString(QLatin1String(""));
        rs.Update();
        rs.AddNew();
        rs["k"] = 2;
        rs["v"] = Null();
        rs.Update();
        rs.Close();
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (3, ?)"), {QString(QLatin1String(""))});
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (4, ?)"), {Null()});
        QCOMPARE(column(QStringLiteral("SELECT k FROM T WHERE v IS NULL")),
                 (QVariantList{qint64(2), qint64(4)}));
        QCOMPARE(column(QStringLiteral("SELECT k FROM T WHERE v=''")), (QVariantList{qint64(1), qint64(3)}));
        const QVariantList v = column(QStringLiteral("SELECT v FROM T"));
        QVERIFY(!IsNull(v.at(0)) && v.at(0).toString().isEmpty());
        QVERIFY(IsNull(v.at(1)));
    }

    void textComparesWithoutCase_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("equal") << "des='fattura_1.XML'";
        QTest::newRow("bracketed column") << "[DES]='FATTURA_1.xml'";
        QTest::newRow("like") << "des LIKE 'FATT%'";
    }
    void textComparesWithoutCase()
    {
        QFETCH(QString, where);
        fresh(QStringLiteral("CREATE TABLE T (des varchar( 255) NOT NULL, m MEMO NULL)"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES ('Fattura_1.xml', 'x')"));
        QCOMPARE(column(QStringLiteral("SELECT des FROM T WHERE ") + where).size(), 1);
        // Field names too.
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM T"), cn_, adOpenStatic, adLockReadOnly);
        QCOMPARE(rs["DES"].Value().toString(), QStringLiteral("Fattura_1.xml"));
        QCOMPARE(rs["Des"].Name(), QStringLiteral("des"));
    }

    void memoKeepsNumericText()
    {
        fresh(QStringLiteral("CREATE TABLE T (m MEMO NULL, v varchar(10) NULL)"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES ('0012', '0012')"));
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM T"), cn_, adOpenKeyset, adLockOptimistic);
        QCOMPARE(rs["m"].Value(), QVariant(QStringLiteral("0012")));
        rs["m"] = 7; // a number given to a text column is kept as text
        rs.Update();
        rs.Close();
        QCOMPARE(column(QStringLiteral("SELECT m FROM T")), QVariantList{QStringLiteral("7")});
        QCOMPARE(column(QStringLiteral("SELECT v FROM T")), QVariantList{QStringLiteral("0012")});
    }

    void keysetUpdatesOnlyItsRow()
    {
        fresh(QStringLiteral("CREATE TABLE T (a int, b varchar(10) NULL)"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (1, 'x')"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (1, 'x')"));
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM T WHERE a=1"), cn_, adOpenKeyset, adLockOptimistic);
        QCOMPARE(rs.RecordCount(), 2);
        rs.MoveNext();
        rs["b"] = QStringLiteral("y");
        rs.Update();
        rs.Close();
        QCOMPARE(column(QStringLiteral("SELECT b FROM T")),
                 (QVariantList{QStringLiteral("x"), QStringLiteral("y")}));
        // Deleting one of them too.
        rs.Open(QStringLiteral("SELECT * FROM T"), cn_, adOpenKeyset, adLockOptimistic);
        rs.Delete();
        rs.Close();
        QCOMPARE(column(QStringLiteral("SELECT b FROM T")), QVariantList{QStringLiteral("y")});
    }

    void updatingWhileIterating()
    {
        fresh(QStringLiteral("CREATE TABLE T (k int, d datetime NULL)"));
        for (int k = 1; k <= 5; ++k)
            cn_.Execute(QStringLiteral("INSERT INTO T (k) VALUES (?)"), {k});
        // The selection is the rows without a date; giving each a date must not
        // shorten or shift the walk.
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM T WHERE d IS NULL"), cn_, adOpenKeyset, adLockOptimistic);
        int seen = 0;
        while (!rs.EOF_()) {
            rs["d"] = QStringLiteral("10/03/2021");
            rs.Update();
            // A second recordset on the same row while the first one walks.
            Recordset one;
            one.Open(QStringLiteral("SELECT * FROM T WHERE k=") + rs["k"].Value().toString(), cn_,
                     adOpenKeyset, adLockOptimistic);
            QCOMPARE(one["d"].Value(), QVariant(QDateTime(QDate(2021, 3, 10), QTime(0, 0))));
            one.Close();
            ++seen;
            rs.MoveNext();
        }
        QCOMPARE(seen, 5);
        rs.Close();
        QCOMPARE(column(QStringLiteral("SELECT k FROM T WHERE d IS NULL")).size(), 0);
        // Delete while walking: every row goes.
        rs.Open(QStringLiteral("SELECT * FROM T"), cn_, adOpenKeyset, adLockOptimistic);
        while (!rs.EOF_()) {
            rs.Delete();
            rs.MoveNext();
        }
        rs.Close();
        QCOMPARE(column(QStringLiteral("SELECT k FROM T")).size(), 0);
    }

    void moveOffAnEditStoresIt()
    {
        fresh(QStringLiteral("CREATE TABLE T (k int)"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (1)"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (2)"));
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM T"), cn_, adOpenKeyset, adLockOptimistic);
        rs["k"] = 10;
        rs.MoveNext();
        rs["k"] = 20;
        rs.Close(); // not stored: no Update and no move
        QCOMPARE(column(QStringLiteral("SELECT k FROM T")), (QVariantList{qint64(10), qint64(2)}));
    }

    void cloneSurvivesClosingTheOriginal()
    {
        fresh(QStringLiteral("CREATE TABLE T (k int, v varchar(5))"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (1, 'a')"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (2, 'b')"));
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM T"), cn_, adOpenKeyset, adLockOptimistic);
        rs.MoveNext();
        Recordset copy = rs.Clone();
        rs.Close();
        QCOMPARE(copy.State(), int(adStateOpen));
        QCOMPARE(copy.RecordCount(), 2);
        QCOMPARE(copy["v"].Value().toString(), QStringLiteral("a"));
        copy["v"] = QStringLiteral("z");
        copy.Update();
        copy.Close();
        QCOMPARE(column(QStringLiteral("SELECT v FROM T")),
                 (QVariantList{QStringLiteral("z"), QStringLiteral("b")}));
    }

    void fieldMetadata_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("precision");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("int") << "a" << int(adInteger) << 4 << 10 << QVariant(qint64(42));
        QTest::newRow("varchar") << "b" << int(adVarWChar) << 25 << 255 << QVariant(QStringLiteral("abc"));
        QTest::newRow("memo") << "c" << int(adLongVarWChar) << 536870910 << 255
                              << QVariant(QStringLiteral("0012"));
        QTest::newRow("double") << "d" << int(adDouble) << 8 << 15 << QVariant(2.5);
        QTest::newRow("datetime") << "e" << int(adDate) << 8 << 0
                                  << QVariant(QDateTime(QDate(2021, 3, 5), QTime(10, 20, 30)));
        QTest::newRow("expression") << "n" << int(adInteger) << 4 << 10 << QVariant(qint64(1));
    }
    void fieldMetadata()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        QFETCH(int, size);
        QFETCH(int, precision);
        QFETCH(QVariant, value);
        fresh(QStringLiteral(
            "CREATE TABLE T (  a int, b varchar(  25) NULL, c MEMO NULL, d double, e datetime NULL)"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (42, 'abc', '0012', 2.5, #05/03/2021 10:20:30#)"));
        Recordset rs;
        rs.Open(QStringLiteral("SELECT T.*, count(*) AS n FROM T"), cn_, adOpenStatic, adLockReadOnly);
        const Field f = rs[name];
        QCOMPARE(f.Type(), type);
        QCOMPARE(int(f.DefinedSize()), size);
        QCOMPARE(f.Precision(), precision);
        QCOMPARE(f.Value(), value);
    }

    void recordsetProperties()
    {
        fresh(QStringLiteral("CREATE TABLE T (k int)"));
        const QString sql = QStringLiteral("SELECT * FROM T");
        Recordset rs;
        QCOMPARE(rs.State(), int(adStateClosed));
        rs.Open(sql, cn_, adOpenStatic, adLockReadOnly);
        QCOMPARE(rs.Source(), sql);
        QVERIFY(rs.ActiveConnection() == cn_);
        QCOMPARE(rs.ActiveConnection().Provider(), QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
        QVERIFY(rs.BOF() && rs.EOF_());
        QCOMPARE(rs.RecordCount(), 0);
        QCOMPARE(rs.Filter(), QString());
        QCOMPARE(rs.GetFields().Count(), 1);
        try {
            rs["k"].Value();
            QFAIL("no error");
        } catch (const Error& e) {
            QCOMPARE(e.Number(), int(adErrNoCurrentRecord));
        }
        try {
            rs.AddNew();
            QFAIL("a read-only recordset took a new row");
        } catch (const Error& e) {
            QCOMPARE(e.Number(), int(adErrFeatureNotAvailable));
        }
        rs.Close();
        QCOMPARE(rs.State(), int(adStateClosed));
    }

    void errors_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("number");
        QTest::newRow("no table") << "SELECT TOP 1 * FROM [NOPE]" << int(DB_E_NOTABLE);
        QTest::newRow("no column") << "SELECT TOP 1 [nope] FROM [T]" << int(DB_E_PARAMNOTOPTIONAL);
        QTest::newRow("syntax") << "SELEC * FROM T" << int(DB_E_ERRORSINCOMMAND);
        QTest::newRow("not null") << "INSERT INTO T (k) VALUES (1)" << int(DB_E_INTEGRITYVIOLATION);
    }
    void errors()
    {
        QFETCH(QString, sql);
        QFETCH(int, number);
        fresh(QStringLiteral("CREATE TABLE T (k int, v varchar(5) NOT NULL)"));
        try {
            if (sql.startsWith(QLatin1String("INSERT")))
                cn_.Execute(sql);
            else {
                Recordset rs;
                rs.Open(sql, cn_, adOpenStatic, adLockReadOnly);
            }
            QFAIL("no error");
        } catch (const Error& e) {
            QCOMPARE(e.Number(), number);
            QVERIFY(!e.Description().isEmpty());
        }
    }

    void boundParametersTakeQuotes()
    {
        fresh(QStringLiteral("CREATE TABLE T (name varchar(50), d datetime NULL)"));
        const QString name = QStringLiteral("dell'azienda.xml");
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (?, ?)"), {name, QDate(2021, 3, 5)});
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM T WHERE name=? AND d<?"), cn_, adOpenKeyset, adLockOptimistic,
                {name, QDateTime(QDate(2021, 3, 6), QTime(0, 0))});
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs["d"].Value(), QVariant(QDateTime(QDate(2021, 3, 5), QTime(0, 0))));
        Command cmd;
        cmd.ActiveConnection = cn_;
        cmd.CommandText = QStringLiteral("DELETE FROM T WHERE name=?");
        cmd.Parameters << name;
        rs.Close();
        QCOMPARE(cmd.Execute(), 1);
    }

    void datesFromText_data()
    {
        QTest::addColumn<QVariant>("given");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("short date") << QVariant(QStringLiteral("05/03/2021"))
                                    << QVariant(QDateTime(QDate(2021, 3, 5), QTime(0, 0)));
        QTest::newRow("general date") << QVariant(QStringLiteral("5/3/2021 20:00:00"))
                                      << QVariant(QDateTime(QDate(2021, 3, 5), QTime(20, 0)));
        QTest::newRow("iso") << QVariant(QStringLiteral("2021-03-05 08:01:02"))
                             << QVariant(QDateTime(QDate(2021, 3, 5), QTime(8, 1, 2)));
        QTest::newRow("empty is no date") << QVariant(QString(QLatin1String(""))) << QVariant();
    }
    void datesFromText()
    {
        QFETCH(QVariant, given);
        QFETCH(QVariant, stored);
        fresh(QStringLiteral("CREATE TABLE T (d datetime NULL)"));
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM T"), cn_, adOpenKeyset, adLockOptimistic);
        rs.AddNew();
        rs["d"] = given;
        rs.Update();
        rs.Close();
        QCOMPARE(column(QStringLiteral("SELECT d FROM T")), QVariantList{stored});
    }

    void badDateTextIsRefused()
    {
        fresh(QStringLiteral("CREATE TABLE T (d datetime NULL)"));
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM T"), cn_, adOpenKeyset, adLockOptimistic);
        rs.AddNew();
        try {
            rs["d"] = QStringLiteral("31/02/2021");
            QFAIL("no error");
        } catch (const Error& e) {
            QCOMPARE(e.Number(), int(DB_E_CANTCONVERTVALUE));
        }
    }

    void transactions()
    {
        fresh(QStringLiteral("CREATE TABLE T (k int)"));
        QCOMPARE(cn_.BeginTrans(), 1);
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (1)"));
        QCOMPARE(cn_.BeginTrans(), 2);
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (2)"));
        cn_.RollbackTrans();
        cn_.CommitTrans();
        QCOMPARE(column(QStringLiteral("SELECT k FROM T")), QVariantList{qint64(1)});
        cn_.BeginTrans();
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (3)"));
        cn_.Close(); // an unfinished transaction is dropped
        cn_.Open(connText(path_));
        QCOMPARE(column(QStringLiteral("SELECT k FROM T")), QVariantList{qint64(1)});
    }

    void dataSourceWithQuote_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("apostrophe") << "dell'azienda";
        QTest::newRow("two") << "l'ufficio d'amministrazione";
        QTest::newRow("semicolon") << "a;b";
    }
    void dataSourceWithQuote()
    {
        QFETCH(QString, folder);
        const QString d = dir_.path() + QLatin1Char('/') + folder;
        QVERIFY(QDir().mkpath(d));
        const QString path = d + QStringLiteral("/DIR_TMP.MDB");
        CreateDatabase(path);
        Connection cn;
        cn.Open(connText(path));
        QCOMPARE(cn.DataSource(), path);
        QCOMPARE(OpenConnectionCount(path), 1);
        cn.Close();
        QCOMPARE(OpenConnectionCount(path), 0);
    }

    void foreignFileIsRefusedAndKept()
    {
        const QString path = dir_.path() + QStringLiteral("/OLD.MDB");
        QByteArray jet(4096, '\0');
        jet.replace(4, 15, "Standard Jet DB");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(jet);
        }
        QVERIFY(IsForeignFile(path));
        Connection cn;
        try {
            cn.Open(connText(path));
            QFAIL("opened a file that is no database");
        } catch (const Error& e) {
            QCOMPARE(e.Number(), int(E_FAIL));
            QVERIFY(e.Description().contains(QStringLiteral("non riconosciuto")));
        }
        QVERIFY_THROWS_EXCEPTION(Error, CompactDatabase(path, path + QStringLiteral(".tmp")));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), jet);
        QVERIFY(!QFile::exists(path + QStringLiteral(".tmp")));
    }

    void missingFileIsNotCreatedByOpen()
    {
        const QString path = dir_.path() + QStringLiteral("/missing.mdb");
        Connection cn;
        QVERIFY_THROWS_EXCEPTION(Error, cn.Open(connText(path)));
        QVERIFY(!QFile::exists(path));
    }

    void compactKeepsRows()
    {
        fresh(QStringLiteral("CREATE TABLE T (k int, v MEMO)"));
        for (int k = 0; k < 50; ++k)
            cn_.Execute(QStringLiteral("INSERT INTO T VALUES (?, ?)"), {k, QString(500, QLatin1Char('x'))});
        cn_.Execute(QStringLiteral("DELETE FROM T WHERE k>=10"));
        cn_.Close();
        const QString target = dir_.path() + QStringLiteral("/compact.tmp");
        QFile::remove(target);
        CompactDatabase(path_, target);
        QCOMPARE(IntegrityCheck(target), QStringLiteral("ok"));
        QVERIFY(QFileInfo(target).size() < QFileInfo(path_).size());
        Connection cn;
        cn.Open(connText(target));
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM T"), cn, adOpenStatic, adLockReadOnly);
        QCOMPARE(rs.RecordCount(), 10);
    }
    // A kept statement whose table changed between two executions, by another
    // connection or by this one, tells the new columns, types and values, and writes
    // back through them.
    void keptStatementFollowsSchemaChanges_data()
    {
        QTest::addColumn<QStringList>("change");
        QTest::addColumn<bool>("byOther");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("types");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QVariant>("newLast"); // written back to the last column
        const QDateTime d(QDate(2021, 3, 5), QTime(10, 20, 30));
        const QVariant d6 = QDateTime(QDate(2021, 3, 6), QTime(0, 0));
        QTest::newRow("date column added by another connection")
            << QStringList{QStringLiteral("ALTER TABLE T ADD COLUMN d datetime NULL"),
                           QStringLiteral("UPDATE T SET d='2021-03-05 10:20:30'")}
            << true << QStringList{QStringLiteral("k"), QStringLiteral("v"), QStringLiteral("d")}
            << QList<int>{adInteger, adVarWChar, adDate} << QVariantList{qint64(1), QStringLiteral("a"), d}
            << d6;
        QTest::newRow("table made again with other types by another connection")
            << QStringList{QStringLiteral("DROP TABLE T"),
                           QStringLiteral("CREATE TABLE T (k varchar(5), v datetime)"),
                           QStringLiteral("INSERT INTO T VALUES ('0001', '2021-03-05 10:20:30')")}
            << true << QStringList{QStringLiteral("k"), QStringLiteral("v")} << QList<int>{adVarWChar, adDate}
            << QVariantList{QStringLiteral("0001"), d} << d6;
        QTest::newRow("columns in another order by this connection")
            << QStringList{QStringLiteral("DROP TABLE T"), QStringLiteral("CREATE TABLE T (v double, k int)"),
                           QStringLiteral("INSERT INTO T VALUES (2.5, 1)")}
            << false << QStringList{QStringLiteral("v"), QStringLiteral("k")}
            << QList<int>{adDouble, adInteger} << QVariantList{2.5, qint64(1)} << QVariant(qint64(9));
    }
    void keptStatementFollowsSchemaChanges()
    {
        QFETCH(QStringList, change);
        QFETCH(bool, byOther);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, types);
        QFETCH(QVariantList, values);
        QFETCH(QVariant, newLast);
        fresh(QStringLiteral("CREATE TABLE T (k int, v varchar(10))"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (1, 'a')"));
        const QString sql = QStringLiteral("SELECT * FROM T");
        for (int lock : {adLockReadOnly, adLockOptimistic}) {
            Recordset rs;
            rs.Open(sql, cn_, adOpenKeyset, lock);
            QCOMPARE(rs.GetFields().Count(), 2);
            QCOMPARE(rs["v"].Value(), QVariant(QStringLiteral("a")));
        }
        Connection other;
        if (byOther) other.Open(connText(path_));
        for (const QString& c : change)
            (byOther ? other : cn_).Execute(c);
        other.Close();
        for (int lock : {adLockReadOnly, adLockOptimistic}) {
            Recordset rs;
            rs.Open(sql, cn_, adOpenKeyset, lock);
            QStringList gotNames;
            QList<int> gotTypes;
            QVariantList gotValues;
            for (int i = 0; i < rs.GetFields().Count(); ++i) {
                gotNames << rs[i].Name();
                gotTypes << rs[i].Type();
                gotValues << rs[i].Value();
            }
            QCOMPARE(gotNames, names);
            QCOMPARE(gotTypes, types);
            QCOMPARE(gotValues, values);
            for (int i = 0; i < values.size(); ++i)
                QCOMPARE(gotValues.at(i).metaType(), values.at(i).metaType());
            if (lock == adLockReadOnly) continue;
            // Written back to the column of that name now.
            rs[names.last()] = newLast.metaType().id() == QMetaType::QDateTime
                                   ? QVariant(QStringLiteral("06/03/2021"))
                                   : newLast;
            rs.Update();
            QCOMPARE(rs[names.last()].Value(), newLast);
        }
        QCOMPARE(column(QStringLiteral("SELECT ") + names.last() + QStringLiteral(" FROM T")),
                 QVariantList{newLast});
    }

    // One statement text with other values each time: each execution sees only its
    // own values, also after a failed one and beside an open recordset of the same text.
    void sameTextOtherParameters()
    {
        fresh(QStringLiteral("CREATE TABLE T (k int, v varchar(10) NULL, d datetime NULL)"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (1, 'Alfa', '2021-03-05 00:00:00')"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (2, 'beta', NULL)"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (3, 'alfa', '2021-03-06 00:00:00')"));
        const QString sql = QStringLiteral("SELECT k FROM T WHERE v=? OR d=? OR k=?");
        struct Case {
            QVariantList params;
            QVariantList keys; // empty with error
            bool error;
        };
        const QDateTime d5(QDate(2021, 3, 5), QTime(0, 0));
        const QList<Case> cases{
            {{QStringLiteral("ALFA"), Null(), Null()}, {qint64(1), qint64(3)}, false},
            {{Null(), d5, Null()}, {qint64(1)}, false},
            {{Null(), Null(), 2}, {qint64(2)}, false},
            {{Null(), Null()}, {}, true},
            {{QStringLiteral("beta"), Null(), 3}, {qint64(2), qint64(3)}, false},
            {{Null(), Null(), Null()}, {}, false},
        };
        auto keys = [&](const QVariantList& params) {
            Recordset rs;
            rs.Open(sql, cn_, adOpenStatic, adLockReadOnly, params);
            QVariantList out;
            for (; !rs.EOF_(); rs.MoveNext())
                out << rs["k"].Value();
            return out;
        };
        for (int pass = 0; pass < 2; ++pass) {
            for (int n = 0; n < cases.size(); ++n) {
                const Case& c = cases.at(pass == 0 ? n : cases.size() - 1 - n);
                if (c.error) {
                    QVERIFY_THROWS_EXCEPTION(Error, keys(c.params));
                    continue;
                }
                QCOMPARE(keys(c.params), c.keys);
            }
        }
        Recordset open;
        open.Open(sql, cn_, adOpenStatic, adLockReadOnly, cases.first().params);
        QCOMPARE(keys(cases.at(2).params), cases.at(2).keys);
        QCOMPARE(open.RecordCount(), 2);
        QCOMPARE(open["k"].Value(), QVariant(qint64(1)));
    }

    // Cells are turned into values when first read; a column past the first 64 is
    // turned at once. Both give the same value, whatever the order of the reads.
    void valuesReadLateEqualValuesReadAtOnce_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("literal");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("int") << "int"
                             << "5" << QVariant(qint64(5));
        QTest::newRow("double") << "double"
                                << "2.5" << QVariant(2.5);
        QTest::newRow("whole double") << "double"
                                      << "3" << QVariant(3.0);
        QTest::newRow("boolean true") << "bit"
                                      << "1" << QVariant(qint64(1));
        QTest::newRow("boolean false") << "bit"
                                       << "0" << QVariant(qint64(0));
        QTest::newRow("numeric text") << "varchar(10)"
                                      << "'0012'" << QVariant(QStringLiteral("0012"));
        QTest::newRow("empty text") << "varchar(10)"
                                    << "''" << QVariant(QString(QLatin1String("")));
        QTest::newRow("null text") << "varchar(10)"
                                   << "NULL" << QVariant();
        QTest::newRow("memo utf-8") << "MEMO"
                                    << "'città €'" << QVariant(QStringLiteral("città €"));
        QTest::newRow("date") << "datetime"
                              << "'2021-03-05 10:20:30'"
                              << QVariant(QDateTime(QDate(2021, 3, 5), QTime(10, 20, 30)));
        QTest::newRow("day-first date text")
            << "datetime"
            << "'05/03/2021'" << QVariant(QDateTime(QDate(2021, 3, 5), QTime(0, 0)));
        QTest::newRow("not a date") << "datetime"
                                    << "'31/02/2021'" << QVariant(QStringLiteral("31/02/2021"));
        QTest::newRow("null date") << "datetime"
                                   << "NULL" << QVariant();
        QTest::newRow("date as number") << "datetime"
                                        << "44260.5" << QVariant(44260.5);
        QTest::newRow("blob") << "blob"
                              << "x'00ff41'" << QVariant(QByteArray("\x00\xff\x41", 3));
        QTest::newRow("empty blob") << "blob"
                                    << "x''" << QVariant(QByteArray());
        QTest::newRow("text in an int column") << "int"
                                               << "'abc'" << QVariant(QStringLiteral("abc"));
    }
    void valuesReadLateEqualValuesReadAtOnce()
    {
        QFETCH(QString, type);
        QFETCH(QString, literal);
        QFETCH(QVariant, value);
        // a (column 0) and b (column 65) of the same type, with 64 columns between.
        QString create = QStringLiteral("CREATE TABLE T (a ") + type;
        for (int i = 1; i <= 64; ++i)
            create += QStringLiteral(", f%1 int").arg(i);
        create += QStringLiteral(", b ") + type + QLatin1Char(')');
        fresh(create);
        cn_.Execute(QStringLiteral("INSERT INTO T (a, b) VALUES (%1, %1)").arg(literal));
        auto same = [&](const QVariant& got, const char* where) {
            QVERIFY2(
                got == value && got.metaType() == value.metaType() && IsNull(got) == IsNull(value),
                qPrintable(QStringLiteral("%1: %2 (%3)")
                               .arg(QLatin1String(where), ValueText(got), QLatin1String(got.typeName()))));
            if (value.metaType().id() == QMetaType::QString)
                QCOMPARE(got.toString().isNull(), value.toString().isNull());
        };
        for (int lock : {adLockReadOnly, adLockOptimistic}) {
            Recordset rs;
            rs.Open(QStringLiteral("SELECT * FROM T"), cn_, adOpenKeyset, lock);
            same(rs["b"].Value(), "b at once");
            same(rs["a"].OriginalValue(), "a first read");
            same(rs["a"].Value(), "a read again");
            Recordset copy = rs.Clone();
            same(copy["a"].Value(), "a through a clone");
            if (lock == adLockReadOnly) continue;
            // A change to another column keeps this one as it was read.
            rs["f1"] = 7;
            same(rs["a"].Value(), "a while editing");
            rs.Update();
            same(rs["a"].Value(), "a after the update");
            same(rs["b"].Value(), "b after the update");
        }
        Recordset rs;
        rs.Open(QStringLiteral("SELECT a FROM T"), cn_, adOpenStatic, adLockReadOnly);
        same(rs["a"].Value(), "a alone");
    }

    // A row written through a recordset shows the values as stored (the column's
    // default, numbers in the column's own kind), read back whatever runs after the
    // Update: a change by a statement, a rollback, a commit, a closed connection.
    void storedRowIsShownAsStored_data()
    {
        QTest::addColumn<bool>("inTransaction");
        QTest::addColumn<QString>("after");
        for (bool t : {false, true}) {
            const char* where = t ? "in a transaction" : "alone";
            QTest::addRow("%s, nothing after", where) << t << "";
            QTest::addRow("%s, then a statement changes the row", where) << t << "update";
            QTest::addRow("%s, then the connection closes", where) << t << "close";
        }
        QTest::newRow("in a transaction, then rolled back") << true << "rollback";
        QTest::newRow("in a transaction, then committed") << true << "commit";
        QTest::newRow("alone, then another connection changes the row") << false << "other";
    }
    void storedRowIsShownAsStored()
    {
        QFETCH(bool, inTransaction);
        QFETCH(QString, after);
        fresh(QStringLiteral(
            "CREATE TABLE T (k int, v varchar(10) DEFAULT 'dflt', n double, d datetime NULL)"));
        cn_.Execute(QStringLiteral("INSERT INTO T (k, v, n) VALUES (1, 'one', 1)"));
        if (inTransaction) cn_.BeginTrans();
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM T"), cn_, adOpenKeyset, adLockOptimistic);
        rs["n"] = 8; // an edit of the row there, read back as stored
        rs.Update();
        rs.AddNew();
        rs["k"] = 2;
        rs["n"] = 3;
        rs["d"] = QStringLiteral("05/03/2021");
        rs.Update();
        if (after == QLatin1String("update")) {
            cn_.Execute(QStringLiteral("UPDATE T SET v='changed', n=0"));
        } else if (after == QLatin1String("rollback")) {
            cn_.RollbackTrans();
        } else if (after == QLatin1String("commit")) {
            cn_.CommitTrans();
        } else if (after == QLatin1String("close")) {
            cn_.Close();
        } else if (after == QLatin1String("other")) {
            Connection other;
            other.Open(connText(path_));
            other.Execute(QStringLiteral("UPDATE T SET v='changed', n=0"));
            other.Close();
        }
        QCOMPARE(rs["k"].Value(), QVariant(qint64(2)));
        QCOMPARE(rs["v"].Value(), QVariant(QStringLiteral("dflt")));
        QCOMPARE(rs["n"].Value(), QVariant(3.0));
        QCOMPARE(rs["n"].Value().metaType().id(), int(QMetaType::Double));
        QCOMPARE(rs["d"].Value(), QVariant(QDateTime(QDate(2021, 3, 5), QTime(0, 0))));
        rs.MoveFirst();
        QCOMPARE(rs["n"].Value(), QVariant(8.0));
        QCOMPARE(rs["v"].Value(), QVariant(QStringLiteral("one")));
        rs.Close();
        if (cn_.State() != adStateOpen) return;
        if (cn_.TransLevel() > 0) cn_.CommitTrans();
        const qint64 rows = after == QLatin1String("rollback") ? 1 : 2;
        QCOMPARE(column(QStringLiteral("SELECT k FROM T")).size(), rows);
    }

    // Statements are kept prepared between opens: a column added since, by this
    // connection or by another one, must still show in the next "SELECT *".
    void repeatedSelectSeesSchemaChanges()
    {
        fresh(QStringLiteral("CREATE TABLE T (k int)"));
        cn_.Execute(QStringLiteral("INSERT INTO T VALUES (1)"));
        const QString sql = QStringLiteral("SELECT * FROM T");
        auto columns = [&] {
            Recordset rs;
            rs.Open(sql, cn_, adOpenKeyset, adLockOptimistic);
            QStringList names;
            for (int i = 0; i < rs.GetFields().Count(); ++i)
                names << rs.GetFields().Item(i).Name();
            return names;
        };
        QCOMPARE(columns(), QStringList({QStringLiteral("k")}));
        cn_.Execute(QStringLiteral("ALTER TABLE T ADD COLUMN des_a varchar(10)"));
        QCOMPARE(columns(), QStringList({QStringLiteral("k"), QStringLiteral("des_a")}));
        Connection other;
        other.Open(connText(path_));
        other.Execute(QStringLiteral("ALTER TABLE T ADD COLUMN des_b varchar(10)"));
        other.Close();
        QCOMPARE(columns(),
                 QStringList({QStringLiteral("k"), QStringLiteral("des_a"), QStringLiteral("des_b")}));
        // An empty table tells its columns as well.
        cn_.Execute(QStringLiteral("DELETE FROM T"));
        QCOMPARE(columns().size(), 3);
    }
};

QTEST_GUILESS_MAIN(TstAdo)
#include "tst_ado.moc"
