#include "ListFont.h"

#include "platform/FixedFont.h"

QFont listFont(double pointSize)
{
    return fixedPitchFont(QStringLiteral("Lucida Console"), pointSize);
}
