#include "VbNumber.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace Ordalis::VbNumber
{

double toNumber(const QString& text, bool* ok)
{
    if (ok) *ok = false;
    QString t = text.trimmed();
    if (t.isEmpty()) return 0;
    const int dots = int(t.count(QLatin1Char('.')));
    if (t.contains(QLatin1Char(',')) || dots > 1)
        t.remove(QLatin1Char('.'));
    else if (dots == 1)
        t.replace(QLatin1Char('.'), QLatin1Char(','));
    static const QRegularExpression form(QStringLiteral("^[+-]?(\\d+,?\\d*|,\\d+)([eE][+-]?\\d+)?$"));
    if (!form.match(t).hasMatch()) return 0;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool good = false;
    const double v = QLocale::c().toDouble(t, &good);
    if (!good || !std::isfinite(v)) return 0;
    if (ok) *ok = true;
    return v;
}

bool isNumeric(const QString& text)
{
    bool ok = false;
    toNumber(text, &ok);
    return ok;
}

double val(const QString& text)
{
    QString t = text;
    t.remove(QLatin1Char(' '));
    t.remove(QLatin1Char('\t'));
    static const QRegularExpression lead(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?"));
    const auto m = lead.match(t);
    if (!m.hasMatch()) return 0;
    QString n = m.captured(0);
    n.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool good = false;
    const double v = QLocale::c().toDouble(n, &good);
    return good && std::isfinite(v) ? v : 0;
}

int cInt(double v)
{
    const double r = std::nearbyint(v);
    if (r > 32767) return 32767;
    if (r < -32768) return -32768;
    return int(r);
}

QString formatFixed(double v, int decimals)
{
    if (decimals < 0) decimals = 0;
    if (!std::isfinite(v)) v = 0;
    // Rounding on the decimal digits the user sees (2,675 gives 2,68), not on the
    // binary value just below them.
    const double scale = std::pow(10.0, decimals);
    double scaled = QLocale::c().toDouble(QString::number(v * scale, 'g', 15));
    scaled = std::round(scaled);
    if (scaled == 0) scaled = 0; // no "-0,00"
    QString s = (std::fabs(scaled) < 1e15) ? QString::number(scaled / scale, 'f', decimals)
                                           : QString::number(v, 'f', decimals);
    if (s.startsWith(QLatin1Char('-')) &&
        s.mid(1).remove(QLatin1Char('0')).remove(QLatin1Char('.')).isEmpty())
        s.remove(0, 1);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

} // namespace Ordalis::VbNumber
