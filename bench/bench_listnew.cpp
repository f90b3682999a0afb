// Invoice list throughput: writes N invoice files into a folder, records them all in a
// fresh archive (as an earlier run would have), then times
//   (a) XML_ReadHeader on each file alone, and
//   (b) the main window's Cmd_ListNew_Click over the folder (scan, FILES lookups, rows),
// and prints the time per file of both and their ratio.
//
//   bench_listnew [--files N] [--layout L] [--dir FOLDER]

#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "archive/M_XML.h"
#include "foundation/InitVBProc.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/Dialogs.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"

#include "BenchInvoice.h"

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

// No dialog may wait for a user here: every question is answered Yes.
class AnswerYes final : public DialogService
{
  public:
    int msgBox(const QString& text, int, const QString&) override
    {
        std::fprintf(stderr, "messaggio: %s\n", qPrintable(text));
        return vb::Yes;
    }
    QString inputBox(const QString&, const QString&, const QString& def) override { return def; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QFont> chooseFont(const QFont&) override { return std::nullopt; }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
    void beep() override {}
};

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
    cli.addOptions({filesOpt, layoutOpt, dirOpt});
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

    const QString folder = root + QStringLiteral("fatture/");
    QStringList paths;
    QRandomGenerator rng(20240110);
    qint64 total = 0;
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QStringLiteral("IT01234567890_%1.xml").arg(i, 5, 10, QLatin1Char('0'));
        const QByteArray bytes = benchinv::invoice(i, rng);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "Impossibile scrivere %s\n", qPrintable(path));
            return 1;
        }
        total += bytes.size();
        paths << path;
    }

    // The archive already holds every file, as after an earlier run.
    MDB_Create(Pth_DirTmpMDB);
    {
        ado::Connection cn;
        cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
        Upd_Tabs_Compact(cn);
        cn.Execute(QStringLiteral("INSERT INTO DIRBASE (cod_firma, des_cartella, flg_tipo_cartella) "
                                  "VALUES (?, ?, 'E')"),
                   {MDB_FolderKey(folder), folder});
        cn.BeginTrans();
        for (const QString& path : paths) {
            XML_Stru rec;
            XML_ReadHeader(path, rec);
            bool sent = false;
            MDB_FilesSave(cn, rec, sent);
        }
        cn.CommitTrans();
        cn.Close();
    }
    std::printf("%d file in %s, %.1f MB, tutti già nell'archivio\n", count, qPrintable(folder),
                total / 1048576.0);

    QElapsedTimer timer;
    timer.start();
    int found = 0;
    for (const QString& path : paths) {
        XML_Stru rec;
        XML_ReadHeader(path, rec);
        found += rec.NumDoc().isEmpty() ? 0 : 1;
    }
    const double scanSec = timer.nsecsElapsed() / 1e9;

    const QString ini = QStringLiteral("QOR_PLCR.INI"), sec = QStringLiteral("ParamXML");
    IniFile::write(ini, sec, QStringLiteral("Pth_0"), folder);
    IniFile::write(ini, sec, QStringLiteral("DirID"), QString::number(Str_CheckSum(folder)));
    IniFile::write(ini, sec, QStringLiteral("LastCompact"),
                   QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    F_ZipXML& w = F_ZipXML::instance();
    w.Show();
    w.Cmb_Ord->setCurrentIndex(layout);

    timer.restart();
    w.Cmd_ListNew_Click();
    const double listSec = timer.nsecsElapsed() / 1e9;
    const int rows = w.Lst_XMLRows->ListCount();
    const QString status = w.status();

    std::printf("(a) XML_ReadHeader da solo:     %8.3f ms/file  (%.3f s, %d numeri trovati)\n",
                scanSec * 1000 / count, scanSec, found);
    std::printf("(b) Cmd_ListNew (ordinamento %d): %8.3f ms/file  (%.3f s, %d righe, \"%s\")\n", layout,
                listSec * 1000 / count, listSec, rows, qPrintable(status));
    std::printf("rapporto (b)/(a) dei tempi: %.2f\n", listSec / scanSec);
    setProcessEndHandler([](int) {}); // closing the window must not end the program here
    w.Unload();
    return found == count && rows >= count ? 0 : 2;
}
