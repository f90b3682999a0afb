// Mail sending.
#include "F_ZipXML.h"

bool F_ZipXML::Do_InviaMail(const QString&, const QString&, const QString&)
{
    return false;
}
