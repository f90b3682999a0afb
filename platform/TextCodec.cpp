#include "TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Plicora {

namespace {

// Windows-1252 positions 0x80..0x9F; the rest of the code page is Latin-1.
const char16_t kCp1252High[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                  0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

QByteArray withoutBom(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return bytes.mid(3);
    return bytes;
}

QString decode1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes)
        out.append(TextCodec::fromAnsi(static_cast<unsigned char>(ch)));
    return out;
}

} // namespace

namespace TextCodec {

bool isValidUtf8(const QByteArray& bytes)
{
    return bytes.isValidUtf8();
}

QString decode(const QByteArray& raw)
{
    const QByteArray bytes = withoutBom(raw);
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = dec.decode(bytes);
    if (!dec.hasError())
        return text;
    return decode1252(bytes);
}

QString decodeHead(const QByteArray& raw)
{
    QByteArray bytes = withoutBom(raw);
    // Drop an incomplete UTF-8 sequence at the very end (at most 3 bytes).
    int cut = 0;
    for (int i = 1; i <= 3 && i <= bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[bytes.size() - i]);
        if ((c & 0xC0) == 0x80)
            continue; // continuation byte, keep looking for the lead
        if (c >= 0xC0) {
            const int need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            if (need > i)
                cut = i;
        }
        break;
    }
    const QByteArray body = bytes.left(bytes.size() - cut);
    if (isValidUtf8(body))
        return QString::fromUtf8(body);
    return decode1252(bytes);
}

int ansiCode(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == u && u != 0xFFFD)
            return 0x80 + i;
    if (u >= 0x80 && u < 0xA0)
        return u; // C1 controls map to themselves where 1252 leaves the slot empty
    return 63;
}

QChar fromAnsi(int code)
{
    code &= 0xFF;
    if (code >= 0x80 && code < 0xA0 && kCp1252High[code - 0x80] != 0xFFFD)
        return QChar(kCp1252High[code - 0x80]);
    return QChar(static_cast<char16_t>(code));
}

} // namespace TextCodec

} // namespace Plicora
