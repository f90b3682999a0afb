#pragma once
#include <QString>

// Shared start-up settings, set once by InitVBProc (startup/InitVBProc.h) before any window
// but the splash; every layer reads them.

// The program folder, with its closing "/".
extern QString G_DirApp;
// The Windows folder (where bare INI names live), with its closing "/".
extern QString G_DirWin;
// Full path of the viewer program for text files; never empty after InitVBProc.
extern QString G_PgmVisualizzatore;
// The system default printer, "name,driver,port": [windows] device of "win.ini" in the
// Windows folder when that file exists, otherwise CUPS' default printer; empty when none.
extern QString G_DefPrinter;
