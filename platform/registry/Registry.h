#pragma once
#include "platform/Shared.h"
#include <QString>
#include <QStringList>

#include <optional>

namespace Plicora PLICORA_SHARED {

// The registry as this program sees it: one text file per hive under
// Folders::registryDir(), "HKEY_CURRENT_USER.reg" and "HKEY_LOCAL_MACHINE.reg",
// in the layout of a registry export:
//
//   [Software\Microsoft\Windows\CurrentVersion]
//   "ProgramFilesDir"="/opt"
//   "Build"=dword:0000000a
//
// Key paths and value names are case-insensitive and keep the case they were
// written with. Strings escape "\" and the double quote with "\". A user or an
// installer adds keys by editing the file. A hive file that does not exist is
// created on first use with the Linux folders that the Windows folder values stand
// for, so every folder lookup answers something sound.
namespace Registry
{

// Root keys, with the handle values the program passes around.
constexpr qint32 HKEY_CURRENT_USER = qint32(0x80000001u);
constexpr qint32 HKEY_LOCAL_MACHINE = qint32(0x80000002u);

// Value types kept by the store.
constexpr int REG_SZ = 1;
constexpr int REG_DWORD = 4;

struct Value {
    int type = REG_SZ;
    QString text;      // REG_SZ
    quint32 dword = 0; // REG_DWORD
    // Size of the data as the registry reports it: the ANSI bytes and the closing zero for a string.
    int dataSize() const;
};

// Path of a root's hive file; empty for a root the store does not hold.
QString hiveFile(qint32 root);
// True when the root\subKey key exists ("" is the root itself).
bool keyExists(qint32 root, const QString& subKey);
// The value, or nothing when the key or the value is missing ("" names the default value).
std::optional<Value> value(qint32 root, const QString& subKey, const QString& name);
// Writes a value, creating the key and its parents when missing, under a lock shared with
// other processes. false, with nothing written, when the hive file cannot be read or
// written or a key, name or text holds CR or LF.
bool setValue(qint32 root, const QString& subKey, const QString& name, const Value& v);
// Value names of a key, in stored order.
QStringList valueNames(qint32 root, const QString& subKey);

// Opened keys, as RegOpenKeyEx hands them out. The access the program asks for includes
// writing, so a hive file that cannot be written cannot be opened either.
// Answers 0 when the key does not exist or cannot be opened for writing.
qint32 openKey(qint32 root, const QString& subKey);
// False for a handle that is not open.
bool closeKey(qint32 handle);
// True while the handle is open.
bool isOpen(qint32 handle);
std::optional<Value> queryValue(qint32 handle, const QString& name);
bool setValue(qint32 handle, const QString& name, const Value& v);

} // namespace Registry

} // namespace Plicora

namespace Registry = Plicora::Registry;
