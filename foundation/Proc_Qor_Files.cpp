#include "foundation/Proc_Qor_Files.h"

#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "qor/Cl_QOR.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool File_BAK(const QString& path, double limitKB)
{
    const Cl_QOR& q = Qor();
    if (!q.FileExists(path) || QFileInfo(path).size() <= limitKB * 1024.0) return true;
    const QString bak = q.PathFolder(path) + q.FileBase(path) + QStringLiteral("_BAK.") + q.FileExt(path);
    if (QFile::exists(bak) && !QFile::remove(bak)) return false;
    // The log itself goes only once its copy is safe.
    if (!QFile::copy(path, bak)) return false;
    return QFile::remove(path);
}

bool Shell_ViewFile(const QString& viewer, const QString& file)
{
    const Cl_QOR& q = Qor();
    QString msg;
    if (!q.FileExists(viewer))
        msg =
            QStringLiteral("File visualizzatore : ") + viewer + QStringLiteral("\r\nINESISTENTE !!\r\n\r\n");
    if (!q.FileExists(file))
        msg = QStringLiteral("File da visualizzare : ") + file + QStringLiteral("\r\nINESISTENTE !!\r\n\r\n");
    if (msg.isEmpty()) return launcher().startDetached(viewer, {file});
    MsgBox(msg, vb::OKOnly | vb::Critical, QStringLiteral("Shell_ViewFile"));
    Beep();
    return false;
}

QString NomeFile_Norm(const QString& name)
{
    const Cl_QOR& q = Qor();
    const QString n = name.trimmed();
    return q.FileBase(n) + QLatin1Char('.') + q.FileExt(n);
}

QString VirtualStore_Dir()
{
    const QString local = qEnvironmentVariable("LOCALAPPDATA");
    if (local.isEmpty()) return {};
    QString dir = local;
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    dir += QStringLiteral("VirtualStore");
    return QFileInfo(dir).isDir() ? dir + QLatin1Char('/') : QString();
}

QString VirtualStore_Path(int code, bool closingSep)
{
    const QString dir = VirtualStore_Dir();
    QString path;
    if (!dir.isEmpty()) {
        switch (code) {
        case 0:
            path = dir + QStringLiteral("Windows/");
            break;
        case 1:
            path = dir + QStringLiteral("Program Files (x86)/");
            break;
        case 14:
            path = dir;
            break;
        default:
            break;
        }
    }
    if (closingSep) {
        if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    } else if (path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    return path;
}

void OpenVirtualStore()
{
    const QString path = VirtualStore_Path(14, true);
    if (path.size() < 4) {
        Beep();
        return;
    }
    if (MsgBox(QStringLiteral("Confermi apertura cartella :\r\n") + path, vb::YesNo | vb::Question,
               QStringLiteral("OpenVirtualStore")) == vb::No) {
        Beep();
        return;
    }
    launcher().openFolder(path);
}
