#include "M_MV.h"

#include "StartSettings.h"
#include "platform/Folders.h"
#include "qor/Cl_QOR.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>

#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

bool B_MVMode = false;
QString Pth_Prot;
bool B_Develop = false;
QString Pth_DebugLog;
QString Pth_DirTmpMDB;
int G_Risp = 0;
int G_IniRet = 0;

// The start-up settings InitVBProc sets.
QString G_DirApp;
QString G_DirWin;
QString G_PgmVisualizzatore;
QString G_DefPrinter;

namespace
{

QString& exeNameOverride()
{
    static QString s;
    return s;
}

std::unique_ptr<QLockFile>& instanceLock()
{
    static std::unique_ptr<QLockFile> l;
    return l;
}

QSet<qint64>& children()
{
    static QSet<qint64> s;
    return s;
}

ProcessEndHandler& endHandler()
{
    static ProcessEndHandler h;
    return h;
}

} // namespace

QString App_Title()
{
    return QStringLiteral("Plicora");
}

QString App_ExeName()
{
    if (!exeNameOverride().isEmpty()) return exeNameOverride();
    // The name it was started under: a link "XMLGESTALO" to the program selects the
    // integrated mode, so the link is not resolved (applicationFilePath would).
    const QStringList args = QCoreApplication::arguments();
    const QString path = args.isEmpty() ? QCoreApplication::applicationFilePath() : args.first();
    return QFileInfo(path).completeBaseName();
}

void App_SetExeName(const QString& name)
{
    exeNameOverride() = name;
}

bool IsMVBuildName(const QString& exeName)
{
    static const QStringList names = {QStringLiteral("XMLGESTALO"), QStringLiteral("XMLGESTALOatt"),
                                      QStringLiteral("P_XML-MV"), QStringLiteral("P_XML-MV_Att")};
    return names.contains(exeName, Qt::CaseSensitive);
}

QString App_LockPath()
{
    // One lock per executable name: the integrated copy started beside the program
    // ("XMLGESTALO") runs together with it, a second copy of either is refused.
    return Folders::appDir() + App_ExeName() + QStringLiteral(".lock");
}

bool App_PrevInstance()
{
    auto& lock = instanceLock();
    if (lock && lock->isLocked()) return false; // this copy holds it already
    lock = std::make_unique<QLockFile>(App_LockPath());
    // A running copy holds the lock for hours: never stale by age, only when
    // the process that wrote it is gone (a crashed copy).
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) return false;
    lock.reset();
    return true;
}

void App_ReleaseInstance()
{
    auto& lock = instanceLock();
    if (lock) lock->unlock();
    lock.reset();
}

void TrackChildProcess(qint64 pid)
{
    if (pid > 0) children().insert(pid);
}

void UntrackChildProcess(qint64 pid)
{
    children().remove(pid);
}

void setProcessEndHandler(ProcessEndHandler handler)
{
    endHandler() = std::move(handler);
}

void EndProcess(int code)
{
    if (endHandler()) {
        endHandler()(code);
        return;
    }
    // Children started for this run (7-Zip) go with it; programs opened for the
    // user (viewers, browser) were started detached and are not tracked.
    for (qint64 pid : std::as_const(children()))
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    children().clear();
    App_ReleaseInstance();
    std::fflush(nullptr);
    ::_exit(code);
}

void TaskKill()
{
    Qor().WriteLog(QStringLiteral("   -----   TaskKill"), 0, Pth_DebugLog, true);
    EndProcess(0);
}

QString Str_CrLf2Par(const QString& text)
{
    if (text.size() < 2) return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            out += QChar(0x00A7);
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString Str_Par2CrLf(const QString& text)
{
    QString out = text;
    out.replace(QChar(0x00A7), QStringLiteral("\r\n"));
    return out;
}
