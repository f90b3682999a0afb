// Operations of the utility class that ask the desktop or the machine.
#include "Cl_QOR.h"

#include "platform/Launcher.h"

#include <QSysInfo>

bool Cl_QOR::OpenURL(const QString& address) const
{
    if (address.trimmed().isEmpty())
        return false;
    return launcher().openUrl(address.trimmed());
}

QString Cl_QOR::ExtProgram(const QString&) const
{
    return {};
}

QString Cl_QOR::ComputerName() const
{
    return QSysInfo::machineHostName().toUpper();
}

QString Cl_QOR::RegRead(const QString&, const QString& def) const
{
    return def;
}
