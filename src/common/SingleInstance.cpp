#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zd::common {

SingleInstance::SingleInstance(const QString &name)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = QDir::tempPath();
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name + QStringLiteral(".lock"));
    // Close-on-exec: a program started by this one (zedorev starts the
    // keyboard) must not inherit the descriptor, or it would keep the lock.
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        // No lock file can be made: refusing would keep the program from ever
        // starting, so this copy runs.
        m_first = true;
        return;
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        m_first = true;
    } else {
        ::close(m_fd);
        m_fd = -1;
    }
}

SingleInstance::~SingleInstance()
{
    // The file stays: removing it would let a starting copy lock a new file
    // while another still holds the old one.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace zd::common
