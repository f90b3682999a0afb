// Module M_VT: helpers the controls share.
#include "M_VT.h"

#include "qor/Cl_QOR.h"

namespace Ordalis
{

qint32 ColoreContrasto(qint32 backColor)
{
    // Hexadecimal as a signed Long is written: upper case, no leading zeros,
    // system colours with all eight digits.
    const QString hex = QString::number(quint32(backColor), 16).toUpper();
    return Qor().ColorBrightness(hex, 1000) < 500 ? 0xFFFFFF : 0;
}

} // namespace Ordalis
