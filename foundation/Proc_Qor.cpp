#include "Proc_Qor.h"

#include "platform/Clock.h"
#include "platform/TextCodec.h"
#include "qor/Cl_QOR.h"

#include <QGuiApplication>

#include <cmath>

namespace {
// Last local time read by TimeStamp.
QDateTime g_lastTime;
} // namespace

qint32 Str_CheckSum(const QString& text)
{
    const QString t = text.trimmed();
    // Products are taken whole (a 16-bit product that would overflow does not stop the
    // key); the sum wraps as a 32-bit signed value.
    quint32 sum = 0;
    for (int i = 0; i < t.size(); ++i)
        sum += static_cast<quint32>(static_cast<qint32>(TextCodec::ansiCode(t[i]) - 32) * (i + 1));
    return static_cast<qint32>(sum);
}

QString PadNum(const QVariant& value, int length, const QString& fill)
{
    if (length <= 0)
        return {};
    const QString t = value.toString().trimmed();
    const QString all = Qor().Replicate(length, fill) + t;
    return all.right(length);
}

QString Hex2Str(const QString& text)
{
    QString out;
    for (int i = 0; i < text.size(); i += 2) {
        const QString pair = text.mid(i, 2);
        int value = 0;
        for (QChar c : pair) {
            const int d = QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper());
            if (d < 0)
                break;
            value = value * 16 + d;
        }
        out += TextCodec::fromAnsi(value);
    }
    return out;
}

bool IsEven(qint64 n)
{
    return n % 2 == 0;
}

bool IsHexStr(const QString& text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    if (!IsEven(t.size()))
        t.prepend(QLatin1Char('0'));
    for (QChar c : t)
        if (!QStringLiteral("0123456789ABCDEF").contains(c))
            return false;
    return true;
}

QByteArray Base64Dec(const QString& text, const QString& alphabet)
{
    QString alpha = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
    QString custom = alphabet;
    custom.remove(QLatin1Char(' '));
    if (custom.size() == 64)
        alpha = custom;

    QString t = text;
    if (t.contains(QLatin1Char('\r')) || t.contains(QLatin1Char('\n'))) {
        t.remove(QLatin1Char('\r'));
        t.remove(QLatin1Char('\n'));
    }
    t = t.trimmed();
    t.remove(QLatin1Char(' '));
    if (t.size() % 4 != 0)
        return {};

    int lookup[256];
    std::fill(std::begin(lookup), std::end(lookup), -1);
    bool wide = false;
    for (int i = 0; i < 64; ++i) {
        if (alpha[i].unicode() < 256)
            lookup[alpha[i].unicode()] = i;
        else
            wide = true;
    }
    auto valueOf = [&](QChar c) {
        if (c.unicode() < 256)
            return lookup[c.unicode()];
        return wide ? static_cast<int>(alpha.indexOf(c)) : -1;
    };

    QByteArray out;
    out.reserve(t.size() / 4 * 3);
    for (int g = 0; g < t.size(); g += 4) {
        QString group = t.mid(g, 4);
        int pad = 0;
        if (g + 4 == t.size())
            while (group.endsWith(QLatin1Char('=')) && pad < 2) {
                group.chop(1);
                ++pad;
            }
        quint32 bits = 0;
        for (int k = 0; k < 4; ++k) {
            int v = 0;
            if (k < group.size()) {
                v = valueOf(group[k]);
                if (v < 0)
                    return {};
            }
            bits = (bits << 6) | static_cast<quint32>(v);
        }
        out += static_cast<char>((bits >> 16) & 0xFF);
        if (pad < 2)
            out += static_cast<char>((bits >> 8) & 0xFF);
        if (pad < 1)
            out += static_cast<char>(bits & 0xFF);
    }
    return out;
}

bool IsCtrlDown(int which)
{
    Q_UNUSED(which);
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

QString TimeStamp(const QString& fill)
{
    g_lastTime = appClock().now();
    const QDate d = g_lastTime.date();
    const QTime t = g_lastTime.time();
    const QString time = PadNum(t.hour(), 2, fill) + QLatin1Char(':') + PadNum(t.minute(), 2, fill) +
                         QLatin1Char(':') + PadNum(t.second(), 2, fill) + QLatin1Char(',') +
                         PadNum(t.msec(), 3, fill);
    return PadNum(d.day(), 2, fill) + QLatin1Char('/') + PadNum(d.month(), 2, fill) + QLatin1Char('/') +
           QString::number(d.year()) + QLatin1Char(' ') + time;
}

double Ora2Sec(const QString& time)
{
    const Cl_QOR& q = Qor();
    QString t = time.trimmed();
    QString fraction;
    if (t.size() > 8) {
        fraction = q.GetField(t, 2, QStringLiteral(","), false);
        t = q.GetField(t, 1, QStringLiteral(","), false);
    }
    t = q.TrChars(t, QStringLiteral(".,"), QStringLiteral("::"));
    double seconds = q.ToDouble(q.GetField(t, 1, QStringLiteral(":"))) * 3600 +
                     q.ToDouble(q.GetField(t, 2, QStringLiteral(":"))) * 60 +
                     q.ToDouble(q.GetField(t, 3, QStringLiteral(":")));
    if (!fraction.isEmpty()) {
        QString digits;
        for (QChar c : fraction)
            if (c.isDigit())
                digits += c;
        if (!digits.isEmpty())
            seconds += q.ToDouble(QStringLiteral("0.") + digits);
    }
    return seconds;
}

void AttesaSec(double seconds)
{
    Clock& c = appClock();
    const qint64 start = c.monotonicMs();
    const qint64 wanted = static_cast<qint64>(std::llround(seconds * 1000.0));
    for (;;) {
        const qint64 passed = c.monotonicMs() - start;
        if (passed >= wanted)
            return;
        c.sleepMs(wanted - passed);
    }
}

void Attesa(double seconds)
{
    AttesaSec(seconds);
}
