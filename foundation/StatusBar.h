#pragma once
class QLabel;
class QStatusBar;
class QWidget;

// The status bar of the program's large windows: the message panel (which also shows
// the focused field's prompt), the F6 and F8 key hints, the company, the logo and a
// state panel, in that order.
struct StatusPanels {
    QStatusBar* St_Bar = nullptr;
    QLabel* Pan_Msg = nullptr;
    QLabel* Pan_F6 = nullptr;
    QLabel* Pan_F8 = nullptr;
    QLabel* Pan_Azi = nullptr;
    QLabel* Pan_Img = nullptr;
    QLabel* Pan_Status = nullptr;
};
StatusPanels MakeStatusPanels(QWidget* parent);

// Keeps a time ("hh:mm") and a date ("dd/MM/yyyy") panel on the program's clock, once a
// second from now on.
void StartClock(QLabel* time, QLabel* date);
