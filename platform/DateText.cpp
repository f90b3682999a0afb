#include "DateText.h"

#include <cstdlib>
#include <ctime>

namespace Plicora {

namespace DateText {
namespace
{

struct Fields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Reads minDigits..maxDigits ASCII digits at i.
bool number(QStringView t, qsizetype& i, int minDigits, int maxDigits, int& value)
{
    int n = 0;
    value = 0;
    while (i < t.size() && n < maxDigits) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9') break;
        value = value * 10 + (c - u'0');
        ++i;
        ++n;
    }
    return n >= minDigits;
}

bool expect(QStringView t, qsizetype& i, char16_t c)
{
    if (i >= t.size() || t[i].unicode() != c) return false;
    ++i;
    return true;
}

// "d/M/yyyy[ H:mm[:ss]]"; hasTime tells whether a time followed the date.
bool dayFirst(QStringView t, Fields& f, bool& hasTime)
{
    qsizetype i = 0;
    hasTime = false;
    if (!number(t, i, 1, 2, f.day) || !expect(t, i, u'/') || !number(t, i, 1, 2, f.month) ||
        !expect(t, i, u'/') || !number(t, i, 4, 4, f.year))
        return false;
    if (i == t.size()) return true;
    hasTime = true;
    if (!expect(t, i, u' ') || !number(t, i, 1, 2, f.hour) || !expect(t, i, u':') ||
        !number(t, i, 2, 2, f.minute))
        return false;
    if (i < t.size() && (!expect(t, i, u':') || !number(t, i, 2, 2, f.second))) return false;
    return i == t.size();
}

// "yyyy-MM-dd HH:mm:ss"
bool yearFirst(QStringView t, Fields& f)
{
    qsizetype i = 0;
    return t.size() == 19 && number(t, i, 4, 4, f.year) && expect(t, i, u'-') && number(t, i, 2, 2, f.month) &&
           expect(t, i, u'-') && number(t, i, 2, 2, f.day) && expect(t, i, u' ') &&
           number(t, i, 2, 2, f.hour) && expect(t, i, u':') && number(t, i, 2, 2, f.minute) &&
           expect(t, i, u':') && number(t, i, 2, 2, f.second) && i == t.size();
}

bool zoneAt(qint64 secs, long& offset, int& dst)
{
    const std::time_t t = static_cast<std::time_t>(secs);
    std::tm tm{};
    // localtime_r works on the zone the last tzset() loaded (every Qt conversion reloads
    // it), without looking for a changed zone file again.
    if (!localtime_r(&t, &tm)) return false;
    offset = tm.tm_gmtoff;
    dst = tm.tm_isdst;
    return true;
}

// True when the local time names exactly one moment, with no clock change within a day
// of it either way. Clock changes are always several days apart, so the same offset a
// day before and a day after means none in between.
bool farFromClockChange(const QDate& d, const QTime& t)
{
    constexpr qint64 unixEpochJulianDay = 2440588;
    constexpr qint64 day = 86400;
    const qint64 local = (d.toJulianDay() - unixEpochJulianDay) * day + t.msecsSinceStartOfDay() / 1000;
    long before = 0, after = 0, at = 0;
    int dstBefore = 0, dstAfter = 0, dstAt = 0;
    return zoneAt(local - day, before, dstBefore) && zoneAt(local + day, after, dstAfter) && before == after &&
           dstBefore == dstAfter && zoneAt(local - before, at, dstAt) && at == before && dstAt == dstBefore;
}

bool usable(const Fields& f, QDate& d, QTime& t)
{
    if (f.year < 1900 || f.year > 2199 || !QDate::isValid(f.year, f.month, f.day) ||
        !QTime::isValid(f.hour, f.minute, f.second))
        return false;
    d = QDate(f.year, f.month, f.day);
    t = QTime(f.hour, f.minute, f.second);
    return farFromClockChange(d, t);
}

bool operator==(const Fields& a, const Fields& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second;
}

// The last reading and the zone it was made in. Building a local date-time has the C
// library look at the zone file again; a row's date is often read twice in a row (from
// the archive, then from the text shown for it), and files sent together share one. The
// same parts give the same value while the zone stays: kept until TZ changes, and for
// at most a second (the zone file may be replaced while the program runs).
struct LastReading {
    Fields parts;
    bool usable = false;
    QDateTime value;
    bool kept = false;
    time_t second = 0;
    bool hadTz = false;
    QByteArray tz;

    bool holds(const Fields& f) const
    {
        if (!kept || !(parts == f)) return false;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
        if (now.tv_sec != second) return false;
        const char* zone = std::getenv("TZ");
        return zone ? hadTz && tz == zone : !hadTz;
    }
    void keep(const Fields& f, bool isUsable, const QDateTime& v)
    {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
        const char* zone = std::getenv("TZ");
        parts = f;
        usable = isUsable;
        value = v;
        second = now.tv_sec;
        hadTz = zone != nullptr;
        tz = zone ? QByteArray(zone) : QByteArray();
        kept = true;
    }
};

} // namespace

bool ToLocal(QStringView text, QDateTime& out)
{
    Fields f;
    bool hasTime = false;
    if (!dayFirst(text, f, hasTime) && !yearFirst(text, f)) return false;
    thread_local LastReading last;
    if (!last.holds(f)) {
        QDate d;
        QTime t;
        const bool isUsable = usable(f, d, t);
        last.keep(f, isUsable, isUsable ? QDateTime(d, t) : QDateTime());
    }
    if (!last.usable) return false;
    out = last.value;
    return out.isValid();
}

QString DayKey(QStringView text)
{
    Fields f;
    bool hasTime = false;
    QDate d;
    QTime t;
    if (!dayFirst(text, f, hasTime) || hasTime || !usable(f, d, t)) return {};
    char key[9];
    int v = f.year;
    for (int i = 3; i >= 0; --i, v /= 10)
        key[i] = char('0' + v % 10);
    key[4] = char('0' + f.month / 10);
    key[5] = char('0' + f.month % 10);
    key[6] = char('0' + f.day / 10);
    key[7] = char('0' + f.day % 10);
    key[8] = 0;
    return QString::fromLatin1(key, 8);
}

QString IsoText(QStringView text)
{
    Fields f;
    bool hasTime = false;
    if (!dayFirst(text, f, hasTime) && !yearFirst(text, f)) return {};
    QDate d;
    QTime t;
    if (!usable(f, d, t)) return {};
    return QString::fromLatin1(IsoBytes(d, t));
}

namespace
{

// value in width decimal digits at at, zeros in front.
void digits(char* at, int value, int width)
{
    for (int i = width - 1; i >= 0; --i, value /= 10)
        at[i] = char('0' + value % 10);
}

// a, b and c (of wa, wb and wc digits) at at, sep between them.
void three(char* at, int a, int wa, int b, int wb, int c, int wc, char sep)
{
    digits(at, a, wa);
    at[wa] = sep;
    digits(at + wa + 1, b, wb);
    at[wa + 1 + wb] = sep;
    digits(at + wa + wb + 2, c, wc);
}

} // namespace

QByteArray IsoBytes(QDate date, QTime time)
{
    char text[19];
    three(text, date.year(), 4, date.month(), 2, date.day(), 2, '-');
    text[10] = ' ';
    three(text + 11, time.hour(), 2, time.minute(), 2, time.second(), 2, ':');
    return QByteArray(text, 19);
}

QString GeneralText(QDate date, QTime time)
{
    char text[19];
    three(text, date.day(), 2, date.month(), 2, date.year(), 4, '/');
    if (time == QTime(0, 0)) return QString::fromLatin1(text, 10);
    text[10] = ' ';
    three(text + 11, time.hour(), 2, time.minute(), 2, time.second(), 2, ':');
    return QString::fromLatin1(text, 19);
}

} // namespace DateText

} // namespace Plicora
