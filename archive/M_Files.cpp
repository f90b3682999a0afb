#include "M_Files.h"

#include "F_XMLCompact.h"
#include "M_XML.h"
#include "foundation/F_MSG.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "platform/DateText.h"
#include "platform/TextCodec.h"
#include "qor/Cl_QOR.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>

#include <algorithm>
#include <optional>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

using namespace ado;

qint32 MDB_FolderKey(const QString& folder)
{
    return Str_CheckSum(Qor().PathSlash(folder));
}

QString MDB_NameIs()
{
    // The column is NOCASE, as Jet compared text; the exact index serves this form.
    return QStringLiteral("des_fileonly=? COLLATE BINARY");
}

QString MDB_FolderFileRow()
{
    return QStringLiteral("SELECT rowid FROM FILES WHERE cod_firma=? AND ") + MDB_NameIs() +
           QStringLiteral(" ORDER BY rowid LIMIT 1");
}

bool MDB_SetDatSend(Connection& Conn, double FolderKey, const QString& Name, const QVariant& When)
{
    return Conn.Execute(QStringLiteral("UPDATE FILES SET dat_send=? WHERE rowid=(") + MDB_FolderFileRow() +
                            QStringLiteral(")"),
                        {When, FolderKey, Name}) > 0;
}

QStringList MDB_XmlFiles(const QString& folder, QStringList* Undecodable)
{
    QStringList names;
    if (Undecodable) Undecodable->clear();
    const QByteArray dirPath = QFile::encodeName(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
    DIR* dir = ::opendir(dirPath.constData());
    if (!dir) return names;
    QByteArray full = dirPath;
    const auto pathOf = [&](const char* name) {
        full.truncate(dirPath.size());
        full.append(name);
        return full.constData();
    };
    const auto statOf = [&](const char* name, struct stat& st) { return ::stat(pathOf(name), &st) == 0; };
    while (const dirent* e = ::readdir(dir)) {
        const QByteArrayView name(e->d_name);
        if (name.size() < 4 || qstrnicmp(name.last(4).data(), ".xml", 4) != 0) continue;
        struct stat st;
        if (!name.isValidUtf8()) {
            // Left out of the listing; a regular file is still named to the user.
            if (Undecodable && statOf(e->d_name, st) && S_ISREG(st.st_mode))
                *Undecodable << TextCodec::decode(name.toByteArray());
            continue;
        }
        if (name.front() == '.') continue; // hidden
        bool take = false;
        switch (e->d_type) {
        case DT_REG:
            take = true;
            break;
        case DT_LNK: // what it points to, when that exists
            take = statOf(e->d_name, st) && !S_ISDIR(st.st_mode);
            break;
        case DT_UNKNOWN: {
            if (::lstat(pathOf(e->d_name), &st) != 0) break;
            if (S_ISLNK(st.st_mode))
                take = ::stat(full.constData(), &st) == 0 && !S_ISDIR(st.st_mode);
            else
                take = S_ISREG(st.st_mode);
            break;
        }
        default: // folders, pipes, devices, sockets
            break;
        }
        if (take) names << QString::fromUtf8(name);
    }
    ::closedir(dir);
    // Qt's order: by the lower-case names, compared as they are, with the same sort
    // (names equal in lower case stay in the order the same steps give them).
    struct Item {
        QString lower, name;
    };
    std::vector<Item> items;
    items.reserve(names.size());
    for (QString& n : names)
        items.push_back({n.toLower(), std::move(n)});
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.lower < b.lower; });
    for (qsizetype k = 0; k < names.size(); ++k)
        names[k] = std::move(items[k].name);
    if (Undecodable) Undecodable->sort();
    return names;
}

void MDB_LogUndecodable(const QString& folder, const QStringList& Undecodable)
{
    for (const QString& bad : Undecodable)
        Qor().WriteLog(QStringLiteral("   *** Nome file non valido (non UTF-8), saltato : ") + folder + bad, 0,
                       Pth_DebugLog, true);
}

namespace
{
// The new row through a recordset of the table, which converts each value as the column
// keeps it.
void saveThroughRecordset(Connection& Conn, const XML_Stru& Invoice, qint32 key)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM FILES WHERE 0"), Conn, adOpenKeyset, adLockOptimistic);
    rs.AddNew();
    rs["cod_firma"] = key;
    rs["des_file"] = Invoice.NomeFile();
    rs["des_fileonly"] = Invoice.NomeFileSolo();
    rs["val_lunfile"] = Invoice.LenFile();
    rs["dat_ric"] = Invoice.DataFile();
    rs["dat_send"] = Null();
    rs["des_datdoc"] = Invoice.datdoc();
    rs["des_numdoc"] = Invoice.NumDoc();
    rs["cod_tipodoc_min"] = Invoice.TipoDoc();
    rs["des_emit"] = Invoice.Emitt();
    rs["cod_emit_cf"] = Invoice.EmittCF();
    rs["cod_emit_pi"] = Invoice.EmittPI();
    rs["des_ric"] = Invoice.Destin();
    rs["cod_ric_cf"] = Invoice.DestinCF();
    rs["cod_ric_pi"] = Invoice.DestinPI();
    rs["des_allegato"] = Invoice.AttachName();
    rs["des_confronto"] = Invoice.Confronto();
    rs.Update();
    rs.Close();
}
} // namespace

namespace
{

// Whether a stored send date counts as sent: later than 01/01/2000 00:00.
bool sentAfter2000(const QVariant& sent)
{
    static const QDateTime since(QDate(2000, 1, 1), QTime(0, 0));
    return !IsNull(sent) && sent.metaType().id() == QMetaType::QDateTime && sent.toDateTime() > since;
}

// A file time as the archive keeps it: Null for a blank text; the archive's own text, made
// from the text's parts, when the quick reader decides (a local date-time costs a look at
// the system's time zone); else the parsed date, invalid when the text is no date.
QVariant archiveDate(const QString& text)
{
    const QStringView t = QStringView(text).trimmed();
    if (t.isEmpty()) return Null();
    const QString iso = DateText::IsoText(t);
    return iso.isNull() ? QVariant(ParseDate(text)) : QVariant(iso);
}

bool invalidDate(const QVariant& v)
{
    return v.metaType().id() == QMetaType::QDateTime && !v.toDateTime().isValid();
}

// The new FILES row of a file not found there.
void insertFileRow(Connection& Conn, const XML_Stru& Invoice, qint32 key)
{
    // Each value as the table's recordset would keep it: the key and the length as
    // numbers, the file time as a date (none when blank), texts as they are.
    const QVariant receivedAt = archiveDate(Invoice.DataFile());
    if (invalidDate(receivedAt)) {
        // No date: the table's recordset answers it with the column's own error.
        saveThroughRecordset(Conn, Invoice, key);
        return;
    }
    Conn.Execute(QStringLiteral("INSERT INTO FILES (cod_firma, des_file, des_fileonly, val_lunfile, dat_ric, "
                                "dat_send, des_datdoc, des_numdoc, cod_tipodoc_min, des_emit, cod_emit_cf, "
                                "cod_emit_pi, des_ric, cod_ric_cf, cod_ric_pi, des_allegato, des_confronto) "
                                "VALUES (?,?,?,?,?,NULL,?,?,?,?,?,?,?,?,?,?,?)"),
                 {double(key), Invoice.NomeFile(), Invoice.NomeFileSolo(), Invoice.LenFile(), receivedAt,
                  Invoice.datdoc(), Invoice.NumDoc(), Invoice.TipoDoc(), Invoice.Emitt(), Invoice.EmittCF(),
                  Invoice.EmittPI(), Invoice.Destin(), Invoice.DestinCF(), Invoice.DestinPI(),
                  Invoice.AttachName(), Invoice.Confronto()});
}

} // namespace

bool MDB_FilesSave(Connection& Conn, const XML_Stru& Invoice, bool& Sent)
{
    Sent = false;
    const qint32 key = MDB_FolderKey(Qor().PathFolder(Invoice.NomeFile()));
    // Values go in as parameters: a name holding "'" is an ordinary name here.
    // Only the send date is read: a folder listed again finds most of its files there.
    Recordset rs;
    rs.Open(QStringLiteral("SELECT rowid, dat_send FROM FILES WHERE ") + MDB_NameIs() +
                QStringLiteral(" AND val_lunfile=? and cod_firma=?"),
            Conn, adOpenStatic, adLockReadOnly,
            QVariantList{Invoice.NomeFileSolo(), Invoice.LenFile(), qint64(key)});
    if (!rs.EOF_()) {
        Sent = sentAfter2000(rs["dat_send"].Value());
        rs.Close();
        return true;
    }
    rs.Close();
    insertFileRow(Conn, Invoice, key);
    return false;
}

namespace
{

// The progress window of one refresh run: shown at its start, hidden and closed on
// every way out. Neither step may stop the run.
class RefreshProgress
{
  public:
    RefreshProgress()
    {
        try {
            F_MSG& m = F_MSG::instance();
            m.Lbl_Head->setText(QStringLiteral("Aggiornamento files in MDB"));
            m.Lbl_Msg->setText(QString());
            m.Show();
        } catch (...) {
        }
    }
    ~RefreshProgress()
    {
        try {
            if (F_MSG::isLoaded()) {
                F_MSG& m = F_MSG::instance();
                m.hide();
                m.Unload();
            }
        } catch (...) {
        }
    }
    RefreshProgress(const RefreshProgress&) = delete;
    RefreshProgress& operator=(const RefreshProgress&) = delete;
    static void show(const QString& text)
    {
        if (F_MSG::isLoaded()) F_MSG::instance().Lbl_Msg->setText(text);
    }
};

QVariant textOrNull(const QString& text)
{
    const QString t = text.trimmed();
    return t.isEmpty() ? Null() : QVariant(t);
}

QString joined(const QVariant& a, const QVariant& b)
{
    return ValueText(a) + QLatin1Char(' ') + ValueText(b);
}

// One refresh run over the files of a folder, inside the caller's transaction.
qint32 refreshFolder(Connection& Conn, const QString& folder, qint32 key)
{
    QStringList undecodable;
    const QStringList names = MDB_XmlFiles(folder, &undecodable);
    MDB_LogUndecodable(folder, undecodable);
    qint32 added = 0;
    QString lastDate;
    QElapsedTimer sincePump;
    // The progress window and the maintenance window show the file read last whenever
    // they get to paint; texts set for every file would cost more than reading it.
    struct Shown {
        QString path, name, datdoc, issuer, recipient, last;
        bool read = false;
    };
    std::optional<Shown> due;
    const auto showDue = [&] {
        if (!due) return;
        const QString crlf = QStringLiteral("\r\n");
        if (!due->read) {
            RefreshProgress::show(due->name);
        } else {
            RefreshProgress::show(Qor().PathFolder(due->path) + crlf + due->name + crlf + due->datdoc + crlf + due->issuer + crlf +
                                  due->recipient + crlf + QStringLiteral("Ultimo: ") + due->last);
            if (F_XMLCompact::isLoaded()) F_XMLCompact::instance().Lbl_XMLFile->setText(Qor().FileBase(due->name));
        }
        due.reset();
    };
    for (const QString& name : names) {
        const QString path = folder + name;
        // A record of its own for each file: a file that vanishes before the read leaves
        // the record empty, never holding the file before it. The read gives the length
        // the lookup wants, from the same look at the file.
        XML_Stru rec;
        XML_ReadRecord(path, rec);
        if (rec.NomeFile().isEmpty()) { // gone since the folder was read
            due = Shown{path, name, {}, {}, {}, {}, false};
            continue;
        }
        const qint64 length = static_cast<qint64>(rec.LenFile());

        Recordset rs;
        rs.Open(QStringLiteral("SELECT rowid AS row_id, des_ric_cogn, des_ric_nome, des_emit_cogn, "
                               "des_emit_nome, des_emit, des_ric FROM FILES WHERE ") +
                    MDB_NameIs() + QStringLiteral(" AND val_lunfile=? AND cod_firma=?"),
                Conn, adOpenStatic, adLockReadOnly, QVariantList{name, length, qint64(key)});
        const bool known = !rs.EOF_();
        QVariantList row;
        if (known)
            for (int i = 0; i < 7; ++i)
                row << rs[i].Value();
        rs.Close();

        if (rec.datdoc() > lastDate) lastDate = rec.datdoc();
        due = Shown{path, name, rec.datdoc(), rec.Emitt(), rec.Destin(), lastDate, true};
        if (!sincePump.isValid() || sincePump.elapsed() >= 40) {
            showDue();
            QCoreApplication::processEvents();
            sincePump.start();
        }

        if (!known) {
            // A file time that is no date is written as none.
            QVariant receivedValue = archiveDate(rec.DataFile());
            if (invalidDate(receivedValue)) receivedValue = Null();
            Conn.Execute(QStringLiteral("INSERT INTO FILES (des_fileonly, val_lunfile, cod_firma, des_file, "
                                        "cod_tipodoc_min, des_numdoc, des_datdoc, des_emit, cod_emit_cf, "
                                        "cod_emit_pi, des_ric, cod_ric_cf, cod_ric_pi, des_allegato, "
                                        "des_confronto, dat_ric) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                         {name, length, qint64(key), rec.NomeFile(), rec.TipoDoc(), rec.NumDoc(),
                          rec.datdoc(), rec.Emitt(), rec.EmittCF(), rec.EmittPI(), rec.Destin(),
                          rec.DestinCF(), rec.DestinPI(), rec.AttachName(), rec.Confronto(),
                          receivedValue});
            ++added;
            continue;
        }
        const QString names4 =
            (ValueText(row[1]) + ValueText(row[2]) + ValueText(row[3]) + ValueText(row[4])).trimmed();
        if (!names4.isEmpty()) continue;
        const QString invoice4 =
            (rec.DestinCogn() + rec.DestinNome() + rec.EmittCogn() + rec.EmittNome()).trimmed();
        if (invoice4.isEmpty()) continue;
        const QVariant ricCogn = textOrNull(rec.DestinCogn()), ricNome = textOrNull(rec.DestinNome());
        const QVariant emitCogn = textOrNull(rec.EmittCogn()), emitNome = textOrNull(rec.EmittNome());
        QVariant emitText = row[5], ricText = row[6];
        if (ValueText(emitText).isEmpty()) emitText = textOrNull(joined(emitCogn, emitNome));
        if (ValueText(ricText).isEmpty()) ricText = textOrNull(joined(ricCogn, ricNome));
        Conn.Execute(QStringLiteral("UPDATE FILES SET des_ric_cogn=?, des_ric_nome=?, des_emit_cogn=?, "
                                    "des_emit_nome=?, des_emit=?, des_ric=? WHERE rowid=?"),
                     {ricCogn, ricNome, emitCogn, emitNome, emitText, ricText, row[0]});
    }
    showDue();
    QCoreApplication::processEvents();
    return added;
}

} // namespace

qint32 MDB_UpdFiles(Connection& Conn, double FolderKey)
{
    const QString stored = MDB_LoadFolders(Conn, FolderKey, false);
    if (stored.isEmpty()) return 0;
    // Names are joined to the folder as a file path is: a folder kept without its closing
    // "/" would otherwise list its parent's files. Its rows go under the key the list
    // gives the same files.
    const QString folder = Qor().PathSlash(stored);
    if (!QFileInfo(folder).isDir()) {
        Qor().WriteLog(QStringLiteral("   *** MDB_UpdFiles : cartella non trovata : ") + folder, 0,
                       Pth_DebugLog, true);
        return 0;
    }
    const qint32 key = MDB_FolderKey(folder);

    RefreshProgress progress;
    // One transaction for the run; a failure keeps what was stored before it.
    Conn.BeginTrans();
    qint32 added = 0;
    try {
        added = refreshFolder(Conn, folder, key);
    } catch (...) {
        try {
            Conn.CommitTrans();
        } catch (...) {
            try {
                Conn.RollbackTrans();
            } catch (...) {
            }
        }
        throw;
    }
    Conn.CommitTrans();
    return added;
}

QString MDB_FilesGetDatSend(Connection& Conn, const XML_Stru& Invoice, double FolderKey)
{
    QString sql = QStringLiteral("SELECT dat_send FROM FILES WHERE ") + MDB_NameIs();
    QVariantList params{Invoice.NomeFileSolo()};
    if (FolderKey > 0) {
        sql += QStringLiteral(" AND cod_firma=?");
        params << FolderKey;
    } else {
        sql += QStringLiteral(" AND val_lunfile=?");
        params << Invoice.LenFile();
    }
    Recordset rs;
    rs.Open(sql, Conn, adOpenStatic, adLockReadOnly, params);
    QString answer;
    if (!rs.EOF_()) answer = ValueText(rs["dat_send"].Value());
    rs.Close();
    return answer;
}

bool MDB_FilesSaveGetDatSend(Connection& Conn, const XML_Stru& Invoice, double FolderKey, bool& Sent,
                             QString& SendDate)
{
    const qint32 key = MDB_FolderKey(Qor().PathFolder(Invoice.NomeFile()));
    if (!(FolderKey > 0) || double(key) != FolderKey) {
        const bool there = MDB_FilesSave(Conn, Invoice, Sent);
        SendDate = MDB_FilesGetDatSend(Conn, Invoice, FolderKey);
        return there;
    }
    Sent = false;
    // Every row of that name in the folder, in the order both lookups meet them (the same
    // index): the first is the one the send date is read from, the first of the same
    // length the one the save finds. The length compares in SQL, as the save's own WHERE
    // does. A row added here comes after the others.
    Recordset rs;
    rs.Open(QStringLiteral("SELECT dat_send, val_lunfile=? FROM FILES WHERE ") + MDB_NameIs() +
                QStringLiteral(" AND cod_firma=?"),
            Conn, adOpenStatic, adLockReadOnly, QVariantList{Invoice.LenFile(), Invoice.NomeFileSolo(), FolderKey});
    SendDate.clear();
    bool first = true, there = false;
    for (; !rs.EOF_(); rs.MoveNext()) {
        const QVariant sent = rs[0].Value();
        if (first) SendDate = ValueText(sent);
        first = false;
        if (rs[1].Value().toInt() == 1) {
            Sent = sentAfter2000(sent);
            there = true;
            break;
        }
    }
    rs.Close();
    if (!there) insertFileRow(Conn, Invoice, key);
    return there;
}

QString MDB_LoadFolders(Connection& Conn, double FolderKey, bool SubFolder)
{
    const QString sql = SubFolder ? QStringLiteral("SELECT * FROM DIRSUB WHERE cod_firma=?")
                                  : QStringLiteral("SELECT * FROM DIRBASE WHERE cod_firma=?");
    Recordset rs;
    rs.Open(sql, Conn, adOpenStatic, adLockReadOnly, QVariantList{FolderKey});
    QString answer;
    if (!rs.EOF_()) answer = ValueText(rs["des_cartella"].Value()).trimmed();
    rs.Close();
    return answer;
}
