#include "DatabaseFile.h"
#include "PosSchema.h"
#include "SqliteDb.h"

#include "common/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace zd::posdemo {

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

bool buildDatabaseFile(const QString &path, const std::function<bool(SqliteDb &, QString *)> &fill,
                       QString *error)
{
    const QString temporary = path + QStringLiteral(".tmp");
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        setError(error, QStringLiteral("cannot create the folder of %1").arg(path));
        return false;
    }
    if (QFileInfo::exists(temporary) && !QFile::remove(temporary)) {
        setError(error, QStringLiteral("cannot remove %1").arg(temporary));
        return false;
    }
    bool ok = false;
    {
        SqliteDb db;
        // Nothing to protect while the file is new: no journal, no syncs.
        ok = db.open(temporary, true, error)
             && db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA locking_mode=EXCLUSIVE;"
                        " PRAGMA cache_size=-65536; PRAGMA temp_store=MEMORY;", error)
             && fill(db, error) && db.exec("PRAGMA journal_mode=DELETE;", error);
    }
    if (ok) {
        // Filled without syncs: put the file on disk before it takes the name.
        const int fd = ::open(QFile::encodeName(temporary).constData(), O_RDONLY);
        ok = fd >= 0 && ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!ok)
            setError(error, QStringLiteral("cannot sync %1").arg(temporary));
    }
    if (ok) {
        std::error_code code;
        std::filesystem::rename(QFile::encodeName(temporary).toStdString(),
                                QFile::encodeName(path).toStdString(), code);
        if (code) {
            ok = false;
            setError(error, QStringLiteral("cannot rename %1 to %2: %3")
                                .arg(temporary, path, QString::fromLocal8Bit(code.message().c_str())));
        }
    }
    if (!ok)
        QFile::remove(temporary);
    else
        common::giveNewFileMode(path);
    return ok;
}

bool writeEmptyPosDatabase(const QString &path, QString *error)
{
    return buildDatabaseFile(path, [](SqliteDb &db, QString *e) { return PosSchema::create(db, e); }, error);
}

} // namespace zd::posdemo
