#pragma once
#include "FakeClock.h"
#include "RecordingLauncher.h"
#include "ScriptedDialogs.h"

#include <QByteArray>
#include <QMap>
#include <QTemporaryDir>

// Gives one test its own program, Windows and registry folders, HOME and XDG
// variables, and installs the scripted dialogs, the recording launcher and a
// fake clock. Everything is put back when it goes out of scope.
class TestEnv {
public:
    TestEnv();
    ~TestEnv();
    TestEnv(const TestEnv&) = delete;
    TestEnv& operator=(const TestEnv&) = delete;

    QString root() const { return dir_.path() + QLatin1Char('/'); }
    QString appDir() const { return root() + QStringLiteral("app/"); }
    QString winDir() const { return root() + QStringLiteral("win/"); }
    QString regDir() const { return root() + QStringLiteral("reg/"); }
    QString homeDir() const { return root() + QStringLiteral("home/"); }
    QString work() const { return root() + QStringLiteral("work/"); } // scratch folder

    // Writes a file (folders created); returns its path.
    QString writeFile(const QString& path, const QByteArray& content) const;
    static QByteArray readFile(const QString& path);
    // A file at path that exists and cannot be opened for reading. Without root the
    // file holds content and loses its read right; as root (who reads anything) it is
    // a link to a write-only kernel attribute. Empty when neither can be made.
    static QString unreadableFile(const QString& path, const QByteArray& content);
    // A file in folder whose name is given as bytes, which need not be valid UTF-8 (as a
    // Windows-1252 system writes "è"); true when written whole.
    static bool writeRawName(const QString& folder, const QByteArray& name, const QByteArray& content);

    ScriptedDialogs& dialogs() { return *dialogs_; }
    RecordingLauncher& launcher() { return *launcher_; }
    FakeClock& clock() { return *clock_; }

private:
    void setEnv(const char* name, const QString& value);

    QTemporaryDir dir_;
    QMap<QByteArray, QByteArray> saved_;
    QList<QByteArray> unset_;
    ScriptedDialogs* dialogs_ = nullptr;
    RecordingLauncher* launcher_ = nullptr;
    FakeClock* clock_ = nullptr;
};
