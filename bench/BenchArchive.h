#pragma once
// The timing programs' invoice folders and archive: the same synthetic invoices written
// into a folder, and an archive that already records them, as after an earlier run.
#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "archive/M_XML.h"

#include "BenchInvoice.h"

#include <QFile>
#include <QStringList>

#include <cstdio>

namespace benchinv
{

// Writes count invoices "IT01234567890_<i>.xml" (i padded to digits) into folder, the
// same files on every run; gives their paths and adds the bytes written to *total. An
// empty list, told on stderr, when a file cannot be written.
inline QStringList writeInvoices(const QString& folder, int count, int digits, qint64* total = nullptr)
{
    QStringList paths;
    QRandomGenerator rng(20240110);
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QStringLiteral("IT01234567890_%1.xml").arg(i, digits, 10, QLatin1Char('0'));
        const QByteArray bytes = invoice(i, rng);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "Impossibile scrivere %s\n", qPrintable(path));
            return {};
        }
        if (total) *total += bytes.size();
        paths << path;
    }
    return paths;
}

// A new archive at mdb with each folder a base folder and every file recorded, never sent.
inline void recordedArchive(const QString& mdb, const QStringList& folders, const QStringList& paths)
{
    MDB_Create(mdb);
    ado::Connection cn;
    cn.Open(MDB_OpenConn(mdb));
    Upd_Tabs_Compact(cn);
    for (const QString& folder : folders)
        cn.Execute(QStringLiteral("INSERT INTO DIRBASE (cod_firma, des_cartella, flg_tipo_cartella) "
                                  "VALUES (?, ?, 'E')"),
                   {MDB_FolderKey(folder), folder});
    cn.BeginTrans();
    for (const QString& path : paths) {
        XML_Stru rec;
        XML_ReadRecord(path, rec);
        bool sent = false;
        MDB_FilesSave(cn, rec, sent);
    }
    cn.CommitTrans();
    cn.Close();
}

} // namespace benchinv
