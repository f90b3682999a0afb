#pragma once
#include <QString>

// Sets the start-up settings (foundation/StartSettings.h) and the print control values
// (PRT_Globals.h), chooses the viewer ("QOR_PLCR.INI" [Stampe su Disco] PgmVisualizzatore),
// builds "QOR_PRT.INI" when it is missing and selects the default printer into G_PrtSet.
// Also installs the development views (InstallDevelopViews).
void InitVBProc();

// Hands the maintenance window its development view of a recordset: the list window's loader.
void InstallDevelopViews();

// The viewer used when nothing better is found: the full path of xdg-open.
QString DefaultViewer();
