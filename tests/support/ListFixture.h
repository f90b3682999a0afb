#pragma once
// The invoice-list fixture: invoice files written into one folder, the archive seeded
// with it as a base folder, and the main window on that folder.
#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "archive/M_XML.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "qor/Cl_QOR.h"
#include "startup/M_MV_Main.h"
#include "support/InvoiceMaker.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTest>

namespace listfx
{

inline const QString kIni = QStringLiteral("QOR_PLCR.INI");
inline const QString kSec = QStringLiteral("ParamXML");

// The shared invoice writer (support/InvoiceMaker.h), under this fixture's names.
using ::Doc;
using ::invoiceXml;

inline QDateTime day(int y, int m, int d, int h = 10)
{
    return QDateTime(QDate(y, m, d), QTime(h, 0));
}

// The entries of an archive and their bytes, as the real 7z extracts them.
inline QMap<QString, QByteArray> extracted(const QString& zip, const QString& outDir)
{
    QMap<QString, QByteArray> out;
    const Launcher::Result r =
        runProcessAndWait(QStringLiteral("7z"), {QStringLiteral("x"), QStringLiteral("-y"),
                                                 QStringLiteral("-o") + outDir, QStringLiteral("--"), zip});
    if (!r.started || r.exitCode != 0) return out;
    const QStringList names = QDir(outDir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& n : names)
        out.insert(n, TestEnv::readFile(outDir + QLatin1Char('/') + n));
    return out;
}

// The FILES condition of one file name. Names compare exactly, "A.xml" and "a.xml" being
// two files, while the column compares without case: the fixture spells it out itself.
inline const QString kExactName = QStringLiteral("des_fileonly=? COLLATE BINARY");

// The send date of the file's first FILES row; invalid when it has none.
inline QVariant datSend(ado::Connection& cn, const QString& name)
{
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM FILES WHERE ") + kExactName + QStringLiteral(" ORDER BY rowid"), cn,
            ado::adOpenStatic, ado::adLockReadOnly, QVariantList{name});
    const QVariant v = rs.EOF_() ? QVariant() : rs["dat_send"].Value();
    rs.Close();
    return v;
}

// One test's program with its main window on one invoice folder.
struct Fixture {
    TestEnv env;
    QString folder;
    ado::Connection cn;

    Fixture()
    {
        G_DirApp = Folders::appDir();
        G_DirWin = Folders::windowsDir();
        G_PgmVisualizzatore = QStringLiteral("/usr/bin/true");
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
        B_Develop = false;
        setProcessEndHandler([](int) {});
        IniFile::write(kIni, kSec, QStringLiteral("LastCompact"), QStringLiteral("10/12/2026"));
        folder = env.work() + QStringLiteral("emesse/");
        QDir().mkpath(folder);
        IniFile::write(kIni, kSec, QStringLiteral("Pth_0"), folder);
        IniFile::write(kIni, kSec, QStringLiteral("DirID"), QString::number(Str_CheckSum(folder)));
        env.dialogs().acceptOkBoxes = true;
    }
    ~Fixture()
    {
        if (cn.State() == ado::adStateOpen) cn.Close();
        if (F_ZipXML::isLoaded()) F_ZipXML::instance().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setProcessEndHandler({});
    }

    QString key() const { return QString::number(Str_CheckSum(folder)); }

    // The archive; with inBase the folder is one of its base folders.
    void archive(bool inBase)
    {
        QCOMPARE(MDB_Create(Pth_DirTmpMDB), 0);
        cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
        Upd_Tabs_Compact(cn);
        if (inBase)
            cn.Execute(QStringLiteral("INSERT INTO DIRBASE (cod_firma, des_cartella, flg_tipo_cartella) "
                                      "VALUES (?, ?, 'E')"),
                       {Str_CheckSum(folder), folder});
    }

    QString write(const QString& name, const Doc& d, const QDateTime& modified = day(2024, 1, 10))
    {
        const QString path = env.writeFile(folder + name, invoiceXml(d));
        setModified(path, modified);
        return path;
    }
    static void setModified(const QString& path, const QDateTime& when)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
    }

    // Records the file in FILES as an earlier run would have, with that send date.
    void record(const QString& path, const QVariant& sent)
    {
        XML_Stru r;
        XML_ReadHeader(path, r);
        bool was = false;
        MDB_FilesSave(cn, r, was);
        cn.Execute(QStringLiteral("UPDATE FILES SET dat_send=? WHERE ") + kExactName,
                   {sent, r.NomeFileSolo()});
    }
    qint64 filesRows(const QString& name = QString())
    {
        ado::Recordset rs;
        if (name.isEmpty())
            rs.Open(QStringLiteral("SELECT * FROM FILES"), cn, ado::adOpenStatic, ado::adLockReadOnly);
        else
            rs.Open(QStringLiteral("SELECT * FROM FILES WHERE ") + kExactName, cn, ado::adOpenStatic,
                    ado::adLockReadOnly, QVariantList{name});
        const qint64 n = rs.RecordCount();
        rs.Close();
        return n;
    }

    F_ZipXML& open(int layout = 0)
    {
        F_ZipXML& w = F_ZipXML::instance();
        w.Show();
        w.Cmb_Ord->setCurrentIndex(layout);
        return w;
    }
    static QStringList rows() { return F_ZipXML::instance().Lst_XMLRows->rows(); }
    // The rows that name a file (gap rows left out), by file name.
    static QStringList listedNames()
    {
        QStringList out;
        const XmlList& l = *F_ZipXML::instance().Lst_XMLRows;
        const int field = l.Layout() == 1 ? 4 : 2;
        for (int i = 0; i < l.ListCount(); ++i)
            if (!l.List(i).contains(QStringLiteral("------------------------"))) out << l.Field(i, field);
        out.sort();
        return out;
    }
    static QStringList gapRows()
    {
        QStringList out;
        for (const QString& r : rows())
            if (r.contains(QStringLiteral("|    ------------------------"))) out << r;
        return out;
    }
    static QString log() { return QString::fromUtf8(TestEnv::readFile(Pth_DebugLog)); }
};

} // namespace listfx
