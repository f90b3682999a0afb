#include "M_MDB.h"

#include "foundation/F_MSG.h"
#include "foundation/M_MV.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Folders.h"
#include "platform/ado/ArchiveLock.h"
#include "qor/Cl_QOR.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

#include <filesystem>
#include <memory>

namespace
{

const QString kCrLf = QStringLiteral("\r\n");
const QString kCr = QStringLiteral("\r");

// VB's "Path/File access error": what a failed file step reports.
constexpr int kErrFileAccess = 75;

bool realRename(const QString& from, const QString& to, QString* error)
{
    std::error_code ec;
    // rename() replaces the target in one step: there is never a moment without it.
    std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(), ec);
    if (ec && error) *error = QString::fromLocal8Bit(ec.message().c_str());
    return !ec;
}

// The compacted copy and the backup hold the archive's fiscal data: they get
// its permission bits, not the defaults of a new file.
void copyPermissions(const QString& from, const QString& to)
{
    std::error_code ec;
    const auto perms = std::filesystem::status(QFile::encodeName(from).toStdString(), ec).permissions();
    if (!ec)
        std::filesystem::permissions(QFile::encodeName(to).toStdString(), perms,
                                     std::filesystem::perm_options::replace, ec);
    if (ec)
        throw ado::Error(kErrFileAccess, QStringLiteral("Impossibile impostare i permessi di '%1': %2")
                                             .arg(to, QString::fromLocal8Bit(ec.message().c_str())));
}

MDB_RenameFn& renameFn()
{
    static MDB_RenameFn fn = realRename;
    return fn;
}

using Step = ado::StepResult;

Step runStep(const std::function<void()>& body, const std::function<int(const ado::Error&)>& ask)
{
    return ado::RunStep(body, ask);
}

QString nowText()
{
    QDateTime now = appClock().now();
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    return ado::ValueText(now);
}

QString updLogPath()
{
    return Folders::appDir() + QStringLiteral("UpdDB.LOG");
}

void logCreate(const QString& table)
{
    Qor().WriteLog(QStringLiteral("+++ ") + nowText() + QStringLiteral(" - Creo Tabella ") + table +
                       QStringLiteral(" (") + QStringLiteral(")"),
                   0, updLogPath(), false);
}

void logUpgrade(const QString& table, const QString& fields)
{
    Qor().WriteLog(QStringLiteral("--- ") + nowText() + QStringLiteral(" - Aggiorno Tabella ") + table +
                       QStringLiteral(" (") + QStringLiteral(") - P_Fld:") + fields,
                   0, updLogPath(), false);
}

// clang-format off
const QString kCreateDirbase = QStringLiteral(
    "CREATE TABLE DIRBASE (  cod_firma                int, des_cartella             varchar(255) NOT NULL, flg_tipo_cartella        varchar(1)   NULL)");
const QString kCreateDirsub = QStringLiteral(
    "CREATE TABLE DIRSUB (  cod_firma_base           int, num_cartella             int, cod_firma                int, des_cartella             varchar(255) NOT NULL)");
const QString kCreateFiles = QStringLiteral(
    "CREATE TABLE FILES (  cod_firma                double, des_file                 MEMO NOT NULL, des_fileonly             varchar( 255) NOT NULL, val_lunfile              double, dat_ric                  datetime NULL, dat_send                 datetime NULL, cod_emit_pi              varchar(  25) NULL, cod_emit_cf              varchar(  25) NULL, des_emit                 varchar( 255) NULL, des_emit_nome            varchar( 255) NULL, des_emit_cogn            varchar( 255) NULL, des_numdoc               varchar(  50) NULL, des_datdoc               varchar(  10) NULL, cod_tipodoc_min          varchar(   4) NULL, cod_ric_pi               varchar(  25) NULL, cod_ric_cf               varchar(  25) NULL, des_ric                  varchar( 255) NULL, des_ric_nome             varchar( 255) NULL, des_ric_cogn             varchar( 255) NULL, des_allegato             varchar( 255) NULL, des_confronto            MEMO NULL, dat_contab               datetime NULL)");

// clang-format on

// The lookups of the list, the refresh scan and the duplicate removal go by
// folder and name, and by number and date. A file's own row is found by its exact
// name (des_fileonly=? COLLATE BINARY), which the case-blind index cannot serve.
struct IndexDef {
    const char* name;
    const char* first;
    const char* second;
    const char* firstCollation = "";
};
const IndexDef kIndexes[] = {
    {"IX_FILES_firma_fileonly", "cod_firma", "des_fileonly"},
    {"IX_FILES_numdoc_datdoc", "des_numdoc", "des_datdoc"},
    {"IX_FILES_fileonly_exact", "des_fileonly", "cod_firma", " COLLATE BINARY"},
};

} // namespace

QString MDB_SupportNotice()
{
    return QStringLiteral("( AVVISARE IMMEDIATAMENTE L'ASSISTENZA : 0000 000000 )");
}

QString MDB_OpenConn(const QString& Path)
{
    if (Path.isEmpty()) return QString();
    QString p = Path;
    // "dell'azienda" would end the quoted path early: the quote is doubled.
    p.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("Provider=") + QStringLiteral("Microsoft.Jet.OLEDB.4.0") +
           QStringLiteral(";Persist Security Info=False;User ID=") + QStringLiteral(";") +
           QStringLiteral("Data Source='") + p + QStringLiteral("'");
}

bool MDB_FileExists(const QString& Path)
{
    if (Path.isEmpty()) return false;
    return Qor().FileExists(Path);
}

int MDB_Create(const QString& Path)
{
    if (Path.isEmpty() || Path.right(4).toUpper() != QLatin1String(".MDB")) return 3;
    if (MDB_FileExists(Path)) return 1;
    try {
        ado::CreateDatabase(Path);
    } catch (const ado::Error& e) {
        MsgBox(QString::number(e.Number()) + QStringLiteral(" : ") + e.Description(),
               vb::OKOnly | vb::Information, QString());
    }
    return MDB_FileExists(Path) ? 0 : 2;
}

bool MDB_ExistTABLE(ado::Connection& Conn, const QString& Table)
{
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT TOP 1 * FROM [") + Table + QStringLiteral("]"), Conn,
                ado::adOpenStatic, ado::adLockReadOnly);
        rs.Close();
        return true;
    } catch (const ado::Error& e) {
        if (e.Number() != ado::adErrItemNotFound && e.Number() != ado::DB_E_NOTABLE &&
            e.Number() != ado::E_FAIL)
            MsgBox(QString::number(e.Number()) + QStringLiteral(" : ") + e.Description(),
                   vb::OKOnly | vb::Information, QString());
        return false;
    }
}

bool MDB_ExistField(ado::Connection& Conn, const QString& Table, const QString& Field, long Type, int Size,
                    int Precision)
{
    if (!MDB_ExistTABLE(Conn, Table)) return false;
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT TOP 1 [") + Field + QStringLiteral("] FROM [") + Table +
                    QStringLiteral("]"),
                Conn, ado::adOpenStatic, ado::adLockReadOnly);
        bool same = true;
        if (Type != 0) {
            const ado::Field f = rs.GetFields().Item(0);
            if (f.Type() != Type) same = false;
            if (Size > 0 && f.DefinedSize() != Size) same = false;
            if (Precision > -1 && f.Precision() != Precision) same = false;
        }
        rs.Close();
        return same;
    } catch (const ado::Error&) {
        return false;
    }
}

void MDB_PipeADDFld(const QString& Table, const QString& Fields, const QString& Types, ado::Connection& Conn)
{
    if (Table.isEmpty() || Fields.isEmpty() || Types.isEmpty() || Conn.State() != ado::adStateOpen) return;
    const int n = Qor().FieldCount(Fields, QStringLiteral("|"));
    if (n < 1 || n != Qor().FieldCount(Types, QStringLiteral("|"))) return;
    for (int i = 1; i <= n; ++i) {
        const QString field = Qor().GetField(Fields, i, QStringLiteral("|"));
        QString type = Qor().GetField(Types, i, QStringLiteral("|"));
        if (type.trimmed().compare(QLatin1String("IDENTITY"), Qt::CaseInsensitive) == 0)
            type = QStringLiteral("AUTOINCREMENT");
        else if (type.trimmed().compare(QLatin1String("BOOLEAN"), Qt::CaseInsensitive) == 0)
            type = QStringLiteral("SMALLINT");
        if (MDB_ExistField(Conn, Table, field, 0, 0, -1)) continue;
        try {
            ado::Command cmd;
            cmd.ActiveConnection = Conn;
            cmd.CommandType = ado::adCmdText;
            cmd.CommandText = QStringLiteral("ALTER TABLE [") + Table + QStringLiteral("] ADD [") + field +
                              QStringLiteral("] ") + type + QStringLiteral(";");
            cmd.Execute();
        } catch (const ado::Error&) {
            return;
        }
    }
}

void MDB_SetZeroLen(const QString& Table, const QString& Fields, ado::Connection& Conn,
                    const QString& Separator)
{
    if (Table.isEmpty() || Fields.isEmpty() || Conn.State() != ado::adStateOpen) return;
    bool onlySeparators = true;
    for (const QChar c : Fields)
        onlySeparators = onlySeparators && Separator.contains(c);
    if (onlySeparators) return;
    const int n = Qor().FieldCount(Fields, Separator);
    for (int i = 1; i <= n; ++i)
        MDB_SetZeloLen(Table, Qor().GetField(Fields, i, Separator), Conn);
}

void MDB_SetZeloLen(const QString& Table, const QString& Field, ado::Connection& Conn)
{
    if (Table.isEmpty() || Field.isEmpty() || Conn.State() != ado::adStateOpen) return;
    // The archive keeps '' apart from Null in every text column, and the columns
    // listed here are all nullable: once the column is there, nothing is left to do.
    MDB_ExistField(Conn, Table, Field, 0, 0, -1);
}

bool MDB_ForeignFile(const QString& Path)
{
    if (!ado::IsForeignFile(Path)) return false;
    static QString reported;
    if (reported != Path) {
        reported = Path;
        Qor().WriteLog(QStringLiteral("MDB_ForeignFile : ") + Path +
                           QStringLiteral(" non e' un archivio SQLite"),
                       0, Pth_DebugLog);
        MsgBox(QStringLiteral("ATTENZIONE !!") + kCrLf + QStringLiteral("File ") + Path +
                   QStringLiteral(" NON UTILIZZABILE !!") + kCrLf + kCrLf +
                   QStringLiteral("Il file non è un archivio di questa versione del programma "
                                  "(forse un vecchio archivio Access) e non verrà modificato.") +
                   kCrLf + QStringLiteral("Spostarlo o rinominarlo, poi riavviare il programma.") + kCrLf +
                   kCrLf + MDB_SupportNotice(),
               vb::OKOnly | vb::Critical, QStringLiteral("M_MDB"));
    }
    return true;
}

void MDB_SetRenameForTests(MDB_RenameFn fn)
{
    renameFn() = fn ? std::move(fn) : MDB_RenameFn(realRename);
}

void MDBCompact(const QString& DbPath, const QString& ExeName, const QString& AppFolder, int Days)
{
    Q_UNUSED(AppFolder); // the compacted copy is made beside the database, so the last step is one rename
    const QDate today = appClock().now().date();
    const QString key = ExeName + QStringLiteral("_") + QFileInfo(DbPath).completeBaseName();
    const QString ini = QStringLiteral("QOR_CMDB.INI");
    const QString stored =
        Qor().IniRead(QStringLiteral("DataShrink"), key, QStringLiteral("01/01/1900"), ini);
    const QDateTime last = Qor().TextToDate(stored);
    if (!last.isValid()) return;
    const qint64 elapsed = last.date().daysTo(today);
    const int interval = qBound(10, Days, 60);
    if (elapsed <= interval) return;
    // A missing or foreign file is not compacted; an open connection would keep
    // writing into the file that the rename replaces.
    if (!MDB_FileExists(DbPath) || ado::IsForeignFile(DbPath)) return;
    if (ado::OpenConnectionCount(DbPath) > 0) {
        Qor().WriteLog(QStringLiteral("MDBCompact : connessione aperta su ") + DbPath +
                           QStringLiteral(", compattamento rinviato"),
                       0, Pth_DebugLog);
        return;
    }

    // Another program on the same archive (a copy, a tool, a path through a link)
    // holds the lock file: its writes would go to the file the rename replaces.
    ado::ExclusiveArchiveLock exclusive(DbPath);
    if (!exclusive.acquired()) {
        Qor().WriteLog(QStringLiteral("MDBCompact : ") + exclusive.reason() +
                           QStringLiteral(", compattamento rinviato"),
                       0, Pth_DebugLog);
        return;
    }

    F_MSG& msg = F_MSG::instance();
    msg.Lbl_Head->setText(DbPath);
    msg.Lbl_Msg->setText(QStringLiteral("COMPATTAMENTO PERIODICO !") + kCr + kCr +
                         QStringLiteral("ATTENDERE !"));
    msg.Show();
    QCoreApplication::processEvents();

    // A link is compacted at its target: renaming over the link would turn it into
    // a separate file and part the programs that share the archive through it.
    const QFileInfo dbInfo(DbPath);
    const QString file = dbInfo.isSymLink() ? dbInfo.canonicalFilePath() : DbPath;
    const QString folder = QFileInfo(file).absolutePath() + QLatin1Char('/');
    const QString temp = folder + QStringLiteral("Compactz.mdb");
    const QString backup = file + QStringLiteral(".bak");
    const QString backupTemp = backup + QStringLiteral(".tmp");

    auto ask = [&](const ado::Error& e) {
        return MsgBox(kCr + QStringLiteral("Errore : ") + QString::number(e.Number()) +
                          QStringLiteral(" - ") + e.Description() + kCr,
                      vb::AbortRetryIgnore | vb::Question | vb::DefaultButton2,
                      QStringLiteral("TrapErr : Errore !") + QStringLiteral(" - ") +
                          QStringLiteral("MDBCompact: ") + DbPath + QStringLiteral(" - ") + stored);
    };
    auto remove = [](const QString& path) {
        if (QFile::exists(path) && !QFile::remove(path))
            throw ado::Error(kErrFileAccess, QStringLiteral("Impossibile eliminare il file '%1'.").arg(path));
    };
    std::unique_ptr<ado::WriteLock> lock;
    // Each step must succeed before the next: the database is replaced only by a
    // checked copy, and Ignore does not skip a step the later ones rely on.
    const std::function<void()> steps[] = {
        [&] { remove(temp); },
        [&] {
            QCoreApplication::processEvents();
            // From the copy to the rename nobody may write to the archive: the
            // rename would drop those rows with the old file.
            if (!lock) lock = std::make_unique<ado::WriteLock>(file);
            ado::CompactDatabase(file, temp);
            copyPermissions(file, temp);
        },
        [&] {
            remove(backupTemp);
            if (!QFile::copy(file, backupTemp))
                throw ado::Error(kErrFileAccess,
                                 QStringLiteral("Impossibile copiare '%1' in '%2'.").arg(file, backupTemp));
            copyPermissions(file, backupTemp);
            QString err;
            if (!realRename(backupTemp, backup, &err))
                throw ado::Error(
                    kErrFileAccess,
                    QStringLiteral("Impossibile creare la copia di sicurezza '%1': %2").arg(backup, err));
        },
        [&] {
            QString err;
            if (!renameFn()(temp, file, &err))
                throw ado::Error(
                    kErrFileAccess,
                    QStringLiteral("Impossibile sostituire '%1' con la copia compattata: %2").arg(file, err));
        },
    };
    bool done = true;
    for (const auto& step : steps) {
        if (runStep(step, ask) != Step::Done) {
            done = false;
            break;
        }
    }
    lock.reset();
    QFile::remove(temp);
    QFile::remove(backupTemp);
    if (done)
        Qor().IniWrite(QStringLiteral("DataShrink"), key, today.toString(QStringLiteral("dd/MM/yyyy")), ini);
    F_MSG::unloadInstance();
}

void Upd_Tabs_Compact(ado::Connection& Conn)
{
    bool aborted = false;
    auto ask = [](const ado::Error& e) {
        return MsgBox(QStringLiteral("Errore:") + QString::number(e.Number()) + QStringLiteral(": ") +
                          e.Description() + kCr + kCr,
                      vb::AbortRetryIgnore, QStringLiteral("UPG_TABS"));
    };
    // Runs one statement; false once the user has chosen Abort.
    auto run = [&](const std::function<void()>& body) {
        if (aborted) return false;
        if (runStep(body, ask) == Step::Abort) aborted = true;
        return !aborted;
    };
    auto exists = [&](const char* table, const char* field) {
        return MDB_ExistField(Conn, QString::fromLatin1(table), QString::fromLatin1(field), 0, 0, -1);
    };

    // 1. DIRBASE
    if (!MDB_ExistTABLE(Conn, QStringLiteral("DIRBASE"))) {
        logCreate(QStringLiteral("DIRBASE"));
        run([&] { Conn.Execute(kCreateDirbase); });
    } else if (!exists("DIRBASE", "flg_tipo_cartella")) {
        logUpgrade(QStringLiteral("DIRBASE"), QStringLiteral("flg_tipo_cartella|"));
        // The new column and its values go in together: a back-fill cut short would
        // otherwise never be finished, since the column's presence ends the step.
        const bool inTrans = runStep([&] { Conn.BeginTrans(); }, ask) == Step::Done;
        MDB_PipeADDFld(QStringLiteral("DIRBASE"), QStringLiteral("flg_tipo_cartella|"),
                       QStringLiteral("varchar(1)  NULL"), Conn);
        MDB_SetZeroLen(QStringLiteral("DIRBASE"), QStringLiteral("flg_tipo_cartella|"), Conn,
                       QStringLiteral("|"));
        ado::Recordset rs;
        if (run([&] {
                rs.Open(QStringLiteral("SELECT * FROM DIRBASE"), Conn, ado::adOpenKeyset,
                        ado::adLockOptimistic);
            })) {
            while (!aborted && !rs.EOF_()) {
                const bool stored = run([&] {
                    const QVariant flag = rs[QStringLiteral("flg_tipo_cartella")].Value();
                    if (ado::IsNull(flag) || flag.toString().isEmpty()) {
                        const double att = Qor().IniReadDbl(QStringLiteral("ParamXML"),
                                                            QStringLiteral("AttPass_") +
                                                                rs[QStringLiteral("cod_firma")].toString(),
                                                            0, QStringLiteral("QOR_PLCR.INI"));
                        rs[QStringLiteral("flg_tipo_cartella")] =
                            att == 0 ? QStringLiteral("E") : QStringLiteral("R");
                        rs.Update();
                    }
                });
                if (!stored || rs.EditMode()) rs.CancelUpdate(); // an ignored row is left as it was
                if (!aborted) rs.MoveNext();
            }
            rs.Close();
        }
        if (inTrans) {
            bool committed = false;
            if (!aborted) {
                const Step s = runStep([&] { Conn.CommitTrans(); }, ask);
                committed = s == Step::Done;
                aborted = s == Step::Abort;
            }
            if (!committed) {
                try {
                    Conn.RollbackTrans();
                } catch (const ado::Error&) {
                }
            }
        }
    }
    if (aborted) return;

    // 2. DIRSUB
    if (!MDB_ExistTABLE(Conn, QStringLiteral("DIRSUB"))) {
        logCreate(QStringLiteral("DIRSUB"));
        if (!run([&] { Conn.Execute(kCreateDirsub); })) return;
    }

    // 3. FILES
    if (!MDB_ExistTABLE(Conn, QStringLiteral("FILES"))) {
        logCreate(QStringLiteral("FILES"));
        if (!run([&] { Conn.Execute(kCreateFiles); })) return;
        MDB_SetZeroLen(
            QStringLiteral("FILES"),
            QStringLiteral("dat_contab|dat_ric|dat_send|cod_emit_pi|cod_emit_cf|des_emit|des_numdoc|"
                           "des_datdoc|") +
                QStringLiteral("cod_tipodoc_min|cod_ric_pi|cod_ric_cf|des_ric|des_allegato|des_confronto|"),
            Conn, QStringLiteral("|"));
    } else {
        if (!exists("FILES", "dat_contab")) {
            MsgBox(QStringLiteral("ATTENZIONE !!") + kCrLf +
                       QStringLiteral("Rigenerazione Campo : dat_contab") + kCrLf + kCrLf +
                       MDB_SupportNotice(),
                   vb::OKOnly | vb::Critical, QStringLiteral("Upd_Tabs_Compact"));
            logUpgrade(QStringLiteral("FILES"), QStringLiteral("dat_contab|dat_ric|dat_send|"));
            MDB_PipeADDFld(QStringLiteral("FILES"), QStringLiteral("dat_contab|dat_ric|dat_send|"),
                           QStringLiteral("datetime NULL|datetime NULL|datetime NULL|"), Conn);
            MDB_SetZeroLen(QStringLiteral("FILES"), QStringLiteral("dat_contab|dat_ric|dat_send|"), Conn,
                           QStringLiteral("|"));
        }
        if (!exists("FILES", "des_emit_nome")) {
            const QString list = QStringLiteral("des_emit_nome|des_emit_cogn|des_ric_nome|des_ric_cogn|");
            logUpgrade(QStringLiteral("FILES"), list);
            MDB_PipeADDFld(
                QStringLiteral("FILES"), list,
                QStringLiteral(
                    "varchar( 255) NULL|varchar( 255) NULL|varchar( 255) NULL|varchar( 255) NULL|"),
                Conn);
        }
    }
    for (const IndexDef& ix : kIndexes) {
        if (!exists("FILES", ix.first) || !exists("FILES", ix.second)) continue;
        if (!run([&] {
                Conn.Execute(
                    QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON FILES (%2%3, %4)")
                        .arg(QLatin1String(ix.name), QLatin1String(ix.first),
                             QLatin1String(ix.firstCollation), QLatin1String(ix.second)));
            }))
            return;
    }
}
