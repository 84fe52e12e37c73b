#include "DurableFiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace zd::common {

namespace {

bool syncPath(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

bool syncFile(const QString &path)
{
    return syncPath(path, O_RDONLY);
}

bool syncFolder(const QString &folder)
{
    return syncPath(folder, O_RDONLY | O_DIRECTORY);
}

bool replaceFile(const QString &source, const QString &target, QString *error)
{
    // A file another process wrote and keeps private (a database server's
    // backup) is flushed by its writer.
    if (!syncFile(source) && errno != EACCES) {
        *error = QStringLiteral("cannot flush %1: %2").arg(source, systemError());
        return false;
    }
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) != 0) {
        *error = QStringLiteral("cannot rename %1 to %2: %3").arg(source, target, systemError());
        return false;
    }
    if (!syncFolder(QFileInfo(target).absolutePath())) {
        *error = QStringLiteral("cannot flush the folder of %1: %2").arg(target, systemError());
        return false;
    }
    return true;
}

bool writeFileDurably(const QString &target, const QByteArray &bytes, QString *error)
{
    const QFileInfo info(target);
    const QString temp = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".new");
    QFile file(temp);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = QStringLiteral("cannot write %1: %2").arg(temp, file.errorString());
        return false;
    }
    const bool written = file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
    const QString why = file.errorString().isEmpty() ? systemError() : file.errorString();
    file.close();
    if (!written) {
        *error = QStringLiteral("cannot write %1: %2").arg(temp, why);
        QFile::remove(temp);
        return false;
    }
    if (!replaceFile(temp, target, error)) {
        QFile::remove(temp);
        return false;
    }
    return true;
}

} // namespace zd::common
