#pragma once
#include "foundation/PosFinestre.h"

#include <QLatin1String>
#include <QRect>
#include <QString>
#include <QWidget>

// A design rectangle, given in twips, in pixels.
inline QRect Twips(int left, int top, int width, int height)
{
    return QRect(left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel);
}

// A fixed-size window: its name, caption, dialog frame and design size in twips.
inline void FixedWindow(QWidget* w, const char* name, const QString& title, int widthTwips, int heightTwips)
{
    w->setObjectName(QLatin1String(name));
    w->setWindowTitle(title);
    w->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    w->setFixedSize(widthTwips / TwipsPerPixel, heightTwips / TwipsPerPixel);
}

// A control of a fixed-size window: made with its caption under its parent, named like
// the window's member and put at its design place.
template <class W>
W* Placed(QWidget* parent, const char* name, const QString& text, const QRect& place)
{
    auto* w = new W(text, parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(place);
    return w;
}

// The fixed places were laid out for narrower type than this platform may have: each
// caption of the window's labels, buttons, options and check boxes that is wider than its
// control is set in narrower type, then in smaller type, until it shows whole.
void FitCaptions(QWidget* window);
