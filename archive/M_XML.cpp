#include "M_XML.h"

#include "platform/DateText.h"
#include "platform/TextCodec.h"
#include "qor/Cl_QOR.h"

#include <QDateTime>
#include <QFile>
#include <QVarLengthArray>
#include <QtAlgorithms>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace
{

// The tags the scanner looks for. Each begins with "<" and holds no other "<" or ">"
// than its first and last byte, so at most one of them starts at any "<" of the text,
// and occurrences never overlap.
enum Tag : quint8 {
    TagIssuer,
    TagIssuerEnd,
    TagRecipient,
    TagRecipientEnd,
    TagIdIva,
    TagIdPaese,
    TagIdCodice,
    TagCodFisc,
    TagAnagEnd,
    TagDenom,
    TagNome,
    TagCognome,
    TagGeneral,
    TagTipo,
    TagData,
    TagNumero,
    TagAttach,
    TagCount
};

constexpr QByteArrayView kTags[TagCount] = {
    "<CedentePrestatore>",
    "</CedentePrestatore>",
    "<CessionarioCommittente>",
    "</CessionarioCommittente>",
    "<IdFiscaleIVA>",
    "<IdPaese>",
    "<IdCodice>",
    "<CodiceFiscale>",
    "</DatiAnagrafici>",
    "<Denominazione>",
    "<Nome>",
    "<Cognome>",
    "<DatiGeneraliDocumento>",
    "<TipoDocumento>",
    "<Data>",
    "<Numero>",
    "<NomeAttachment>",
};

// The four bytes after a "<", as one number; tells the wanted tags apart but for
// <Nome> and <NomeAttachment>.
constexpr quint32 tagKey(const char* p)
{
    return quint32(static_cast<unsigned char>(p[1])) | quint32(static_cast<unsigned char>(p[2])) << 8 |
           quint32(static_cast<unsigned char>(p[3])) << 16 | quint32(static_cast<unsigned char>(p[4])) << 24;
}
constexpr unsigned tagSlot(quint32 k)
{
    return (k * 2654435761u) >> 24;
}
struct TagBucket {
    quint32 key = 0;
    quint8 tags[2] = {};
    quint8 count = 0;
};
// The wanted tags by the slot of their key; two keys on one slot would not compile.
constexpr std::array<TagBucket, 256> kBuckets = [] {
    std::array<TagBucket, 256> out{};
    for (int t = 0; t < TagCount; ++t) {
        const quint32 k = tagKey(kTags[t].data());
        TagBucket& b = out[tagSlot(k)];
        if (b.count > 0 && b.key != k) throw "two tags share a slot";
        b.key = k;
        b.tags[b.count++] = static_cast<quint8>(t);
    }
    return out;
}();

// Where each wanted tag occurs in the text, found in one pass over its "<"s. A search for
// a tag from some position is then the first of its occurrences at or after it: the same
// answer a literal search over the text gives.
class TagIndex
{
  public:
    // Indexes the text; ascii() then tells whether every byte of it is below 0x80.
    explicit TagIndex(QByteArrayView text) : begin_(text.data()), end_(text.data() + text.size())
    {
        const auto* const b = reinterpret_cast<const unsigned char*>(begin_);
        const qsizetype n = text.size();
        qsizetype i = 0;
        unsigned char high = 0;
#ifdef __SSE2__
        // Sixteen bytes at a time: the "<"s as a bit mask, the high bits gathered.
        const __m128i lt = _mm_set1_epi8('<');
        __m128i any = _mm_setzero_si128();
        for (; i + 16 <= n; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
            any = _mm_or_si128(any, v);
            for (unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lt))); mask; mask &= mask - 1)
                at(i + qCountTrailingZeroBits(mask));
        }
        if (_mm_movemask_epi8(any) != 0) high = 0x80;
#endif
        for (; i < n; ++i) {
            high |= b[i];
            if (b[i] == '<') at(i);
        }
        ascii_ = (high & 0x80) == 0;
    }

    bool ascii() const
    {
        return ascii_;
    }

    // First occurrence of the tag at or after position from, -1 when there is none.
    qsizetype next(Tag tag, qsizetype from) const
    {
        const auto& list = at_[tag];
        const auto it = std::lower_bound(list.begin(), list.end(), from);
        return it == list.end() ? -1 : *it;
    }

  private:
    // Records the wanted tag that starts at the "<" at position i, if one does.
    Q_ALWAYS_INLINE void at(qsizetype i)
    {
        const char* const p = begin_ + i;
        if (end_ - p < 6) return; // the shortest tag, <Data>, has six bytes
        const quint32 k = tagKey(p);
        const TagBucket& b = kBuckets[tagSlot(k)];
        if (b.key != k) return;
        for (int j = 0; j < b.count; ++j) {
            const QByteArrayView tag = kTags[b.tags[j]];
            if (end_ - p >= tag.size() && std::memcmp(p, tag.data(), size_t(tag.size())) == 0) {
                at_[b.tags[j]].append(static_cast<int>(i));
                return;
            }
        }
    }

    const char* begin_;
    const char* end_;
    bool ascii_ = true;
    QVarLengthArray<int, 4> at_[TagCount];
};

// The working text. Every tag is ASCII and both code pages a file may be in keep ASCII
// bytes as they are, so the search runs on the bytes read and only the values taken are
// decoded. T only ever shrinks from the front; a view keeps the cuts free. off is where T
// starts in the indexed text, which ends where T does.
struct Scan {
    QByteArrayView T;
    qsizetype off = 0;
    const TagIndex* index = nullptr;
    bool utf8 = true;
    bool ascii = false;

    // Position of a tag in T, -1 when absent.
    qsizetype find(Tag tag, qsizetype from = 0) const
    {
        if (from < 0) return -1;
        const qsizetype at = index->next(tag, off + from);
        return at < 0 ? -1 : at - off;
    }
    void cutAt(qsizetype at)
    {
        T = T.sliced(at);
        off += at;
    }
    void cutAfter(qsizetype at, Tag tag) { cutAt(at + kTags[tag].size()); }

    // The value of a text: up to its first "<", as it stands (only names are trimmed,
    // by XML_GetTag).
    QString valueOf(QByteArrayView text) const
    {
        const qsizetype lt = text.indexOf('<');
        const QByteArrayView v = lt < 0 ? text : text.first(lt);
        // ASCII reads the same in every form the file may be in.
        if (ascii) return QString::fromLatin1(v);
        if (utf8) return QString::fromUtf8(v);
        QString out;
        out.reserve(v.size());
        for (const char ch : v)
            out.append(TextCodec::fromAnsi(static_cast<unsigned char>(ch)));
        return out;
    }
    // The value right after an occurrence of a tag.
    QString valueAfter(qsizetype at, Tag tag) const { return valueOf(T.sliced(at + kTags[tag].size())); }
    // The bytes of that value, up to the first "<".
    QByteArrayView bytesAfter(qsizetype at, Tag tag) const
    {
        const QByteArrayView text = T.sliced(at + kTags[tag].size());
        const qsizetype lt = text.indexOf('<');
        return lt < 0 ? text : text.first(lt);
    }
    // Appends the text of a value's bytes, as valueOf reads them.
    void appendValue(QString& out, QByteArrayView v) const
    {
        const bool plain = ascii || std::all_of(v.begin(), v.end(), [](char ch) { return (ch & 0x80) == 0; });
        if (plain)
            out.append(QLatin1StringView(v));
        else if (utf8)
            out.append(QString::fromUtf8(v));
        else
            for (const char ch : v)
                out.append(TextCodec::fromAnsi(static_cast<unsigned char>(ch)));
    }
    QString value() const { return valueOf(T); }
};

// Length of an incomplete UTF-8 sequence at the end of a head cut from a longer file.
qsizetype partialTail(QByteArrayView bytes)
{
    for (qsizetype i = 1; i <= 3 && i <= bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[bytes.size() - i]);
        if ((c & 0xC0) == 0x80) continue;
        if (c >= 0xC0) {
            const int need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            return need > i ? i : 0;
        }
        return 0;
    }
    return 0;
}

// The text without XML white space (blank, tab, CR, LF) around it.
QString xmlTrimmed(const QString& text)
{
    const auto white = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
               c == QLatin1Char('\n');
    };
    qsizetype b = 0, e = text.size();
    while (b < e && white(text[b]))
        ++b;
    while (e > b && white(text[e - 1]))
        --e;
    return text.mid(b, e - b);
}

// Where "&amp;" next occurs in the text from position from, -1 when it does not.
qsizetype ampAt(QStringView text, qsizetype from)
{
    for (qsizetype at = text.indexOf(u'&', from); at >= 0; at = text.indexOf(u'&', at + 1))
        if (text.sliced(at + 1).startsWith(u"amp;")) return at;
    return -1;
}

// Every "&amp;" as "&", left to right, the text made not searched again ("&amp;amp;"
// gives "&amp;"); a text without one comes back as it is.
QString unescapeAmp(const QString& text)
{
    qsizetype at = ampAt(text, 0);
    if (at < 0) return text;
    QString out;
    out.reserve(text.size() - 4);
    qsizetype from = 0;
    do {
        out.append(QStringView(text).sliced(from, at + 1 - from));
        from = at + 5;
        at = ampAt(text, from);
    } while (at >= 0);
    out.append(QStringView(text).sliced(from));
    return out;
}

struct Party {
    QString name, given, surname, vat, cf;
    bool found = false;
};

// One party block (issuer or recipient), searched from the start of s.T.
Party readParty(Scan& s, Tag open, Tag close)
{
    Party p;
    const qsizetype a = s.find(open);
    if (a < 0) return p;
    p.found = true;
    s.cutAt(a);
    qsizetype e = s.find(close);
    // Codes are taken from the party's own first <DatiAnagrafici> only: a recipient with a
    // fiscal code alone must not get the VAT id of its nested fiscal representative.
    const qsizetype anagEnd = s.find(TagAnagEnd);
    if (e >= 0 && anagEnd >= 0 && anagEnd < e) e = anagEnd;
    const auto before = [e](qsizetype k) { return k >= 0 && e >= 0 && k < e; };

    const qsizetype i = s.find(TagIdIva);
    const qsizetype c = s.find(TagCodFisc);
    if (before(i)) {
        const qsizetype pp = s.find(TagIdPaese, i + 1);
        const qsizetype q = s.find(TagIdCodice, pp < 0 ? 0 : pp + 1);
        // Country, "-" and code, built in one text.
        if (before(pp)) {
            const QByteArrayView country = s.bytesAfter(pp, TagIdPaese);
            const QByteArrayView code = before(q) ? s.bytesAfter(q, TagIdCodice) : QByteArrayView();
            p.vat.reserve(country.size() + 1 + code.size());
            s.appendValue(p.vat, country);
            p.vat.append(QLatin1Char('-'));
            s.appendValue(p.vat, code);
        } else if (before(q)) {
            p.vat = s.valueAfter(q, TagIdCodice);
        }
    }
    if (before(c)) p.cf = s.valueAfter(c, TagCodFisc);

    // The name tags are searched over the whole remaining text, not only up to the block's end.
    const qsizetype d = s.find(TagDenom);
    const qsizetype m = s.find(TagNome);
    const QString opener = QStringLiteral("(");
    if (m >= 0 && (d < 0 || m < d)) {
        s.cutAfter(m, TagNome);
        p.given = XML_GetTag(s.value(), opener);
        p.name = p.given;
        const qsizetype sn = s.find(TagCognome);
        if (sn >= 0) {
            s.cutAfter(sn, TagCognome);
            p.surname = XML_GetTag(s.value(), opener);
            p.name = p.given + QLatin1Char(' ') + p.surname;
        }
    } else if (d >= 0) {
        s.cutAfter(d, TagDenom);
        p.name = XML_GetTag(s.value(), opener);
        // Every "&amp;", as Cl_QOR.Replace(name, "&amp;", "&") does.
        p.name = unescapeAmp(p.name);
    }
    return p;
}

// The system's time zone as the C library knows it, brought up to date when TZ changes
// and at most once a second otherwise (the zone file may be replaced while the program
// runs). Each tzset() with TZ unset checks /etc/localtime again: per file it would cost
// more than the rest of the file's date.
void refreshZone()
{
    thread_local time_t lastCheck = -1;
    thread_local QByteArray lastTz;
    thread_local bool hadTz = false;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    const char* tz = std::getenv("TZ");
    const bool sameTz = tz ? hadTz && lastTz == tz : !hadTz;
    if (sameTz && now.tv_sec == lastCheck) return;
    tzset();
    lastCheck = now.tv_sec;
    hadTz = tz != nullptr;
    lastTz = tz ? QByteArray(tz) : QByteArray();
}

// The file's modified time in the general date form (dd/mm/yyyy[ hh:mm:ss]), local time,
// milliseconds dropped, as QFileInfo::lastModified gives it: the same localtime_r Qt
// converts with, without Qt's tzset() on every call.
QString fileDate(const struct stat& st)
{
    const time_t t = st.st_mtim.tv_sec;
    const qint64 msecs = qint64(t) * 1000 + st.st_mtim.tv_nsec / 1000000;
    // Qt takes a time of exactly 0 for no time at all: no date.
    if (msecs == 0) return {};
    refreshZone();
    struct tm local {
    };
    const bool done = localtime_r(&t, &local) != nullptr;
    const int year = local.tm_year + 1900;
    if (!done || year < 1000 || year > 9999 || local.tm_sec > 59) {
        // Years not of four digits, and a leap second, are written as Qt writes them.
        QDateTime when = QDateTime::fromMSecsSinceEpoch(msecs);
        when = when.addMSecs(-when.time().msec());
        return XML_GeneralDate(when);
    }
    return DateText::GeneralText(QDate(year, local.tm_mon + 1, local.tm_mday),
                                 QTime(local.tm_hour, local.tm_min, local.tm_sec));
}

// What one look at the file found: its length and date, and for an XML file the record.
struct Look {
    XML_Found found = XML_Found::Nothing;
    qint64 length = 0;
    QString date;
};

// Reads at most want bytes from the start of an open file; -1 (errno set) on failure.
qsizetype readHead(int fd, char* buffer, qsizetype want)
{
    qsizetype got = 0;
    while (got < want) {
        const ssize_t n = ::read(fd, buffer + got, size_t(want - got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break; // shorter than its length said: it shrank since
        got += n;
    }
    return got;
}

void fillRecord(QByteArrayView bytes, qint64 length, XML_Stru& rec)
{
    // Real files are UTF-8, older ones Windows-1252: the head is UTF-8 when its bytes are
    // (a byte-order mark skipped, a character cut at the end of the head tolerated).
    QByteArrayView head(bytes);
    if (head.startsWith("\xEF\xBB\xBF")) head = head.sliced(3);
    // The index covers the whole head: the bytes a cut drops are no ASCII, so no tag
    // lies in them, and an ASCII head is UTF-8 with nothing to cut.
    const TagIndex index(head);
    Scan s;
    s.index = &index;
    if (index.ascii()) {
        s.T = head;
        s.ascii = true;
    } else {
        const qsizetype cut = length > XML_HeadBytes ? partialTail(head) : 0;
        s.utf8 = head.first(head.size() - cut).isValidUtf8();
        s.T = s.utf8 ? head.first(head.size() - cut) : head;
    }
    const Party issuer = readParty(s, TagIssuer, TagIssuerEnd);
    if (issuer.found) {
        rec.setEmittCF(issuer.cf);
        rec.setEmittPI(issuer.vat);
    }
    rec.setEmitt(issuer.name);
    rec.setEmittCogn(issuer.surname);
    rec.setEmittNome(issuer.given);

    const Party recipient = readParty(s, TagRecipient, TagRecipientEnd);
    if (recipient.found) {
        rec.setDestinCF(recipient.cf);
        rec.setDestinPI(recipient.vat);
    }
    rec.setDestin(recipient.name);
    rec.setDestinCogn(recipient.surname);
    rec.setDestinNome(recipient.given);

    QString type, date, number;
    const qsizetype g = s.find(TagGeneral);
    if (g >= 0) {
        s.cutAt(g);
        if (const qsizetype t = s.find(TagTipo); t >= 0) {
            s.cutAfter(t, TagTipo);
            type = s.value();
        }
        if (const qsizetype x = s.find(TagData); x >= 0) {
            s.cutAfter(x, TagData);
            // "<Data>  2014-12-18 </Data>" occurs in real files: the date is an xs:date, so
            // white space around it is no part of it (and would not fit its column).
            date = xmlTrimmed(s.value());
        }
        if (const qsizetype y = s.find(TagNumero); y >= 0) {
            s.cutAfter(y, TagNumero);
            number = s.value();
        }
    }
    rec.setTipoDoc(type);
    rec.setdatdoc(date);
    rec.setNumDoc(number);

    if (const qsizetype k = s.find(TagAttach); k >= 0) {
        s.cutAfter(k, TagAttach);
        rec.setAttachName(s.value());
    }
}

// The path as given: on this system "a.xml " and "a.xml" are two files. For an XML file,
// one open, one status call on it and one read.
Look lookAt(const QString& path, XML_Stru& record)
{
    Look look;
    // A NUL would end the name early and open another file; Qt names no file with one.
    if (path.isEmpty() || path.contains(QChar(0))) return look;
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (Qor().FileExt(path).toUpper() != QLatin1String("XML")) {
        if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return look;
        look.found = XML_Found::Other;
        look.length = st.st_size;
        look.date = fileDate(st);
        return look;
    }

    // Without O_NONBLOCK a pipe named like an invoice would hang the open; a regular file
    // reads the same either way.
    int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        // No such file (or no regular one) is no error; a file that is there and cannot
        // be opened is.
        if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return look;
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC); // waits out a lease, if any
        if (fd < 0) {
            const QString why = qt_error_string(errno);
            throw XML_ReadError(70, QStringLiteral("Impossibile leggere il file %1 (%2)").arg(path, why));
        }
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return look;

    char buffer[XML_HeadBytes];
    const qsizetype got = readHead(fd, buffer, qMin<qint64>(st.st_size, XML_HeadBytes));
    if (got < 0) {
        const QString why = qt_error_string(errno);
        throw XML_ReadError(75, QStringLiteral("Errore leggendo il file %1 (%2)").arg(path, why));
    }
    // A fresh record, copied from a blank one: building one runs every setter.
    static const XML_Stru blank;
    XML_Stru rec = blank;
    rec.setNomeFile(path);
    rec.setLenFile(static_cast<double>(st.st_size));
    look.date = fileDate(st);
    rec.setDataFile(look.date);
    fillRecord(QByteArrayView(buffer, got), st.st_size, rec);
    look.found = XML_Found::Invoice;
    look.length = st.st_size;
    record = std::move(rec);
    return look;
}

} // namespace

QString XML_GetTag(const QString& text, const QString& openers)
{
    if (openers.isEmpty()) return text;
    QString result = text;
    for (const QChar ch : openers) {
        QChar closer;
        if (ch == QLatin1Char('('))
            closer = QLatin1Char(')');
        else if (ch == QLatin1Char('['))
            closer = QLatin1Char(']');
        else if (ch == QLatin1Char('{'))
            closer = QLatin1Char('}');
        else
            continue;
        // Each opener works on the text passed in, so the last one found decides.
        const qsizetype p = text.indexOf(ch);
        if (p < 0) continue;
        const qsizetype r = text.lastIndexOf(closer);
        // A closer that lies before the opener closes nothing: the name is cut at the
        // opener, as for a name without any closer (joining around it would repeat text).
        result = text.left(p) + (r > p ? text.mid(r + 1) : QString());
    }
    return result.trimmed();
}

XML_Found XML_ReadRecord(const QString& path, XML_Stru& record)
{
    return lookAt(path, record).found;
}

QString XML_ReadHeader(const QString& path, XML_Stru& record)
{
    const Look look = lookAt(path, record);
    switch (look.found) {
    case XML_Found::Nothing:
        return {};
    case XML_Found::Other:
        return XML_NumStr(static_cast<double>(look.length)) + QLatin1Char('|') + look.date +
               QStringLiteral("||");
    case XML_Found::Invoice:
        break;
    }
    return record.ToPipe(0, QStringLiteral("|"));
}
