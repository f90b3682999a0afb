#pragma once
#include "platform/Shared.h"
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>

namespace Plicora PLICORA_SHARED {

// Quick readers for the two date texts the program writes and reads on every row:
// "d/M/yyyy[ H:mm[:ss]]" (day and month of one or two digits, minutes and seconds of two)
// and "yyyy-MM-dd HH:mm:ss". A general parser tries several forms through the local time
// zone, each try asking the C library for the zone again; these build the value from the
// digits with one local-time conversion.
//
// Each answers only where its answer is certainly the general parser's: a text of
// another form, a day or time that does not exist, a year outside 1900..2199 or a moment
// within a day of a clock change (the skipped hour of spring, the repeated hour of
// autumn) gives false or an empty text, and the caller goes on with its general parser.
namespace DateText {

// The local date and time of a text of either form, blanks around it not allowed.
bool ToLocal(QStringView text, QDateTime& out);

// "yyyyMMdd" of a "d/M/yyyy" text (no time), as the day of its local midnight; a null
// text when the quick reader does not decide.
QString DayKey(QStringView text);

// "yyyy-MM-dd HH:mm:ss" of a text of either form, as the archive keeps the local time
// ToLocal reads from it; a null text when ToLocal does not decide.
QString IsoText(QStringView text);

// The two texts of a date and time the program writes, for years 1..9999 (four digits,
// zeros in front); milliseconds are left out:
// "yyyy-MM-dd HH:mm:ss", as the archive keeps a date;
QByteArray IsoBytes(QDate date, QTime time);
// "dd/MM/yyyy", and " HH:mm:ss" after it unless the time is exactly midnight, as dates
// are shown.
QString GeneralText(QDate date, QTime time);

} // namespace DateText

} // namespace Plicora

namespace DateText = Plicora::DateText;
