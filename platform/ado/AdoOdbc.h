#pragma once
#include <QString>

// The ERP's SQL Server behind the ADO-like layer: its OLE DB connection texts are
// turned into ODBC texts for the FreeTDS driver and opened through Qt's ODBC driver.
// With PLICORA_ERP_SQLITE_DIR set, each catalog is an SQLite file <dir>/<catalog>.db
// read through the SQLite ODBC driver (a stand-in server for tests and demos).
namespace ado
{

struct OdbcTarget {
    QString text;    // the ODBC connection text
    QString driver;  // "FreeTDS" or "SQLite3"
    QString server;  // as the user named it (for messages)
    QString catalog; // Initial Catalog
    QString user;
    QString password;
    bool sqliteDialect = false; // statements need the TOP -> LIMIT step
};

// True for the providers the SQLite engine does not take: "SQLOLEDB", "SQLNCLI"... with
// or without their version suffix.
bool IsOdbcProvider(const QString& provider);

// From the kept OLE DB text to the ODBC text. Throws ado::Error (E_FAIL) with an Italian
// description for a value that cannot be passed to the driver or a server form it cannot
// reach (named pipes).
OdbcTarget OdbcConnectionText(const QString& oledbText);

} // namespace ado
