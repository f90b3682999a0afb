#pragma once
#include "AdoBackend.h"

// Jet SQL to SQLite, and ADO field types from declared column types (inside the layer).
namespace ado::sql
{

struct Translated {
    QString text;  // the whole statement for SQLite
    QString head;  // up to and including the SELECT keyword
    QString body;  // after it, up to the LIMIT clause
    QString limit; // " LIMIT n" or the statement's own LIMIT clause; may be empty
    bool isSelect = false;
    bool hasOrder = false;
    bool hasGroup = false;
    bool hasUnion = false;
    bool hasDistinct = false;
    bool hasJoin = false;
};

Translated translate(const QString& jetSql);
// The statement reading rowid first (as __ado_key), optionally ordered by it.
QString withKeyColumn(const Translated& t, bool orderByRowid);
QString withRowidOrder(const Translated& t);

void columnType(const QString& declared, backend::ColumnInfo& c);
// For an expression: from the storage class of its first value.
void columnTypeOfValue(int sqliteType, backend::ColumnInfo& c);

} // namespace ado::sql
