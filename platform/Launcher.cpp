#include "Launcher.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace Plicora {

namespace {

// A child never gets the program's own input: one that reads it (xdg-open falling back to
// a text browser) would wait for ever, and the program with it.
void prepare(QProcess& p, const QString& program, const QStringList& args, const QString& workDir)
{
    p.setProgram(program);
    p.setArguments(args);
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    p.setStandardInputFile(QProcess::nullDevice());
}

bool startDetachedProcess(const QString& program, const QStringList& args, const QString& workDir = {})
{
    QProcess p;
    prepare(p, program, args, workDir);
    return p.startDetached();
}

class ProcessLauncher final : public Launcher {
public:
    bool startDetached(const QString& program, const QStringList& args, const QString& workDir) override
    {
        return startDetachedProcess(program, args, workDir);
    }

    Result runAndWait(const QString& program, const QStringList& args, const QString& workDir) override
    {
        return runProcessAndWait(program, args, workDir);
    }

    Result runAndWaitLive(const QString& program, const QStringList& args, const QString& workDir) override
    {
        return runProcessAndWaitLive(program, args, workDir);
    }

    bool openUrl(const QString& address) override
    {
        return startDetachedProcess(QStringLiteral("xdg-open"), {address});
    }

    bool openFolder(const QString& folder) override
    {
        return startDetachedProcess(QStringLiteral("xdg-open"), {QUrl::fromLocalFile(folder).toString()});
    }
};

std::unique_ptr<Launcher>& slot()
{
    static std::unique_ptr<Launcher> s = std::make_unique<ProcessLauncher>();
    return s;
}

Launcher::Result run(const QString& program, const QStringList& args, const QString& workDir, bool live)
{
    QProcess p;
    prepare(p, program, args, workDir);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start();
    Launcher::Result r;
    if (!p.waitForStarted(-1)) {
        r.error = p.errorString();
        return r;
    }
    r.started = true;
    if (live) {
        QEventLoop loop;
        QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
        if (p.state() != QProcess::NotRunning) loop.exec(QEventLoop::ExcludeUserInputEvents);
        // The loop was broken off (the program ends) before the child did.
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished(-1);
            return r;
        }
    } else {
        p.waitForFinished(-1);
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.output = p.readAll().right(4096);
    return r;
}

} // namespace

Launcher::Result runProcessAndWait(const QString& program, const QStringList& args, const QString& workDir)
{
    return run(program, args, workDir, false);
}

Launcher::Result runProcessAndWaitLive(const QString& program, const QStringList& args,
                                       const QString& workDir)
{
    return run(program, args, workDir, true);
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
