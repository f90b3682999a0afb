#pragma once
#include <QString>

// Shared start-up settings, set once by InitVBProc before any window but the splash.

// The program folder, with its closing "/".
extern QString G_DirApp;
// The Windows folder (where bare INI names live), with its closing "/".
extern QString G_DirWin;
// Full path of the viewer program for text files; never empty after InitVBProc.
extern QString G_PgmVisualizzatore;
// The system default printer, "name,driver,port": [windows] device of "win.ini" in the
// Windows folder when that file exists, otherwise CUPS' default printer; empty when none.
extern QString G_DefPrinter;

// Sets the globals above and the print control values (PRT_Globals.h), chooses the
// viewer ("QOR_PLCR.INI" [Stampe su Disco] PgmVisualizzatore), builds "QOR_PRT.INI"
// when it is missing and selects the default printer into G_PrtSet.
void InitVBProc();

// The viewer used when nothing better is found: the full path of xdg-open.
QString DefaultViewer();
