#include "foundation/ModRegistro.h"

#include "platform/Folders.h"

namespace
{

constexpr int QueryBufferSize = 1024;

const QString& currentVersionKey()
{
    static const QString k = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion");
    return k;
}

const QString& shellFoldersKey()
{
    static const QString k =
        QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
    return k;
}

bool endsWithSeparator(const QString& p)
{
    return p.endsWith(QLatin1Char('/')) || p.endsWith(QLatin1Char('\\'));
}

// Steps shared by both folder lookups: drop one closing separator, replace the first
// "%NAME%" by the variable, then append the separator when asked.
QString finishFolder(QString path, bool closingSep)
{
    if (endsWithSeparator(path)) path.chop(1);
    const int first = path.indexOf(QLatin1Char('%'));
    if (first >= 0) {
        const int second = path.indexOf(QLatin1Char('%'), first + 1);
        // A lone "%" names no variable: the path stays as it is.
        if (second > first) {
            const QString name = path.mid(first + 1, second - first - 1);
            path = qEnvironmentVariable(name.toLocal8Bit().constData()) + path.mid(second + 1);
        }
    }
    if (closingSep) path += QLatin1Char('/');
    return path;
}

QString hklm(const QString& key, const QString& value)
{
    return Reg_GetValue(HKEY_LOCAL_MACHINE, key, value);
}

QString hkcu(const QString& key, const QString& value)
{
    return Reg_GetValue(HKEY_CURRENT_USER, key, value);
}

} // namespace

bool Reg_OpenKey(qint32& root, const QString& subKey, qint32& opened)
{
    opened = Registry::openKey(root, subKey);
    return opened != 0;
}

bool Reg_SetString(qint32 key, const QString& valueName, const QString& text)
{
    if (key == 0) return false;
    Registry::Value v;
    v.type = Registry::REG_SZ;
    v.text = text;
    return Registry::setValue(key, valueName, v);
}

bool Reg_CloseKey(qint32 key)
{
    return Registry::closeKey(key);
}

bool Reg_QueryValue(qint32 root, const QString& subKey, const QString& valueName, QString& text)
{
    text.clear();
    const qint32 key = Registry::openKey(root, subKey);
    if (key == 0) return false;
    const std::optional<Registry::Value> v = Registry::queryValue(key, valueName);
    Registry::closeKey(key);
    if (!v || v->dataSize() > QueryBufferSize) return false;
    if (v->type == Registry::REG_DWORD)
        text = QStringLiteral("&h") + QStringLiteral("%1").arg(v->dword, 8, 16, QLatin1Char('0')).toUpper();
    else
        text = v->text;
    return true;
}

QString Reg_GetValue(qint32 root, const QString& subKey, const QString& valueName)
{
    QString text;
    return Reg_QueryValue(root, subKey, valueName, text) ? text : QString();
}

QString Reg_SysFolder(int code, bool closingSep)
{
    QString path;
    switch (code) {
    case 0:
        path = Folders::windowsDir();
        break;
    case 1:
        path = hklm(currentVersionKey(), QStringLiteral("ProgramFilesDir"));
        break;
    case 2:
        path = hkcu(QStringLiteral("Environment"), QStringLiteral("Temp"));
        break;
    case 3:
        path = QStringLiteral("/usr/bin");
        break; // where the system's own programs live
    case 4:
        path = hkcu(shellFoldersKey(), QStringLiteral("Personal"));
        break;
    case 5:
        path = hkcu(shellFoldersKey(), QStringLiteral("Desktop"));
        break;
    case 6:
        path = hkcu(shellFoldersKey(), QStringLiteral("Fonts"));
        break;
    case 7:
        path = hklm(currentVersionKey(), QStringLiteral("CommonFilesDir"));
        break;
    case 8:
        path = hkcu(shellFoldersKey(), QStringLiteral("Store Root"));
        break;
    case 9:
        path = hkcu(QStringLiteral("Software\\Microsoft\\Internet Explorer"),
                    QStringLiteral("Download Directory"));
        if (path.isEmpty()) path = hkcu(shellFoldersKey(), QStringLiteral("Personal"));
        break;
    case 10:
        path =
            hklm(QStringLiteral("SOFTWARE\\ODBC\\ODBC.INI\\ODBC File DSN"), QStringLiteral("DefaultDSNDir"));
        break;
    case 11:
        path = hklm(currentVersionKey(), QStringLiteral("ProgramFilesDir (x86)"));
        break;
    default:
        break;
    }
    return finishFolder(path, closingSep);
}

QString SysFolder(int code, bool closingSep)
{
    QString path;
    switch (code) {
    case 1:
        path = hklm(currentVersionKey(), QStringLiteral("ProgramFilesDir"));
        if (path.contains(QLatin1String("(x86)")))
            path = hklm(currentVersionKey(), QStringLiteral("ProgramW6432Dir"));
        break;
    case 7:
        path = hklm(currentVersionKey(), QStringLiteral("CommonFilesDir"));
        if (path.contains(QLatin1String("(x86)")))
            path = hklm(currentVersionKey(), QStringLiteral("CommonW6432Dir"));
        break;
    case 11:
        path = hklm(currentVersionKey(), QStringLiteral("ProgramFilesDir (x86)"));
        break;
    default:
        break;
    }
    return finishFolder(path, closingSep);
}
