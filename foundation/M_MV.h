#pragma once
#include <QString>

#include <functional>

// Entry and exit of the program: the start-up sequence, the single-copy rule,
// the end of the process and the one-line form of multi-line settings values.

// Process-wide values set once by Main.
extern bool B_MVMode;         // started under one of the ERP-integrated build names
extern QString Pth_Prot;      // G_DirApp & "PROT/"
extern bool B_Develop;        // "_Develop.txt" present in the program folder at start-up
extern QString Pth_DebugLog;  // G_DirApp & "XMLGESTALO_Debug.LOG"
extern QString Pth_DirTmpMDB; // G_DirApp & "DIR_TMP.MDB"
// The answer of the last message box; read only by the procedure that asked.
extern int G_Risp;
// The result of the last settings-file read or write; read only by the procedure that called it.
extern int G_IniRet;

// The program's own title (captions of its plain messages).
QString App_Title();
// The executable's name without folder and extension.
QString App_ExeName();
// Tests run under their own executable; they name the one they play.
void App_SetExeName(const QString& name);
// True only for the ERP-integrated build names, written exactly so.
bool IsMVBuildName(const QString& exeName);

// Single copy per executable name: a lock file "<name>.lock" in the program folder, held while the program runs.
// A copy that crashed leaves a lock whose process is gone, which counts as free.
// Returns true when another running copy holds the lock.
bool App_PrevInstance();
void App_ReleaseInstance();
QString App_LockPath();

// Child processes this process started and still waits for; ending the process ends them.
void TrackChildProcess(qint64 pid);
void UntrackChildProcess(qint64 pid);

// Ends the process at once (no close handler runs): ends the tracked child
// processes, releases the single-copy lock, exits with code.
void EndProcess(int code = 0);
// Logs "   -----   TaskKill" and ends the process.
void TaskKill();
// Tests see the end instead of suffering it.
using ProcessEndHandler = std::function<void(int code)>;
void setProcessEndHandler(ProcessEndHandler handler); // empty puts back the real end

// A settings value holds one line: line breaks are stored as "§".
QString Str_CrLf2Par(const QString& text);
QString Str_Par2CrLf(const QString& text);
