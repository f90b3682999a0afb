#include "M_Files.h"

#include "foundation/Proc_Qor.h"
#include "qor/Cl_QOR.h"

using namespace ado;

qint32 MDB_FolderKey(const QString& folder)
{
    return Str_CheckSum(Qor().PathSlash(folder));
}

bool MDB_FilesSave(Connection& Conn, const XML_Stru& Invoice, bool& Sent)
{
    Sent = false;
    const qint32 key = MDB_FolderKey(Qor().PathFolder(Invoice.NomeFile()));
    // Values go in as parameters: a name holding "'" is an ordinary name here. The name
    // compares exactly (the column is NOCASE as Jet's text): "A.xml" and "a.xml" are two files.
    Recordset rs;
    rs.Open(QStringLiteral(
                "SELECT * FROM FILES WHERE des_fileonly=? COLLATE BINARY AND val_lunfile=? and cod_firma=?"),
            Conn, adOpenKeyset, adLockOptimistic,
            QVariantList{Invoice.NomeFileSolo(), Invoice.LenFile(), qint64(key)});
    bool existed = true;
    if (rs.BOF() && rs.EOF_()) {
        existed = false;
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
    } else {
        const QVariant sent = rs["dat_send"].Value();
        static const QDateTime since(QDate(2000, 1, 1), QTime(0, 0));
        if (!IsNull(sent) && sent.metaType().id() == QMetaType::QDateTime && sent.toDateTime() > since)
            Sent = true;
    }
    rs.Close();
    return existed;
}

QString MDB_FilesGetDatSend(Connection& Conn, const XML_Stru& Invoice, double FolderKey)
{
    // File names compare exactly: "A.xml" and "a.xml" are two files here.
    QString sql = QStringLiteral("SELECT * FROM FILES WHERE des_fileonly=? COLLATE BINARY");
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
