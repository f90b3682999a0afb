// The SQLite engine behind the ADO-like layer: Jet SQL translation, statements
// with bound values, typed reads and row write-back by rowid.
#include "AdoBackend.h"
#include "AdoSql.h"
#include "ArchiveLock.h"
#include "platform/DateText.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <sqlite3.h>

namespace ado
{
namespace
{

const char kIsoForm[] = "yyyy-MM-dd HH:mm:ss";

QString fromUtf8(const char* s)
{
    return s ? QString::fromUtf8(s) : QString();
}

Error sqliteError(sqlite3* db, int rc, const QString& what = QString())
{
    const QString msg = db ? fromUtf8(sqlite3_errmsg(db)) : fromUtf8(sqlite3_errstr(rc));
    const QString tail = QStringLiteral(" (") + msg + QLatin1Char(')');
    const int primary = rc & 0xff;
    if (msg.startsWith(QLatin1String("no such table"))) {
        const QString name = msg.section(QLatin1Char(':'), 1).trimmed();
        return Error(DB_E_NOTABLE, QStringLiteral("Impossibile trovare la tabella '%1'.").arg(name) + tail);
    }
    if (msg.startsWith(QLatin1String("no such column"))) {
        const QString name = msg.section(QLatin1Char(':'), 1).trimmed();
        return Error(DB_E_PARAMNOTOPTIONAL, QStringLiteral("Campo inesistente '%1'.").arg(name) + tail);
    }
    switch (primary) {
    case SQLITE_CONSTRAINT:
        return Error(DB_E_INTEGRITYVIOLATION,
                     QStringLiteral("Valore non ammesso da un vincolo della tabella.") + tail);
    case SQLITE_NOTADB:
        return Error(E_FAIL, QStringLiteral("Formato di database non riconosciuto %1.").arg(what) + tail);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Error(E_FAIL, QStringLiteral("Archivio in uso da un'altra operazione.") + tail);
    case SQLITE_CANTOPEN:
        return Error(E_FAIL, QStringLiteral("Impossibile aprire il file %1.").arg(what) + tail);
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return Error(E_FAIL, QStringLiteral("Archivio di sola lettura.") + tail);
    case SQLITE_FULL:
        return Error(E_FAIL, QStringLiteral("Spazio su disco esaurito.") + tail);
    case SQLITE_CORRUPT:
        return Error(E_FAIL, QStringLiteral("Archivio danneggiato.") + tail);
    case SQLITE_IOERR:
        return Error(E_FAIL, QStringLiteral("Errore di lettura o scrittura del file.") + tail);
    case SQLITE_MISMATCH:
    case SQLITE_TOOBIG:
    case SQLITE_RANGE:
        return Error(DB_E_CANTCONVERTVALUE, QStringLiteral("Valore non valido per il campo.") + tail);
    case SQLITE_ERROR:
        return Error(DB_E_ERRORSINCOMMAND, QStringLiteral("Errore nell'istruzione SQL.") + tail);
    default:
        return Error(E_FAIL, QStringLiteral("Errore dell'archivio.") + tail);
    }
}

// What a statement's result looks like, kept with the statement: reading names and
// declared types again for every execution was a third of a query's work. It holds
// while SQLite has not prepared the statement again for a schema change (by this
// connection or another one), which the statement's reprepare count tells.
struct StmtMeta {
    int reprepares = -1; // the count it was read at; -1 before the first execution
    bool keyed = false;  // the first column is the row key and not part of the result
    QList<backend::ColumnInfo> columns;
    QList<int> untyped; // columns without a declared type: their first value tells
    QString table;      // the one table all columns come from; empty when none
    std::shared_ptr<const backend::ColumnNames> names;
};

// Prepared statements kept per SQL text. A run over a folder sends the same few
// statements once per file; parsing them again each time was a fifth of the work.
class StmtCache
{
  public:
    struct Kept {
        sqlite3_stmt* st = nullptr;
        StmtMeta meta;
        bool busy = false;
    };
    ~StmtCache() { clear(); }
    // The kept statement of that text, now in use; none when there is none or it is in
    // use already (a nested use of the same text prepares its own).
    std::shared_ptr<Kept> take(const QString& sql)
    {
        const auto it = kept_.constFind(sql);
        if (it == kept_.cend() || (*it)->busy) return {};
        (*it)->busy = true;
        return *it;
    }
    // Keeps a statement just prepared, in use; none when the cache is full.
    std::shared_ptr<Kept> keep(const QString& sql, sqlite3_stmt* st)
    {
        if (kept_.size() >= kMost || kept_.contains(sql)) return {};
        auto k = std::make_shared<Kept>();
        k->st = st;
        k->busy = true;
        kept_.insert(sql, k);
        return k;
    }
    // Its values stay bound: every use binds all of them again (bindAll checks the
    // count), and a text bound again reuses the room of the last one.
    static void give(Kept& k)
    {
        sqlite3_reset(k.st);
        k.busy = false;
    }
    void clear()
    {
        for (const std::shared_ptr<Kept>& k : std::as_const(kept_))
            sqlite3_finalize(k->st);
        kept_.clear();
    }

  private:
    static constexpr int kMost = 64;
    QHash<QString, std::shared_ptr<Kept>> kept_;
};

// Prepared statement that finalises itself, or goes back to its cache.
class Stmt
{
  public:
    Stmt(sqlite3* db, const QString& sql, StmtCache* cache = nullptr) : db_(db)
    {
        if (cache && (kept_ = cache->take(sql))) {
            st_ = kept_->st;
            return;
        }
        const QByteArray u = sql.toUtf8();
        const char* tail = nullptr;
        rc_ = sqlite3_prepare_v2(db, u.constData(), int(u.size()), &st_, &tail);
        if (rc_ == SQLITE_OK && tail && *tail) {
            // One statement at a time, as the program sends them; a trailing ";" is fine.
            QByteArray rest(tail);
            if (!rest.trimmed().isEmpty() && rest.trimmed() != ";") {
                sqlite3_finalize(st_);
                st_ = nullptr;
                rc_ = SQLITE_ERROR;
                multiple_ = true;
            }
        }
        if (cache && ok()) kept_ = cache->keep(sql, st_);
    }
    ~Stmt()
    {
        if (kept_)
            StmtCache::give(*kept_);
        else
            sqlite3_finalize(st_);
    }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    bool ok() const { return rc_ == SQLITE_OK && st_; }
    bool empty() const { return rc_ == SQLITE_OK && !st_; }
    void check() const
    {
        if (multiple_)
            throw Error(DB_E_ERRORSINCOMMAND,
                        QStringLiteral("Caratteri trovati dopo la fine dell'istruzione SQL."));
        if (rc_ != SQLITE_OK) throw sqliteError(db_, rc_);
    }
    sqlite3_stmt* get() const { return st_; }
    StmtMeta& meta() { return kept_ ? kept_->meta : own_; }

  private:
    sqlite3* db_;
    std::shared_ptr<StmtCache::Kept> kept_;
    StmtMeta own_;
    sqlite3_stmt* st_ = nullptr;
    int rc_ = SQLITE_OK;
    bool multiple_ = false;
};

// "yyyy-MM-dd HH:mm:ss", as the archive keeps a date.
QByteArray isoText(const QDateTime& dt)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    if (!dt.isValid() || d.year() < 1 || d.year() > 9999)
        return dt.toString(QLatin1String(kIsoForm)).toUtf8();
    return DateText::IsoBytes(d, t);
}

void bindValue(sqlite3* db, sqlite3_stmt* st, int i, const QVariant& v)
{
    int rc = SQLITE_OK;
    if (IsNull(v)) {
        rc = sqlite3_bind_null(st, i);
    } else {
        switch (v.metaType().id()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(st, i, v.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::UChar:
        case QMetaType::SChar:
            rc = sqlite3_bind_int64(st, i, v.toLongLong());
            break;
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(st, i, qint64(v.toULongLong()));
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(st, i, v.toDouble());
            break;
        case QMetaType::QDateTime: {
            const QByteArray t = isoText(v.toDateTime());
            rc = sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDate: {
            const QByteArray t = isoText(QDateTime(v.toDate(), QTime(0, 0)));
            rc = sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob64(st, i, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QString: {
            const QByteArray t = static_cast<const QString*>(v.constData())->toUtf8();
            rc = sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK) throw sqliteError(db, rc);
}

void bindAll(sqlite3* db, sqlite3_stmt* st, const QVariantList& params)
{
    const int wanted = sqlite3_bind_parameter_count(st);
    if (wanted != params.size())
        throw Error(DB_E_PARAMNOTOPTIONAL,
                    QStringLiteral("Numero di parametri errato: attesi %1, forniti %2.")
                        .arg(wanted)
                        .arg(params.size()));
    for (int i = 0; i < params.size(); ++i)
        bindValue(db, st, i + 1, params.at(i));
}

bool isDateType(int t)
{
    return t == adDate || t == adDBDate || t == adDBTime || t == adDBTimeStamp;
}

QVariant textValue(const QString& s, int adoType);

QVariant readValue(sqlite3_stmt* st, int i, int adoType)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, i));
    case SQLITE_BLOB: {
        const void* p = sqlite3_column_blob(st, i);
        return QVariant(QByteArray(static_cast<const char*>(p), sqlite3_column_bytes(st, i)));
    }
    default:
        return textValue(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                           sqlite3_column_bytes(st, i)),
                         adoType);
    }
}

// A text as the column of that type gives it.
QVariant textValue(const QString& s, int adoType)
{
    if (isDateType(adoType)) {
        QDateTime d;
        if (!DateText::ToLocal(s, d)) {
            d = QDateTime::fromString(s, QLatin1String(kIsoForm));
            if (!d.isValid()) d = ParseDate(s);
        }
        if (d.isValid()) return QVariant(d);
    }
    return QVariant(s);
}

// A text cell is kept as its UTF-8 bytes until it is read: most reads want one column
// of the row.
QVariant finishText(const QVariant& raw, int adoType)
{
    const QByteArray& u = *static_cast<const QByteArray*>(raw.constData());
    return textValue(QString::fromUtf8(u), adoType);
}

// The cell into row (value i); a text only as its bytes, for finishText.
void readCell(sqlite3_stmt* st, int column, int adoType, backend::Row& row, int i)
{
    if (i < 64 && sqlite3_column_type(st, column) == SQLITE_TEXT) {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
        row.values << QVariant(QByteArray(p, sqlite3_column_bytes(st, column)));
        row.raw |= quint64(1) << i;
        return;
    }
    row.values << readValue(st, column, adoType);
}

QString quoteIdent(const QString& name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

class SqliteSession final : public backend::Session
{
  public:
    explicit SqliteSession(const backend::OpenParams& p) : path_(p.dataSource)
    {
        const bool memory = path_ == QLatin1String(":memory:");
        if (path_.trimmed().isEmpty())
            throw Error(E_FAIL,
                        QStringLiteral("Nessun file di archivio indicato nella stringa di connessione."));
        if (!memory) {
            const QFileInfo fi(path_);
            if (!fi.exists() || !fi.isFile())
                throw Error(E_FAIL, QStringLiteral("Impossibile trovare il file '%1'.").arg(path_));
            if (IsForeignFile(path_))
                throw Error(E_FAIL,
                            QStringLiteral("Formato di database non riconosciuto '%1': il file non è un "
                                           "archivio SQLite (forse un vecchio file Access).")
                                .arg(path_));
        }
        lock_ = std::make_unique<SharedArchiveLock>(path_);
        const QByteArray u = QFile::encodeName(path_);
        const int rc = sqlite3_open_v2(u.constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        if (rc != SQLITE_OK) {
            Error e = sqliteError(db_, rc, QLatin1Char('\'') + path_ + QLatin1Char('\''));
            sqlite3_close_v2(db_);
            db_ = nullptr;
            throw e;
        }
        configure(db_);
        // Reading the schema here reports a damaged or foreign file at Open, not later.
        try {
            query(QStringLiteral("SELECT count(*) FROM sqlite_master"), {}, false);
        } catch (...) {
            sqlite3_close_v2(db_);
            db_ = nullptr;
            throw;
        }
    }
    ~SqliteSession() override
    {
        stmts_.clear(); // no statement may outlive the connection, or the file stays open
        if (db_) sqlite3_close_v2(db_);
        db_ = nullptr;
        lock_.reset(); // only once the file is closed
    }

    static void configure(sqlite3* db)
    {
        // "..." is always a name, never a text: the program writes texts in '...'.
        sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
        // One thread: a short wait only helps against another process.
        sqlite3_busy_timeout(db, 2000);
    }

    QString dataSource() const override { return path_; }

    qint64 execute(const QString& sql, const QVariantList& params) override
    {
        const QString text = TranslateJetSql(sql);
        Stmt st(db_, text, &stmts_);
        st.check();
        if (!st.get()) return 0;
        bindAll(db_, st.get(), params);
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) throw sqliteError(db_, rc);
        return sqlite3_changes64(db_);
    }

    backend::ResultSet query(const QString& sql, const QVariantList& params, bool withKeys) override
    {
        const QueryPlan plan = queryPlan(sql, withKeys);
        for (int k = 0; k < plan.tries.size(); ++k) {
            Stmt st(db_, plan.tries.at(k), &stmts_);
            if (!st.ok() && k + 1 < plan.tries.size()) continue;
            st.check();
            if (!st.get()) return {};
            const bool keyed = plan.plain && withKeys && k == 0;
            return run(st, params, keyed);
        }
        return {};
    }

    QVariant insertRow(const QString& table, const QStringList& columns, const QVariantList& values) override
    {
        const QString sql = writeText('I', table, columns, [&] {
            QString sql = QStringLiteral("INSERT INTO ") + quoteIdent(table);
            if (columns.isEmpty()) {
                sql += QStringLiteral(" DEFAULT VALUES");
            } else {
                QStringList names, marks;
                for (const QString& c : columns) {
                    names << quoteIdent(c);
                    marks << QStringLiteral("?");
                }
                sql += QStringLiteral(" (") + names.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") +
                       marks.join(QLatin1Char(',')) + QLatin1Char(')');
            }
            return sql;
        });
        runRaw(sql, values);
        return QVariant(qint64(sqlite3_last_insert_rowid(db_)));
    }

    bool updateRow(const QString& table, const QVariant& key, const QStringList& columns,
                   const QVariantList& values) override
    {
        const QString sql = writeText('U', table, columns, [&] {
            QStringList sets;
            for (const QString& c : columns)
                sets << quoteIdent(c) + QStringLiteral("=?");
            return QStringLiteral("UPDATE ") + quoteIdent(table) + QStringLiteral(" SET ") +
                   sets.join(QLatin1Char(',')) + QStringLiteral(" WHERE rowid=?");
        });
        QVariantList all = values;
        all << key;
        runRaw(sql, all);
        return sqlite3_changes64(db_) > 0;
    }

    bool deleteRow(const QString& table, const QVariant& key) override
    {
        const QString sql = writeText('D', table, {}, [&] {
            return QStringLiteral("DELETE FROM ") + quoteIdent(table) + QStringLiteral(" WHERE rowid=?");
        });
        runRaw(sql, {key});
        return sqlite3_changes64(db_) > 0;
    }

    QVariantList fetchRow(const QString& table, const QVariant& key, const QStringList& columns) override
    {
        const QString sql = writeText('S', table, columns, [&] {
            QStringList names;
            for (const QString& c : columns)
                names << quoteIdent(c);
            return QStringLiteral("SELECT ") + names.join(QLatin1Char(',')) + QStringLiteral(" FROM ") +
                   quoteIdent(table) + QStringLiteral(" WHERE rowid=?");
        });
        Stmt st(db_, sql, &stmts_);
        st.check();
        backend::ResultSet r = run(st, {key}, false);
        if (r.rows.isEmpty()) return QVariantList();
        backend::Row& row = r.rows.first();
        for (int i = 0; row.raw; ++i) {
            const quint64 bit = quint64(1) << i;
            if (!(row.raw & bit)) continue;
            row.values[i] = finishText(row.values.at(i), r.columns.at(i).type);
            row.raw &= ~bit;
        }
        return row.values;
    }

    void begin(int level) override
    {
        runRaw(level <= 1 ? QStringLiteral("BEGIN") : QStringLiteral("SAVEPOINT ado_%1").arg(level), {});
    }
    void commit(int level) override
    {
        runRaw(level <= 1 ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ado_%1").arg(level), {});
    }
    void rollback(int level) override
    {
        if (level <= 1) {
            runRaw(QStringLiteral("ROLLBACK"), {});
        } else {
            runRaw(QStringLiteral("ROLLBACK TO ado_%1").arg(level), {});
            runRaw(QStringLiteral("RELEASE ado_%1").arg(level), {});
        }
    }

  private:
    void runRaw(const QString& sql, const QVariantList& params)
    {
        Stmt st(db_, sql, &stmts_);
        st.check();
        bindAll(db_, st.get(), params);
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) throw sqliteError(db_, rc);
    }

    // The statements a query tries, in order, by its text: the translation is the
    // same each time.
    struct QueryPlan {
        QStringList tries;
        bool plain = false;
    };
    const QueryPlan& queryPlan(const QString& sql, bool withKeys)
    {
        QHash<QString, QueryPlan>& plans = plans_[withKeys ? 1 : 0];
        const auto it = plans.constFind(sql);
        if (it != plans.cend()) return *it;
        const sql::Translated t = sql::translate(sql);
        // Rows come in insertion order unless the statement orders them; the key
        // column is asked for only where one table is read.
        QueryPlan plan;
        plan.plain = t.isSelect && !t.hasGroup && !t.hasUnion && !t.hasDistinct && !t.hasJoin;
        if (plan.plain && withKeys) plan.tries << sql::withKeyColumn(t, !t.hasOrder);
        if (plan.plain && !t.hasOrder) plan.tries << sql::withRowidOrder(t);
        plan.tries << t.text;
        if (plans.size() >= kMostTexts) plans.clear();
        return *plans.insert(sql, plan);
    }

    // The text of a row write-back for that table and those columns, built once.
    struct WriteKey {
        char kind;
        QString table;
        QStringList columns;
        bool operator==(const WriteKey& o) const
        {
            return kind == o.kind && table == o.table && columns == o.columns;
        }
        friend size_t qHash(const WriteKey& k, size_t seed = 0)
        {
            return qHashMulti(seed, k.kind, k.table, k.columns);
        }
    };
    template <typename Build>
    QString writeText(char kind, const QString& table, const QStringList& columns, Build build)
    {
        WriteKey key{kind, table, columns};
        const auto it = writeTexts_.constFind(key);
        if (it != writeTexts_.cend()) return *it;
        if (writeTexts_.size() >= kMostTexts) writeTexts_.clear();
        return *writeTexts_.insert(std::move(key), build());
    }

    backend::ResultSet run(Stmt& stmt, const QVariantList& params, bool keyed)
    {
        sqlite3_stmt* st = stmt.get();
        bindAll(db_, st, params);
        backend::ResultSet r;
        // The first step comes before the column list: a statement prepared before a
        // schema change (another connection, or one kept from earlier) is prepared
        // again by that step and only then tells its true columns.
        int rc = sqlite3_step(st);
        StmtMeta& meta = stmt.meta();
        const int reprepares = sqlite3_stmt_status(st, SQLITE_STMTSTATUS_REPREPARE, 0);
        if (meta.reprepares != reprepares || meta.keyed != keyed) readColumns(st, keyed, meta);
        meta.reprepares = reprepares;
        const int n = sqlite3_column_count(st);
        const int first = keyed ? 1 : 0;
        r.columns = meta.columns;
        r.names = meta.names;
        r.finish = finishText;
        if (!meta.untyped.isEmpty() && rc == SQLITE_ROW) {
            // An expression has no declared type: its first value tells.
            for (int c : std::as_const(meta.untyped))
                sql::columnTypeOfValue(sqlite3_column_type(st, c + first), r.columns[c]);
        }
        for (; rc == SQLITE_ROW; rc = sqlite3_step(st)) {
            backend::Row row;
            if (keyed) row.key = QVariant(qint64(sqlite3_column_int64(st, 0)));
            row.values.reserve(n - first);
            for (int i = first; i < n; ++i)
                readCell(st, i, r.columns.at(i - first).type, row, i - first);
            r.rows << row;
        }
        if (rc != SQLITE_DONE) throw sqliteError(db_, rc);
        if (keyed) r.table = meta.table;
        if (!r.table.isEmpty()) {
            for (const backend::Row& row : std::as_const(r.rows))
                if (IsNull(row.key)) r.table.clear();
        }
        return r;
    }

    static void readColumns(sqlite3_stmt* st, bool keyed, StmtMeta& meta)
    {
        meta = StmtMeta();
        meta.keyed = keyed;
        const int n = sqlite3_column_count(st);
        const int first = keyed ? 1 : 0;
        QSet<QString> tables;
        bool allBase = true;
        for (int i = first; i < n; ++i) {
            backend::ColumnInfo c;
            c.name = fromUtf8(sqlite3_column_name(st, i));
            c.baseTable = fromUtf8(sqlite3_column_table_name(st, i));
            c.baseColumn = fromUtf8(sqlite3_column_origin_name(st, i));
            const char* declared = sqlite3_column_decltype(st, i);
            sql::columnType(fromUtf8(declared), c);
            if (declared == nullptr) meta.untyped << i - first;
            if (c.baseTable.isEmpty())
                allBase = false;
            else
                tables.insert(c.baseTable);
            meta.columns << c;
        }
        if (keyed && allBase && tables.size() == 1) meta.table = *tables.begin();
        meta.names = backend::makeColumnNames(meta.columns);
    }

    static constexpr int kMostTexts = 256;
    QString path_;
    sqlite3* db_ = nullptr;
    StmtCache stmts_;
    QHash<QString, QueryPlan> plans_[2];
    QHash<WriteKey, QString> writeTexts_;
    std::unique_ptr<SharedArchiveLock> lock_;
};

} // namespace

std::unique_ptr<backend::Session> backend::openSqlite(const OpenParams& params)
{
    return std::make_unique<SqliteSession>(params);
}

bool IsDatabaseFile(const QString& path)
{
    QFile f(path);
    if (!f.exists()) return false;
    if (f.size() == 0) return true; // SQLite's own form of a database nothing was written to yet
    if (!f.open(QIODevice::ReadOnly)) return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

bool IsForeignFile(const QString& path)
{
    const QFileInfo fi(path);
    return fi.exists() && fi.isFile() && !IsDatabaseFile(path);
}

void CreateDatabase(const QString& path)
{
    if (QFileInfo::exists(path)) throw Error(E_FAIL, QStringLiteral("Il file '%1' esiste già.").arg(path));
    sqlite3* db = nullptr;
    const QByteArray u = QFile::encodeName(path);
    int rc = sqlite3_open_v2(u.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        // Writes the file's header, so the new file is a database at once.
        rc = sqlite3_exec(db, "PRAGMA application_id=1347175250", nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        Error e = sqliteError(db, rc, QLatin1Char('\'') + path + QLatin1Char('\''));
        sqlite3_close_v2(db);
        QFile::remove(path);
        throw e;
    }
    sqlite3_close_v2(db);
}

WriteLock::WriteLock(const QString& path)
{
    if (!IsDatabaseFile(path))
        throw Error(E_FAIL, QStringLiteral("Formato di database non riconosciuto '%1'.").arg(path));
    sqlite3* db = nullptr;
    const QByteArray u = QFile::encodeName(path);
    int rc = sqlite3_open_v2(u.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, 2000);
        rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        Error e = sqliteError(db, rc, QLatin1Char('\'') + path + QLatin1Char('\''));
        sqlite3_close_v2(db);
        throw e;
    }
    db_ = db;
}

WriteLock::~WriteLock()
{
    auto* db = static_cast<sqlite3*>(db_);
    // Nothing was written: ending the transaction only gives the lock back.
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
}

QString IntegrityCheck(const QString& path)
{
    if (!IsDatabaseFile(path)) return QStringLiteral("il file non è un archivio SQLite");
    sqlite3* db = nullptr;
    const QByteArray u = QFile::encodeName(path);
    int rc = sqlite3_open_v2(u.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QString answer;
    if (rc == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(st);
            if (rc == SQLITE_ROW)
                answer = fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        }
        sqlite3_finalize(st);
    }
    if (answer.isEmpty()) answer = fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    sqlite3_close_v2(db);
    return answer;
}

void CompactDatabase(const QString& source, const QString& target)
{
    if (!IsDatabaseFile(source))
        throw Error(E_FAIL, QStringLiteral("Formato di database non riconosciuto '%1'.").arg(source));
    if (QFileInfo::exists(target))
        throw Error(E_FAIL, QStringLiteral("Il file '%1' esiste già.").arg(target));
    sqlite3* db = nullptr;
    const QByteArray u = QFile::encodeName(source);
    int rc = sqlite3_open_v2(u.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, 2000);
        sqlite3_stmt* st = nullptr;
        rc = sqlite3_prepare_v2(db, "VACUUM INTO ?", -1, &st, nullptr);
        if (rc == SQLITE_OK) {
            const QByteArray t = QFile::encodeName(target);
            sqlite3_bind_text(st, 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            rc = sqlite3_step(st);
            if (rc == SQLITE_DONE) rc = SQLITE_OK;
        }
        sqlite3_finalize(st);
    }
    if (rc != SQLITE_OK) {
        Error e = sqliteError(db, rc, QLatin1Char('\'') + source + QLatin1Char('\''));
        sqlite3_close_v2(db);
        QFile::remove(target);
        throw e;
    }
    sqlite3_close_v2(db);
    const QString check = IntegrityCheck(target);
    if (check != QLatin1String("ok")) {
        QFile::remove(target);
        throw Error(E_FAIL, QStringLiteral("La copia compattata dell'archivio non è integra: %1").arg(check));
    }
}

} // namespace ado
