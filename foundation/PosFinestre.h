#pragma once
#include <QRect>
#include <QString>

#include <functional>

class QWidget;

// Window positions and the desktop work area.
//
// A window keeps its place in "QOR_PLCR.INI", section "PosFinestre" (when the caller
// passes an empty section), key <objectName><keySuffix>"_Size", value
// "state|top|left|height|width|" in twips (15 per pixel): state 0 normal, 1 minimised,
// 2 maximised; top/left are the frame's position, height/width the client size, so a
// window opened and closed any number of times neither moves nor grows.
//
// A window is resizable unless it is a fixed-size dialog: minimum size equal to its
// maximum size, the Qt::MSWindowsFixedSizeDialogHint flag, or a dynamic property
// "BorderStyle" other than 2 (sizable) and 5 (sizable tool window).

// Call from the window's load (before it is shown). A minHeight/minWidth below 1000 is
// replaced by the laid-out height/width (twips) when that is 1001 or more.
// The window, frame included, is kept on the work area: a resizable window larger than the
// area is made smaller, one that fits is moved whole onto it; the frame is only known once
// the window is shown, so that is checked once more then, and the minimums (which must live
// as long as the window) are lowered to the size it got.
void PosFinestre_Load(QWidget* form, qint32& minHeight, qint32& minWidth, const QString& section = QString(),
                      const QString& keySuffix = QString());
// Same, for callers that need no minimum sizes back.
void PosFinestre_Load(QWidget* form, const QString& section = QString(),
                      const QString& keySuffix = QString());
// Call from the window's unload (while its geometry is still the one shown).
void PosFinestre_Save(QWidget* form, const QString& section = QString(),
                      const QString& keySuffix = QString());

// The desktop without the task bar, in pixels.
struct T_WorkArea {
    int Top = 0;
    int Left = 0;
    int Height = 0;
    int Width = 0;
};
void GetWorkArea(T_WorkArea& area);
int WorkAreaWidth();
int WorkAreaHeight();
int WorkAreaWidthTw();  // pixels x 15
int WorkAreaHeightTw(); // pixels x 15

// Whether the desktop's frame around the window is known (it is once the window has been
// framed, and always where this platform draws none); until then a shown window's position
// is that of its client area. AfterFramed runs the action at once when it is known, else
// once the desktop has framed the window.
bool FrameKnown(const QWidget* form);
void AfterFramed(QWidget* form, std::function<void()> action);

// Tests (and odd desktops) give the work area in pixels; an empty function restores
// the primary screen's available geometry.
void setWorkAreaProvider(std::function<QRect()> provider);

constexpr int TwipsPerPixel = 15;
