#include "ListFont.h"

#include <QFontDatabase>
#include <QFontInfo>

QFont listFont(double pointSize)
{
    QFont f(QStringLiteral("Lucida Console"));
    f.setStyleHint(QFont::Monospace);
    if (!QFontInfo(f).fixedPitch()) f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (pointSize > 0) f.setPointSizeF(pointSize);
    return f;
}
