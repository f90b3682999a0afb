// The archive's lock file: every connection of this layer holds a shared lock on
// "<archive>.lock" beside the real file (a link is followed), and compaction takes
// it exclusively. A second program, a tool or a copy reaching the archive through
// a link thus keeps the compaction from renaming a new file over the one it writes to.
#pragma once

#include <QString>

namespace ado
{

// The lock file of an archive: beside the file a link points to.
QString ArchiveLockPath(const QString& archive);

// Held for the life of a connection. Connections of one process share one lock.
// Waits a few seconds while another program compacts the archive, then throws
// ado::Error. A lock file that cannot be made (a read-only folder) is no error:
// nothing in such a folder can be compacted either.
class SharedArchiveLock
{
  public:
    explicit SharedArchiveLock(const QString& archive);
    ~SharedArchiveLock();
    SharedArchiveLock(const SharedArchiveLock&) = delete;
    SharedArchiveLock& operator=(const SharedArchiveLock&) = delete;

  private:
    QString key_;
};

// Taken without waiting: acquired() is false, with the reason, while any
// connection (of this process or another) holds the archive.
class ExclusiveArchiveLock
{
  public:
    explicit ExclusiveArchiveLock(const QString& archive);
    ~ExclusiveArchiveLock();
    ExclusiveArchiveLock(const ExclusiveArchiveLock&) = delete;
    ExclusiveArchiveLock& operator=(const ExclusiveArchiveLock&) = delete;

    bool acquired() const { return !key_.isEmpty(); }
    QString reason() const { return reason_; }

  private:
    QString key_;
    QString reason_;
};

// How long a connection waits for a compaction of another program (5 s).
void SetArchiveLockWaitForTests(int milliseconds);

} // namespace ado
