#pragma once
#include "platform/Shared.h"
#include <QByteArray>
#include <QString>

namespace Plicora PLICORA_SHARED {

namespace TextCodec {

// Text files are written in UTF-8; a file whose bytes are not valid UTF-8 is read
// as Windows-1252, the code page of settings files written on Windows. A byte-order
// mark is skipped.
QString decode(const QByteArray& bytes);
// Same, but a UTF-8 sequence cut at the end of the buffer does not make the whole
// buffer fall back to Windows-1252 (for reads of a fixed-size head of a file).
QString decodeHead(const QByteArray& bytes);
bool isValidUtf8(const QByteArray& bytes);

// Code of a character in Windows-1252 (0..255); 63 ("?") when it has none.
int ansiCode(QChar c);
// The character of a Windows-1252 code (0..255).
QChar fromAnsi(int code);

} // namespace TextCodec

} // namespace Plicora

namespace TextCodec = Plicora::TextCodec;
