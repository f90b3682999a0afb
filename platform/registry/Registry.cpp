#include "Registry.h"

#include "platform/Folders.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace Plicora {

namespace Registry
{

namespace
{

struct Key {
    QString path;
    QList<QPair<QString, Value>> values;
};

struct Hive {
    QList<Key> keys;
};

QString rootName(qint32 root)
{
    if (root == HKEY_CURRENT_USER) return QStringLiteral("HKEY_CURRENT_USER");
    if (root == HKEY_LOCAL_MACHINE) return QStringLiteral("HKEY_LOCAL_MACHINE");
    return {};
}

// "\a\\b\" and "a/b" name the same key as "a\b".
QString normalPath(QString path)
{
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    QStringList parts = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (QString& p : parts)
        p = p.trimmed();
    parts.removeAll(QString());
    return parts.join(QLatin1Char('\\'));
}

bool samePath(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isUnder(const QString& path, const QString& parent)
{
    if (parent.isEmpty()) return true;
    return samePath(path, parent) ||
           (path.size() > parent.size() && path.at(parent.size()) == QLatin1Char('\\') &&
            samePath(path.left(parent.size()), parent));
}

QString unescape(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\') && i + 1 < s.size()) ++i;
        out += s[i];
    }
    return out;
}

QString escape(const QString& s)
{
    QString out;
    out.reserve(s.size() + 2);
    for (const QChar c : s) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"')) out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

// Reads a quoted text starting at `at` (on the opening quote); `at` ends after the closing one.
bool readQuoted(const QString& line, int& at, QString& text)
{
    if (at >= line.size() || line[at] != QLatin1Char('"')) return false;
    int i = at + 1;
    QString raw;
    while (i < line.size() && line[i] != QLatin1Char('"')) {
        if (line[i] == QLatin1Char('\\') && i + 1 < line.size()) raw += line[i++];
        raw += line[i++];
    }
    if (i >= line.size()) return false;
    text = unescape(raw);
    at = i + 1;
    return true;
}

Hive parse(const QByteArray& bytes)
{
    Hive h;
    QString text = TextCodec::decode(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Key* current = nullptr;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString path = normalPath(line.mid(1, line.size() - 2));
            current = nullptr;
            for (Key& k : h.keys)
                if (samePath(k.path, path)) current = &k;
            if (!current) {
                h.keys.append(Key{path, {}});
                current = &h.keys.last();
            }
            continue;
        }
        if (!current) continue;
        QString name;
        int at = 0;
        if (line.startsWith(QLatin1Char('@'))) {
            at = 1;
        } else if (!readQuoted(line, at, name)) {
            continue;
        }
        while (at < line.size() && line[at].isSpace())
            ++at;
        if (at >= line.size() || line[at] != QLatin1Char('=')) continue;
        ++at;
        while (at < line.size() && line[at].isSpace())
            ++at;
        Value v;
        const QString rest = line.mid(at);
        if (rest.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
            bool ok = false;
            v.type = REG_DWORD;
            v.dword = rest.mid(6).trimmed().toUInt(&ok, 16);
            if (!ok) continue;
        } else {
            int q = at;
            if (!readQuoted(line, q, v.text)) continue;
        }
        bool replaced = false;
        for (auto& nv : current->values) {
            if (samePath(nv.first, name)) { // the first one written wins, as in an export
                replaced = true;
                break;
            }
        }
        if (!replaced) current->values.append({name, v});
    }
    return h;
}

QByteArray format(qint32 root, const Hive& h)
{
    QString out = QStringLiteral("; ") + rootName(root) + QStringLiteral("\r\n");
    for (const Key& k : h.keys) {
        out += QStringLiteral("\r\n[") + k.path + QStringLiteral("]\r\n");
        for (const auto& nv : k.values) {
            out += nv.first.isEmpty() ? QStringLiteral("@")
                                      : QLatin1Char('"') + escape(nv.first) + QLatin1Char('"');
            out += QLatin1Char('=');
            if (nv.second.type == REG_DWORD)
                out += QStringLiteral("dword:%1").arg(nv.second.dword, 8, 16, QLatin1Char('0'));
            else
                out += QLatin1Char('"') + escape(nv.second.text) + QLatin1Char('"');
            out += QStringLiteral("\r\n");
        }
    }
    return out.toUtf8();
}

bool save(qint32 root, const Hive& h)
{
    QSaveFile f(hiveFile(root));
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = format(root, h);
    if (f.write(bytes) != bytes.size()) return false;
    return f.commit();
}

void put(Hive& h, const QString& subKey, const QString& name, const Value& v)
{
    const QString path = normalPath(subKey);
    for (Key& k : h.keys) {
        if (!samePath(k.path, path)) continue;
        for (auto& nv : k.values) {
            if (samePath(nv.first, name)) {
                nv.second = v;
                return;
            }
        }
        k.values.append({name, v});
        return;
    }
    h.keys.append(Key{path, {{name, v}}});
}

Value sz(const QString& text)
{
    Value v;
    v.text = text;
    return v;
}

QString location(QStandardPaths::StandardLocation loc, const QString& fallback)
{
    const QString p = QStandardPaths::writableLocation(loc);
    return p.isEmpty() ? fallback : p;
}

// The Linux folders that stand for the Windows folder values a fresh hive holds.
Hive seed(qint32 root)
{
    Hive h;
    const QString cv = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion");
    if (root == HKEY_LOCAL_MACHINE) {
        // Programs installed beside the system, one folder each, as under "Program Files".
        put(h, cv, QStringLiteral("ProgramFilesDir"), sz(QStringLiteral("/opt")));
        put(h, cv, QStringLiteral("ProgramW6432Dir"), sz(QStringLiteral("/opt")));
        put(h, cv, QStringLiteral("CommonFilesDir"), sz(QStringLiteral("/usr/share")));
        put(h, cv, QStringLiteral("CommonW6432Dir"), sz(QStringLiteral("/usr/share")));
        // No 32-bit program folder on this system: "ProgramFilesDir (x86)" stays unset.
        put(h, QStringLiteral("SOFTWARE\\ODBC\\ODBC.INI\\ODBC File DSN"), QStringLiteral("DefaultDSNDir"),
            sz(QStringLiteral("/etc/ODBCDataSources")));
    } else if (root == HKEY_CURRENT_USER) {
        const QString home = QDir::homePath();
        put(h, QStringLiteral("Environment"), QStringLiteral("Temp"), sz(QDir::tempPath()));
        const QString sf = cv + QStringLiteral("\\Explorer\\Shell Folders");
        const QString docs = location(QStandardPaths::DocumentsLocation, home + QStringLiteral("/Documents"));
        put(h, sf, QStringLiteral("Personal"), sz(docs));
        put(h, sf, QStringLiteral("Desktop"),
            sz(location(QStandardPaths::DesktopLocation, home + QStringLiteral("/Desktop"))));
        put(h, sf, QStringLiteral("Fonts"),
            sz(location(QStandardPaths::FontsLocation, home + QStringLiteral("/.local/share/fonts"))));
        put(h, QStringLiteral("Software\\Microsoft\\Internet Explorer"), QStringLiteral("Download Directory"),
            sz(location(QStandardPaths::DownloadLocation, home + QStringLiteral("/Downloads"))));
    }
    return h;
}

// ok is false when the hive file exists but cannot be read whole: such a hive is never
// written back, or every key it holds would be lost.
Hive load(qint32 root, bool* ok = nullptr)
{
    if (ok) *ok = false;
    const QString path = hiveFile(root);
    if (path.isEmpty()) return {};
    QFile f(path);
    if (!f.exists()) {
        Hive h = seed(root);
        save(root, h);
        if (ok) *ok = true;
        return h;
    }
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return {};
    if (ok) *ok = true;
    return parse(bytes);
}

// The hive file holds one line per value: a line break in a name or a text would
// write lines of its own.
bool oneLine(const QString& text)
{
    return !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'));
}

const Key* findKey(const Hive& h, const QString& subKey)
{
    const QString path = normalPath(subKey);
    for (const Key& k : h.keys)
        if (samePath(k.path, path)) return &k;
    return nullptr;
}

bool exists(const Hive& h, const QString& subKey)
{
    const QString path = normalPath(subKey);
    if (path.isEmpty()) return true;
    for (const Key& k : h.keys)
        if (isUnder(k.path, path)) return true;
    return false;
}

struct Opened {
    qint32 root;
    QString path;
};

QHash<qint32, Opened>& handles()
{
    static QHash<qint32, Opened> h;
    return h;
}

bool writable(qint32 root)
{
    const QFileInfo fi(hiveFile(root));
    return fi.exists() ? fi.isWritable() : QFileInfo(fi.absolutePath()).isWritable();
}

} // namespace

int Value::dataSize() const
{
    // One ANSI byte per character, plus the closing zero.
    return type == REG_DWORD ? 4 : int(text.size()) + 1;
}

QString hiveFile(qint32 root)
{
    const QString name = rootName(root);
    return name.isEmpty() ? QString() : Folders::registryDir() + name + QStringLiteral(".reg");
}

bool keyExists(qint32 root, const QString& subKey)
{
    if (rootName(root).isEmpty()) return false;
    return exists(load(root), subKey);
}

std::optional<Value> value(qint32 root, const QString& subKey, const QString& name)
{
    if (rootName(root).isEmpty()) return std::nullopt;
    const Hive h = load(root);
    const Key* k = findKey(h, subKey);
    if (!k) return std::nullopt;
    for (const auto& nv : k->values)
        if (samePath(nv.first, name)) return nv.second;
    return std::nullopt;
}

bool setValue(qint32 root, const QString& subKey, const QString& name, const Value& v)
{
    if (rootName(root).isEmpty()) return false;
    if (!oneLine(subKey) || !oneLine(name) || (v.type != REG_DWORD && !oneLine(v.text))) return false;
    // Read, change and write under one lock, as the settings files do, so two processes
    // writing at once never lose each other's values.
    QLockFile lock(hiveFile(root) + QStringLiteral(".lck"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(10000)) return false;
    bool ok = false;
    Hive h = load(root, &ok);
    if (!ok) return false;
    put(h, subKey, name, v);
    return save(root, h);
}

QStringList valueNames(qint32 root, const QString& subKey)
{
    QStringList out;
    if (rootName(root).isEmpty()) return out;
    const Hive h = load(root);
    if (const Key* k = findKey(h, subKey))
        for (const auto& nv : k->values)
            out << nv.first;
    return out;
}

qint32 openKey(qint32 root, const QString& subKey)
{
    QString path = normalPath(subKey);
    if (handles().contains(root)) { // a key opened before, as RegOpenKeyEx allows
        const Opened& o = handles()[root];
        root = o.root;
        path = normalPath(o.path + QLatin1Char('\\') + path);
    }
    if (rootName(root).isEmpty() || !keyExists(root, path) || !writable(root)) return 0;
    static qint32 next = 0x1000;
    const qint32 h = next++;
    handles().insert(h, Opened{root, path});
    return h;
}

bool closeKey(qint32 handle)
{
    return handles().remove(handle) > 0;
}

bool isOpen(qint32 handle)
{
    return handles().contains(handle);
}

std::optional<Value> queryValue(qint32 handle, const QString& name)
{
    const auto it = handles().constFind(handle);
    if (it == handles().constEnd()) return std::nullopt;
    return value(it->root, it->path, name);
}

bool setValue(qint32 handle, const QString& name, const Value& v)
{
    const auto it = handles().constFind(handle);
    if (it == handles().constEnd()) return false;
    return setValue(it->root, it->path, name, v);
}

} // namespace Registry

} // namespace Plicora
