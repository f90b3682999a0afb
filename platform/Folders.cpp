#include "Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Plicora {

namespace
{

QString withSlash(QString path)
{
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    return path;
}

QString xdgBase(const char* var, const char* fallbackUnderHome)
{
    QString base = qEnvironmentVariable(var);
    if (base.isEmpty()) base = QDir::homePath() + QLatin1Char('/') + QLatin1String(fallbackUnderHome);
    return withSlash(base);
}

QString ensured(const QString& path)
{
    QDir().mkpath(path);
    return path;
}

QString fromEnvOr(const char* var, const QString& fallback)
{
    const QString v = qEnvironmentVariable(var);
    return ensured(withSlash(v.isEmpty() ? fallback : v));
}

} // namespace

namespace Folders
{

QString windowsDir()
{
    const QString v = qEnvironmentVariable("PLICORA_WINDIR");
    const QString path =
        withSlash(v.isEmpty() ? xdgBase("XDG_CONFIG_HOME", ".config") + QStringLiteral("Plicora/") : v);
    // The settings hold the mail password's stored form: a folder made here is the owner's only.
    if (!QFileInfo::exists(path) && QDir().mkpath(path))
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

QString appDir()
{
    return fromEnvOr("PLICORA_APPDIR", xdgBase("XDG_DATA_HOME", ".local/share") + QStringLiteral("Plicora/"));
}

QString registryDir()
{
    return fromEnvOr("PLICORA_REGDIR",
                     xdgBase("XDG_CONFIG_HOME", ".config") + QStringLiteral("Plicora/registry/"));
}

QString tempDir()
{
    return withSlash(QDir::tempPath());
}

QString resolveIniPath(const QString& fileName)
{
    if (fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\'))) return fileName;
    return windowsDir() + fileName;
}

} // namespace Folders

} // namespace Plicora
