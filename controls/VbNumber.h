#pragma once
#include "OrdalisGlobal.h"

#include <QString>

// Numbers as an Italian system reads and writes them: "," is the decimal mark and
// "." groups thousands, except that a lone "." is taken as the decimal mark
// (what a user types on the keypad).
namespace Ordalis::VbNumber
{

// The text as a number; ok is false (and 0 returned) when it is not one.
ORDALIS_EXPORT double toNumber(const QString& text, bool* ok = nullptr);
ORDALIS_EXPORT bool isNumeric(const QString& text);
// VB's Val: the number at the start of the text (blanks skipped, "." as decimal mark), 0 when none.
ORDALIS_EXPORT double val(const QString& text);
// VB's CInt: to the nearest integer, halves to even, held in 16 bits.
ORDALIS_EXPORT int cInt(double v);
// The number with that many decimals (rounded half away from zero), decimal comma, no grouping.
ORDALIS_EXPORT QString formatFixed(double v, int decimals);

} // namespace Ordalis::VbNumber
