#pragma once
#include "XML_Stru.h"
#include "platform/ado/Ado.h"

#include <QString>

// Single rows of the archive: one FILES row per invoice file, and the path of an archived
// folder from its key. Each call opens and closes its own recordset on the caller's open
// connection; none traps errors (an ado::Error goes to the caller).

// The key of a folder, and the only place one is computed: Str_CheckSum over the folder
// as PathSlash writes it (blanks trimmed, one closing "/"), so a folder written with or
// without its closing "/" has one key. It is cod_firma of DIRBASE, DIRSUB and FILES, the
// suffix of the settings keys "LastZIP_", "AttPass_", "Rif_" and "Trv_", the remembered
// "DirID" and the key the main window carries in its tool tip. A file's PathFolder gives
// the key of the folder it was listed from. "" gives 0.
qint32 MDB_FolderKey(const QString& folder);

// How FILES finds a file by its name: exactly, letter case included, so "A.xml" and
// "a.xml" are two files although the archive's text columns compare without case. A
// condition with one parameter, the name; an index serves it.
QString MDB_NameIs();
// The rowid of the row a folder's file is read back from and stamped in: the first one of
// that exact name under the folder key. A sub-query with two parameters, key then name.
QString MDB_FolderFileRow();
// Sets dat_send of that row of the file (Null clears it); false when the folder has no
// row of that name.
bool MDB_SetDatSend(ado::Connection& Conn, double FolderKey, const QString& Name, const QVariant& When);

// The "*.xml" files of a folder (any letter case): regular files or links to anything
// but a folder, no hidden names, sorted by name without regard to case, as Qt's folder
// listing gives them. Names that are not valid UTF-8 are left out of it; with Undecodable
// given, those of regular files ending in ".xml" go there, read as Windows-1252 and sorted.
QStringList MDB_XmlFiles(const QString& folder, QStringList* Undecodable = nullptr);
// Writes to the debug log the names of the folder that MDB_XmlFiles left out.
void MDB_LogUndecodable(const QString& folder, const QStringList& Undecodable);

// Adds the file's FILES row the first time the file (same name, length and folder) is
// seen. True when the row was there before; Sent then tells whether its dat_send is later
// than 01/01/2000 00:00. An existing row is never changed.
bool MDB_FilesSave(ado::Connection& Conn, const XML_Stru& Invoice, bool& Sent);

// Brings FILES up to date with the "*.xml" files (any letter case) of the base folder
// of that key, in one transaction on the caller's connection: a row for each file not
// recorded yet (same name, length and folder key), the four name columns of a row that
// has none filled once from the invoice. Answers the rows added; 0 when the key has no
// DIRBASE row or the folder is gone. F_MSG shows the progress while it runs, and the
// maintenance window's Lbl_XMLFile the file in hand when that window is loaded.
// Names that are not valid UTF-8 are skipped and written to the debug log.
// A database error or an unreadable file (XML_ReadError) goes to the caller at that
// file; the rows stored before it stay.
qint32 MDB_UpdFiles(ado::Connection& Conn, double FolderKey);

// The file's send date in the general date form, "" when Null or no row. With a folder
// key > 0 the row is found by name and folder, otherwise by name and length.
QString MDB_FilesGetDatSend(ado::Connection& Conn, const XML_Stru& Invoice, double FolderKey);

// MDB_FilesSave followed by MDB_FilesGetDatSend with that folder key, in one look at the
// table when the key is the file's own folder's: the same row written (or not), the same
// answer and Sent, and in SendDate what MDB_FilesGetDatSend would give after the save.
bool MDB_FilesSaveGetDatSend(ado::Connection& Conn, const XML_Stru& Invoice, double FolderKey, bool& Sent,
                             QString& SendDate);

// The path of a base folder (DIRBASE) or, with SubFolder, of a linked sub-folder (DIRSUB)
// by its own key, trimmed; "" when no row has that key.
QString MDB_LoadFolders(ado::Connection& Conn, double FolderKey, bool SubFolder);
