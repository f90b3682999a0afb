#pragma once
// The raw reads the scanner's and the list's timings are set against: the first
// XML_HeadBytes of each file with open, read and close, and nothing else.
#include "archive/M_XML.h"

#include <QFile>
#include <QStringList>

#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace benchinv
{

enum class RawRead {
    Plain,          // open, read, close
    Status,         // with an fstat of each file: what a reader that gives its length and date must do
    StatusAndPass,  // and one pass over the bytes read, as the least any reader of them does
};

// Reads the head of each file; returns the bytes read (with a pass: the files without a NUL,
// which is in no invoice, so the library's fastest search looks at every byte).
inline qint64 rawReadHeads(const QStringList& paths, RawRead how = RawRead::Plain)
{
    qint64 answer = 0;
    char buffer[XML_HeadBytes];
    struct stat st;
    for (const QString& path : paths) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        if (how == RawRead::Plain || ::fstat(fd, &st) == 0) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (how != RawRead::StatusAndPass)
                answer += n > 0 ? n : 0;
            else if (n > 0 && std::memchr(buffer, 0, size_t(n)) == nullptr)
                ++answer;
        }
        ::close(fd);
    }
    return answer;
}

} // namespace benchinv
