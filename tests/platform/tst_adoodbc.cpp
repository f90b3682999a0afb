// The ERP's SQL Server connection: OLE DB text to ODBC text, the connection-string
// helpers, and real reads through the ODBC drivers (the SQLite stand-in, FreeTDS on
// local ports that never reach a server).
#include "platform/ado/Ado.h"
#include "platform/ado/AdoOdbc.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace ado;

namespace
{

QString oledb(const QString& server, const QString& catalog = QStringLiteral("kSYS"),
              const QString& user = QStringLiteral("sa"), const QString& pwd = QStringLiteral("pw"))
{
    return QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=") + user +
           QStringLiteral(";Password=") + pwd + QStringLiteral(";Initial Catalog=") + catalog +
           QStringLiteral(";Data Source=") + server;
}

void exec(sqlite3* db, const char* sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const QByteArray m(err ? err : "?");
        sqlite3_free(err);
        QFAIL(m.constData());
    }
}

// A listening socket on 127.0.0.1 that accepts (the kernel does) and never answers.
struct Listener {
    int fd = -1;
    quint16 port = 0;
    Listener()
    {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(fd, 4) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
            port = ntohs(a.sin_port);
    }
    ~Listener() { close(); }
    void close()
    {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

} // namespace

class TstAdoOdbc : public QObject
{
    Q_OBJECT

  private slots:
    void init() { qunsetenv("PLICORA_ERP_SQLITE_DIR"); }

    void translator_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("expected");
        const QString tail =
            QStringLiteral("TDS_Version=7.3;ClientCharset=UTF-8;Database={kSYS};UID={sa};PWD={pw};");
        QTest::newRow("host") << "srv01"
                              << "DRIVER={FreeTDS};Server={srv01};Port=1433;" + tail;
        QTest::newRow("host,port") << "srv01,1500"
                                   << "DRIVER={FreeTDS};Server={srv01};Port=1500;" + tail;
        QTest::newRow("tcp:") << "tcp:srv01,1500"
                              << "DRIVER={FreeTDS};Server={srv01};Port=1500;" + tail;
        QTest::newRow("instance") << "srv01\\SQLEXPRESS"
                                  << "DRIVER={FreeTDS};Server={srv01\\SQLEXPRESS};" + tail;
        QTest::newRow("(local)") << "(local)"
                                 << "DRIVER={FreeTDS};Server={localhost};Port=1433;" + tail;
        QTest::newRow("(locale)") << "(locale)"
                                  << "DRIVER={FreeTDS};Server={localhost};Port=1433;" + tail;
        QTest::newRow(".") << "."
                           << "DRIVER={FreeTDS};Server={localhost};Port=1433;" + tail;
        QTest::newRow(".\\inst") << ".\\INST"
                                 << "DRIVER={FreeTDS};Server={localhost\\INST};" + tail;
    }
    void translator()
    {
        QFETCH(QString, server);
        QFETCH(QString, expected);
        const OdbcTarget t = OdbcConnectionText(oledb(server));
        QCOMPARE(t.text, expected);
        QCOMPARE(t.driver, QStringLiteral("FreeTDS"));
        QCOMPARE(t.server, server);
        QVERIFY(!t.sqliteDialect);
    }

    // Values reach the driver whole, in braces; only "};" could end one early.
    void bracedValues_data()
    {
        QTest::addColumn<QString>("pwd");
        QTest::addColumn<QString>("item");
        QTest::newRow("a}b") << "a}b"
                             << "PWD={a}b};";
        QTest::newRow("ab}") << "ab}"
                             << "PWD={ab}};";
        QTest::newRow("{x") << "{x"
                            << "PWD={{x};";
        QTest::newRow("blanks") << "\" p \""
                                << "PWD={ p };";
        QTest::newRow("empty") << ""
                               << "PWD={};";
        QTest::newRow("semicolon") << "\"se;greta\""
                                   << "PWD={se;greta};";
    }
    void bracedValues()
    {
        QFETCH(QString, pwd);
        QFETCH(QString, item);
        QVERIFY2(
            OdbcConnectionText(oledb(QStringLiteral("h"), QStringLiteral("kSYS"), QStringLiteral("sa"), pwd))
                .text.endsWith(item),
            qPrintable(item));
    }

    void refusedValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("pwd") << oledb(QStringLiteral("h"), QStringLiteral("kSYS"), QStringLiteral("sa"),
                                      QStringLiteral("\"x};y\""))
                             << "Il valore di PWD contiene \"};\": non utilizzabile.";
        QTest::newRow("user") << oledb(QStringLiteral("h"), QStringLiteral("kSYS"), QStringLiteral("\"u};\""))
                              << "Il valore di UID contiene \"};\": non utilizzabile.";
        QTest::newRow("catalog") << oledb(QStringLiteral("h"), QStringLiteral("\"c};\""))
                                 << "Il valore di Database contiene \"};\": non utilizzabile.";
        QTest::newRow("server") << oledb(QStringLiteral("\"h};\""))
                                << "Il valore di Server contiene \"};\": non utilizzabile.";
        QTest::newRow("named pipe") << oledb(QStringLiteral("np:\\\\.\\pipe\\sql"))
                                    << "Connessione per named pipe non disponibile: np:\\\\.\\pipe\\sql";
    }
    void refusedValues()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        try {
            OdbcConnectionText(text);
            QFAIL("accepted");
        } catch (const Error& e) {
            QCOMPARE(e.Number(), int(E_FAIL));
            QCOMPARE(e.Description(), message);
        }
        // Nothing is tried either: the connection refuses before the driver.
        Connection cn;
        QVERIFY_THROWS_EXCEPTION(Error, cn.Open(text));
        QCOMPARE(cn.State(), int(adStateClosed));
    }

    void standInText_data()
    {
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<bool>("usable");
        QTest::newRow("present") << "kSYS" << true;
        QTest::newRow("missing") << "kNONE" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << ".kSYS" << false;
        QTest::newRow("slash") << "../kSYS" << false;
    }
    void standInText()
    {
        QFETCH(QString, catalog);
        QFETCH(bool, usable);
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("kSYS.db")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        qputenv("PLICORA_ERP_SQLITE_DIR", dir.path().toUtf8());
        try {
            const OdbcTarget t = OdbcConnectionText(oledb(QStringLiteral("srv"), catalog));
            QVERIFY(usable);
            QCOMPARE(t.text, QStringLiteral("DRIVER={SQLite3};Database=") + dir.path() +
                                 QStringLiteral("/kSYS.db;NoCreat=1;"));
            QVERIFY(t.sqliteDialect);
        } catch (const Error& e) {
            QVERIFY(!usable);
            QCOMPARE(e.Description(),
                     QStringLiteral("Database %1 non trovato o non accessibile.").arg(catalog));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kSYS.db")});
    }

    void connValueRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("plain");
        QTest::newRow("plain") << "segreta" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("semicolon") << "segreta;1" << false;
        QTest::newRow("injection") << "x;Data Source=other" << false;
        QTest::newRow("single quote") << "it's" << false;
        QTest::newRow("double quote") << "a\"b" << false;
        QTest::newRow("end blanks") << " p " << false;
        QTest::newRow("accents") << "pàssword€" << true;
    }
    void connValueRoundTrip()
    {
        QFETCH(QString, value);
        QFETCH(bool, plain);
        const QString v = ConnValue(value);
        QCOMPARE(v == value, plain);
        const QString cs =
            QStringLiteral("Provider=SQLOLEDB.1;Password=") + v + QStringLiteral(";Data Source=srv");
        QCOMPARE(ConnectionStringValue(cs, QStringLiteral("Password")), value);
        QCOMPARE(ConnectionStringValue(cs, QStringLiteral("Data Source")), QStringLiteral("srv"));
    }

    void maskPassword_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("masked");
        QTest::newRow("bare") << "User ID=sa;Password=segreta;Initial Catalog=kSYS"
                              << "User ID=sa;Password=********;Initial Catalog=kSYS";
        QTest::newRow("quoted") << "User ID=sa;Password=\"se;greta\";Data Source=x"
                                << "User ID=sa;Password=********;Data Source=x";
        QTest::newRow("absent") << "User ID=sa;Data Source=x"
                                << "User ID=sa;Data Source=x";
        QTest::newRow("empty") << "User ID=sa;Password=;Data Source=x"
                               << "User ID=sa;Password=;Data Source=x";
        QTest::newRow("last") << "User ID=sa;Password=segreta"
                              << "User ID=sa;Password=********";
    }
    void maskPassword()
    {
        QFETCH(QString, text);
        QFETCH(QString, masked);
        QCOMPARE(MaskPassword(text), masked);
    }

    // The stand-in server: SQLite files read through the SQLite ODBC driver.
    void standInReads()
    {
        QTemporaryDir dir;
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(dir.filePath(QStringLiteral("kSYS.db")).toUtf8().constData(), &db), SQLITE_OK);
        exec(db, "CREATE TABLE TS_VERSIONE (num_versione INTEGER);"
                 "INSERT INTO TS_VERSIONE VALUES (7),(12),(9);"
                 "CREATE TABLE TS_AZIENDE (cod_azienda TEXT COLLATE NOCASE, des_database TEXT, note TEXT);"
                 "INSERT INTO TS_AZIENDE VALUES ('AZI1','DB1',NULL),('azi2','DB2','');");
        sqlite3_close(db);
        qputenv("PLICORA_ERP_SQLITE_DIR", dir.path().toUtf8());

        Connection cn;
        cn.Open(oledb(QStringLiteral("srv")));
        QCOMPARE(cn.State(), int(adStateOpen));
        // Persist Security Info=False: the open connection no longer shows the password.
        QVERIFY(!cn.ConnectionString().contains(QLatin1String("Password")));
        QVERIFY(cn.ConnectionString().contains(QLatin1String("User ID=sa")));
        QCOMPARE(OpenConnectionCount(QStringLiteral("srv")), 0);

        Recordset rs;
        rs.Open(QStringLiteral("SELECT TOP 1 * FROM TS_VERSIONE ORDER BY num_versione DESC"), cn,
                adOpenKeyset, adLockOptimistic);
        QVERIFY(!rs.EOF_());
        QCOMPARE(rs[QStringLiteral("NUM_VERSIONE")].Value().toLongLong(), 12);
        QCOMPARE(rs.RecordCount(), 1);
        // Write-back is not offered on the ERP's tables.
        QVERIFY_THROWS_EXCEPTION(Error, rs[QStringLiteral("num_versione")].setValue(13));
        rs.Close();

        rs.Open(QStringLiteral("SELECT * FROM TS_AZIENDE WHERE cod_azienda=? ORDER BY cod_azienda"), cn,
                adOpenStatic, adLockReadOnly, QVariantList{QStringLiteral("AZI2")});
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs[QStringLiteral("des_database")].Value().toString(), QStringLiteral("DB2"));
        QVERIFY(!rs[QStringLiteral("note")].isNull()); // "" is not Null
        rs.Close();
        rs.Open(QStringLiteral("SELECT * FROM TS_AZIENDE WHERE cod_azienda='AZI1'"), cn, adOpenStatic,
                adLockReadOnly);
        QVERIFY(rs[QStringLiteral("note")].isNull());
        rs.Close();

        try {
            rs.Open(QStringLiteral("SELECT * FROM CO_VERSIONE"), cn, adOpenStatic, adLockReadOnly);
            QFAIL("missing table read");
        } catch (const Error& e) {
            QCOMPARE(e.Number(), int(DB_E_NOTABLE));
        }
        cn.Close();

        // A missing catalog makes no file.
        Connection other;
        try {
            other.Open(oledb(QStringLiteral("srv"), QStringLiteral("kNONE")));
            QFAIL("missing catalog opened");
        } catch (const Error& e) {
            QVERIFY(
                e.Description().startsWith(QLatin1String("Database kNONE non trovato o non accessibile.")));
        }
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("kNONE.db"))));
    }

    // FreeTDS on local ports: nothing to connect to fails at once, a listener that never
    // answers within the login timeout.
    void unreachableServer()
    {
        Listener gone;
        const quint16 port = gone.port;
        QVERIFY(port != 0);
        gone.close(); // bound once, now closed: nobody listens there
        Connection cn;
        QElapsedTimer t;
        t.start();
        try {
            cn.Open(oledb(QStringLiteral("127.0.0.1,%1").arg(port)));
            QFAIL("closed port connected");
        } catch (const Error& e) {
            QVERIFY2(e.Description().startsWith(
                         QStringLiteral("Server SQL 127.0.0.1,%1 non raggiungibile.").arg(port)),
                     qPrintable(e.Description()));
            QVERIFY(e.Source().startsWith(QLatin1String("ODBC FreeTDS")));
            QVERIFY(!e.Description().contains(QLatin1String("pw")));
        }
        QVERIFY(t.elapsed() < 10000);
    }

    void silentServer()
    {
        Listener s;
        QVERIFY(s.port != 0);
        qputenv("PLICORA_ERP_LOGIN_TIMEOUT", "2");
        Connection cn;
        QElapsedTimer t;
        t.start();
        try {
            cn.Open(oledb(QStringLiteral("127.0.0.1,%1").arg(s.port)));
            QFAIL("silent server connected");
        } catch (const Error& e) {
            QVERIFY2(e.Description().startsWith(
                         QLatin1String("Tempo di attesa scaduto collegandosi a 127.0.0.1")) ||
                         e.Description().startsWith(QLatin1String("Server SQL 127.0.0.1")),
                     qPrintable(e.Description()));
        }
        qunsetenv("PLICORA_ERP_LOGIN_TIMEOUT");
        QVERIFY2(t.elapsed() < 10000, qPrintable(QString::number(t.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TstAdoOdbc)
#include "tst_adoodbc.moc"
