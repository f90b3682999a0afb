#pragma once
#include "platform/Launcher.h"

#include <QList>
#include <functional>

// Launcher for tests: records every start; runAndWait answers from `onRun`
// (which may run the program for real), otherwise "started, exit code 0".
class RecordingLauncher final : public Launcher {
public:
    struct Start {
        QString kind; // "detached", "wait", "url", "folder"
        QString program;
        QStringList args;
        QString workDir;
    };

    bool startDetached(const QString& program, const QStringList& args, const QString& workDir) override;
    Result runAndWait(const QString& program, const QStringList& args, const QString& workDir) override;
    bool openUrl(const QString& address) override;
    bool openFolder(const QString& folder) override;

    // Runs the program for real (used where the real child matters, like 7z).
    static Result runForReal(const QString& program, const QStringList& args, const QString& workDir);

    QList<Start> starts;
    std::function<Result(const QString&, const QStringList&, const QString&)> onRun;
    bool startsSucceed = true;
};
