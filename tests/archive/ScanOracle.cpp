#include "ScanOracle.h"

#include "platform/TextCodec.h"
#include "qor/Cl_QOR.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace scanoracle
{
namespace
{

// The working text. Every tag is ASCII and both code pages a file may be in keep ASCII
// bytes as they are, so the search runs on the bytes read and only the values taken are
// decoded. T only ever shrinks from the front; a view keeps the cuts free.
struct Scan {
    QByteArrayView T;
    bool utf8 = true;

    // Position of a literal in T (case-sensitive), -1 when absent.
    qsizetype find(QByteArrayView tag, qsizetype from = 0) const
    {
        // An empty file gives an empty view with no data: nothing to search (and memmem
        // must not see a null pointer).
        if (from < 0 || tag.size() > T.size() - from || tag.isEmpty()) return -1;
        const void* at = memmem(T.data() + from, size_t(T.size() - from), tag.data(), size_t(tag.size()));
        return at ? static_cast<const char*>(at) - T.data() : -1;
    }
    void cutAt(qsizetype at) { T = T.sliced(at); }
    void cutAfter(qsizetype at, QByteArrayView tag) { T = T.sliced(at + tag.size()); }

    // The value of a text: up to its first "<", as it stands (only names are trimmed,
    // by XML_GetTag).
    QString valueOf(QByteArrayView text) const
    {
        const qsizetype lt = text.indexOf('<');
        const QByteArrayView v = lt < 0 ? text : text.first(lt);
        if (utf8) return QString::fromUtf8(v);
        QString out;
        out.reserve(v.size());
        for (const char ch : v)
            out.append(TextCodec::fromAnsi(static_cast<unsigned char>(ch)));
        return out;
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

struct Party {
    QString name, given, surname, vat, cf;
    bool found = false;
};

// One party block (issuer or recipient), searched from the start of s.T.
Party readParty(Scan& s, QByteArrayView open, QByteArrayView close)
{
    static constexpr QByteArrayView idIva("<IdFiscaleIVA>"), idPaese("<IdPaese>"), idCodice("<IdCodice>"),
        codFisc("<CodiceFiscale>"), endAnag("</DatiAnagrafici>"), denom("<Denominazione>"), nome("<Nome>"),
        cognome("<Cognome>");
    Party p;
    const qsizetype a = s.find(open);
    if (a < 0) return p;
    p.found = true;
    s.cutAt(a);
    qsizetype e = s.find(close);
    // Codes are taken from the party's own first <DatiAnagrafici> only: a recipient with a
    // fiscal code alone must not get the VAT id of its nested fiscal representative.
    const qsizetype anagEnd = s.find(endAnag);
    if (e >= 0 && anagEnd >= 0 && anagEnd < e) e = anagEnd;
    const auto before = [e](qsizetype k) { return k >= 0 && e >= 0 && k < e; };

    const qsizetype i = s.find(idIva);
    const qsizetype c = s.find(codFisc);
    if (before(i)) {
        const qsizetype pp = s.find(idPaese, i + 1);
        if (before(pp)) p.vat = s.valueOf(s.T.sliced(pp + idPaese.size())) + QLatin1Char('-');
        const qsizetype q = s.find(idCodice, pp < 0 ? 0 : pp + 1);
        if (before(q)) p.vat += s.valueOf(s.T.sliced(q + idCodice.size()));
    }
    if (before(c)) p.cf = s.valueOf(s.T.sliced(c + codFisc.size()));

    // The name tags are searched over the whole remaining text, not only up to the block's end.
    const qsizetype d = s.find(denom);
    const qsizetype m = s.find(nome);
    const QString opener = QStringLiteral("(");
    if (m >= 0 && (d < 0 || m < d)) {
        s.cutAfter(m, nome);
        p.given = XML_GetTag(s.value(), opener);
        p.name = p.given;
        const qsizetype sn = s.find(cognome);
        if (sn >= 0) {
            s.cutAfter(sn, cognome);
            p.surname = XML_GetTag(s.value(), opener);
            p.name = p.given + QLatin1Char(' ') + p.surname;
        }
    } else if (d >= 0) {
        s.cutAfter(d, denom);
        p.name =
            Qor().Replace(XML_GetTag(s.value(), opener), QStringLiteral("&amp;"), QStringLiteral("&"), 1);
    }
    return p;
}

} // namespace

QString readHeader(const QString& rawPath, XML_Stru& record)
{
    const Cl_QOR& qor = Qor();
    XML_Stru rec;
    // The path as given: on this system "a.xml " and "a.xml" are two files.
    const QString& path = rawPath;
    if (path.isEmpty()) return {};
    // One look at the file answers both "does it exist" and its length and date.
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) return {};
    const qint64 length = info.size();
    QDateTime modified = info.lastModified();
    modified = modified.addMSecs(-modified.time().msec());
    rec.setNomeFile(path);
    rec.setLenFile(static_cast<double>(length));
    rec.setDataFile(XML_GeneralDate(modified));
    const QString result =
        XML_NumStr(static_cast<double>(length)) + QLatin1Char('|') + rec.DataFile() + QStringLiteral("||");
    if (qor.FileExt(path).toUpper() != QLatin1String("XML")) return result;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw XML_ReadError(
            70, QStringLiteral("Impossibile leggere il file %1 (%2)").arg(path, file.errorString()));
    const QByteArray bytes = file.read(qMin(length, XML_HeadBytes));
    if (file.error() != QFileDevice::NoError)
        throw XML_ReadError(75,
                            QStringLiteral("Errore leggendo il file %1 (%2)").arg(path, file.errorString()));
    file.close();
    // Real files are UTF-8, older ones Windows-1252: the head is UTF-8 when its bytes are
    // (a byte-order mark skipped, a character cut at the end of the head tolerated).
    QByteArrayView head(bytes);
    if (head.startsWith("\xEF\xBB\xBF")) head = head.sliced(3);
    const qsizetype cut = length > XML_HeadBytes ? partialTail(head) : 0;
    Scan s;
    s.utf8 = head.first(head.size() - cut).isValidUtf8();
    s.T = s.utf8 ? head.first(head.size() - cut) : head;
    const Party issuer = readParty(s, "<CedentePrestatore>", "</CedentePrestatore>");
    if (issuer.found) {
        rec.setEmittCF(issuer.cf);
        rec.setEmittPI(issuer.vat);
    }
    rec.setEmitt(issuer.name);
    rec.setEmittCogn(issuer.surname);
    rec.setEmittNome(issuer.given);

    const Party recipient = readParty(s, "<CessionarioCommittente>", "</CessionarioCommittente>");
    if (recipient.found) {
        rec.setDestinCF(recipient.cf);
        rec.setDestinPI(recipient.vat);
    }
    rec.setDestin(recipient.name);
    rec.setDestinCogn(recipient.surname);
    rec.setDestinNome(recipient.given);

    QString type, date, number;
    static constexpr QByteArrayView general("<DatiGeneraliDocumento>"), tipo("<TipoDocumento>"),
        data("<Data>"), numero("<Numero>"), attach("<NomeAttachment>");
    const qsizetype g = s.find(general);
    if (g >= 0) {
        s.cutAt(g);
        if (const qsizetype t = s.find(tipo); t >= 0) {
            s.cutAfter(t, tipo);
            type = s.value();
        }
        if (const qsizetype x = s.find(data); x >= 0) {
            s.cutAfter(x, data);
            // "<Data>  2014-12-18 </Data>" occurs in real files: the date is an xs:date, so
            // white space around it is no part of it (and would not fit its column).
            date = xmlTrimmed(s.value());
        }
        if (const qsizetype y = s.find(numero); y >= 0) {
            s.cutAfter(y, numero);
            number = s.value();
        }
    }
    rec.setTipoDoc(type);
    rec.setdatdoc(date);
    rec.setNumDoc(number);

    if (const qsizetype k = s.find(attach); k >= 0) {
        s.cutAfter(k, attach);
        rec.setAttachName(s.value());
    }

    record = rec;
    return record.ToPipe(0, QStringLiteral("|"));
}

} // namespace scanoracle
