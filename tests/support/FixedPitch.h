#pragma once
#include <QFont>
#include <QFontMetricsF>
#include <QString>

// Fixed pitch as a user sees it: five of the widest letter take the room of five of the
// narrowest, so a field of five characters shows "WWWWW".
inline bool showsFixedPitch(const QFont& f)
{
    const QFontMetricsF m(f);
    return m.horizontalAdvance(QStringLiteral("WWWWW")) == m.horizontalAdvance(QStringLiteral("iiiii"));
}
