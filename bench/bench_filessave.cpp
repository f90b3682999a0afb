// Recording new files in the archive: writes N invoice files into a folder, then times
//   (a) XML_ReadHeader on each file alone,
//   (b) the same FILES rows written by bare prepared SQLite statements (the lookup by
//       name, length and folder, then the insert) in one transaction, from the records
//       of (a), and
//   (c) the program's own path: each file scanned and recorded with MDB_FilesSave in one
//       transaction (with --upd: MDB_UpdFiles over the folder, which scans it itself),
// each on a fresh copy of the same empty archive. It checks that (b) and (c) wrote the
// same rows, and prints the time per file of each and the ratio (c) / ((a) + (b)).
//
// Each is run R times (--runs, default 3) and the medians are shown.
//
//   bench_filessave [--files N] [--upd] [--runs R] [--dir FOLDER]
//   bench_updfiles [--files N] [--runs R] [--dir FOLDER]   (always as with --upd)

#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "archive/M_XML.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "platform/Dialogs.h"
#include "platform/Folders.h"

#include "BenchDialogs.h"
#include "BenchArchive.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{

sqlite3* openDb(const QString& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        std::fprintf(stderr, "Impossibile aprire %s\n", qPrintable(path));
        std::exit(1);
    }
    return db;
}

sqlite3_stmt* prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, sqlite3_errmsg(db));
        std::exit(1);
    }
    return st;
}

void bindText(sqlite3_stmt* st, int i, const QString& text)
{
    const QByteArray u = text.toUtf8();
    sqlite3_bind_text(st, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

// The file time "dd/MM/yyyy HH:mm:ss" as the archive keeps it, by moving its digits;
// Null when the text has another form.
void bindFileTime(sqlite3_stmt* st, int i, const QString& text)
{
    if (text.size() != 19) {
        sqlite3_bind_null(st, i);
        return;
    }
    const QString iso = text.mid(6, 4) + QLatin1Char('-') + text.mid(3, 2) + QLatin1Char('-') + text.left(2) +
                        QLatin1Char(' ') + text.mid(11);
    bindText(st, i, iso);
}

// The rows of (b) as the bare statements write them: the first statement looks the file
// up, the second writes its row.
void bareSave(sqlite3* db, const QList<XML_Stru>& recs, qint32 key, bool upd)
{
    sqlite3_stmt* find =
        prepare(db, upd ? "SELECT rowid FROM FILES WHERE des_fileonly=? AND val_lunfile=? AND cod_firma=?"
                        : "SELECT rowid FROM FILES WHERE des_fileonly=? COLLATE BINARY AND val_lunfile=? "
                          "AND cod_firma=?");
    sqlite3_stmt* add =
        prepare(db, upd ? "INSERT INTO FILES (des_fileonly, val_lunfile, cod_firma, des_file, "
                          "cod_tipodoc_min, des_numdoc, des_datdoc, des_emit, cod_emit_cf, cod_emit_pi, "
                          "des_ric, cod_ric_cf, cod_ric_pi, des_allegato, des_confronto, dat_ric) "
                          "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"
                        : "INSERT INTO FILES (cod_firma, des_file, des_fileonly, val_lunfile, dat_ric, "
                          "dat_send, des_datdoc, des_numdoc, cod_tipodoc_min, des_emit, cod_emit_cf, "
                          "cod_emit_pi, des_ric, cod_ric_cf, cod_ric_pi, des_allegato, des_confronto) "
                          "VALUES (?,?,?,?,?,NULL,?,?,?,?,?,?,?,?,?,?,?)");
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const XML_Stru& r : recs) {
        bindText(find, 1, r.NomeFileSolo());
        sqlite3_bind_double(find, 2, r.LenFile());
        sqlite3_bind_int64(find, 3, key);
        const bool known = sqlite3_step(find) == SQLITE_ROW;
        sqlite3_reset(find);
        if (known) continue;
        if (upd) {
            bindText(add, 1, r.NomeFileSolo());
            sqlite3_bind_int64(add, 2, qint64(r.LenFile()));
            sqlite3_bind_int64(add, 3, key);
            bindText(add, 4, r.NomeFile());
            bindText(add, 5, r.TipoDoc());
            bindText(add, 6, r.NumDoc());
            bindText(add, 7, r.datdoc());
            bindText(add, 8, r.Emitt());
            bindText(add, 9, r.EmittCF());
            bindText(add, 10, r.EmittPI());
            bindText(add, 11, r.Destin());
            bindText(add, 12, r.DestinCF());
            bindText(add, 13, r.DestinPI());
            bindText(add, 14, r.AttachName());
            bindText(add, 15, r.Confronto());
            bindFileTime(add, 16, r.DataFile());
        } else {
            sqlite3_bind_int64(add, 1, key);
            bindText(add, 2, r.NomeFile());
            bindText(add, 3, r.NomeFileSolo());
            sqlite3_bind_double(add, 4, r.LenFile());
            bindFileTime(add, 5, r.DataFile());
            bindText(add, 6, r.datdoc());
            bindText(add, 7, r.NumDoc());
            bindText(add, 8, r.TipoDoc());
            bindText(add, 9, r.Emitt());
            bindText(add, 10, r.EmittCF());
            bindText(add, 11, r.EmittPI());
            bindText(add, 12, r.Destin());
            bindText(add, 13, r.DestinCF());
            bindText(add, 14, r.DestinPI());
            bindText(add, 15, r.AttachName());
            bindText(add, 16, r.Confronto());
        }
        if (sqlite3_step(add) != SQLITE_DONE) {
            std::fprintf(stderr, "INSERT: %s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
        sqlite3_reset(add);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(find);
    sqlite3_finalize(add);
}

// "" when both archives hold the same FILES rows (storage class and bytes of every
// column, in row order), else where they first differ.
QString compareFiles(const QString& a, const QString& b)
{
    sqlite3* da = openDb(a);
    sqlite3* dbb = openDb(b);
    sqlite3_stmt* sa = prepare(da, "SELECT * FROM FILES ORDER BY rowid");
    sqlite3_stmt* sb = prepare(dbb, "SELECT * FROM FILES ORDER BY rowid");
    QString diff;
    for (qint64 row = 1; diff.isEmpty(); ++row) {
        const int ra = sqlite3_step(sa), rb = sqlite3_step(sb);
        if (ra != rb) {
            diff = QStringLiteral("numero di righe diverso alla riga %1").arg(row);
            break;
        }
        if (ra != SQLITE_ROW) break;
        for (int i = 0; i < sqlite3_column_count(sa) && diff.isEmpty(); ++i) {
            const int ta = sqlite3_column_type(sa, i), tb = sqlite3_column_type(sb, i);
            const QByteArray va(static_cast<const char*>(sqlite3_column_blob(sa, i)),
                                sqlite3_column_bytes(sa, i));
            const QByteArray vb(static_cast<const char*>(sqlite3_column_blob(sb, i)),
                                sqlite3_column_bytes(sb, i));
            if (ta != tb || va != vb)
                diff = QStringLiteral("riga %1, colonna %2: '%3' (%4) / '%5' (%6)")
                           .arg(row)
                           .arg(QString::fromUtf8(sqlite3_column_name(sa, i)), QString::fromUtf8(va))
                           .arg(ta)
                           .arg(QString::fromUtf8(vb))
                           .arg(tb);
        }
    }
    sqlite3_finalize(sa);
    sqlite3_finalize(sb);
    sqlite3_close_v2(da);
    sqlite3_close_v2(dbb);
    return diff;
}

qint64 countRows(const QString& path)
{
    sqlite3* db = openDb(path);
    sqlite3_stmt* st = prepare(db, "SELECT count(*) FROM FILES");
    const qint64 n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
    sqlite3_finalize(st);
    sqlite3_close_v2(db);
    return n;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Velocità della registrazione di file nuovi in FILES"));
    cli.addHelpOption();
    const QCommandLineOption filesOpt(QStringLiteral("files"), QStringLiteral("Numero di file (20000)."),
                                      QStringLiteral("N"), QStringLiteral("20000"));
    const QCommandLineOption updOpt(QStringLiteral("upd"),
                                    QStringLiteral("Registra con MDB_UpdFiles invece di MDB_FilesSave."));
    const QCommandLineOption dirOpt(QStringLiteral("dir"),
                                    QStringLiteral("Cartella in cui lavorare (temporanea)."),
                                    QStringLiteral("FOLDER"));
    const QCommandLineOption runsOpt(QStringLiteral("runs"), QStringLiteral("Prove, di cui la mediana (3)."),
                                     QStringLiteral("R"), QStringLiteral("3"));
    cli.addOptions({filesOpt, updOpt, runsOpt, dirOpt});
    cli.process(app);
    const int count = qMax(1, cli.value(filesOpt).toInt());
    const int runs = qMax(1, cli.value(runsOpt).toInt());
#ifdef BENCH_UPDFILES
    const bool upd = true; // bench_updfiles: the refresh scan of the maintenance window
#else
    const bool upd = cli.isSet(updOpt);
#endif

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
    Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
    setDialogService(std::make_unique<AnswerYes>());

    const QString folder = root + QStringLiteral("fatture/");
    qint64 total = 0;
    const QStringList paths = benchinv::writeInvoices(folder, count, 6, &total);
    if (paths.isEmpty()) return 1;
    const qint32 key = MDB_FolderKey(folder);

    // One empty archive with its folder; each timing works on a fresh copy of it.
    const QString empty = root + QStringLiteral("app/EMPTY.MDB");
    MDB_Create(empty);
    {
        ado::Connection cn;
        cn.Open(MDB_OpenConn(empty));
        Upd_Tabs_Compact(cn);
        cn.Execute(QStringLiteral("INSERT INTO DIRBASE (cod_firma, des_cartella, flg_tipo_cartella) "
                                  "VALUES (?, ?, 'E')"),
                   {qint64(key), folder});
        cn.Close();
    }
    std::printf("%d file nuovi in %s, %.1f MB%s, %d prove\n", count, qPrintable(folder), total / 1048576.0,
                upd ? ", registrati con MDB_UpdFiles" : ", registrati con MDB_FilesSave", runs);

    // Each run times the three on fresh copies of the empty archive; the medians are shown.
    QList<double> scanRuns, bareRuns, layerRuns;
    QString diff;
    qint32 added = 0;
    qint64 rows = 0;
    for (int run = 0; run < runs; ++run) {
        const QString bare = root + QStringLiteral("app/BARE%1.MDB").arg(run);
        const QString layer = root + QStringLiteral("app/LAYER%1.MDB").arg(run);
        QFile::copy(empty, bare);
        QFile::copy(empty, layer);

        QElapsedTimer timer;
        timer.start();
        QList<XML_Stru> recs;
        recs.reserve(count);
        for (const QString& path : paths) {
            XML_Stru rec;
            XML_ReadHeader(path, rec);
            recs << rec;
        }
        scanRuns << timer.nsecsElapsed() / 1e9;

        sqlite3* db = openDb(bare);
        timer.restart();
        bareSave(db, recs, key, upd);
        bareRuns << timer.nsecsElapsed() / 1e9;
        sqlite3_close_v2(db);

        ado::Connection cn;
        cn.Open(MDB_OpenConn(layer));
        added = 0;
        timer.restart();
        if (upd) {
            added = MDB_UpdFiles(cn, key);
        } else {
            cn.BeginTrans();
            for (const QString& path : paths) {
                XML_Stru rec;
                XML_ReadHeader(path, rec);
                bool sent = false;
                added += MDB_FilesSave(cn, rec, sent) ? 0 : 1;
            }
            cn.CommitTrans();
        }
        layerRuns << timer.nsecsElapsed() / 1e9;
        cn.Close();

        if (diff.isEmpty()) diff = compareFiles(bare, layer);
        rows = countRows(layer);
        QFile::remove(bare);
        QFile::remove(layer);
    }
    auto median = [](QList<double> v) {
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v.at(v.size() / 2) : (v.at(v.size() / 2 - 1) + v.at(v.size() / 2)) / 2;
    };
    const double scanSec = median(scanRuns), bareSec = median(bareRuns), layerSec = median(layerRuns);
    const char* what = upd ? "MDB_UpdFiles" : "lettura + MDB_FilesSave";
    std::printf("(a) XML_ReadHeader da solo:         %8.2f µs/file  (%.3f s)\n", scanSec * 1e6 / count,
                scanSec);
    std::printf("(b) SQLite diretto (cerca + scrive): %8.2f µs/file  (%.3f s)\n", bareSec * 1e6 / count,
                bareSec);
    std::printf("(c) %-32s %8.2f µs/file  (%.3f s, %d righe aggiunte)\n", what, layerSec * 1e6 / count,
                layerSec, added);
    std::printf("    (c) - (a) - (b), il resto:       %8.2f µs/file\n",
                (layerSec - scanSec - bareSec) * 1e6 / count);
    std::printf("rapporto (c)/((a)+(b)) dei tempi: %.2f\n", layerSec / (scanSec + bareSec));
    std::printf("righe uguali a quelle di (b): %s\n",
                diff.isEmpty() ? "sì" : qPrintable(QStringLiteral("NO, ") + diff));
    return diff.isEmpty() && added == count && rows == count ? 0 : 2;
}
