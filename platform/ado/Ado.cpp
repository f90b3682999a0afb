// The ADO-like front end: connections, recordsets read whole at Open, fields
// with ADO types, write-back of changed rows through the engine.
#include "Ado.h"
#include "AdoBackend.h"
#include "platform/DateText.h"

#include <QFileInfo>
#include <QHash>

#include <cmath>

namespace ado
{

Error::Error(int number, QString description, QString source)
    : number_(number), description_(std::move(description)), source_(std::move(source))
{
    what_ = (QString::number(number_) + QStringLiteral(" : ") + description_).toUtf8();
}

StepResult RunStep(const std::function<void()>& body, const std::function<int(const Error&)>& ask)
{
    for (;;) {
        try {
            body();
            return StepResult::Done;
        } catch (const Error& e) {
            const int answer = ask(e);
            if (answer == 4) // Retry
                continue;
            return answer == 3 ? StepResult::Abort : StepResult::Ignore;
        }
    }
}

// --- values ---

QString ValueText(const QVariant& v)
{
    if (IsNull(v)) return QString();
    switch (v.metaType().id()) {
    case QMetaType::QDateTime: {
        const QDateTime d = v.toDateTime();
        if (!d.isValid()) return QString();
        const QDate day = d.date();
        const QTime time = d.time();
        const bool midnight = time == QTime(0, 0);
        if (day.year() < 1000 || day.year() > 9999)
            return d.toString(midnight ? QStringLiteral("dd/MM/yyyy") : QStringLiteral("dd/MM/yyyy HH:mm:ss"));
        // Written out directly: the general formatter costs more than the rest of reading a row.
        return DateText::GeneralText(day, time);
    }
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::Double:
    case QMetaType::Float: {
        QString s = QString::number(v.toDouble(), 'g', 15);
        s.replace(QLatin1Char('.'), QLatin1Char(','));
        return s;
    }
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("Vero") : QStringLiteral("Falso");
    default:
        return v.toString();
    }
}

QDateTime ParseDate(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return {};
    QDateTime quick;
    if (DateText::ToLocal(t, quick)) return quick;
    static const char* const forms[] = {
        "d/M/yyyy H:mm:ss",    "d/M/yyyy H:mm",           "d/M/yyyy",         "yyyy-MM-dd HH:mm:ss",
        "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm", "yyyy-MM-dd",
    };
    for (const char* f : forms) {
        const QDateTime d = QDateTime::fromString(t, QLatin1String(f));
        if (d.isValid()) return d;
    }
    return {};
}

namespace
{

// One "key=value" item of a connection string; [start, end) spans it without its ";".
struct CsItem {
    QString key;
    QString value;
    int start = 0;
    int eq = 0;
    int end = 0;
};

QList<CsItem> csItems(const QString& cs)
{
    QList<CsItem> out;
    const int n = int(cs.size());
    int i = 0;
    while (i < n) {
        const int eq = int(cs.indexOf(QLatin1Char('='), i));
        if (eq < 0) break;
        CsItem item;
        item.start = i;
        item.eq = eq;
        item.key = cs.mid(i, eq - i).trimmed();
        int j = eq + 1;
        while (j < n && cs.at(j) == QLatin1Char(' '))
            ++j;
        if (j < n && (cs.at(j) == QLatin1Char('\'') || cs.at(j) == QLatin1Char('"'))) {
            const QChar q = cs.at(j++);
            while (j < n) {
                if (cs.at(j) == q) {
                    if (j + 1 < n && cs.at(j + 1) == q) {
                        item.value += q; // doubled quote: one quote of the value
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                item.value += cs.at(j++);
            }
            while (j < n && cs.at(j) != QLatin1Char(';'))
                ++j;
        } else {
            const int semi = int(cs.indexOf(QLatin1Char(';'), j));
            const int end = semi < 0 ? n : semi;
            item.value = cs.mid(j, end - j).trimmed();
            j = end;
        }
        item.end = j;
        out << item;
        i = j + 1;
    }
    return out;
}

bool isPasswordKey(const QString& key)
{
    return key.compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0 ||
           key.compare(QLatin1String("Pwd"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString ConnectionStringValue(const QString& cs, const QString& key)
{
    for (const CsItem& item : csItems(cs))
        if (item.key.compare(key, Qt::CaseInsensitive) == 0) return item.value;
    return QString();
}

QString ConnValue(const QString& value)
{
    const bool plain = !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('\'')) &&
                       !value.contains(QLatin1Char('"')) && value.trimmed().size() == value.size();
    if (plain) return value;
    QString v = value;
    v.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + v + QLatin1Char('"');
}

QString MaskPassword(const QString& cs)
{
    QString out = cs;
    const QList<CsItem> items = csItems(cs);
    for (auto it = items.crbegin(); it != items.crend(); ++it) { // from the end: spans stay right
        if (!isPasswordKey(it->key) || it->value.isEmpty()) continue;
        out.replace(it->eq + 1, it->end - it->eq - 1, QStringLiteral("********"));
    }
    return out;
}

namespace
{
// The text without its Password items (what an open ADO connection shows when the
// text says "Persist Security Info=False").
QString withoutPassword(const QString& cs)
{
    QString out = cs;
    const QList<CsItem> items = csItems(cs);
    for (auto it = items.crbegin(); it != items.crend(); ++it) {
        if (!isPasswordKey(it->key)) continue;
        const int to = it->end < int(out.size()) ? it->end + 1 : it->end; // with its ";"
        out.remove(it->start, to - it->start);
    }
    if (out.endsWith(QLatin1Char(';')) && !cs.endsWith(QLatin1Char(';'))) out.chop(1);
    return out;
}
} // namespace

// --- providers ---

namespace
{

struct ProviderEntry {
    std::function<bool(const QString&)> accepts;
    backend::Factory factory;
};

QList<ProviderEntry>& providers()
{
    static QList<ProviderEntry> list = [] {
        QList<ProviderEntry> l;
        l << ProviderEntry{[](const QString& p) {
                               const QString u = p.toUpper();
                               return u.isEmpty() || u.contains(QLatin1String("JET")) ||
                                      u.contains(QLatin1String("ACE.OLEDB")) ||
                                      u.contains(QLatin1String("SQLITE"));
                           },
                           backend::openSqlite};
        // Any other provider is the ERP's SQL Server ("SQLOLEDB.1"), reached through ODBC.
        l << ProviderEntry{[](const QString& p) { return !p.trimmed().isEmpty(); }, backend::openOdbc};
        return l;
    }();
    return list;
}

QHash<QString, int>& openFiles()
{
    static QHash<QString, int> h;
    return h;
}

QString fileKey(const QString& path)
{
    const QFileInfo fi(path);
    const QString c = fi.canonicalFilePath();
    return c.isEmpty() ? fi.absoluteFilePath() : c;
}

Error closedError()
{
    return Error(adErrObjectClosed, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
}

} // namespace

void backend::registerProvider(std::function<bool(const QString&)> accepts, Factory factory)
{
    providers().prepend(ProviderEntry{std::move(accepts), std::move(factory)});
}

int OpenConnectionCount(const QString& path)
{
    return openFiles().value(fileKey(path));
}

// --- connection ---

std::shared_ptr<const backend::ColumnNames> backend::makeColumnNames(const QList<ColumnInfo>& columns)
{
    auto names = std::make_shared<ColumnNames>();
    names->first.reserve(columns.size());
    for (int i = 0; i < columns.size(); ++i) {
        const QString& n = columns.at(i).name;
        if (!names->exact.contains(n)) {
            names->exact.insert(n, i);
            names->utf8.insert(n.toUtf8(), i);
        }
        int first = i;
        for (int j = 0; j < i; ++j)
            if (columns.at(j).name.compare(n, Qt::CaseInsensitive) == 0) {
                first = j;
                break;
            }
        names->first << first;
    }
    return names;
}

namespace detail
{
struct RowSet;

struct ConnectionData {
    QString connectionString;
    QString provider;
    QString dataSource;
    QString fileKey;
    std::unique_ptr<backend::Session> session;
    int level = 0;
    // Rows stored inside the transaction whose stored values are still to be read
    // back: nothing can change them before this connection runs its next statement.
    mutable std::vector<std::pair<std::weak_ptr<RowSet>, qint64>> stale;

    backend::Session& open() const
    {
        if (!session) throw closedError();
        if (!stale.empty()) readBack();
        return *session;
    }
    void readBack() const;
    void close()
    {
        if (!session) return;
        try {
            readBack();
        } catch (const Error&) {
        }
        if (level > 0) {
            try {
                session->rollback(1); // an unfinished transaction is not kept
            } catch (const Error&) {
            }
            level = 0;
        }
        session.reset();
        if (!fileKey.isEmpty()) {
            int& n = openFiles()[fileKey];
            if (--n <= 0) openFiles().remove(fileKey);
            fileKey.clear();
        }
    }
    ~ConnectionData() { close(); }
};
} // namespace detail

Connection::Connection() : d_(std::make_shared<detail::ConnectionData>()) {}

void Connection::Open(const QString& connectionString, const QString& user, const QString& password, int)
{
    if (d_->session)
        throw Error(adErrObjectOpen, QStringLiteral("Operazione non consentita se l'oggetto è aperto."));
    if (!connectionString.isEmpty()) d_->connectionString = connectionString;
    backend::OpenParams p;
    p.connectionString = d_->connectionString;
    p.provider = ConnectionStringValue(p.connectionString, QStringLiteral("Provider"));
    p.dataSource = ConnectionStringValue(p.connectionString, QStringLiteral("Data Source"));
    p.user = user.isEmpty() ? ConnectionStringValue(p.connectionString, QStringLiteral("User ID")) : user;
    p.password =
        password.isEmpty() ? ConnectionStringValue(p.connectionString, QStringLiteral("Password")) : password;
    for (const ProviderEntry& e : providers()) {
        if (!e.accepts(p.provider)) continue;
        d_->session = e.factory(p);
        d_->provider = p.provider;
        d_->dataSource = p.dataSource;
        if (d_->session->isFile() && p.dataSource != QLatin1String(":memory:") && !p.dataSource.isEmpty()) {
            d_->fileKey = fileKey(p.dataSource);
            ++openFiles()[d_->fileKey];
        }
        return;
    }
    throw Error(adErrProviderNotFound, QStringLiteral("Provider non trovato: '%1'.").arg(p.provider));
}

void Connection::Close()
{
    d_->close();
}

int Connection::State() const
{
    return d_->session ? adStateOpen : adStateClosed;
}

QString Connection::ConnectionString() const
{
    if (d_->session && ConnectionStringValue(d_->connectionString, QStringLiteral("Persist Security Info"))
                               .compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return withoutPassword(d_->connectionString);
    return d_->connectionString;
}

void Connection::setConnectionString(const QString& text)
{
    if (d_->session)
        throw Error(adErrObjectOpen, QStringLiteral("Operazione non consentita se l'oggetto è aperto."));
    d_->connectionString = text;
}

QString Connection::Provider() const
{
    return d_->session ? d_->provider
                       : ConnectionStringValue(d_->connectionString, QStringLiteral("Provider"));
}

QString Connection::DataSource() const
{
    return ConnectionStringValue(d_->connectionString, QStringLiteral("Data Source"));
}

qint64 Connection::Execute(const QString& sql, const QVariantList& params)
{
    return d_->open().execute(sql, params);
}

int Connection::BeginTrans()
{
    backend::Session& s = d_->open();
    s.begin(d_->level + 1);
    return ++d_->level;
}

void Connection::CommitTrans()
{
    backend::Session& s = d_->open();
    if (d_->level <= 0) throw Error(adErrIllegalOperation, QStringLiteral("Nessuna transazione aperta."));
    s.commit(d_->level);
    --d_->level;
}

void Connection::RollbackTrans()
{
    backend::Session& s = d_->open();
    if (d_->level <= 0) throw Error(adErrIllegalOperation, QStringLiteral("Nessuna transazione aperta."));
    s.rollback(d_->level);
    --d_->level;
}

int Connection::TransLevel() const
{
    return d_->level;
}

qint64 Command::Execute()
{
    if (ActiveConnection.State() != adStateOpen) throw closedError();
    QString sql = CommandText;
    if (CommandType == adCmdTable)
        sql = QStringLiteral("SELECT * FROM [") + CommandText + QStringLiteral("]");
    return ActiveConnection.Execute(sql, Parameters);
}

// --- recordset ---

namespace detail
{

struct RowSet {
    backend::ResultSet data;
    qint64 deleted = 0; // rows deleted through any cursor over this set

    // Reads a stale row's stored values (the ones given stay when the row is gone).
    void readBack(backend::Session& s, qint64 r)
    {
        backend::Row& row = data.rows[r];
        if (!row.stale) return;
        row.stale = false;
        QStringList all;
        for (const backend::ColumnInfo& c : std::as_const(data.columns))
            all << c.baseColumn;
        const QVariantList now = s.fetchRow(data.table, row.key, all);
        if (now.size() == data.columns.size()) {
            row.values = now;
            row.raw = 0;
        }
    }
    void finish(backend::Row& row, int i)
    {
        const quint64 bit = quint64(1) << i;
        if (!(row.raw & bit)) return;
        row.values[i] = data.finish(row.values.at(i), data.columns.at(i).type);
        row.raw &= ~bit;
    }
};

void ConnectionData::readBack() const
{
    std::vector<std::pair<std::weak_ptr<RowSet>, qint64>> rows;
    rows.swap(stale);
    for (const auto& [weak, r] : rows)
        if (const std::shared_ptr<RowSet> set = weak.lock()) set->readBack(*session, r);
}

struct RecordsetData {
    bool open = false;
    std::shared_ptr<ConnectionData> conn;
    std::shared_ptr<RowSet> rows;
    QString source;
    QVariantList params;
    int cursorType = adOpenForwardOnly;
    int lockType = adLockReadOnly;
    qint64 pos = -1;
    enum Mode { None, Edit, New } mode = None;
    QVariantList edit;
    QList<bool> changed;

    const backend::ResultSet& rs() const { return rows->data; }
    qint64 size() const { return rs().rows.size(); }
    qint64 live() const { return size() - rows->deleted; }
    void checkOpen() const
    {
        if (!open) throw closedError();
    }
    // A row just deleted stays current until the next move, as in ADO.
    bool noRows() const { return live() == 0 && !(pos >= 0 && pos < size()); }
    bool bof() const { return mode != New && (pos < 0 || noRows()); }
    bool eof() const { return mode != New && (pos >= size() || noRows()); }
    bool onRow() const { return pos >= 0 && pos < size() && !rs().rows.at(pos).deleted; }
    void requireRow() const
    {
        checkOpen();
        if (mode == New) return;
        if (!onRow())
            throw Error(adErrNoCurrentRecord,
                        QStringLiteral("BOF o EOF è True oppure il record corrente è stato eliminato. "
                                       "L'operazione richiesta richiede un record corrente."));
    }
    void requireWritable() const
    {
        checkOpen();
        if (lockType == adLockReadOnly || rs().table.isEmpty())
            throw Error(
                adErrFeatureNotAvailable,
                QStringLiteral("Il Recordset corrente non supporta l'aggiornamento: può dipendere dal "
                               "provider o dal tipo di blocco selezionato."));
    }
    qint64 firstLive(qint64 from) const
    {
        while (from < size() && rs().rows.at(from).deleted)
            ++from;
        return from;
    }
    qint64 lastLive(qint64 from) const
    {
        while (from >= 0 && rs().rows.at(from).deleted)
            --from;
        return from;
    }
    int column(const QString& name) const
    {
        backend::ResultSet& data = rows->data;
        if (!data.names) data.names = backend::makeColumnNames(data.columns);
        const auto it = data.names->exact.constFind(name);
        if (it != data.names->exact.cend()) return data.names->first.at(*it);
        const QList<backend::ColumnInfo>& cols = data.columns;
        for (int i = 0; i < cols.size(); ++i)
            if (cols.at(i).name.compare(name, Qt::CaseInsensitive) == 0) return i;
        return -1;
    }
    // The row as stored, read back first when it is stale.
    backend::Row& row(qint64 r) const
    {
        backend::Row& row = rows->data.rows[r];
        if (row.stale) rows->readBack(conn->open(), r);
        return row;
    }
    QVariant cell(qint64 r, int i) const
    {
        backend::Row& x = row(r);
        if (x.raw && i < 64) rows->finish(x, i);
        return x.values.at(i);
    }
    QVariantList values(qint64 r) const
    {
        backend::Row& x = row(r);
        for (int i = 0; x.raw; ++i)
            rows->finish(x, i);
        return x.values;
    }
    int column(const char* name) const
    {
        backend::ResultSet& data = rows->data;
        if (!data.names) data.names = backend::makeColumnNames(data.columns);
        const auto it = data.names->utf8.constFind(QByteArray::fromRawData(name, qstrlen(name)));
        if (it != data.names->utf8.cend()) return data.names->first.at(*it);
        return column(QString::fromUtf8(name));
    }
    void update();
};

} // namespace detail

namespace
{

Error notFound(const QString& what)
{
    return Error(
        adErrItemNotFound,
        QStringLiteral("Impossibile trovare l'elemento nell'insieme corrispondente al nome o al numero "
                       "richiesto (%1).")
            .arg(what));
}

Error cannotConvert(const backend::ColumnInfo& c, const QVariant& v)
{
    return Error(DB_E_CANTCONVERTVALUE,
                 QStringLiteral("Valore non valido per il campo '%1': '%2'.").arg(c.name, ValueText(v)));
}

bool isIntegerType(int t)
{
    return t == adSmallInt || t == adInteger || t == adBigInt || t == adUnsignedTinyInt ||
           t == adUnsignedInt || t == adBoolean;
}
bool isRealType(int t)
{
    return t == adSingle || t == adDouble || t == adCurrency || t == adDecimal || t == adNumeric;
}
bool isDate(int t)
{
    return t == adDate || t == adDBDate || t == adDBTime || t == adDBTimeStamp;
}
bool isNumberVariant(const QVariant& v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool textToNumber(const QString& text, double& out)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    out = t.toDouble(&ok);
    return ok;
}

// The value as the column keeps it, as Jet converts on assignment.
QVariant convertFor(const backend::ColumnInfo& c, const QVariant& v)
{
    if (IsNull(v)) return QVariant();
    const int id = v.metaType().id();
    if (isDate(c.type)) {
        if (id == QMetaType::QDateTime) return v.toDateTime().isValid() ? v : QVariant();
        if (id == QMetaType::QDate) return QVariant(QDateTime(v.toDate(), QTime(0, 0)));
        if (isNumberVariant(v)) {
            // A VB date number: days from 30/12/1899.
            const double days = v.toDouble();
            return QVariant(QDateTime(QDate(1899, 12, 30), QTime(0, 0))
                                .addMSecs(qint64(std::llround(days * 86400000.0))));
        }
        const QString t = v.toString();
        if (t.trimmed().isEmpty()) return QVariant(); // an empty date field is no date
        const QDateTime d = ParseDate(t);
        if (!d.isValid()) throw cannotConvert(c, v);
        return QVariant(d);
    }
    if (isIntegerType(c.type)) {
        if (id == QMetaType::Bool) return QVariant(qint64(v.toBool() ? -1 : 0));
        double d = 0;
        if (isNumberVariant(v))
            d = v.toDouble();
        else if (!textToNumber(v.toString(), d))
            throw cannotConvert(c, v);
        return QVariant(qint64(std::llround(d)));
    }
    if (isRealType(c.type)) {
        if (id == QMetaType::Bool) return QVariant(v.toBool() ? -1.0 : 0.0);
        double d = 0;
        if (isNumberVariant(v))
            d = v.toDouble();
        else if (!textToNumber(v.toString(), d))
            throw cannotConvert(c, v);
        return QVariant(d);
    }
    if (c.type == adBinary || c.type == adVarBinary || c.type == adLongVarBinary)
        return QVariant(v.toByteArray());
    if (id == QMetaType::QString) return v;
    return QVariant(ValueText(v));
}

} // namespace

void detail::RecordsetData::update()
{
    checkOpen();
    if (mode == None) return;
    backend::Session& s = conn->open();
    backend::ResultSet& data = rows->data;
    QStringList cols;
    QVariantList vals;
    cols.reserve(data.columns.size());
    vals.reserve(data.columns.size());
    for (int i = 0; i < data.columns.size(); ++i) {
        if (!changed.at(i)) continue;
        cols << data.columns.at(i).baseColumn;
        vals << edit.at(i);
    }
    // The stored row is read back at once outside a transaction; inside one, when it
    // is first read or before the connection's next statement, which is the same: no
    // other connection writes while this one holds its transaction.
    const bool defer = conn->level > 0;
    if (mode == New) {
        const QVariant key = s.insertRow(data.table, cols, vals);
        backend::Row row;
        row.key = key;
        row.values = edit;
        row.stale = true;
        data.rows << row;
        pos = data.rows.size() - 1;
    } else if (!cols.isEmpty()) {
        backend::Row& row = data.rows[pos];
        if (!s.updateRow(data.table, row.key, cols, vals))
            throw Error(DB_E_CONCURRENCYVIOLATION,
                        QStringLiteral("Impossibile trovare la riga da aggiornare: è stata eliminata "
                                       "dopo l'ultima lettura."));
        row.values = edit;
        row.raw = 0;
        row.stale = true;
    }
    if (data.rows.at(pos).stale) {
        if (defer)
            conn->stale.emplace_back(rows, pos);
        else
            rows->readBack(s, pos);
    }
    mode = None;
    edit.clear();
    changed.clear();
}

Recordset::Recordset() : d_(std::make_shared<detail::RecordsetData>()) {}

void Recordset::Open(const QString& source, const Connection& connection, int cursorType, int lockType, int)
{
    open(source, connection, cursorType, lockType, {});
}

void Recordset::Open(const QString& source, const Connection& connection, int cursorType, int lockType,
                     const QVariantList& params)
{
    open(source, connection, cursorType, lockType, params);
}

void Recordset::Open(const QString& source, const QString& connectionString, int cursorType, int lockType,
                     int)
{
    Connection cn;
    cn.Open(connectionString);
    open(source, cn, cursorType, lockType, {});
}

void Recordset::open(const QString& source, const Connection& connection, int cursorType, int lockType,
                     const QVariantList& params)
{
    if (d_->open)
        throw Error(adErrObjectOpen, QStringLiteral("Operazione non consentita se l'oggetto è aperto."));
    if (connection.State() != adStateOpen) throw closedError();
    if (cursorType == adOpenUnspecified) cursorType = adOpenForwardOnly;
    if (lockType == adLockUnspecified) lockType = adLockReadOnly;
    QString sql = source.trimmed();
    if (!sql.isEmpty() && !sql.contains(QLatin1Char(' ')))
        sql = QStringLiteral("SELECT * FROM [") + sql + QStringLiteral("]"); // a bare table name
    const bool withKeys = lockType != adLockReadOnly;
    auto rows = std::make_shared<detail::RowSet>();
    rows->data = connection.data()->open().query(sql, params, withKeys);
    if (!withKeys) rows->data.table.clear();
    d_->conn = connection.data();
    d_->rows = rows;
    d_->source = source;
    d_->params = params;
    d_->cursorType = cursorType;
    d_->lockType = lockType;
    d_->mode = detail::RecordsetData::None;
    d_->pos = d_->firstLive(0);
    d_->open = true;
}

void Recordset::Close()
{
    if (!d_->open) return;
    // An edit not stored with Update is dropped, as on a closed ADO recordset.
    d_->mode = detail::RecordsetData::None;
    d_->edit.clear();
    d_->changed.clear();
    d_->rows.reset();
    d_->conn.reset();
    d_->open = false;
    d_->pos = -1;
}

int Recordset::State() const
{
    return d_->open ? adStateOpen : adStateClosed;
}

QString Recordset::Source() const
{
    return d_->source;
}

Connection Recordset::ActiveConnection() const
{
    // The same connection object, as ADO hands it back.
    return d_->conn ? Connection(d_->conn) : Connection();
}

int Recordset::CursorType() const
{
    return d_->cursorType;
}

int Recordset::LockType() const
{
    return d_->lockType;
}

qint64 Recordset::RecordCount() const
{
    d_->checkOpen();
    if (d_->cursorType == adOpenForwardOnly || d_->cursorType == adOpenDynamic) return -1;
    return d_->live();
}

bool Recordset::BOF() const
{
    d_->checkOpen();
    return d_->bof();
}

bool Recordset::EOF_() const
{
    d_->checkOpen();
    return d_->eof();
}

void Recordset::MoveFirst()
{
    d_->checkOpen();
    d_->update();
    d_->pos = d_->firstLive(0);
}

void Recordset::MoveLast()
{
    d_->checkOpen();
    d_->update();
    d_->pos = d_->live() == 0 ? d_->size() : d_->lastLive(d_->size() - 1);
}

void Recordset::MoveNext()
{
    d_->checkOpen();
    if (d_->eof())
        throw Error(adErrNoCurrentRecord, QStringLiteral("EOF è True: non c'è un record successivo."));
    d_->update();
    d_->pos = d_->firstLive(d_->pos + 1);
}

void Recordset::MovePrevious()
{
    d_->checkOpen();
    if (d_->bof())
        throw Error(adErrNoCurrentRecord, QStringLiteral("BOF è True: non c'è un record precedente."));
    d_->update();
    d_->pos = d_->lastLive(qMin(d_->pos, d_->size()) - 1);
}

qint64 Recordset::AbsolutePosition() const
{
    d_->checkOpen();
    if (!d_->onRow()) return -1;
    qint64 n = 0;
    for (qint64 i = 0; i <= d_->pos; ++i)
        n += d_->rs().rows.at(i).deleted ? 0 : 1;
    return n;
}

QString Recordset::Filter() const
{
    return QString();
}

void Recordset::setFilter(const QString& filter)
{
    if (!filter.trimmed().isEmpty() && filter.trimmed() != QLatin1String("0"))
        throw Error(adErrFeatureNotAvailable,
                    QStringLiteral("Filtro del Recordset non gestito: '%1'.").arg(filter));
}

Fields Recordset::GetFields() const
{
    d_->checkOpen();
    return Fields(d_);
}

void Recordset::AddNew()
{
    d_->requireWritable();
    d_->update();
    const int n = int(d_->rs().columns.size());
    d_->edit = QVariantList(n);
    d_->changed = QList<bool>(n, false);
    d_->mode = detail::RecordsetData::New;
}

void Recordset::Update()
{
    d_->checkOpen();
    d_->update();
}

void Recordset::CancelUpdate()
{
    d_->checkOpen();
    d_->mode = detail::RecordsetData::None;
    d_->edit.clear();
    d_->changed.clear();
}

bool Recordset::EditMode() const
{
    return d_->open && d_->mode != detail::RecordsetData::None;
}

void Recordset::Delete()
{
    d_->requireWritable();
    if (d_->mode == detail::RecordsetData::New) {
        CancelUpdate();
        return;
    }
    d_->requireRow();
    d_->mode = detail::RecordsetData::None;
    d_->edit.clear();
    d_->changed.clear();
    backend::Row& row = d_->rows->data.rows[d_->pos];
    d_->conn->open().deleteRow(d_->rs().table, row.key);
    row.deleted = true; // stays current until the next move, as in ADO
    ++d_->rows->deleted;
}

Recordset Recordset::Clone() const
{
    d_->checkOpen();
    Recordset c;
    *c.d_ = *d_;
    c.d_->mode = detail::RecordsetData::None;
    c.d_->edit.clear();
    c.d_->changed.clear();
    c.d_->pos = c.d_->firstLive(0);
    return c;
}

void Recordset::Requery()
{
    d_->checkOpen();
    d_->update();
    QString sql = d_->source.trimmed();
    if (!sql.isEmpty() && !sql.contains(QLatin1Char(' ')))
        sql = QStringLiteral("SELECT * FROM [") + sql + QStringLiteral("]");
    auto rows = std::make_shared<detail::RowSet>();
    rows->data = d_->conn->open().query(sql, d_->params, d_->lockType != adLockReadOnly);
    if (d_->lockType == adLockReadOnly) rows->data.table.clear();
    d_->rows = rows;
    d_->pos = d_->firstLive(0);
}

// --- fields ---

int Fields::Count() const
{
    rs_->checkOpen();
    return int(rs_->rs().columns.size());
}

Field Fields::Item(int index) const
{
    rs_->checkOpen();
    if (index < 0 || index >= rs_->rs().columns.size()) throw notFound(QString::number(index));
    return Field(rs_, index);
}

Field Fields::Item(const QString& name) const
{
    rs_->checkOpen();
    const int i = rs_->column(name);
    if (i < 0) throw notFound(name);
    return Field(rs_, i);
}

Field Fields::Item(const char* name) const
{
    rs_->checkOpen();
    const int i = rs_->column(name);
    if (i < 0) throw notFound(QString::fromUtf8(name));
    return Field(rs_, i);
}

bool Fields::contains(const QString& name) const
{
    return rs_->open && rs_->column(name) >= 0;
}

namespace
{
const backend::ColumnInfo& info(const std::shared_ptr<detail::RecordsetData>& rs, int i)
{
    rs->checkOpen();
    return rs->rs().columns.at(i);
}
} // namespace

QString Field::Name() const
{
    return info(rs_, index_).name;
}
int Field::Type() const
{
    return info(rs_, index_).type;
}
qint32 Field::DefinedSize() const
{
    return info(rs_, index_).definedSize;
}
int Field::Precision() const
{
    return info(rs_, index_).precision;
}
int Field::NumericScale() const
{
    return info(rs_, index_).numericScale;
}

QVariant Field::Value() const
{
    rs_->requireRow();
    if (rs_->mode != detail::RecordsetData::None &&
        (rs_->mode == detail::RecordsetData::New || rs_->changed.at(index_)))
        return rs_->edit.at(index_);
    return rs_->cell(rs_->pos, index_);
}

QVariant Field::OriginalValue() const
{
    rs_->requireRow();
    if (rs_->mode == detail::RecordsetData::New) return QVariant();
    return rs_->cell(rs_->pos, index_);
}

void Field::setValue(const QVariant& v)
{
    rs_->requireWritable();
    rs_->requireRow();
    const backend::ColumnInfo& c = rs_->rs().columns.at(index_);
    if (c.baseTable.isEmpty())
        throw Error(adErrFeatureNotAvailable,
                    QStringLiteral("Il campo '%1' non è aggiornabile.").arg(c.name));
    const QVariant value = convertFor(c, v);
    if (rs_->mode == detail::RecordsetData::None) {
        rs_->mode = detail::RecordsetData::Edit;
        rs_->edit = rs_->values(rs_->pos);
        rs_->changed = QList<bool>(rs_->edit.size(), false);
    }
    rs_->edit[index_] = value;
    rs_->changed[index_] = true;
}

} // namespace ado
