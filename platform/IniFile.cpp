#include "IniFile.h"

#include "Folders.h"
#include "TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include <functional>

namespace Plicora {

namespace
{

struct Doc {
    QStringList lines;
};

QString sectionName(const QString& line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) return {};
    const int close = t.indexOf(QLatin1Char(']'));
    if (close < 0) return {};
    return t.mid(1, close - 1).trimmed();
}

bool isSectionLine(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']'));
}

bool isComment(const QString& t)
{
    return t.startsWith(QLatin1Char(';'));
}

// Key of a "key=value" line, or a null string when the line holds none.
QString keyOf(const QString& line)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || isComment(t) || isSectionLine(line)) return {};
    const int eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0) return {};
    return t.left(eq).trimmed();
}

QString valueOf(const QString& line)
{
    const int eq = line.indexOf(QLatin1Char('='));
    QString v = line.mid(eq + 1).trimmed();
    if (v.size() >= 2) {
        const QChar q = v.front();
        if ((q == QLatin1Char('"') || q == QLatin1Char('\'')) && v.back() == q) v = v.mid(1, v.size() - 2);
    }
    return v;
}

// ok is false when the file is there but cannot be read whole ("no file" is an empty
// file): a writer must then leave it alone rather than replace it with its one key.
Doc load(const QString& path, bool* ok = nullptr)
{
    Doc d;
    if (ok) *ok = false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (ok) *ok = !QFileInfo::exists(path) && !QFileInfo(path).isSymLink();
        return d;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return d;
    if (ok) *ok = true;
    QString text = TextCodec::decode(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    d.lines = text.split(QLatin1Char('\n'));
    if (!d.lines.isEmpty() && d.lines.back().isEmpty()) d.lines.removeLast();
    return d;
}

// A file with a password key (the SQL login's "UserPwd", the mail's "Passwd") is its
// owner's alone, however it was made before: each save writes a new file anyway.
bool holdsPassword(const Doc& d)
{
    for (const QString& l : d.lines) {
        const QString k = keyOf(l);
        if (k.contains(QLatin1String("pwd"), Qt::CaseInsensitive) ||
            k.contains(QLatin1String("passw"), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool save(const QString& path, const Doc& d)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    // Set on the new file before anything is written to it, so the password is never
    // readable by others, not even for a moment.
    if (holdsPassword(d) && !f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) return false;
    QByteArray out;
    for (const QString& l : d.lines) {
        out += l.toUtf8();
        out += "\r\n";
    }
    if (f.write(out) != out.size()) return false;
    return f.commit();
}

// Range [begin, end) of the lines of the first section with that name; begin is the header line.
bool findSection(const Doc& d, const QString& section, int& begin, int& end)
{
    for (int i = 0; i < d.lines.size(); ++i) {
        if (isSectionLine(d.lines[i]) && sectionName(d.lines[i]).compare(section, Qt::CaseInsensitive) == 0) {
            begin = i;
            end = i + 1;
            while (end < d.lines.size() && !isSectionLine(d.lines[end]))
                ++end;
            return true;
        }
    }
    return false;
}

int findKey(const Doc& d, int begin, int end, const QString& key)
{
    for (int i = begin + 1; i < end; ++i)
        if (keyOf(d.lines[i]).compare(key, Qt::CaseInsensitive) == 0 && !keyOf(d.lines[i]).isNull()) return i;
    return -1;
}

// Index after the last non-blank line of the section, where new keys go.
int insertPoint(const Doc& d, int begin, int end)
{
    int at = end;
    while (at - 1 > begin && d.lines[at - 1].trimmed().isEmpty())
        --at;
    return at;
}

bool modify(const QString& file, const std::function<bool(Doc&)>& change)
{
    const QString path = Folders::resolveIniPath(file);
    QLockFile lock(path + QStringLiteral(".lck"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(10000)) return false;
    bool ok = false;
    Doc d = load(path, &ok);
    if (!ok) return false;
    if (!change(d)) return true; // nothing to change
    return save(path, d);
}

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// Names and values that would write lines or headers of their own are refused: a value
// "x\n[MailXML]\n..." must never plant a section. Callers keep line breaks as "§".
bool sectionOk(const QString& section)
{
    return !hasLineBreak(section) && !section.contains(QLatin1Char(']'));
}

bool keyOk(const QString& key)
{
    return !hasLineBreak(key) && !key.contains(QLatin1Char('='));
}

} // namespace

namespace IniFile
{

QString read(const QString& file, const QString& section, const QString& key, const QString& def)
{
    const Doc d = load(Folders::resolveIniPath(file));
    int b, e;
    if (!findSection(d, section, b, e)) return def;
    const int k = findKey(d, b, e, key);
    return k < 0 ? def : valueOf(d.lines[k]);
}

bool hasKey(const QString& file, const QString& section, const QString& key)
{
    const Doc d = load(Folders::resolveIniPath(file));
    int b, e;
    return findSection(d, section, b, e) && findKey(d, b, e, key) >= 0;
}

int readInt(const QString& file, const QString& section, const QString& key, int def)
{
    if (!hasKey(file, section, key)) return def;
    const QString v = read(file, section, key);
    int i = 0;
    QString digits;
    if (i < v.size() && (v[i] == QLatin1Char('-') || v[i] == QLatin1Char('+'))) digits += v[i++];
    while (i < v.size() && v[i].isDigit())
        digits += v[i++];
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok ? n : 0;
}

QStringList readSection(const QString& file, const QString& section)
{
    const Doc d = load(Folders::resolveIniPath(file));
    QStringList out;
    int b, e;
    if (!findSection(d, section, b, e)) return out;
    for (int i = b + 1; i < e; ++i) {
        const QString t = d.lines[i].trimmed();
        if (!t.isEmpty() && !isComment(t)) out << t;
    }
    return out;
}

QStringList keys(const QString& file, const QString& section)
{
    const Doc d = load(Folders::resolveIniPath(file));
    QStringList out;
    int b, e;
    if (!findSection(d, section, b, e)) return out;
    for (int i = b + 1; i < e; ++i) {
        const QString k = keyOf(d.lines[i]);
        if (!k.isNull() && !out.contains(k, Qt::CaseInsensitive)) out << k;
    }
    return out;
}

QStringList sections(const QString& file)
{
    const Doc d = load(Folders::resolveIniPath(file));
    QStringList out;
    for (const QString& l : d.lines)
        if (isSectionLine(l)) out << sectionName(l);
    return out;
}

bool write(const QString& file, const QString& section, const QString& key, const QString& value)
{
    if (!sectionOk(section) || !keyOk(key) || hasLineBreak(value)) return false;
    return modify(file, [&](Doc& d) {
        const QString line = key + QLatin1Char('=') + value;
        int b, e;
        if (!findSection(d, section, b, e)) {
            d.lines << QLatin1Char('[') + section + QLatin1Char(']') << line;
            return true;
        }
        const int k = findKey(d, b, e, key);
        if (k >= 0) {
            if (d.lines[k] == line) return false;
            d.lines[k] = line;
        } else {
            d.lines.insert(insertPoint(d, b, e), line);
        }
        return true;
    });
}

bool removeKey(const QString& file, const QString& section, const QString& key)
{
    if (!sectionOk(section) || !keyOk(key)) return false;
    return modify(file, [&](Doc& d) {
        int b, e;
        if (!findSection(d, section, b, e)) return false;
        const int k = findKey(d, b, e, key);
        if (k < 0) return false;
        d.lines.removeAt(k);
        return true;
    });
}

bool removeSection(const QString& file, const QString& section)
{
    if (!sectionOk(section)) return false;
    return modify(file, [&](Doc& d) {
        int b, e;
        if (!findSection(d, section, b, e)) return false;
        d.lines.erase(d.lines.begin() + b, d.lines.begin() + e);
        return true;
    });
}

bool writeSection(const QString& file, const QString& section, const QStringList& lines)
{
    if (!sectionOk(section)) return false;
    for (const QString& l : lines)
        if (hasLineBreak(l) || l.trimmed().startsWith(QLatin1Char('['))) return false;
    return modify(file, [&](Doc& d) {
        int b, e;
        if (!findSection(d, section, b, e)) {
            d.lines << QLatin1Char('[') + section + QLatin1Char(']');
            d.lines << lines;
            return true;
        }
        const int keep = insertPoint(d, b, e);
        d.lines.erase(d.lines.begin() + b + 1, d.lines.begin() + keep);
        for (int i = 0; i < lines.size(); ++i)
            d.lines.insert(b + 1 + i, lines[i]);
        return true;
    });
}

} // namespace IniFile

} // namespace Plicora
