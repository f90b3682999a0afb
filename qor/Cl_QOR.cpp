#include "Cl_QOR.h"

#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cerrno>
#include <cmath>
#include <mutex>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace Plicora {

Cl_QOR& Cl_QOR::instance()
{
    static Cl_QOR the;
    return the;
}

// ---------------------------------------------------------------- settings

QString Cl_QOR::IniRead(const QString& section, const QString& key, const QString& def,
                        const QString& file) const
{
    return IniFile::read(file, section, key, def);
}

int Cl_QOR::IniReadInt(const QString& section, const QString& key, int def, const QString& file) const
{
    return IniFile::readInt(file, section, key, def);
}

double Cl_QOR::IniReadDbl(const QString& section, const QString& key, double def, const QString& file) const
{
    if (!IniFile::hasKey(file, section, key)) return def;
    return ToDouble(IniFile::read(file, section, key));
}

bool Cl_QOR::IniWrite(const QString& section, const QString& key, const QString& value,
                      const QString& file) const
{
    return IniFile::write(file, section, key, value);
}

bool Cl_QOR::IniWriteInt(const QString& section, const QString& key, int value, const QString& file) const
{
    return IniFile::write(file, section, key, QString::number(value));
}

bool Cl_QOR::IniWriteLng(const QString& section, const QString& key, qint32 value, const QString& file) const
{
    return IniFile::write(file, section, key, QString::number(value));
}

bool Cl_QOR::IniWriteVar(const QString& section, const QString& key, const QVariant& value,
                         const QString& file) const
{
    QString text;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        text = QString::number(value.toDouble(), 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
        break;
    case QMetaType::QDateTime: {
        const QDateTime d = value.toDateTime();
        text = d.toString(QStringLiteral("dd/MM/yyyy"));
        if (d.time() != QTime(0, 0)) text += d.toString(QStringLiteral(" HH:mm:ss"));
        break;
    }
    case QMetaType::QDate:
        text = value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
        break;
    case QMetaType::Bool:
        text = value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        break;
    default:
        text = value.toString();
        break;
    }
    return IniFile::write(file, section, key, text);
}

// ---------------------------------------------------------------- files and paths

namespace
{
// Paths of this machine separate folders with "/" only: "\" is an ordinary character of
// a Linux file name ("back\slash.xml" is one file of its folder).
int lastSeparator(const QString& path)
{
    return int(path.lastIndexOf(QLatin1Char('/')));
}
} // namespace

bool Cl_QOR::FileExists(const QString& path, int) const
{
    if (path.trimmed().isEmpty()) return false;
    const QFileInfo fi(path);
    return fi.exists() && fi.isFile();
}

QString Cl_QOR::PathFolder(const QString& path) const
{
    const int at = lastSeparator(path);
    return at < 0 ? QString() : path.left(at + 1);
}

QString Cl_QOR::FileBase(const QString& path) const
{
    const QString name = path.mid(lastSeparator(path) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString Cl_QOR::FileExt(const QString& path) const
{
    const QString name = path.mid(lastSeparator(path) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString Cl_QOR::PathSlash(const QString& folder) const
{
    QString f = folder.trimmed();
    if (f.isEmpty() || f.endsWith(QLatin1Char('/'))) return f;
    return f + QLatin1Char('/');
}

// ---------------------------------------------------------------- fields

QString Cl_QOR::GetField(const QString& text, int n, const QString& sep, bool trim) const
{
    if (n < 1) return {};
    if (sep.isEmpty()) return n == 1 ? (trim ? text.trimmed() : text) : QString();
    int start = 0;
    for (int i = 1; i < n; ++i) {
        const int at = text.indexOf(sep, start);
        if (at < 0) return {};
        start = at + sep.size();
    }
    int end = text.indexOf(sep, start);
    if (end < 0) end = text.size();
    const QString f = text.mid(start, end - start);
    return trim ? f.trimmed() : f;
}

int Cl_QOR::FieldCount(const QString& text, const QString& sep) const
{
    if (text.isEmpty()) return 0;
    if (sep.isEmpty()) return 1;
    // Separators are found left to right without overlapping, as GetField and SetField
    // split: "x||||y" at "||" is three fields, "x", "" and "y".
    int n = 1;
    qsizetype last = -1;
    for (qsizetype at = text.indexOf(sep); at >= 0; at = text.indexOf(sep, at + sep.size())) {
        ++n;
        last = at;
    }
    if (last >= 0 && last + sep.size() == text.size()) --n;
    return n;
}

QString Cl_QOR::SetField(const QString& text, int n, const QString& value, const QString& sep) const
{
    if (n < 1 || sep.isEmpty()) return text;
    QStringList parts = text.split(sep);
    // Closed when the last separator found (left to right) ends the text.
    const bool closed = parts.size() > 1 && parts.last().isEmpty();
    if (closed) parts.removeLast();
    while (parts.size() < n)
        parts << QString();
    parts[n - 1] = value;
    QString out = parts.join(sep);
    if (closed) out += sep;
    return out;
}

QString Cl_QOR::SetFieldVar(const QString& text, int n, const QVariant& value, const QString& sep, bool) const
{
    return SetField(text, n, value.toString(), sep);
}

int Cl_QOR::FieldIndex(const QString& text, const QString& find, const QString& sep) const
{
    const int count = FieldCount(text, sep);
    const QString wanted = find.trimmed();
    for (int i = 1; i <= count; ++i)
        if (GetField(text, i, sep, true) == wanted) return i;
    return 0;
}

// ---------------------------------------------------------------- text

QString Cl_QOR::Replace(const QString& text, const QString& find, const QString& with, int start,
                        int count) const
{
    if (find.isEmpty()) return text;
    const int from = qMax(0, start - 1);
    QString head = text.left(from);
    QString tail = text.mid(from);
    if (count <= 0) return head + tail.replace(find, with);
    int pos = 0;
    for (int done = 0; done < count; ++done) {
        const int at = tail.indexOf(find, pos);
        if (at < 0) break;
        tail.replace(at, find.size(), with);
        pos = at + with.size();
    }
    return head + tail;
}

QString Cl_QOR::TrChars(const QString& text, const QString& from, const QString& to) const
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const int k = from.indexOf(c);
        if (k < 0)
            out += c;
        else if (k < to.size())
            out += to[k];
    }
    return out;
}

QString Cl_QOR::Replicate(int n, const QString& pattern) const
{
    if (n <= 0 || pattern.isEmpty()) return {};
    QString out;
    out.reserve(n);
    while (out.size() < n)
        out += pattern;
    out.truncate(n);
    return out;
}

QString Cl_QOR::PadStr(const QString& text, int width, const QString& fill) const
{
    if (width <= 0) return {};
    if (text.size() >= width) return text.left(width);
    return text + Replicate(width - text.size(), fill.isEmpty() ? QStringLiteral(" ") : fill);
}

QString Cl_QOR::PadLeft(const QVariant& value, int length, const QString& fill) const
{
    const QString t = value.toString().trimmed();
    if (t.size() >= length) return t;
    return Replicate(length - t.size(), fill.isEmpty() ? QStringLiteral(" ") : fill) + t;
}

QString Cl_QOR::FormatNum(double value, int width, int decimals) const
{
    if (!std::isfinite(value)) value = 0;
    QString t = QString::number(value, 'f', qMax(0, decimals));
    if (t.startsWith(QLatin1Char('-')) && t.mid(1).toDouble() == 0) t = t.mid(1); // no "-0,00"

    t.replace(QLatin1Char('.'), QLatin1Char(','));
    return PadLeft(t, width, QStringLiteral(" "));
}

QString Cl_QOR::FixStr(const QString& field) const
{
    int end = field.size();
    while (end > 0 && (field[end - 1] == QLatin1Char(' ') || field[end - 1] == QChar(0)))
        --end;
    return field.left(end);
}

QString Cl_QOR::Reverse(const QString& text) const
{
    QString out(text);
    std::reverse(out.begin(), out.end());
    return out;
}

QString Cl_QOR::CutRight(const QString& text, int n) const
{
    if (n <= 0) return text;
    return text.left(qMax(0, text.size() - n));
}

QString Cl_QOR::SqlQuote(const QString& text) const
{
    QString t = text;
    return t.replace(QLatin1Char('\''), QLatin1String("''"));
}

QString Cl_QOR::ToHex(const QString& text) const
{
    return QString::fromLatin1(text.toUtf8().toHex().toUpper());
}

namespace
{
const QByteArray kPwdKey = QByteArrayLiteral("Plicora!Qor");
}

QString Cl_QOR::PwdEncode(const QString& password) const
{
    const QByteArray bytes = password.toUtf8();
    QString out;
    for (int i = 0; i < bytes.size(); ++i) {
        const unsigned char b =
            static_cast<unsigned char>(bytes[i]) ^ static_cast<unsigned char>(kPwdKey[i % kPwdKey.size()]);
        out += QChar(u'A' + (b >> 4));
        out += QChar(u'a' + (b & 0x0F));
    }
    return out;
}

QString Cl_QOR::PwdDecode(const QString& stored) const
{
    QByteArray bytes;
    for (int i = 0; i + 1 < stored.size(); i += 2) {
        const int hi = stored[i].unicode() - u'A';
        const int lo = stored[i + 1].unicode() - u'a';
        if (hi < 0 || hi > 15 || lo < 0 || lo > 15) return {}; // not a stored form
        const int k = static_cast<unsigned char>(kPwdKey[(i / 2) % kPwdKey.size()]);
        bytes += static_cast<char>(((hi << 4) | lo) ^ k);
    }
    return QString::fromUtf8(bytes);
}

QStringList Cl_QOR::WrapLines(const QString& text, int width, int& count, bool) const
{
    QStringList lines;
    const int most = qBound(0, count, 10);
    QString rest = text;
    while (!rest.isEmpty() && lines.size() < most && width > 0) {
        if (rest.size() <= width) {
            lines << rest;
            rest.clear();
            break;
        }
        int cut = rest.lastIndexOf(QLatin1Char(' '), width);
        if (cut <= 0) cut = width;
        lines << rest.left(cut);
        rest = rest.mid(cut);
        if (rest.startsWith(QLatin1Char(' '))) rest = rest.mid(1);
    }
    count = static_cast<int>(lines.size());
    return lines;
}

// ---------------------------------------------------------------- numbers

double Cl_QOR::ToDouble(const QString& text) const
{
    QString t = text.trimmed();
    t.remove(QLatin1Char(' '));
    // With both marks present the last one is the decimal mark, the other groups thousands.
    const int comma = t.lastIndexOf(QLatin1Char(','));
    const int dot = t.lastIndexOf(QLatin1Char('.'));
    if (comma >= 0 && dot >= 0) {
        if (comma > dot)
            t.remove(QLatin1Char('.'));
        else
            t.remove(QLatin1Char(','));
    }
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    // Leading number only, as VB's Val does.
    int i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) ++i;
    bool point = false;
    int digits = 0;
    while (i < t.size() && (t[i].isDigit() || (t[i] == QLatin1Char('.') && !point))) {
        if (t[i] == QLatin1Char('.'))
            point = true;
        else
            ++digits;
        ++i;
    }
    if (digits == 0) return 0;
    // An exponent ("1e3") is taken as well.
    if (i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < t.size() && (t[j] == QLatin1Char('-') || t[j] == QLatin1Char('+'))) ++j;
        if (j < t.size() && t[j].isDigit()) {
            while (j < t.size() && t[j].isDigit())
                ++j;
            i = j;
        }
    }
    return t.left(i).toDouble();
}

int Cl_QOR::ColorBrightness(const QString& hexColor, int scale) const
{
    bool ok = false;
    const uint v = hexColor.trimmed().toUInt(&ok, 16);
    if (!ok) return 0;
    const int r = v & 0xFF, g = (v >> 8) & 0xFF, b = (v >> 16) & 0xFF;
    return static_cast<int>(std::lround((0.299 * r + 0.587 * g + 0.114 * b) / 255.0 * scale));
}

// ---------------------------------------------------------------- dates

QDateTime Cl_QOR::TextToDate(const QString& text, const QDateTime& fallback) const
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return fallback;
    QDateTime quick;
    if (DateText::ToLocal(t, quick)) return quick;
    static const char* const forms[] = {
        "d/M/yyyy H:mm:ss",
        "d/M/yyyy H:mm",
        "d/M/yyyy",
        "d-M-yyyy",
        "d.M.yyyy",
        "yyyy-MM-dd HH:mm:ss",
        "yyyy-MM-ddTHH:mm:ss",
        "yyyy-MM-dd",
        "yyyyMMdd",
        // The form the last ZIP date is written in.
        "yyyy/MM/dd HH:mm:ss",
        "yyyy/MM/dd HH:mm",
        "yyyy/MM/dd",
    };
    for (const char* f : forms) {
        const QDateTime d = QDateTime::fromString(t, QLatin1String(f));
        if (d.isValid()) return d;
    }
    // Two-digit years: 30..99 in the 1900s, 00..29 in the 2000s.
    for (const char* f : {"d/M/yy", "d-M-yy"}) {
        QDate d = QDate::fromString(t, QLatin1String(f));
        if (d.isValid()) {
            if (d.year() < 1930) d = d.addYears(100);
            return QDateTime(d, QTime(0, 0));
        }
    }
    return fallback;
}

QString Cl_QOR::MonthEnd(const QDateTime& date) const
{
    if (!date.isValid()) return {};
    const QDate d = date.date();
    return QDate(d.year(), d.month(), d.daysInMonth()).toString(QStringLiteral("dd/MM/yyyy"));
}

QString Cl_QOR::DateToStr(const QDateTime& date) const
{
    return date.isValid() ? date.date().toString(QStringLiteral("yyyyMMdd")) : QString();
}

QString Cl_QOR::MonthName(int month) const
{
    static const char* const names[] = {"Gennaio",   "Febbraio", "Marzo",    "Aprile",
                                        "Maggio",    "Giugno",   "Luglio",   "Agosto",
                                        "Settembre", "Ottobre",  "Novembre", "Dicembre"};
    return month >= 1 && month <= 12 ? QString::fromLatin1(names[month - 1]) : QString();
}

// ---------------------------------------------------------------- log

namespace
{

// The debug log stays open for the whole run: opening and closing it, and formatting
// the clock, for every line cost more than the work being logged.
class LogSink
{
  public:
    bool write(const QString& path, bool truncate, const QByteArray& bytes)
    {
        if (truncate || path != path_ || !stillAtPath()) {
            close();
            if (!open(path, truncate)) return false;
        }
        // Straight to the file, nothing buffered: a crash right after keeps the line.
        const char* p = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(fd_, p, static_cast<size_t>(left));
            if (n < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            p += n;
            left -= n;
        }
        return true;
    }

    // The stamp changes once a second; a burst of lines reuses its bytes, and only a
    // new second costs a local-time conversion.
    const QByteArray& stamp(const Clock& clock)
    {
        const qint64 ms = clock.nowMsSinceEpoch();
        const qint64 second = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
        if (!stampValid_ || second != stampSecond_) {
            const QDateTime now = clock.now();
            stampBytes_ = now.isValid() ? now.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss ")).toUtf8() : QByteArray();
            stampSecond_ = second;
            stampValid_ = true;
        }
        return stampBytes_;
    }

    std::mutex mutex;

  private:
    bool open(const QString& path, bool truncate)
    {
        const QByteArray name = QFile::encodeName(path);
        const int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (truncate ? O_TRUNC : 0);
        int fd;
        do {
            fd = ::open(name.constData(), flags, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return false;
        struct stat st;
        if (::fstat(fd, &st) != 0) {
            ::close(fd);
            return false;
        }
        fd_ = fd;
        path_ = path;
        name_ = name;
        dev_ = st.st_dev;
        ino_ = st.st_ino;
        watch();
        return true;
    }

    // The log may be moved aside or removed while open (the start-up backup does
    // that); later lines then belong to a new file at the same path.
    bool stillAtPath()
    {
        if (fd_ < 0) return false;
        // Looking the path up costs more than writing the line: while the file is watched,
        // it is looked up only after something renamed, unlinked or changed it.
        if (watch_ >= 0 && !touched()) return true;
        struct stat st;
        return ::stat(name_.constData(), &st) == 0 && st.st_dev == dev_ && st.st_ino == ino_;
    }

    void close()
    {
        if (watch_ >= 0) ::inotify_rm_watch(notify_, watch_);
        watch_ = -1;
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        path_.clear();
    }

    // Asks the kernel to tell when the open log is renamed, unlinked or has its
    // attributes changed. Left unwatched (looked up before every line): when the system
    // offers no watches, on file systems whose other clients' changes it cannot see, and
    // when the path names another file by the time the watch is set.
    void watch()
    {
        if (notify_ == -2) notify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (notify_ < 0) return;
        struct statfs fs;
        if (::fstatfs(fd_, &fs) != 0 || remoteFileSystem(fs.f_type)) return;
        watch_ = ::inotify_add_watch(notify_, name_.constData(), IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF);
        if (watch_ < 0) return;
        touched(); // what was queued before this file is none of its business
        struct stat st;
        if (::stat(name_.constData(), &st) != 0 || st.st_dev != dev_ || st.st_ino != ino_) {
            ::inotify_rm_watch(notify_, watch_);
            watch_ = -1;
        }
    }

    // Whether anything was reported since the last look; the reports are read and gone.
    bool touched()
    {
        alignas(struct inotify_event) char events[4096];
        bool any = false;
        for (;;) {
            const ssize_t n = ::read(notify_, events, sizeof events);
            if (n > 0) {
                any = true;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            // Nothing more to read; a failed read is taken for a change, to be safe.
            return any || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
        }
    }

    static bool remoteFileSystem(__fsword_t type)
    {
        switch (static_cast<unsigned long>(type)) {
        case NFS_SUPER_MAGIC:
        case SMB_SUPER_MAGIC:
        case CIFS_SUPER_MAGIC:
        case SMB2_SUPER_MAGIC:
        case FUSE_SUPER_MAGIC:
        case V9FS_MAGIC:
        case CODA_SUPER_MAGIC:
        case AFS_SUPER_MAGIC:
        case AFS_FS_MAGIC:
        case NCP_SUPER_MAGIC:
            return true;
        default:
            return false;
        }
    }

    int fd_ = -1;
    int notify_ = -2; // the watches' descriptor; -2 before the first try, -1 when refused
    int watch_ = -1;  // the open log's watch, -1 when it has none
    QString path_;
    QByteArray name_;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    QByteArray stampBytes_;
    qint64 stampSecond_ = 0;
    bool stampValid_ = false;
};

LogSink& logSink()
{
    // Never destroyed: a line logged while the program shuts down still finds it.
    static LogSink* const sink = new LogSink;
    return *sink;
}

} // namespace

bool Cl_QOR::WriteLog(const QString& text, int first, const QString& logFile, bool flag) const
{
    if (logFile.isEmpty()) return false;
    LogSink& sink = logSink();
    const std::lock_guard<std::mutex> lock(sink.mutex);
    QByteArray bytes;
    if (flag) bytes = sink.stamp(appClock());
    bytes += text.toUtf8();
    bytes += "\r\n";
    return sink.write(logFile, first != 0, bytes);
}

} // namespace Plicora
