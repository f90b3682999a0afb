// Duplicate removal: the linked folders' copies of archived invoices.
#include "F_XMLCompact.h"

#include "M_Files.h"
#include "M_XML.h"
#include "XML_Stru.h"
#include "foundation/M_MV.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>

#include <sys/stat.h>

namespace
{
const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");
const QString kCrLf = QStringLiteral("\r\n");

bool realRemove(const QString& path, QString* error)
{
    QFile f(path);
    if (f.remove()) return true;
    if (error) *error = f.errorString();
    return false;
}

XMLCompact_RemoveFn& removeFn()
{
    static XMLCompact_RemoveFn fn = realRemove;
    return fn;
}

void log(const QString& text)
{
    Qor().WriteLog(text, 0, Pth_DebugLog, true);
}

// The file behind a path: device and inode, after every symbolic link.
struct FileId {
    bool ok = false;
    dev_t dev = 0;
    ino_t ino = 0;
};

FileId fileId(const QString& path)
{
    FileId id;
    struct stat st {
    };
    const QByteArray p = QFile::encodeName(path);
    if (::stat(p.constData(), &st) == 0) {
        id.ok = true;
        id.dev = st.st_dev;
        id.ino = st.st_ino;
    }
    return id;
}

// Whether two files hold the same bytes; false when either cannot be read.
bool sameBytes(const QString& a, const QString& b)
{
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size()) return false;
    constexpr qint64 kChunk = 64 * 1024;
    while (!fa.atEnd()) {
        const QByteArray ca = fa.read(kChunk);
        if (ca.isEmpty() || ca != fb.read(kChunk)) return false;
    }
    return true;
}

// A FILES row proves a surviving copy only when its file is still there as the row
// describes it, and is not the candidate itself under another name or through a link.
// Its path when it does, else "".
QString liveCopy(const QVariant& desFile, const QVariant& length, const FileId& candidate)
{
    const QString path = ado::ValueText(desFile).trimmed();
    // An old Windows path ("C:\...") is relative here and names no archived file.
    if (path.isEmpty() || !QDir::isAbsolutePath(path)) return {};
    const QFileInfo info(path);
    if (!info.isFile()) return {};
    if (ado::IsNull(length) || info.size() != qint64(length.toDouble())) return {};
    const FileId copy = fileId(path);
    if (!copy.ok || !candidate.ok) return {};
    if (copy.dev == candidate.dev && copy.ino == candidate.ino) return {};
    return path;
}

// True when one of the rows of the query names a surviving copy. With bytesOf, only a copy
// holding the same bytes as that file counts; differs then tells whether a copy was found
// that does not.
bool anyLiveCopy(ado::Connection& cn, const QString& sql, const QVariantList& params, const FileId& candidate,
                 const QString& bytesOf = QString(), bool* differs = nullptr)
{
    ado::Recordset rs;
    rs.Open(sql, cn, ado::adOpenStatic, ado::adLockReadOnly, params);
    bool found = false;
    for (; !found && !rs.EOF_(); rs.MoveNext()) {
        const QString copy = liveCopy(rs["des_file"].Value(), rs["val_lunfile"].Value(), candidate);
        if (copy.isEmpty()) continue;
        found = bytesOf.isEmpty() || sameBytes(copy, bytesOf);
        if (!found && differs) *differs = true;
    }
    rs.Close();
    return found;
}

} // namespace

void XMLCompact_SetRemoveForTests(XMLCompact_RemoveFn fn)
{
    removeFn() = fn ? std::move(fn) : XMLCompact_RemoveFn(realRemove);
}

void F_XMLCompact::Cmd_Compact_Click()
{
    RunGuard run(*this);
    // Whatever way the run ends, the next single click asks again and the window looks idle.
    struct Reset {
        F_XMLCompact& w;
        ~Reset()
        {
            w.B_AutoRun = false;
            w.unsetCursor();
            w.Lbl_Wait->setVisible(false);
        }
    } reset{*this};

    if (Lst_FoldSub->count() == 0) {
        Beep();
        return;
    }
    if (!B_AutoRun) {
        if (MsgBox(QStringLiteral("Confermi eliminazione files doppi ??"),
                   vb::YesNo | vb::Question | vb::DefaultButton1, Caption()) != vb::Yes) {
            Beep();
            return;
        }
        N_Deleted = 0;
    }
    setCursor(Qt::WaitCursor);
    Lbl_Wait->setVisible(true);
    QCoreApplication::processEvents();

    const qint64 key = qint64(Qor().ToDouble(BaseKey()));
    const QStringList bases = baseFolders();
    log(QStringLiteral("==========  Inizio CMD_COMPACT"));

    QElapsedTimer sincePump;
    for (int row = 0; row < Lst_FoldSub->count(); ++row) {
        const QString listed = Qor().GetField(Lst_FoldSub->item(row)->text(), 2, QStringLiteral("|"));
        // Names are joined to the folder directly: without its closing "/" the pattern
        // would list the parent's files, and an empty folder the current directory's.
        const QString folder = Qor().PathSlash(listed.trimmed());
        log(QStringLiteral("            Cartella : ") + folder);
        const QFileInfo dir(folder);
        if (folder.isEmpty() || !dir.isDir() || !dir.isReadable()) {
            log(QStringLiteral("  !!! Cartella collegata non accessibile, saltata : ") + folder);
            continue;
        }
        // A base folder under another spelling, a link or a mount holds the archived copies
        // themselves: their own rows would delete them.
        bool isBase = false;
        for (const QString& b : bases)
            isBase = isBase || SameFolder(b, folder);
        if (isBase) {
            log(QStringLiteral("  !!! Cartella collegata uguale a Cartella Base, saltata : ") + folder);
            continue;
        }

        const QStringList names =
            QDir(folder).entryList({QStringLiteral("*.XML")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QString& name : names) {
            const QString path = folder + name;
            const QFileInfo info(path);
            if (!info.isFile()) continue; // gone since the folder was read
            const qint64 length = info.size();
            const FileId self = fileId(path);

            setStatus(QString::number(length) + QStringLiteral(" , ") + name);
            if (!sincePump.isValid() || sincePump.elapsed() >= 40) {
                QCoreApplication::processEvents();
                sincePump.start();
            }

            // The same name and length is not yet the same invoice: one changed digit keeps
            // both. Only a file holding the archived copy's very bytes goes by name and length;
            // any other has its header read and is judged by its invoice identity below.
            bool differs = false;
            bool known = anyLiveCopy(Cn_DirTmp,
                                     QStringLiteral("SELECT des_file, val_lunfile FROM FILES WHERE cod_firma=? AND ") +
                                         MDB_NameIs() + QStringLiteral(" AND val_lunfile=?"),
                                     {key, name, length}, self, path, &differs);
            if (differs && !known)
                log(QStringLiteral("  !!! Contenuto diverso dalla copia archiviata : ") + name);
            if (known) {
                log(QStringLiteral("  *** File in Cacellazione : ") + name);
            } else {
                log(QStringLiteral("  +++ Approfondimento File : ") + name);
                // A record of its own: one left from the file before would lend it that
                // file's identity.
                XML_Stru rec;
                QString why;
                try {
                    XML_ReadRecord(path, rec);
                } catch (const XML_ReadError& e) {
                    why = e.Description;
                }
                if (!why.isEmpty() || rec.NomeFile().isEmpty()) {
                    log(QStringLiteral("  !!! IMPOSSIBILE LEGGERE IL FILE : ") + path +
                        (why.isEmpty() ? QString() : QStringLiteral(" (") + why + QStringLiteral(")")));
                    continue;
                }
                for (const int code : {0, 4, 1})
                    log(QStringLiteral("      =---> ") +
                        Qor().Replace(rec.ToPipe(code, QStringLiteral("|")), folder, QString()));

                // Receipts and notices carry no invoice identity: blanks would match any of them.
                const bool identified =
                    !rec.NumDoc().trimmed().isEmpty() && !rec.datdoc().trimmed().isEmpty() &&
                    !rec.Emitt().trimmed().isEmpty() && !rec.TipoDoc().trimmed().isEmpty();
                if (identified)
                    known = anyLiveCopy(
                        Cn_DirTmp,
                        QStringLiteral("SELECT des_file, val_lunfile FROM FILES WHERE des_numdoc=? "
                                       "AND des_datdoc=? AND des_emit=? AND cod_tipodoc_min=?"),
                        {rec.NumDoc(), rec.datdoc(), rec.Emitt(), rec.TipoDoc()}, self);
                if (!known) {
                    log(QStringLiteral("  !!! Nessuna copia archiviata presente : ") + name);
                    continue;
                }
                log(QStringLiteral("        *** File in Cacellazione con altro nome : ") +
                    rec.NomeFileSolo());
            }
            // Only the file listed here ever goes.
            QString error;
            if (!QFileInfo::exists(path)) continue;
            if (removeFn()(path, &error))
                ++N_Deleted;
            else
                log(QStringLiteral("  !!! IMPOSSIBILE ELIMINARE IL FILE : ") + path);
        }
    }

    if (!B_AutoRun) {
        setStatus(QStringLiteral("Compattamento completato !!") + kCrLf +
                  (N_Deleted >= 1 ? QStringLiteral("( ") + QString::number(N_Deleted) +
                                        QStringLiteral(" Files Eliminati.)")
                                  : QStringLiteral("(Nessun file eliminato.)")));
        Beep();
    }
    unsetCursor();
    Lbl_Wait->setVisible(false);
    QCoreApplication::processEvents();

    QDateTime now = appClock().now();
    now = now.addMSecs(-now.time().msec());
    Qor().IniWrite(kSec, QStringLiteral("LastCompact"), XML_GeneralDate(now), kIni);
    Qor().IniWriteVar(kSec, QStringLiteral("LastCompact"), now, kIni);
}
