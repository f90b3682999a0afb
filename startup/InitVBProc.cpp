#include "startup/InitVBProc.h"

#include "archive/F_XMLCompact.h"
#include "foundation/StartSettings.h"
#include "foundation/ModRegistro.h"
#include "platform/Dialogs.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/Launcher.h"
#include "platform/printers/PrinterCatalog.h"
#include "printing/GeneraPrtINI.h"
#include "printing/PRT_Globals.h"
#include "printing/PRT_InitPrinter.h"
#include "printing/Rs2List.h"
#include "qor/Cl_QOR.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace
{

const QString SettingsFile = QStringLiteral("QOR_PLCR.INI");
const QString ViewerSection = QStringLiteral("Stampe su Disco");
const QString ViewerKey = QStringLiteral("PgmVisualizzatore");

QString withoutClosingSlash(QString p)
{
    if (p.size() > 1 && p.endsWith(QLatin1Char('/'))) p.chop(1);
    return p;
}

// An installed TextPad: "TextPad 5" .. "TextPad 50" under the 32-bit then the native
// program folder, then versions 5 to 7 under the folder the registry names.
QString findTextPad()
{
    const Cl_QOR& q = Qor();
    QStringList bases;
    for (const QString& b : {SysFolder(11, true), SysFolder(1, true)})
        bases << (b.size() > 1 ? b : QString()); // an unset folder is not the root folder
    for (int n = 5; n <= 50; ++n) {
        for (const QString& b : bases) {
            if (b.isEmpty()) continue;
            const QString p =
                b + QStringLiteral("TextPad ") + QString::number(n) + QStringLiteral("/TextPad.exe");
            if (q.FileExists(p)) return p;
        }
    }
    const QString reg = Reg_SysFolder(1, true);
    if (reg.size() > 1) {
        for (int n = 5; n <= 7; ++n) {
            const QString p =
                reg + QStringLiteral("TextPad ") + QString::number(n) + QStringLiteral("/TextPad.exe");
            if (q.FileExists(p)) return p;
        }
    }
    return {};
}

QString defaultPrinterDescription()
{
    if (QFileInfo::exists(G_DirWin + QStringLiteral("win.ini")))
        return IniFile::read(QStringLiteral("win.ini"), QStringLiteral("windows"), QStringLiteral("device"),
                             QString());
    const std::optional<PrinterInfo> p = printerCatalog().systemDefault();
    if (!p) return {};
    return p->deviceName + QLatin1Char(',') + p->driverName + QLatin1Char(',') + p->port;
}

} // namespace

QString DefaultViewer()
{
    const QString p = findProgram(QStringLiteral("xdg-open"));
    return p.isEmpty() ? QStringLiteral("/usr/bin/xdg-open") : p;
}

void InstallDevelopViews()
{
    // The archive layer cannot reach the list window itself, so it is handed the loader here.
    // Its callers leave the record limit and the other options empty.
    F_XMLCompact::setRs2List([](ado::Recordset& rs, const QString& listName, int maxCol) {
        qint16 mc = static_cast<qint16>(maxCol);
        qint16 numDec = 0;
        Rs2List(&rs, listName, 0, mc, false, false, numDec, false);
    });
}

void InitVBProc()
{
    const Cl_QOR& q = Qor();
    G_DirApp = Folders::appDir();
    PRT_SetControlValues();
    InstallDevelopViews();

    QString registered = q.ExtProgram(QStringLiteral(".TXT"));
    const QString winDir = Folders::windowsDir();
    if (registered.contains(QLatin1String("%SystemRoot%")))
        registered = q.Replace(registered, QStringLiteral("%SystemRoot%"), withoutClosingSlash(winDir));
    G_DirWin = winDir;

    QString defViewer = DefaultViewer();
    if (!registered.isEmpty() && q.FileExists(registered)) defViewer = registered;

    G_PgmVisualizzatore = q.IniRead(ViewerSection, ViewerKey, QString(), SettingsFile);
    if (!G_PgmVisualizzatore.isEmpty() && !q.FileExists(G_PgmVisualizzatore)) G_PgmVisualizzatore.clear();

    if (G_PgmVisualizzatore.isEmpty()) {
        const QString textPad = findTextPad();
        if (!textPad.isEmpty()) {
            G_PgmVisualizzatore = textPad;
            q.IniWrite(ViewerSection, ViewerKey, G_PgmVisualizzatore, SettingsFile);
        } else {
            G_PgmVisualizzatore = IniFile::read(SettingsFile, ViewerSection, ViewerKey, defViewer);
        }
        if (G_PgmVisualizzatore != defViewer && !q.FileExists(G_PgmVisualizzatore) &&
            G_PgmVisualizzatore.toUpper() != defViewer.toUpper()) {
            MsgBox(QStringLiteral("Imposto Viewer con \"") + defViewer +
                       QStringLiteral("\" per assenza file :\r\n") + G_PgmVisualizzatore,
                   vb::OKOnly | vb::Critical, QStringLiteral("InitVBProc"));
            G_PgmVisualizzatore = defViewer;
            q.IniWrite(ViewerSection, ViewerKey, G_PgmVisualizzatore, SettingsFile);
        }
    }

    G_DefPrinter = defaultPrinterDescription();

    if (!q.FileExists(G_DirWin + QStringLiteral("QOR_PRT.INI"))) GeneraPrtINI(false);

    QCoreApplication::processEvents();
    PRT_InitPrinter(QStringLiteral("0"));
    QCoreApplication::processEvents();
}
