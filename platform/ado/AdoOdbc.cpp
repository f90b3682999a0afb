// The ODBC engine behind the ADO-like layer: the ERP's SQL Server through FreeTDS,
// or the SQLite stand-in through the SQLite ODBC driver.
#include "AdoOdbc.h"

#include "AdoBackend.h"
#include "AdoSql.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace ado
{
namespace
{

const char kStandInDir[] = "PLICORA_ERP_SQLITE_DIR";
const char kTimeoutVar[] = "PLICORA_ERP_LOGIN_TIMEOUT";

Error refused(const QString& description)
{
    return Error(E_FAIL, description, QStringLiteral("ODBC"));
}

Error databaseNotFound(const QString& catalog, const QString& driver, const QString& detail = QString())
{
    return Error(E_FAIL,
                 QStringLiteral("Database %1 non trovato o non accessibile.").arg(catalog) +
                     (detail.isEmpty() ? QString() : QStringLiteral(" (") + detail + QLatin1Char(')')),
                 QStringLiteral("ODBC ") + driver);
}

// FreeTDS ends a braced value at the first "}" followed by ";" or the end, and reads
// "}}" as two characters: values go in braces as they are, and one holding "};" could
// end early and add items of its own, so it is refused.
QString braced(const QString& item, const QString& value)
{
    if (value.contains(QLatin1String("};")))
        throw refused(QStringLiteral("Il valore di %1 contiene \"};\": non utilizzabile.").arg(item));
    return QLatin1Char('{') + value + QLatin1Char('}');
}

bool isLocalName(const QString& host)
{
    return host == QLatin1String(".") || host.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0 ||
           host.compare(QLatin1String("(locale)"), Qt::CaseInsensitive) == 0;
}

} // namespace

bool IsOdbcProvider(const QString& provider)
{
    const QString u = provider.trimmed().toUpper();
    return !u.isEmpty() && !u.contains(QLatin1String("JET")) && !u.contains(QLatin1String("ACE.OLEDB")) &&
           !u.contains(QLatin1String("SQLITE"));
}

OdbcTarget OdbcConnectionText(const QString& oledb)
{
    OdbcTarget t;
    t.server = ConnectionStringValue(oledb, QStringLiteral("Data Source"));
    t.catalog = ConnectionStringValue(oledb, QStringLiteral("Initial Catalog"));
    t.user = ConnectionStringValue(oledb, QStringLiteral("User ID"));
    t.password = ConnectionStringValue(oledb, QStringLiteral("Password"));

    const QString standIn = qEnvironmentVariable(kStandInDir);
    if (!standIn.isEmpty()) {
        t.driver = QStringLiteral("SQLite3");
        t.sqliteDialect = true;
        // A catalog is a file name in the stand-in folder, never a path.
        const bool usable = !t.catalog.isEmpty() && !t.catalog.startsWith(QLatin1Char('.')) &&
                            !t.catalog.contains(QLatin1Char('/')) && !t.catalog.contains(QLatin1Char(';'));
        const QString path = standIn + QLatin1Char('/') + t.catalog + QStringLiteral(".db");
        if (!usable || !QFileInfo(path).isFile()) throw databaseNotFound(t.catalog, t.driver);
        t.text = QStringLiteral("DRIVER={SQLite3};Database=") + path + QStringLiteral(";NoCreat=1;");
        return t;
    }

    t.driver = QStringLiteral("FreeTDS");
    QString s = t.server.trimmed();
    if (s.startsWith(QLatin1String("np:"), Qt::CaseInsensitive))
        throw refused(QStringLiteral("Connessione per named pipe non disponibile: ") + t.server);
    if (s.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive)) s = s.mid(4);
    QString port = QStringLiteral("1433");
    const int comma = int(s.indexOf(QLatin1Char(',')));
    if (comma >= 0) {
        port = s.mid(comma + 1).trimmed();
        s = s.left(comma).trimmed();
    }
    QString host = s;
    QString instance;
    const int slash = int(s.indexOf(QLatin1Char('\\')));
    if (slash >= 0) {
        host = s.left(slash);
        instance = s.mid(slash);     // with its "\"
        if (comma < 0) port.clear(); // the instance names its own port
    }
    if (isLocalName(host) || host.isEmpty()) host = QStringLiteral("localhost");

    t.text = QStringLiteral("DRIVER={FreeTDS};Server=") + braced(QStringLiteral("Server"), host + instance) +
             QLatin1Char(';');
    if (!port.isEmpty()) t.text += QStringLiteral("Port=") + port + QLatin1Char(';');
    t.text += QStringLiteral("TDS_Version=7.3;ClientCharset=UTF-8;");
    t.text += QStringLiteral("Database=") + braced(QStringLiteral("Database"), t.catalog) + QLatin1Char(';');
    t.text += QStringLiteral("UID=") + braced(QStringLiteral("UID"), t.user) + QLatin1Char(';');
    t.text += QStringLiteral("PWD=") + braced(QStringLiteral("PWD"), t.password) + QLatin1Char(';');
    return t;
}

namespace
{

int loginTimeout()
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(kTimeoutVar, &ok);
    return ok && v > 0 ? v : 15; // ADO's default
}

// An Italian description of why the login failed, then the driver's own words.
Error connectError(const OdbcTarget& t, const QSqlError& e)
{
    const QString detail = (e.databaseText().isEmpty() ? e.driverText() : e.databaseText()).trimmed();
    const QString native = e.nativeErrorCode();
    auto has = [&](const char* s) {
        return native.split(QLatin1Char(';')).contains(QLatin1String(s)) ||
               detail.contains(QLatin1String(s), Qt::CaseInsensitive);
    };
    QString d;
    if (detail.contains(QLatin1String("Can't open lib"), Qt::CaseInsensitive) ||
        (detail.contains(QLatin1String("Data source name"), Qt::CaseInsensitive) &&
         detail.contains(QLatin1String("not found"), Qt::CaseInsensitive)))
        d = QStringLiteral("Driver ODBC %1 non installato.").arg(t.driver);
    else if (detail.contains(QLatin1String("Timeout expired"), Qt::CaseInsensitive))
        d = QStringLiteral("Tempo di attesa scaduto collegandosi a %1.").arg(t.server);
    else if (has("18456") || detail.contains(QLatin1String("Login failed"), Qt::CaseInsensitive))
        d = QStringLiteral("Accesso negato a %1: utente o password errati.").arg(t.server);
    else if (has("4060"))
        d = QStringLiteral("Database %1 non trovato o non accessibile.").arg(t.catalog);
    else if (has("20002"))
        d = QStringLiteral("Il server SQL %1 ha chiuso la connessione.").arg(t.server);
    else if (has("20009") || detail.contains(QLatin1String("Unable to connect"), Qt::CaseInsensitive))
        d = QStringLiteral("Server SQL %1 non raggiungibile.").arg(t.server);
    else if (t.sqliteDialect)
        d = QStringLiteral("Database %1 non trovato o non accessibile.").arg(t.catalog);
    else
        d = QStringLiteral("Connessione a %1 non riuscita.").arg(t.server);
    if (!detail.isEmpty()) d += QStringLiteral(" (") + detail + QLatin1Char(')');
    return Error(E_FAIL, d, QStringLiteral("ODBC ") + t.driver);
}

Error statementError(const OdbcTarget& t, const QSqlError& e)
{
    const QString detail = (e.databaseText().isEmpty() ? e.driverText() : e.databaseText()).trimmed();
    const QString tail = QStringLiteral(" (") + detail + QLatin1Char(')');
    const QString source = QStringLiteral("ODBC ") + t.driver;
    // SQL Server 208 "Invalid object name", SQLite "no such table".
    if (e.nativeErrorCode().split(QLatin1Char(';')).contains(QLatin1String("208")) ||
        detail.contains(QLatin1String("Invalid object name"), Qt::CaseInsensitive) ||
        detail.contains(QLatin1String("no such table"), Qt::CaseInsensitive))
        return Error(DB_E_NOTABLE, QStringLiteral("Impossibile trovare la tabella.") + tail, source);
    return Error(DB_E_ERRORSINCOMMAND, QStringLiteral("Istruzione SQL non eseguita.") + tail, source);
}

void typeOf(const QSqlField& f, backend::ColumnInfo& c)
{
    c.definedSize = f.length() > 0 ? qint32(f.length()) : 255;
    switch (f.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
        c.type = adInteger;
        c.definedSize = 4;
        break;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        c.type = adBigInt;
        c.definedSize = 8;
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        c.type = adDouble;
        c.definedSize = 8;
        break;
    case QMetaType::Bool:
        c.type = adBoolean;
        c.definedSize = 2;
        break;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime:
        c.type = adDBTimeStamp;
        c.definedSize = 16;
        break;
    case QMetaType::QByteArray:
        c.type = adVarBinary;
        break;
    default:
        c.type = adVarWChar;
        break;
    }
}

// Values as the SQLite engine gives them: whole numbers qint64, dates QDateTime.
QVariant normalised(const QVariant& v)
{
    if (v.isNull()) return QVariant();
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return QVariant(v.toLongLong());
    case QMetaType::Float:
        return QVariant(v.toDouble());
    case QMetaType::QDate:
        return QVariant(QDateTime(v.toDate(), QTime(0, 0)));
    default:
        return v;
    }
}

class OdbcSession final : public backend::Session
{
  public:
    explicit OdbcSession(const backend::OpenParams& p)
    {
        static QAtomicInt counter;
        t_ = OdbcConnectionText(p.connectionString);
        name_ = QStringLiteral("ado-odbc-%1").arg(counter.fetchAndAddRelaxed(1));
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name_);
        if (!db_.isValid()) {
            release();
            throw Error(E_FAIL, QStringLiteral("Driver ODBC di Qt non installato."), QStringLiteral("ODBC"));
        }
        db_.setDatabaseName(t_.text);
        db_.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(loginTimeout()));
        if (!db_.open()) {
            const Error e = connectError(t_, db_.lastError());
            release();
            throw e;
        }
    }
    ~OdbcSession() override { release(); }

    QString dataSource() const override { return t_.server; }
    bool isFile() const override { return false; }

    qint64 execute(const QString& statement, const QVariantList& params) override
    {
        QSqlQuery q = run(statement, params);
        const int n = q.numRowsAffected();
        return n < 0 ? 0 : n;
    }

    backend::ResultSet query(const QString& statement, const QVariantList& params, bool) override
    {
        QSqlQuery q = run(statement, params);
        backend::ResultSet rs; // no table: rows are read, never written back
        const QSqlRecord rec = q.record();
        for (int i = 0; i < rec.count(); ++i) {
            backend::ColumnInfo c;
            c.name = rec.fieldName(i);
            typeOf(rec.field(i), c);
            rs.columns << c;
        }
        // Read to the end now: the driver keeps one active result per connection.
        while (q.next()) {
            backend::Row r;
            r.values.reserve(rec.count());
            for (int i = 0; i < rec.count(); ++i)
                r.values << normalised(q.value(i));
            rs.rows << std::move(r);
        }
        q.finish();
        return rs;
    }

    QVariant insertRow(const QString&, const QStringList&, const QVariantList&) override { throw notHere(); }
    bool updateRow(const QString&, const QVariant&, const QStringList&, const QVariantList&) override
    {
        throw notHere();
    }
    bool deleteRow(const QString&, const QVariant&) override { throw notHere(); }
    QVariantList fetchRow(const QString&, const QVariant&, const QStringList&) override { throw notHere(); }

    void begin(int level) override
    {
        if (level == 1 && !db_.transaction()) throw statementError(t_, db_.lastError());
    }
    void commit(int level) override
    {
        if (level == 1 && !db_.commit()) throw statementError(t_, db_.lastError());
    }
    void rollback(int level) override
    {
        if (level == 1 && !db_.rollback()) throw statementError(t_, db_.lastError());
    }

  private:
    static Error notHere()
    {
        return Error(adErrFeatureNotAvailable,
                     QStringLiteral("Il recordset non consente modifiche su questa connessione."),
                     QStringLiteral("ODBC"));
    }

    QSqlQuery run(const QString& statement, const QVariantList& params)
    {
        // The stand-in speaks SQLite: it needs LIMIT for TOP; SQL Server takes the text as it is.
        const QString text = t_.sqliteDialect ? ado::sql::translate(statement).text : statement;
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        bool ok;
        if (params.isEmpty()) {
            ok = q.exec(text);
        } else {
            ok = q.prepare(text);
            if (ok) {
                for (const QVariant& v : params)
                    q.addBindValue(IsNull(v) ? QVariant(QMetaType(QMetaType::QString)) : v);
                ok = q.exec();
            }
        }
        if (!ok) throw statementError(t_, q.lastError());
        return q;
    }

    void release()
    {
        if (name_.isEmpty()) return;
        if (db_.isOpen()) db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
        name_.clear();
    }

    OdbcTarget t_;
    QString name_;
    QSqlDatabase db_;
};

} // namespace

std::unique_ptr<backend::Session> backend::openOdbc(const OpenParams& params)
{
    return std::make_unique<OdbcSession>(params);
}

} // namespace ado
