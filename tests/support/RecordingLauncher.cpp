#include "RecordingLauncher.h"


bool RecordingLauncher::startDetached(const QString& program, const QStringList& args, const QString& workDir)
{
    starts << Start{QStringLiteral("detached"), program, args, workDir};
    return startsSucceed;
}

Launcher::Result RecordingLauncher::runAndWait(const QString& program, const QStringList& args, const QString& workDir)
{
    starts << Start{QStringLiteral("wait"), program, args, workDir};
    if (onRun)
        return onRun(program, args, workDir);
    return Result{true, 0, {}, {}};
}

bool RecordingLauncher::openUrl(const QString& address)
{
    starts << Start{QStringLiteral("url"), address, {}, {}};
    return startsSucceed;
}

bool RecordingLauncher::openFolder(const QString& folder)
{
    starts << Start{QStringLiteral("folder"), folder, {}, {}};
    return startsSucceed;
}

Launcher::Result RecordingLauncher::runForReal(const QString& program, const QStringList& args, const QString& workDir)
{
    return runProcessAndWait(program, args, workDir);
}
