#pragma once
#include <QString>

namespace zd::common {

// Held while a piece of work that must not overlap the same work in another
// process runs (two operators of one program folder ending at once): a lock
// on a file, waited for, dropped by the kernel when the holder ends in any
// way. Without a lock file the work runs unguarded rather than not at all.
class FileLock {
public:
    explicit FileLock(const QString &file);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

private:
    int m_fd = -1;
};

} // namespace zd::common
