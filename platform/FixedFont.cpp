#include "FixedFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>

namespace Plicora {

bool isFixedPitch(const QFont& font)
{
    // The face's own flag is not always set (a monospace face without its spacing
    // entry); the advances tell.
    if (QFontInfo(font).fixedPitch()) return true;
    const QFontMetricsF m(font);
    return m.horizontalAdvance(QLatin1Char('W')) == m.horizontalAdvance(QLatin1Char('i'));
}

QFont withFixedPitchFallback(QFont f)
{
    // A missing family is matched by the hint: a monospace face, not the default sans.
    f.setStyleHint(QFont::Monospace);
    if (!isFixedPitch(f)) {
        // No face matched the hint: the desktop's fixed font, behind the family named.
        const QFont desktop = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        f.setFamilies({f.family(), QFontInfo(desktop).family()});
    }
    return f;
}

QFont fixedPitchFont(const QString& family, double pointSize)
{
    QFont f(family);
    if (pointSize > 0) f.setPointSizeF(pointSize);
    return withFixedPitchFallback(f);
}

} // namespace Plicora
