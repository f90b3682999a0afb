#pragma once
#include "OrdalisGlobal.h"

#include <QString>

// The standard event handlers a host form needs for one control, as Visual Basic
// source text for the form's code module. Pure functions: the pages gather the
// values from their fields and show the result; nothing here touches a widget,
// a file or a setting. Every line ends with CR LF.
namespace Ordalis
{

// Text control. kind is the lookup kind (0 "Ternio", 1 "Gestalo", 2 "MDB"; any
// other value writes the key lines without a lookup block). maxChars is the text
// of "Max Chars" as typed; its leading number is the zero-fill length.
ORDALIS_EXPORT QString GenTxtCode(const QString& name, const QString& table, const QString& field,
                                  const QString& maxChars, int kind, bool isKey, bool zeros,
                                  bool ignoreToolbar, bool ignoreStatusBar);

// Check control; caption is the cleared state's caption of the three-state cycle.
ORDALIS_EXPORT QString GenChkCode(const QString& name, const QString& caption, bool triState,
                                  bool ignoreToolbar, bool ignoreStatusBar);

// Date control.
ORDALIS_EXPORT QString GenDatCode(const QString& name, bool ignoreToolbar, bool ignoreStatusBar);

// True when the name is only the page's bare prefix ("TXT_", "CHK_", "DAT_"), in any
// case: such a name has no part to build the handler names from. Any other name,
// even one without the prefix, is accepted.
ORDALIS_EXPORT bool NomeErrato(const QString& name, const QString& barePrefix);

// The leading number of a field ("," or "." as the decimal mark), 0 when there is none.
ORDALIS_EXPORT double fieldNumber(const QString& text);
// A number as plain decimal text, with the decimal comma for a fraction.
ORDALIS_EXPORT QString plainNumber(double v);

} // namespace Ordalis
