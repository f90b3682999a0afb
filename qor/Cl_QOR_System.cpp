// Operations of the utility class that ask the desktop or the machine.
#include "Cl_QOR.h"

#include "platform/Launcher.h"
#include "platform/TextCodec.h"
#include "platform/registry/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QSysInfo>

namespace Plicora {

namespace
{

// Lines of the given group of a desktop-entry style file ("key=value"), in order.
QList<QPair<QString, QString>> groupEntries(const QString& path, const QString& group)
{
    QList<QPair<QString, QString>> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return out;
    bool inGroup = false;
    const QString text = TextCodec::decode(f.readAll());
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inGroup = line.mid(1, line.size() - 2) == group;
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (inGroup && eq > 0) out.append({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
    return out;
}

QStringList xdgDirs(const char* homeVar, const char* homeDefault, const char* dirsVar,
                    const char* dirsDefault)
{
    QStringList dirs;
    const QString home = qEnvironmentVariable(homeVar);
    dirs << (home.isEmpty() ? QDir::homePath() + QLatin1Char('/') + QLatin1String(homeDefault) : home);
    QString more = qEnvironmentVariable(dirsVar);
    if (more.isEmpty()) more = QLatin1String(dirsDefault);
    dirs << more.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return dirs;
}

QStringList configDirs()
{
    return xdgDirs("XDG_CONFIG_HOME", ".config", "XDG_CONFIG_DIRS", "/etc/xdg");
}

QStringList applicationDirs()
{
    QStringList out;
    for (const QString& d :
         xdgDirs("XDG_DATA_HOME", ".local/share", "XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
        out << d + QStringLiteral("/applications");
    return out;
}

// A desktop id ("org.gnome.gedit.desktop", "kde-kate.desktop") to its file.
QString desktopFile(const QString& id)
{
    for (const QString& dir : applicationDirs()) {
        QString p = dir + QLatin1Char('/') + id;
        if (QFileInfo::exists(p)) return p;
        // "kde-kate.desktop" may live as kde/kate.desktop.
        QString sub = id;
        for (int i = sub.indexOf(QLatin1Char('-')); i >= 0; i = sub.indexOf(QLatin1Char('-'), i + 1)) {
            QString cand = sub;
            cand[i] = QLatin1Char('/');
            if (QFileInfo::exists(dir + QLatin1Char('/') + cand)) return dir + QLatin1Char('/') + cand;
        }
    }
    return {};
}

// The program of a desktop file's Exec line, as a full path.
QString execProgram(const QString& desktop)
{
    for (const auto& kv : groupEntries(desktop, QStringLiteral("Desktop Entry"))) {
        if (kv.first != QLatin1String("Exec")) continue;
        const QString exec = kv.second;
        QString prog;
        if (exec.startsWith(QLatin1Char('"'))) {
            const int end = exec.indexOf(QLatin1Char('"'), 1);
            prog = exec.mid(1, end < 0 ? -1 : end - 1);
        } else {
            // "env NAME=value program %f" starts the program named after the settings.
            const QStringList words = exec.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            int i = 0;
            if (!words.isEmpty() && words.first() == QLatin1String("env")) {
                i = 1;
                while (i < words.size() && words[i].contains(QLatin1Char('=')))
                    ++i;
            }
            prog = words.value(i);
        }
        if (prog.isEmpty()) return {};
        if (QFileInfo(prog).isAbsolute()) return QFileInfo(prog).isExecutable() ? prog : QString();
        return findProgram(prog);
    }
    return {};
}

// Desktop ids the desktop lists for a MIME type, most preferred first.
QStringList defaultApplications(const QString& mime)
{
    QStringList ids;
    QStringList lists;
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& dir : configDirs()) {
        for (const QString& d : desktops)
            lists << dir + QLatin1Char('/') + d + QStringLiteral("-mimeapps.list");
        lists << dir + QStringLiteral("/mimeapps.list");
    }
    for (const QString& dir : applicationDirs()) {
        for (const QString& d : desktops)
            lists << dir + QLatin1Char('/') + d + QStringLiteral("-mimeapps.list");
        lists << dir + QStringLiteral("/mimeapps.list");
    }
    for (const QString& list : lists)
        for (const auto& kv : groupEntries(list, QStringLiteral("Default Applications")))
            if (kv.first == mime) ids << kv.second.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    // Then whatever the installed applications say they open.
    for (const QString& dir : applicationDirs())
        for (const auto& kv :
             groupEntries(dir + QStringLiteral("/mimeinfo.cache"), QStringLiteral("MIME Cache")))
            if (kv.first == mime) ids << kv.second.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return ids;
}

// The types of the files this program hands to other programs, for a desktop that has
// no MIME database to ask.
QString knownMimeType(const QString& ext)
{
    static const QHash<QString, QString> table{
        {QStringLiteral("txt"), QStringLiteral("text/plain")},
        {QStringLiteral("log"), QStringLiteral("text/x-log")},
        {QStringLiteral("xml"), QStringLiteral("application/xml")},
        {QStringLiteral("pdf"), QStringLiteral("application/pdf")},
        {QStringLiteral("htm"), QStringLiteral("text/html")},
        {QStringLiteral("html"), QStringLiteral("text/html")},
        {QStringLiteral("zip"), QStringLiteral("application/zip")},
        {QStringLiteral("p7m"), QStringLiteral("application/pkcs7-mime")},
        {QStringLiteral("jpg"), QStringLiteral("image/jpeg")},
        {QStringLiteral("jpeg"), QStringLiteral("image/jpeg")},
        {QStringLiteral("png"), QStringLiteral("image/png")},
        {QStringLiteral("tif"), QStringLiteral("image/tiff")},
        {QStringLiteral("tiff"), QStringLiteral("image/tiff")},
    };
    return table.value(ext.toLower());
}

} // namespace

bool Cl_QOR::OpenURL(const QString& address) const
{
    if (address.trimmed().isEmpty()) return false;
    return launcher().openUrl(address.trimmed());
}

QString Cl_QOR::ExtProgram(const QString& extension) const
{
    QString ext = extension.trimmed();
    if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
    if (ext.isEmpty()) return {};
    const QMimeDatabase db;
    const QMimeType type =
        db.mimeTypeForFile(QStringLiteral("file.") + ext.toLower(), QMimeDatabase::MatchExtension);
    QStringList mimes;
    if (type.isValid() && !type.isDefault())
        mimes << type.name() << type.aliases();
    else if (const QString known = knownMimeType(ext); !known.isEmpty())
        mimes << known; // no MIME database on this desktop: the types the program opens
    if (mimes.isEmpty()) return {};
    for (const QString& mime : mimes) {
        for (const QString& id : defaultApplications(mime)) {
            const QString file = desktopFile(id.trimmed());
            if (file.isEmpty()) continue;
            const QString prog = execProgram(file);
            if (!prog.isEmpty()) return prog;
        }
    }
    return {};
}

QString Cl_QOR::ComputerName() const
{
    return QSysInfo::machineHostName().toUpper();
}

QString Cl_QOR::RegRead(const QString& fullPath, const QString& sep) const
{
    // The second argument names the separator of the path's parts (callers pass "\\");
    // a value that is not there reads "", so callers can try another key.
    QString path = fullPath.trimmed();
    if (!sep.isEmpty() && sep != QLatin1String("\\")) path.replace(sep, QLatin1String("\\"));
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const int first = path.indexOf(QLatin1Char('\\'));
    const int last = path.lastIndexOf(QLatin1Char('\\'));
    if (first < 0) return QString();
    const QString rootName = path.left(first).toUpper();
    qint32 root = 0;
    if (rootName == QLatin1String("HKEY_CURRENT_USER") || rootName == QLatin1String("HKCU"))
        root = Registry::HKEY_CURRENT_USER;
    else if (rootName == QLatin1String("HKEY_LOCAL_MACHINE") || rootName == QLatin1String("HKLM"))
        root = Registry::HKEY_LOCAL_MACHINE;
    else
        return QString();
    const QString key = last > first ? path.mid(first + 1, last - first - 1) : QString();
    const std::optional<Registry::Value> v = Registry::value(root, key, path.mid(last + 1));
    if (!v) return QString();
    return v->type == Registry::REG_DWORD ? QString::number(v->dword) : v->text;
}

} // namespace Plicora
