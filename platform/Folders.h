#pragma once
#include "platform/Shared.h"
#include <QString>

namespace Plicora PLICORA_SHARED {

// Where the Windows folders live on this machine. Every caller that needs the
// Windows folder, the program folder or the registry folder asks here, so a bare
// INI name, G_DirWin and Reg_SysFolder(0) always name the same place.
namespace Folders {

// The "Windows folder": $PLICORA_WINDIR, else $XDG_CONFIG_HOME/Plicora/. Ends with "/".
QString windowsDir();
// The program folder: $PLICORA_APPDIR, else $XDG_DATA_HOME/Plicora/. Ends with "/".
QString appDir();
// The registry hives: $PLICORA_REGDIR, else $XDG_CONFIG_HOME/Plicora/registry/. Ends with "/".
QString registryDir();
// The temporary folder. Ends with "/".
QString tempDir();

// A settings file name without a folder lands in the Windows folder.
QString resolveIniPath(const QString& fileName);

} // namespace Folders

} // namespace Plicora

namespace Folders = Plicora::Folders;
