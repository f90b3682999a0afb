#pragma once
#include "OrdalisGlobal.h"

#include <QColor>
#include <QPalette>

// VB colours are &H00BBGGRR (red in the low byte); a set high bit names a system
// colour by its index (&H80000005 is the window colour), which maps to a palette role.
namespace Ordalis::VbColor
{

constexpr qint32 SystemWindow = qint32(0x80000005);     // window background
constexpr qint32 SystemWindowText = qint32(0x80000008); // window text
constexpr qint32 SystemButtonText = qint32(0x80000012); // button text

// 0..&HFFFFFF, or a known system colour.
ORDALIS_EXPORT bool isValid(qint64 vb);
ORDALIS_EXPORT bool isSystem(qint64 vb);
// The colour to paint; a system colour is taken from the given palette (the application's by default).
ORDALIS_EXPORT QColor toQColor(qint32 vb, const QPalette& palette);
ORDALIS_EXPORT QColor toQColor(qint32 vb);
// The VB number of a plain colour (the alpha channel is dropped).
ORDALIS_EXPORT qint32 fromQColor(const QColor& c);
// The palette role a system colour stands for; QPalette::NoRole for other numbers.
ORDALIS_EXPORT QPalette::ColorRole systemRole(qint32 vb);

} // namespace Ordalis::VbColor
