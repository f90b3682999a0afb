#pragma once
#include "platform/ado/Ado.h"

#include <QString>

#include <functional>

// The archive database "DIR_TMP.MDB": its connection text, creation, tests for
// tables and columns, column adding, the periodic compaction and the tables'
// creation and upgrade.

// "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;User ID=;Data Source='<path>'";
// a quote in the path is doubled. The empty text for an empty path.
QString MDB_OpenConn(const QString& Path);
// 0 created, 1 existed before, 2 creation failed, 3 the name does not end in ".MDB".
int MDB_Create(const QString& Path);
bool MDB_FileExists(const QString& Path);
bool MDB_ExistTABLE(ado::Connection& Conn, const QString& Table);
// Type 0 only asks whether the column exists; otherwise Type, Size (> 0) and
// Precision (> -1) must match the column too.
bool MDB_ExistField(ado::Connection& Conn, const QString& Table, const QString& Field, long Type, int Size,
                    int Precision);
// Adds each "|"-listed field with its "|"-listed type when missing; the first
// failure ends the list silently.
void MDB_PipeADDFld(const QString& Table, const QString& Fields, const QString& Types, ado::Connection& Conn);
// Lets the listed text columns hold ''. The archive always does; only the
// existence of each column is checked.
void MDB_SetZeroLen(const QString& Table, const QString& Fields, ado::Connection& Conn,
                    const QString& Separator);
void MDB_SetZeloLen(const QString& Table, const QString& Field, ado::Connection& Conn);

// True when Path holds a file that is not an archive of this program (an old
// Access file). The first call that finds one tells the user; the file is never
// changed by any operation of this module.
bool MDB_ForeignFile(const QString& Path);

// Periodic compaction, at most once every Days days (clamped to 10..60), with the
// date of the last one in "QOR_CMDB.INI" [DataShrink]. The database is compacted
// into "Compactz.mdb" beside it, checked, kept as "<db>.bak", then put in place in
// one rename; on any failure the database stays as it was and no date is written.
// A symbolic link is compacted at its target and stays a link; the copy and the
// backup get the database's permission bits.
void MDBCompact(const QString& DbPath, const QString& ExeName, const QString& AppFolder, int Days);
// Tests put a failing rename in place of the swap.
using MDB_RenameFn = std::function<bool(const QString& from, const QString& to, QString* error)>;
void MDB_SetRenameForTests(MDB_RenameFn fn);

// Creates the missing tables DIRBASE, DIRSUB and FILES and adds the columns of
// later versions to existing ones; logs each change to "UpdDB.LOG".
void Upd_Tabs_Compact(ado::Connection& Conn);

// The support line that ends the archive's warnings.
QString MDB_SupportNotice();
