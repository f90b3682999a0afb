#include "ArchiveLock.h"

#include "Ado.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace ado
{
namespace
{

struct Entry {
    int fd = -1;     // -1: no lock file could be made
    int shared = 0;  // connections of this process holding it
    bool exclusive = false;
};

QHash<QString, Entry>& entries()
{
    static QHash<QString, Entry> e;
    return e;
}

int& waitMs()
{
    static int ms = 5000;
    return ms;
}

int openLockFile(const QString& path)
{
    const QByteArray n = QFile::encodeName(path);
    int fd = ::open(n.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) fd = ::open(n.constData(), O_RDONLY | O_CLOEXEC);
    return fd;
}

bool tryLock(int fd, int op)
{
    int rc;
    do {
        rc = ::flock(fd, op | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

} // namespace

QString ArchiveLockPath(const QString& archive)
{
    const QFileInfo fi(archive);
    const QString real = fi.canonicalFilePath();
    return (real.isEmpty() ? fi.absoluteFilePath() : real) + QStringLiteral(".lock");
}

SharedArchiveLock::SharedArchiveLock(const QString& archive)
{
    if (archive == QLatin1String(":memory:")) return;
    const QString key = ArchiveLockPath(archive);
    auto& all = entries();
    auto it = all.find(key);
    if (it != all.end()) {
        if (it->exclusive)
            throw Error(E_FAIL, QStringLiteral("Archivio '%1' in fase di compattamento.").arg(archive));
        ++it->shared;
        key_ = key;
        return;
    }
    Entry e;
    e.fd = openLockFile(key);
    if (e.fd >= 0) {
        QElapsedTimer t;
        t.start();
        while (!tryLock(e.fd, LOCK_SH)) {
            if (errno != EWOULDBLOCK || t.elapsed() >= waitMs()) {
                ::close(e.fd);
                throw Error(E_FAIL, QStringLiteral("Archivio '%1' in fase di compattamento da parte di un "
                                                   "altro programma: riprovare più tardi.")
                                        .arg(archive));
            }
            QThread::msleep(20);
        }
    }
    e.shared = 1;
    all.insert(key, e);
    key_ = key;
}

SharedArchiveLock::~SharedArchiveLock()
{
    if (key_.isEmpty()) return;
    auto& all = entries();
    auto it = all.find(key_);
    if (it == all.end() || --it->shared > 0) return;
    if (it->fd >= 0) ::close(it->fd); // gives the lock back
    all.erase(it);
}

ExclusiveArchiveLock::ExclusiveArchiveLock(const QString& archive)
{
    const QString key = ArchiveLockPath(archive);
    auto& all = entries();
    if (all.contains(key)) {
        reason_ = QStringLiteral("connessione aperta su ") + archive;
        return;
    }
    const int fd = openLockFile(key);
    if (fd < 0) {
        reason_ = QStringLiteral("impossibile aprire ") + key + QStringLiteral(" (") +
                  QString::fromLocal8Bit(std::strerror(errno)) + QLatin1Char(')');
        return;
    }
    if (!tryLock(fd, LOCK_EX)) {
        const int err = errno;
        ::close(fd);
        reason_ = err == EWOULDBLOCK ? QStringLiteral("archivio in uso da un altro programma: ") + archive
                                     : QStringLiteral("impossibile bloccare ") + key + QStringLiteral(" (") +
                                           QString::fromLocal8Bit(std::strerror(err)) + QLatin1Char(')');
        return;
    }
    Entry e;
    e.fd = fd;
    e.exclusive = true;
    all.insert(key, e);
    key_ = key;
}

ExclusiveArchiveLock::~ExclusiveArchiveLock()
{
    if (key_.isEmpty()) return;
    auto& all = entries();
    auto it = all.find(key_);
    if (it == all.end()) return;
    ::close(it->fd);
    all.erase(it);
}

void SetArchiveLockWaitForTests(int milliseconds)
{
    waitMs() = milliseconds;
}

} // namespace ado
