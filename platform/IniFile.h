#pragma once
#include "platform/Shared.h"
#include <QPair>
#include <QString>
#include <QStringList>

namespace Plicora PLICORA_SHARED {

// Settings files with the semantics of the Windows profile functions:
// sections and keys are case-insensitive, the first duplicate wins, blanks around
// a value and one matching pair of quotes are dropped on reading, writing ""
// keeps the key, new sections and keys are appended and every other line
// (comments, unknown lines) is kept. A bare file name lands in the Windows folder.
// Writes are atomic (a crash leaves the old file) and serialised between
// processes by a lock file, so two writers never lose each other's keys.
namespace IniFile
{

// Value of the key, or def when the file, section or key is missing.
QString read(const QString& file, const QString& section, const QString& key, const QString& def = {});
// True when the key is present (even with an empty value).
bool hasKey(const QString& file, const QString& section, const QString& key);
// Integer value as GetPrivateProfileInt reads it: leading digits (with sign), def when absent.
int readInt(const QString& file, const QString& section, const QString& key, int def);
// "key=value" lines of a section in file order (GetPrivateProfileSection).
QStringList readSection(const QString& file, const QString& section);
// Key names of a section, in file order, each once.
QStringList keys(const QString& file, const QString& section);
// Section names in file order.
QStringList sections(const QString& file);

// Every write below answers false and changes nothing when the file exists but cannot be
// read, when it cannot be written (old file kept), or for a section, key or value holding
// CR or LF, a section holding "]" or a key holding "=" (they would write lines of their own).
// Creates or replaces the key.
bool write(const QString& file, const QString& section, const QString& key, const QString& value);
bool removeKey(const QString& file, const QString& section, const QString& key);
bool removeSection(const QString& file, const QString& section);
// Replaces the whole content of a section with the given "key=value" lines (WritePrivateProfileSection).
bool writeSection(const QString& file, const QString& section, const QStringList& lines);

} // namespace IniFile

} // namespace Plicora

namespace IniFile = Plicora::IniFile;
