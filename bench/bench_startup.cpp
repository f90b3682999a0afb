// Start-up time and memory of the real program road. Prepares, in a temporary folder, an
// installed user (settings, archive compacted today, one base folder) whose folder holds N
// invoices (default 20,000) already recorded in the archive, then starts this program again
// as a child, once untimed and R times timed, each child running what the Plicora executable
// runs (QApplication, Main, the event loop) and reporting:
//   start   from the spawn to main's first line, to Main's return and to the end of the
//           main window's first paint (the window shown), with the memory at that point;
//   list    the same start, then "Vedi nuovi Files" over the folder: the memory before
//           and after the list (VmRSS, and VmHWM for the peak), so the list's own share
//           shows.
// Prints the medians of R runs of each and the goals (start under 0.1 s, memory with the
// list under 60 MB). QT_QPA_PLATFORM is passed on (offscreen when unset): run under Xvfb
// with QT_QPA_PLATFORM=xcb for a figure with a real display.
//
//   bench_startup [--files N] [--runs R] [--dir FOLDER] [--keep]
//   bench_startup --child start|list --root FOLDER     (one child run, by hand: heaptrack...)
// With BENCH_SMAPS set, a child also lists on stderr the 25 mappings holding the most
// resident memory at its end.

#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "archive/M_XML.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/ado/Ado.h"
#include "startup/M_MV_Main.h"

#include "BenchArchive.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{

qint64 nowNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// VmRSS (with its anonymous and file parts) and VmHWM of this process, in kB.
struct Mem {
    long rss = 0, hwm = 0, anon = 0, file = 0;
};

Mem readMem()
{
    Mem m;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            if (std::strncmp(line, "VmRSS:", 6) == 0) m.rss = std::atol(line + 6);
            if (std::strncmp(line, "VmHWM:", 6) == 0) m.hwm = std::atol(line + 6);
            if (std::strncmp(line, "RssAnon:", 8) == 0) m.anon = std::atol(line + 8);
            if (std::strncmp(line, "RssFile:", 8) == 0) m.file = std::atol(line + 8);
        }
        std::fclose(f);
    }
    return m;
}

// A configured user is asked nothing: any question means the preparation is wrong. It is
// told on stderr and answered No, which ends a start that asks whether to go on.
class NoQuestions final : public DialogService
{
  public:
    int asked = 0;
    int msgBox(const QString& text, int, const QString&) override
    {
        ++asked;
        std::fprintf(stderr, "domanda inattesa: %s\n", qPrintable(text));
        return vb::No;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QFont> chooseFont(const QFont&, bool) override { return std::nullopt; }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
    void beep() override {}
};

// Notes the first paint of any part of the main window; the paint cycle that holds it
// ends before the zero timer it starts runs.
class FirstPaint final : public QObject
{
  public:
    std::function<void()> painted;
    bool seen = false;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (!seen && e->type() == QEvent::Paint && o->isWidgetType() && F_ZipXML::isLoaded() &&
            static_cast<QWidget*>(o)->window() == &F_ZipXML::instance()) {
            seen = true;
            QTimer::singleShot(0, qApp, painted);
        }
        return false;
    }
};

void setEnvVar(const char* name, const QString& value)
{
    qputenv(name, value.toUtf8());
}

void setFolders(const QString& root)
{
    setEnvVar("PLICORA_APPDIR", root + QStringLiteral("app/"));
    setEnvVar("PLICORA_WINDIR", root + QStringLiteral("win/"));
    setEnvVar("PLICORA_REGDIR", root + QStringLiteral("reg/"));
    setEnvVar("HOME", root + QStringLiteral("home"));
    setEnvVar("XDG_CONFIG_HOME", root + QStringLiteral("config"));
    setEnvVar("XDG_DATA_HOME", root + QStringLiteral("data"));
    setEnvVar("XDG_CACHE_HOME", root + QStringLiteral("cache"));
    qunsetenv("PLICORA_TEST_CLOSE_MS");
}

// One child run: the executable's own road, measured. Prints "key value" lines.
int child(int argc, char** argv, const std::string& mode)
{
    const qint64 tMain = nowNs();
    const Mem atMain = readMem();
    QApplication app(argc, argv);
    App_SetExeName(QStringLiteral("Plicora"));
    auto questions = std::make_unique<NoQuestions>();
    NoQuestions* asked = questions.get();
    setDialogService(std::move(questions));

    FirstPaint watch;
    qint64 tReturned = 0, tShown = 0;
    Mem shown;
    bool returned = false;
    // Runs once the window was painted and Main has returned (the paint may come first,
    // from Main's own event pass).
    const auto finish = [&] {
        std::printf("main %lld\nreturned %lld\nshown %lld\nrss_main %ld\nrss_shown %ld\nhwm_shown %ld\n"
                    "anon_shown %ld\nfile_shown %ld\n",
                    static_cast<long long>(tMain), static_cast<long long>(tReturned),
                    static_cast<long long>(tShown), atMain.rss, shown.rss, shown.hwm, shown.anon, shown.file);
        F_ZipXML& w = F_ZipXML::instance();
        if (mode == "list") {
            w.Cmd_ListNew_Click();
            // The list shown as the user sees it: one paint of the window with its rows.
            w.repaint();
            QCoreApplication::processEvents();
            const Mem listed = readMem();
            std::printf("rows %d\nrss_list %ld\nhwm_list %ld\nanon_list %ld\nfile_list %ld\n",
                        w.Lst_XMLRows->ListCount(), listed.rss, listed.hwm, listed.anon, listed.file);
            // Then as the user finds it: the program waiting for the next event.
            QEventLoop rest;
            QTimer::singleShot(500, &rest, &QEventLoop::quit);
            rest.exec();
            const Mem idle = readMem();
            std::printf("rss_idle %ld\nanon_idle %ld\n", idle.rss, idle.anon);
        }
        if (qEnvironmentVariableIsSet("BENCH_SMAPS")) {
            QFile f(QStringLiteral("/proc/self/smaps"));
            f.open(QIODevice::ReadOnly);
            std::map<QByteArray, long> per;
            QByteArray name;
            for (const QByteArray& line : f.readAll().split('\n')) {
                if (!line.isEmpty() && std::isxdigit(uchar(line[0])) && line.contains('-')) {
                    const QList<QByteArray> parts = line.simplified().split(' ');
                    name = parts.size() > 5 ? parts[5] : QByteArray("[anon]");
                } else if (line.startsWith("Rss:")) {
                    per[name] += line.mid(4).trimmed().split(' ').first().toLong();
                }
            }
            std::vector<std::pair<long, QByteArray>> v;
            for (auto& [k, kb] : per) v.push_back({kb, k});
            std::sort(v.rbegin(), v.rend());
            for (size_t i = 0; i < v.size() && i < 25; ++i)
                std::fprintf(stderr, "%6ld kB %s\n", v[i].first, v[i].second.constData());
        }
        std::printf("questions %d\n", asked->asked);
        std::fflush(stdout);
        w.close(); // as the user closes it: settings saved, the process ends
    };
    watch.painted = [&] {
        tShown = nowNs();
        shown = readMem();
        if (returned) finish();
    };
    app.installEventFilter(&watch);
    Main();
    tReturned = nowNs();
    returned = true;
    if (tShown != 0) QTimer::singleShot(0, qApp, finish);
    return app.exec();
}

// Starts this program as a child and reads its lines; the spawn time goes in as "spawn".
bool runChild(const char* self, const char* mode, const QString& root, std::map<std::string, double>& out)
{
    int fds[2];
    if (pipe(fds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    const QByteArray rootArg = root.toUtf8();
    char* args[] = {const_cast<char*>(self), const_cast<char*>("--child"), const_cast<char*>(mode),
                    const_cast<char*>("--root"), const_cast<char*>(rootArg.constData()), nullptr};
    pid_t pid = 0;
    const qint64 tSpawn = nowNs();
    const int rc = posix_spawn(&pid, self, &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        return false;
    }
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        text.append(buf, size_t(n));
    ::close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    out.clear();
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        const size_t blank = line.find(' ');
        if (blank != std::string::npos) out[line.substr(0, blank)] = std::atof(line.c_str() + blank + 1);
        at = end + 1;
    }
    if (out.count("main")) {
        const double tMain = out["main"];
        for (const char* k : {"returned", "shown"})
            out[std::string(k) + "_from_main"] = (out[k] - tMain) / 1e6; // ms from main's first line
        for (const char* k : {"main", "returned", "shown"})
            out[k] = (out[k] - double(tSpawn)) / 1e6; // ms from the spawn
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && out.count("shown") && out["questions"] == 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The installed user with count recorded invoices in its one base folder.
bool prepare(const QString& root, int count)
{
    for (const char* sub : {"app", "win", "reg", "home", "config", "data", "cache", "fatture"})
        QDir().mkpath(root + QLatin1String(sub));
    setFolders(root);
    G_DirApp = root + QStringLiteral("app/");
    Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
    const QString mdb = G_DirApp + QStringLiteral("DIR_TMP.MDB");
    const QString folder = root + QStringLiteral("fatture/");
    const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    const QString ini = root + QStringLiteral("win/QOR_PLCR.INI");
    const QString sec = QStringLiteral("ParamXML");
    IniFile::write(ini, sec, QStringLiteral("LastCompact"), today);
    IniFile::write(ini, sec, QStringLiteral("Pth_0"), folder);
    IniFile::write(ini, sec, QStringLiteral("DirID"), QString::number(MDB_FolderKey(folder)));
    IniFile::write(root + QStringLiteral("win/QOR_CMDB.INI"), QStringLiteral("DataShrink"),
                   QStringLiteral("Plicora_DIR_TMP"), today);

    const QStringList paths = benchinv::writeInvoices(folder, count, 6);
    if (paths.isEmpty()) return false;
    benchinv::recordedArchive(mdb, {folder}, paths);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string mode, rootArg, dirArg;
    int count = 20000, runs = 3;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--child" && more) mode = argv[++i];
        else if (a == "--root" && more) rootArg = argv[++i];
        else if (a == "--files" && more) count = std::max(1, std::atoi(argv[++i]));
        else if (a == "--runs" && more) runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--dir" && more) dirArg = argv[++i];
        else if (a == "--keep") keep = true;
        else {
            std::fprintf(stderr, "uso: bench_startup [--files N] [--runs R] [--dir CARTELLA] [--keep]\n"
                                 "     bench_startup --child start|list --root CARTELLA\n");
            return 1;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    if (!mode.empty()) {
        if (rootArg.empty()) return 1;
        setFolders(QString::fromStdString(rootArg) + QLatin1Char('/'));
        return child(argc, argv, mode);
    }

    QCoreApplication core(argc, argv);
    QTemporaryDir temp(dirArg.empty() ? QString() : QString::fromStdString(dirArg) + QStringLiteral("/bench-XXXXXX"));
    if (!temp.isValid()) {
        std::fprintf(stderr, "Impossibile creare la cartella temporanea\n");
        return 1;
    }
    temp.setAutoRemove(!keep);
    const QString root = temp.path() + QLatin1Char('/');
    if (!prepare(root, count)) {
        std::fprintf(stderr, "Impossibile preparare %s\n", qPrintable(root));
        return 1;
    }
    const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
    std::printf("utente installato in %s, %d fatture nell'archivio e nella cartella; QT_QPA_PLATFORM %s\n",
                qPrintable(root), count, qgetenv("QT_QPA_PLATFORM").constData());

    std::map<std::string, std::vector<double>> start, list;
    std::map<std::string, double> one;
    for (const char* mode : {"start", "list"}) { // the first of each untimed: caches warm
        if (!runChild(self.constData(), mode, root, one)) {
            std::fprintf(stderr, "avvio %s non riuscito\n", mode);
            return 2;
        }
    }
    for (int r = 0; r < runs; ++r) {
        if (!runChild(self.constData(), "start", root, one)) return 2;
        for (const auto& [k, v] : one)
            start[k].push_back(v);
        if (!runChild(self.constData(), "list", root, one)) return 2;
        for (const auto& [k, v] : one)
            list[k].push_back(v);
    }
    const auto mb = [](double kb) { return kb / 1024.0; };
    std::printf("avvio, mediane di %d:\n", runs);
    std::printf("  dall'avvio del processo alla prima riga di main: %7.1f ms\n", median(start["main"]));
    std::printf("  al ritorno di Main:         %7.1f ms dall'avvio, %7.1f ms da main\n", median(start["returned"]),
                median(start["returned_from_main"]));
    std::printf("  alla finestra principale:   %7.1f ms dall'avvio, %7.1f ms da main  (obiettivo < 100 ms)\n",
                median(start["shown"]), median(start["shown_from_main"]));
    std::printf("memoria (VmRSS: anonima + file), mediane di %d:\n", runs);
    std::printf("  alla prima riga di main:             %6.1f MB\n", mb(median(list["rss_main"])));
    std::printf("  con la finestra, prima dell'elenco:  %6.1f MB  (%.1f + %.1f)\n", mb(median(list["rss_shown"])),
                mb(median(list["anon_shown"])), mb(median(list["file_shown"])));
    std::printf("  con l'elenco di %5.0f righe, subito: %6.1f MB  (%.1f + %.1f; picco %.1f MB)\n",
                median(list["rows"]), mb(median(list["rss_list"])), mb(median(list["anon_list"])),
                mb(median(list["file_list"])), mb(median(list["hwm_list"])));
    std::printf("  con l'elenco, programma in attesa:   %6.1f MB  (anonima %.1f)  (obiettivo < 60 MB)\n",
                mb(median(list["rss_idle"])), mb(median(list["anon_idle"])));
    std::printf("  parte dell'elenco, in attesa:        %6.1f MB\n",
                mb(median(list["rss_idle"]) - median(list["rss_shown"])));
    if (keep)
        std::printf("cartella conservata; a mano: %s --child list --root %s\n", self.constData(),
                    qPrintable(temp.path()));
    return median(list["rows"]) >= count ? 0 : 2;
}
