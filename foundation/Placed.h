#pragma once
#include <QLatin1String>
#include <QRect>
#include <QString>

class QWidget;

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
