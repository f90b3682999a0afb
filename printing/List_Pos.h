#pragma once
#include <QString>

class QWidget;

// Layout memory of a list window, per list name, in [PosHelp] of "QOR_PLCR.INI": key
// name + "_Size" = "state|top|left|height|width|font size|" (twips, 15 per pixel: frame
// position and client size, so opening and closing moves and grows nothing; numbers with
// the decimal comma). The window is any one with controls named "Lst_Lista" and "Lbl_Head".

// Restores state, position, size (never below the minimums) and list font size. A minimum
// below 1000 twips is first set to the window's current size.
void List_LoadPos(QWidget* form, const QString& listName, qint32& minHeight, qint32& minWidth);
// Stores them; a minimized or maximized window only replaces the state.
void List_SavePos(QWidget* form, const QString& listName);

// A number in the settings' own form: decimal comma, no needless decimals ("8,25", "1500").
QString List_NumText(double value);
