// ZIP throughput: writes N invoice files into a folder listed in the first layout with an
// archive, all selected, then times
//   (a) the same N 7z argument lists run back to back through the launcher into a fresh
//       archive, and
//   (b) the main window's Cmd_ZipSel_Click answered Yes and "Definitiva ?" Yes, no mail
//       (packing, list file, send dates, list rebuild),
// and prints the time per file of both and their ratio: the run's cost over its 7z children.
//
//   bench_zip [--files N] [--dir FOLDER]

#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "archive/M_XML.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/Dialogs.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/Launcher.h"

#include "BenchDialogs.h"
#include "BenchArchive.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace
{

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Velocità della creazione del file ZIP"));
    cli.addHelpOption();
    const QCommandLineOption filesOpt(QStringLiteral("files"), QStringLiteral("Numero di file (500)."),
                                      QStringLiteral("N"), QStringLiteral("500"));
    const QCommandLineOption dirOpt(QStringLiteral("dir"),
                                    QStringLiteral("Cartella in cui lavorare (temporanea)."),
                                    QStringLiteral("FOLDER"));
    cli.addOptions({filesOpt, dirOpt});
    cli.process(app);
    const int count = qMax(1, cli.value(filesOpt).toInt());

    QTemporaryDir temp(cli.isSet(dirOpt) ? cli.value(dirOpt) + QStringLiteral("/bench-XXXXXX") : QString());
    if (!temp.isValid()) {
        std::fprintf(stderr, "Impossibile creare la cartella temporanea\n");
        return 1;
    }
    const QString root = temp.path() + QLatin1Char('/');
    for (const char* sub : {"app", "win", "reg", "fatture", "zip"})
        QDir().mkpath(root + QLatin1String(sub));
    qputenv("PLICORA_APPDIR", (root + QStringLiteral("app/")).toUtf8());
    qputenv("PLICORA_WINDIR", (root + QStringLiteral("win/")).toUtf8());
    qputenv("PLICORA_REGDIR", (root + QStringLiteral("reg/")).toUtf8());
    G_DirApp = Folders::appDir();
    G_DirWin = Folders::windowsDir();
    G_PgmVisualizzatore = QStringLiteral("/usr/bin/true");
    Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
    Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
    setDialogService(std::make_unique<AnswerYes>());

    const QString program = SevenZip_Path();
    if (program.isEmpty()) {
        std::fprintf(stderr, "7z non trovato\n");
        return 1;
    }
    const QString folder = root + QStringLiteral("fatture/");
    const QString zipDir = root + QStringLiteral("zip/");
    qint64 total = 0;
    const QStringList paths = benchinv::writeInvoices(folder, count, 5, &total);
    if (paths.isEmpty()) return 1;
    // Recorded beforehand, never sent: the list build pauses on each file it adds.
    benchinv::recordedArchive(Pth_DirTmpMDB, {folder}, paths);
    std::printf("%d file in %s, %.1f MB\n", count, qPrintable(folder), total / 1048576.0);

    // (a) the 7z children alone, one file each, into a fresh archive.
    QElapsedTimer timer;
    timer.start();
    const QString plain = zipDir + QStringLiteral("solo7z.zip");
    for (const QString& path : paths) {
        const Launcher::Result r = launcher().runAndWait(
            program, {QStringLiteral("a"), QStringLiteral("-tzip"), QStringLiteral("-y"),
                      QStringLiteral("-bd"), QStringLiteral("-spd"), QStringLiteral("--"), plain, path});
        if (!r.started || r.exitCode != 0) {
            std::fprintf(stderr, "7z non riuscito su %s\n", qPrintable(path));
            return 2;
        }
    }
    const double sevenSec = timer.nsecsElapsed() / 1e9;

    const QString ini = QStringLiteral("QOR_PLCR.INI"), sec = QStringLiteral("ParamXML");
    IniFile::write(ini, sec, QStringLiteral("Pth_0"), folder);
    IniFile::write(ini, sec, QStringLiteral("DirID"), QString::number(Str_CheckSum(folder)));
    IniFile::write(ini, sec, QStringLiteral("LastCompact"),
                   QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    F_ZipXML& w = F_ZipXML::instance();
    w.Show();
    w.Cmb_Ord->setCurrentIndex(0);
    w.Cmd_ListNew_Click();
    w.Lst_XMLRows->selectAll(true);
    w.Txt_DirZIP.setText(zipDir);
    w.Txt_Rif.setText(QStringLiteral("BENCH"));
    w.Chk_DoMail.setValue(0);

    // (b) the whole definitive run: packing, list file, stamps, list rebuild.
    timer.restart();
    w.Cmd_ZipSel_Click();
    const double runSec = timer.nsecsElapsed() / 1e9;
    const QString status = w.status();
    const int zips =
        static_cast<int>(QDir(zipDir).entryList({QStringLiteral("*_XML.ZIP")}, QDir::Files).size());

    std::printf("(a) 7z da solo, un file per volta: %8.3f ms/file  (%.3f s)\n", sevenSec * 1000 / count,
                sevenSec);
    std::printf("(b) Cmd_ZipSel definitivo:         %8.3f ms/file  (%.3f s, \"%s\")\n", runSec * 1000 / count,
                runSec, qPrintable(status));
    std::printf("rapporto (b)/(a) dei tempi: %.2f\n", runSec / sevenSec);
    setProcessEndHandler([](int) {}); // closing the window must not end the program here
    w.Unload();
    return zips == 1 ? 0 : 2;
}
