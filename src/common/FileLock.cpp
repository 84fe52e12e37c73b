#include "FileLock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zd::common {

FileLock::FileLock(const QString &file)
{
    const QByteArray path = QFile::encodeName(file);
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0664);
    if (m_fd < 0)   // made by another user: reading is enough to lock it
        m_fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

FileLock::~FileLock()
{
    // The file stays: removing it would let a newcomer lock a new file while
    // another process still holds the old one.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace zd::common
