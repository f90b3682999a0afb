#pragma once
#include "Ado.h"

#include <QHash>

#include <functional>
#include <memory>

// What a database engine gives the ADO-like front end. The archive uses SQLite;
// another engine (the ERP's server through ODBC) plugs in here by provider name.
namespace ado::backend
{

struct ColumnInfo {
    QString name;       // as the statement names it
    QString baseTable;  // table the column comes from; empty for an expression
    QString baseColumn; // column in that table
    int type = adVarWChar;
    qint32 definedSize = 255;
    int precision = 255;
    int numericScale = 255;
};

struct Row {
    QVariant key; // the row's identity in its table (SQLite: rowid); Null when none
    QVariantList values;
    // Cells (of the first 64) that still hold the engine's raw value: ResultSet::finish
    // turns one into the value when it is first read.
    quint64 raw = 0;
    // The values are the ones given to the engine; the stored ones are read back from
    // the table before the row is first read or the connection runs anything else.
    bool stale = false;
    bool deleted = false;
};

// The columns of a result by name: the first column whose name equals a given one
// without regard to case.
struct ColumnNames {
    QHash<QString, int> exact;   // each name as written, to its first column
    QHash<QByteArray, int> utf8; // the same in UTF-8
    QList<int> first;            // for each column, the first one with the same name in any case
};
std::shared_ptr<const ColumnNames> makeColumnNames(const QList<ColumnInfo>& columns);

struct ResultSet {
    QList<ColumnInfo> columns;
    QList<Row> rows;
    QString table;                            // the one table rows can be written back to; empty when none
    std::shared_ptr<const ColumnNames> names; // made on first use when the engine gives none
    // Turns a raw cell (Row::raw) of a column of that ADO type into its value.
    QVariant (*finish)(const QVariant& raw, int type) = nullptr;
};

class Session
{
  public:
    virtual ~Session() = default;
    virtual QString dataSource() const = 0;
    // True when the data source is a file of this machine (counted for compaction).
    virtual bool isFile() const { return true; }
    // Statement without rows; returns the rows changed.
    virtual qint64 execute(const QString& sql, const QVariantList& params) = 0;
    // Reads every row; with keys, each row carries its identity when the statement
    // reads one table.
    virtual ResultSet query(const QString& sql, const QVariantList& params, bool withKeys) = 0;
    // Writes one row; columns and values pair up. insertRow returns the new key.
    virtual QVariant insertRow(const QString& table, const QStringList& columns,
                               const QVariantList& values) = 0;
    // Returns false when no row has that key any more.
    virtual bool updateRow(const QString& table, const QVariant& key, const QStringList& columns,
                           const QVariantList& values) = 0;
    virtual bool deleteRow(const QString& table, const QVariant& key) = 0;
    // Current values of the row, in the order of columns; empty when the row is gone.
    virtual QVariantList fetchRow(const QString& table, const QVariant& key, const QStringList& columns) = 0;
    // Level 1 is the transaction itself, deeper levels nest inside it.
    virtual void begin(int level) = 0;
    virtual void commit(int level) = 0;
    virtual void rollback(int level) = 0;
};

struct OpenParams {
    QString connectionString;
    QString provider;
    QString dataSource;
    QString user;
    QString password;
};

using Factory = std::function<std::unique_ptr<Session>(const OpenParams&)>;
// accepts(provider text) chooses the engine; later registrations are asked first.
void registerProvider(std::function<bool(const QString& provider)> accepts, Factory factory);

// The SQLite engine (registered by default for Jet and SQLite providers and for an
// empty provider).
std::unique_ptr<Session> openSqlite(const OpenParams& params);
// The ODBC engine for the ERP's SQL Server (registered by default for every other provider).
std::unique_ptr<Session> openOdbc(const OpenParams& params);

} // namespace ado::backend
