#include "ArchiveFile.h"

#include "common/DurableFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace zd::archive {

QString ArchivePath(const QString &programFolder, int year, const QString &documentId)
{
    return programFolder + QStringLiteral("/archive/") + QString::number(year) + QLatin1Char('/') + documentId
         + QStringLiteral(".pdf");
}

WriteOutcome WriteArchiveFile(const QString &path, const QByteArray &bytes, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return WriteOutcome::Failed;
    };
    const QFileInfo target(path);
    if (target.exists())
        return WriteOutcome::AlreadyThere;
    const QString folder = target.absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("cannot create %1").arg(folder));

    QTemporaryFile temp(folder + QStringLiteral("/.") + target.fileName() + QStringLiteral("-XXXXXX"));
    if (!temp.open())
        return fail(QStringLiteral("cannot write in %1: %2").arg(folder, temp.errorString()));
    if (temp.write(bytes) != bytes.size() || !temp.flush())
        return fail(QStringLiteral("cannot write %1: %2").arg(temp.fileName(), temp.errorString()));
    if (::fsync(temp.handle()) != 0)
        return fail(QStringLiteral("cannot flush %1: %2").arg(temp.fileName(), QString::fromLocal8Bit(std::strerror(errno))));
    temp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    // link() refuses an existing name, unlike rename(): a file archived by
    // someone else meanwhile stays as it is.
    if (::link(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData()) != 0) {
        const int err = errno;
        if (err == EEXIST)
            return WriteOutcome::AlreadyThere;
        return fail(QStringLiteral("cannot name %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(err))));
    }
    common::syncFolder(folder);
    return WriteOutcome::Written;  // the temporary name goes with temp
}

} // namespace zd::archive
