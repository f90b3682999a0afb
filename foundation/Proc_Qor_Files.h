#pragma once
#include <QString>

// File and folder operations of the general module: log rotation, the viewer, the
// name-dot-extension form of a file name and the per-user VirtualStore folder.

// Moves a file larger than limitKB x 1024 bytes to folder/name_BAK.ext (one backup
// generation: an older backup is replaced). True when nothing had to be done or the
// move succeeded; false when the backup could not be made (the file is then kept).
bool File_BAK(const QString& path, double limitKB);

// Starts the viewer on the file (the file as one argument, without waiting), or shows
// what is missing ("Shell_ViewFile", stop icon) and beeps. True when started.
bool Shell_ViewFile(const QString& viewer, const QString& file);

// The trimmed name reduced to name "." extension, without its folder ("a" gives "a.").
QString NomeFile_Norm(const QString& name);

// $LOCALAPPDATA/VirtualStore/ when that folder exists, otherwise "".
QString VirtualStore_Dir();
// 0: its "Windows/" folder, 1: its "Program Files (x86)/" folder, 14: the folder
// itself, other codes: "". closingSep true appends "/" when missing (so "" gives "/"),
// false removes a closing "/".
QString VirtualStore_Path(int code, bool closingSep);
// Asks, then opens the VirtualStore folder in the file manager; only beeps without one.
void OpenVirtualStore();
