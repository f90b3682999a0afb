#include "Launcher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace Plicora {

namespace {

class ProcessLauncher final : public Launcher {
public:
    bool startDetached(const QString& program, const QStringList& args, const QString& workDir) override
    {
        return QProcess::startDetached(program, args, workDir);
    }

    Result runAndWait(const QString& program, const QStringList& args, const QString& workDir) override
    {
        return runProcessAndWait(program, args, workDir);
    }

    bool openUrl(const QString& address) override
    {
        return QProcess::startDetached(QStringLiteral("xdg-open"), {address});
    }

    bool openFolder(const QString& folder) override
    {
        return QProcess::startDetached(QStringLiteral("xdg-open"), {QUrl::fromLocalFile(folder).toString()});
    }
};

std::unique_ptr<Launcher>& slot()
{
    static std::unique_ptr<Launcher> s = std::make_unique<ProcessLauncher>();
    return s;
}

} // namespace

Launcher::Result runProcessAndWait(const QString& program, const QStringList& args, const QString& workDir)
{
    QProcess p;
    p.setProgram(program);
    p.setArguments(args);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start();
    Launcher::Result r;
    if (!p.waitForStarted(-1))
        return r;
    r.started = true;
    p.waitForFinished(-1);
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.output = p.readAll().right(4096);
    return r;
}

Launcher& launcher()
{
    return *slot();
}

void setLauncher(std::unique_ptr<Launcher> l)
{
    slot() = l ? std::move(l) : std::make_unique<ProcessLauncher>();
}

QString findProgram(const QString& name)
{
    return QStandardPaths::findExecutable(name);
}

} // namespace Plicora
