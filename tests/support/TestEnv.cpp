#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

TestEnv::TestEnv()
{
    for (const char* sub : {"app", "win", "reg", "home", "config", "data", "cache", "work"})
        QDir().mkpath(root() + QLatin1String(sub));
    setEnv("PLICORA_APPDIR", appDir());
    setEnv("PLICORA_WINDIR", winDir());
    setEnv("PLICORA_REGDIR", regDir());
    setEnv("HOME", homeDir());
    setEnv("XDG_CONFIG_HOME", root() + QStringLiteral("config"));
    setEnv("XDG_DATA_HOME", root() + QStringLiteral("data"));
    setEnv("XDG_CACHE_HOME", root() + QStringLiteral("cache"));
    setEnv("XDG_CONFIG_DIRS", root() + QStringLiteral("config"));
    setEnv("XDG_DATA_DIRS", root() + QStringLiteral("data"));

    auto d = std::make_unique<ScriptedDialogs>();
    dialogs_ = d.get();
    setDialogService(std::move(d));
    auto l = std::make_unique<RecordingLauncher>();
    launcher_ = l.get();
    setLauncher(std::move(l));
    auto c = std::make_unique<FakeClock>();
    clock_ = c.get();
    setClock(std::move(c));
}

TestEnv::~TestEnv()
{
    setDialogService(nullptr);
    setLauncher(nullptr);
    setClock(nullptr);
    for (auto it = saved_.cbegin(); it != saved_.cend(); ++it)
        qputenv(it.key().constData(), it.value());
    for (const QByteArray& n : unset_)
        qunsetenv(n.constData());
}

void TestEnv::setEnv(const char* name, const QString& value)
{
    if (qEnvironmentVariableIsSet(name))
        saved_.insert(name, qgetenv(name));
    else
        unset_ << name;
    qputenv(name, value.toUtf8());
}

QString TestEnv::writeFile(const QString& path, const QByteArray& content) const
{
    const QString full = QFileInfo(path).isAbsolute() ? path : work() + path;
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
    return full;
}

QByteArray TestEnv::readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString TestEnv::unreadableFile(const QString& path, const QByteArray& content)
{
    if (geteuid() != 0) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
        f.close();
        f.setPermissions(QFileDevice::WriteOwner);
        return path;
    }
    const QStringList buses = QDir(QStringLiteral("/sys/bus")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& bus : buses) {
        const QString target = QStringLiteral("/sys/bus/") + bus + QStringLiteral("/drivers_probe");
        QFile t(target);
        if (QFileInfo(target).isFile() && !t.open(QIODevice::ReadOnly))
            return QFile::link(target, path) ? path : QString();
    }
    return {};
}

bool TestEnv::writeRawName(const QString& folder, const QByteArray& name, const QByteArray& content)
{
    const QByteArray path = QFile::encodeName(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')) + name;
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0) return false;
    const bool whole = ::write(fd, content.constData(), size_t(content.size())) == ssize_t(content.size());
    return ::close(fd) == 0 && whole;
}
