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

QFont fixedPitchFont(const QString& family, double pointSize)
{
    QFont f(family);
    // A missing family is matched by the hint: a monospace face, not the default sans.
    f.setStyleHint(QFont::Monospace);
    if (pointSize > 0) f.setPointSizeF(pointSize);
    if (!isFixedPitch(f)) {
        // No face matched the hint: the desktop's fixed font, behind the family named.
        const QFont desktop = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        f.setFamilies({family, QFontInfo(desktop).family()});
    }
    return f;
}

} // namespace Plicora
