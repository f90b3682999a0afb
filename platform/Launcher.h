#pragma once
#include "platform/Shared.h"
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace Plicora PLICORA_SHARED {

// Starting other programs. Always an argument list, never a shell command line,
// so a path with blanks or quotes reaches the program as one argument.
class Launcher {
public:
    struct Result {
        bool started = false;
        int exitCode = -1;
        QByteArray output; // the child's merged output, its last few KB
        QString error;     // the system's reason when it did not start
    };

    virtual ~Launcher() = default;
    // Starts a program for the user (viewer, explorer, browser) and does not wait.
    virtual bool startDetached(const QString& program, const QStringList& args,
                               const QString& workDir = {}) = 0;
    // Runs a program to its end (no time limit).
    virtual Result runAndWait(const QString& program, const QStringList& args, const QString& workDir = {}) = 0;
    // The same for a program that may stay up as long as the user works in it (the mail
    // client's hand-over): the windows are repainted meanwhile, user input waits.
    virtual Result runAndWaitLive(const QString& program, const QStringList& args,
                                  const QString& workDir = {})
    {
        return runAndWait(program, args, workDir);
    }
    // Opens a web address or a folder with the desktop's own program.
    virtual bool openUrl(const QString& address) = 0;
    virtual bool openFolder(const QString& folder) = 0;
};

// The launcher the program uses; tests install a recording one.
Launcher& launcher();
void setLauncher(std::unique_ptr<Launcher> l);

// Runs a program to its end with QProcess (what the real launcher's runAndWait does).
// Every child reads its input from the null device.
Launcher::Result runProcessAndWait(const QString& program, const QStringList& args, const QString& workDir = {});
// The same with the events running while it waits (runAndWaitLive), user input left for later.
// A child that is still running when the wait is broken off (the program ends) is killed and
// reported with exit code -1.
Launcher::Result runProcessAndWaitLive(const QString& program, const QStringList& args,
                                       const QString& workDir = {});

// Full path of a program on PATH, empty when not found.
QString findProgram(const QString& name);

} // namespace Plicora

using Plicora::Launcher;
using Plicora::launcher;
using Plicora::setLauncher;
using Plicora::runProcessAndWait;
using Plicora::runProcessAndWaitLive;
using Plicora::findProgram;
