// Invoice list throughput: writes N invoice files into one folder and the first N/2 of
// them into another, records them all in a fresh archive (as an earlier run would have),
// then times
//   (a) reading the first 32,767 bytes of each of the N files with open/read/close,
//       median of three runs,
//   (b) XML_ReadRecord on each of them (the scan alone), median of three runs,
//   (c) the main window's Cmd_ListNew_Click over the N files (scan, FILES lookups, rows),
//       median of three runs,
//   (d) the same over the N/2 files, median of three runs,
//   (e) (c) again with the debug log off, median of three runs,
// and prints the time per file of each, (c) against the raw read and (c) against (d) per
// file: a list that runs linear gives about 1. Whether TZ is set is printed too.
//
//   bench_listnew [--files N] [--layout L] [--sent] [--dir FOLDER]

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

#include "BenchDialogs.h"
#include "BenchArchive.h"
#include "BenchRawRead.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace
{

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Velocità dell'elenco dei file di una cartella"));
    cli.addHelpOption();
    const QCommandLineOption filesOpt(QStringLiteral("files"), QStringLiteral("Numero di file (5000)."),
                                      QStringLiteral("N"), QStringLiteral("5000"));
    const QCommandLineOption layoutOpt(QStringLiteral("layout"), QStringLiteral("Ordinamento 0..5 (0)."),
                                       QStringLiteral("L"), QStringLiteral("0"));
    const QCommandLineOption dirOpt(QStringLiteral("dir"),
                                    QStringLiteral("Cartella in cui lavorare (temporanea)."),
                                    QStringLiteral("FOLDER"));
    const QCommandLineOption sentOpt(QStringLiteral("sent"),
                                     QStringLiteral("Tutti i file già inviati, con la stessa data (come da un solo ZIP)."));
    cli.addOptions({filesOpt, layoutOpt, dirOpt, sentOpt});
    cli.process(app);
    const int count = qMax(1, cli.value(filesOpt).toInt());
    const int layout = qBound(0, cli.value(layoutOpt).toInt(), 5);

    QTemporaryDir temp(cli.isSet(dirOpt) ? cli.value(dirOpt) + QStringLiteral("/bench-XXXXXX") : QString());
    if (!temp.isValid()) {
        std::fprintf(stderr, "Impossibile creare la cartella temporanea\n");
        return 1;
    }
    const QString root = temp.path() + QLatin1Char('/');
    for (const char* sub : {"app", "win", "reg", "fatture"})
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

    const QString full = root + QStringLiteral("fatture/"), half = root + QStringLiteral("meta/");
    QDir().mkpath(half);
    qint64 total = 0;
    const QStringList paths = benchinv::writeInvoices(full, count, 6, &total);
    if (paths.isEmpty()) return 1;
    QStringList halfPaths;
    for (const QString& path : paths.first(count / 2)) {
        const QString copy = half + QFileInfo(path).fileName();
        if (!QFile::copy(path, copy)) return 1;
        halfPaths << copy;
    }

    // The archive already holds every file, as after an earlier run.
    benchinv::recordedArchive(Pth_DirTmpMDB, {full, half}, paths + halfPaths);
    const bool sent = cli.isSet(sentOpt);
    if (sent) {
        ado::Connection cn;
        cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
        cn.Execute(QStringLiteral("UPDATE FILES SET dat_send=?"), {QDateTime(QDate(2025, 1, 10), QTime(10, 0))});
        cn.Close();
    }
    const char* tz = std::getenv("TZ");
    std::printf("%d file in %s (e %d in %s), %.1f MB, tutti già nell'archivio%s; TZ %s\n", count,
                qPrintable(full), int(halfPaths.size()), qPrintable(half), total / 1048576.0,
                sent ? " e inviati il 10/01/2025" : "", tz ? tz : "non impostata");

    // The raw read and the scan alone are short: the median of three runs of each.
    qint64 readBytes = 0;
    int found = 0;
    const auto median3 = [](const auto& run) {
        double t[3];
        for (double& one : t) {
            QElapsedTimer timer;
            timer.start();
            run();
            one = timer.nsecsElapsed() / 1e9;
        }
        std::sort(std::begin(t), std::end(t));
        return t[1];
    };
    const double rawSec = median3([&] { readBytes = benchinv::rawReadHeads(paths); });
    const double scanSec = median3([&] {
        found = 0;
        for (const QString& path : paths) {
            XML_Stru rec;
            XML_ReadRecord(path, rec);
            found += rec.NumDoc().isEmpty() ? 0 : 1;
        }
    });

    const QString ini = QStringLiteral("QOR_PLCR.INI"), sec = QStringLiteral("ParamXML");
    IniFile::write(ini, sec, QStringLiteral("Pth_0"), full);
    IniFile::write(ini, sec, QStringLiteral("Pth_1"), half);
    IniFile::write(ini, sec, QStringLiteral("DirID"), QString::number(MDB_FolderKey(full)));
    IniFile::write(ini, sec, QStringLiteral("LastCompact"),
                   QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    F_ZipXML& w = F_ZipXML::instance();
    w.Show();
    w.Cmb_Ord->setCurrentIndex(layout);

    // The list of one folder: seconds, rows and the closing status.
    const auto list = [&w](int folderIndex, int& rows, QString& status) {
        w.setFoldListIndex(folderIndex);
        QElapsedTimer t;
        t.start();
        w.Cmd_ListNew_Click();
        const double sec = t.nsecsElapsed() / 1e9;
        rows = w.Lst_XMLRows->ListCount();
        status = w.status();
        return sec;
    };
    int halfRows = 0, rows = 0;
    QString halfStatus, status;
    // Each list the median of three runs, as the reads above.
    const auto listMedian = [&list](int folderIndex, int& rows, QString& status) {
        double t[3];
        for (double& one : t)
            one = list(folderIndex, rows, status);
        std::sort(std::begin(t), std::end(t));
        return t[1];
    };
    const double halfSec = listMedian(1, halfRows, halfStatus);
    const double listSec = listMedian(0, rows, status);
    const int halfCount = qMax(1, int(halfPaths.size()));
    // The same list with the debug log off: what its two lines per file cost.
    const QString debugLog = Pth_DebugLog;
    Pth_DebugLog.clear();
    int quietRows = 0;
    QString quietStatus;
    const double quietSec = listMedian(0, quietRows, quietStatus);
    Pth_DebugLog = debugLog;

    const auto us = [count](double sec) { return sec * 1e6 / count; };
    std::printf("(a) lettura grezza (open/read):    %9.2f us/file  (%.3f s, %.1f MB)\n", us(rawSec), rawSec,
                readBytes / 1048576.0);
    std::printf("(b) XML_ReadRecord:                %9.2f us/file  (%.3f s, %d numeri trovati)\n",
                us(scanSec), scanSec, found);
    std::printf("(c) Cmd_ListNew, %6d file (ord. %d): %9.2f us/file  (%.3f s, %d righe, \"%s\")\n", count,
                layout, us(listSec), listSec, rows, qPrintable(status));
    std::printf("(d) Cmd_ListNew, %6d file (ord. %d): %9.2f us/file  (%.3f s, %d righe)\n", halfCount, layout,
                halfSec * 1e6 / halfCount, halfSec, halfRows);
    std::printf("(e) Cmd_ListNew senza log di debug:  %9.2f us/file  (%.3f s, %d righe)\n", us(quietSec),
                quietSec, quietRows);
    std::printf("(c)/(a) rispetto alla lettura grezza: %.2f  (obiettivo <= 3)\n", listSec / rawSec);
    std::printf("(e)/(a) senza log di debug:           %.2f\n", quietSec / rawSec);
    std::printf("(b)/(a) la lettura sola:              %.2f\n", scanSec / rawSec);
    std::printf("(c)/(d) per file, N contro N/2:        %.2f  (lineare: circa 1)\n",
                (listSec / count) / (halfSec / halfCount));
    setProcessEndHandler([](int) {}); // closing the window must not end the program here
    w.Unload();
    return found == count && rows >= count && halfRows >= halfCount && quietRows == rows ? 0 : 2;
}
