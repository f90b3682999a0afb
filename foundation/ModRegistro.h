#pragma once
#include "platform/registry/Registry.h"

#include <QString>

// Registry access for the rest of the program, over the registry store
// (platform/registry). Keys are handles as the registry functions give them.
using Registry::HKEY_CURRENT_USER;
using Registry::HKEY_LOCAL_MACHINE;

// Opens root\subKey (reads and writes); `opened` receives the handle, 0 on failure.
bool Reg_OpenKey(qint32& root, const QString& subKey, qint32& opened);
// Writes a REG_SZ value into an opened key; false, with nothing written, when key is 0.
bool Reg_SetString(qint32 key, const QString& valueName, const QString& text);
bool Reg_CloseKey(qint32 key);
// Reads any value as text: a REG_DWORD as "&h" and eight hexadecimal digits. False (and an
// empty text) when the key or value is missing or the value does not fit 1024 bytes.
bool Reg_QueryValue(qint32 root, const QString& subKey, const QString& valueName, QString& text);
// The value as text, or an empty text.
QString Reg_GetValue(qint32 root, const QString& subKey, const QString& valueName);

// Folder of a kind, without its closing separator unless closingSep is true ("/" alone
// for a kind that finds nothing and closingSep true):
//  0 Windows folder, 1 program files, 2 temporary folder, 3 system folder, 4 Documents,
//  5 Desktop, 6 fonts, 7 common files, 8 Store Root, 9 downloads (Documents when unset),
//  10 ODBC file DSN folder, 11 32-bit program files (unset here), others: none.
// A "%NAME%" in the stored value is replaced by the environment variable NAME.
QString Reg_SysFolder(int code, bool closingSep);
// Program folders for the program's own bitness: 1 native program files, 7 native common
// files, 11 32-bit program files; others: none.
QString SysFolder(int code, bool closingSep);
