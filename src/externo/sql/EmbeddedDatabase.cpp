#include "EmbeddedDatabase.h"
#include "SqlServerDate.h"

#include "common/ProgramFolders.h"


#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QVariant>
#include <cstdio>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace zd::sql::embedded {

namespace {
bool syncPath(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

QString sqliteError(sqlite3 *db, const QString &what)
{
    return QStringLiteral("[embedded] %1: %2").arg(what, QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory"));
}
} // namespace

sqlite3 *handle(const QSqlDatabase &db)
{
    if (!db.isValid() || !db.driver())
        return nullptr;
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

bool prepareConnection(QSqlDatabase &db, QString *error)
{
    QSqlQuery q(db);
    for (const char *pragma : {"PRAGMA foreign_keys = ON", "PRAGMA busy_timeout = 5000"}) {
        if (!q.exec(QLatin1String(pragma))) {
            *error = QStringLiteral("[embedded] %1: %2").arg(QLatin1String(pragma), q.lastError().text());
            return false;
        }
    }
    sqlite3 *h = handle(db);
    if (!h || !datetime::registerFunctions(h)) {
        *error = sqliteError(h, QStringLiteral("cannot register the date functions"));
        return false;
    }
    return true;
}

bool createCatalog(const QString &file, const QString &database, QString *error)
{
    if (QFileInfo::exists(file)) {
        *error = QStringLiteral("[embedded] Database '%1' already exists. Choose a different database name.")
                     .arg(database);
        return false;
    }
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        *error = QStringLiteral("[embedded] cannot create the folder of %1").arg(file);
        return false;
    }
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    // Writing the header makes the file a complete, empty database at once.
    const bool ok = rc == SQLITE_OK
                    && sqlite3_exec(db, "PRAGMA application_id = 1514427990", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok)
        *error = sqliteError(db, QStringLiteral("cannot create %1").arg(file));
    sqlite3_close(db);
    if (!ok)
        QFile::remove(file);
    else
        common::giveNewFileMode(file);
    return ok;
}

bool backupCatalog(const QString &sourceFile, const QString &database, const QString &targetPath,
                   QString *error)
{
    if (!QFileInfo::exists(sourceFile)) {
        *error = QStringLiteral("[embedded] Database '%1' does not exist.").arg(database);
        return false;
    }
    QString target = targetPath;
    target.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString folder = QFileInfo(target).absolutePath();

    QTemporaryFile temp(folder + QStringLiteral("/.") + QFileInfo(target).fileName() + QStringLiteral(".XXXXXX"));
    if (!temp.open()) {
        *error = QStringLiteral("[embedded] Cannot open backup device '%1': %2").arg(targetPath, temp.errorString());
        return false;
    }
    temp.close(); // SQLite writes it; QTemporaryFile removes it unless renamed

    sqlite3 *src = nullptr;
    sqlite3 *dst = nullptr;
    bool ok = false;
    if (sqlite3_open_v2(QFile::encodeName(sourceFile).constData(), &src, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        *error = sqliteError(src, QStringLiteral("cannot read database '%1'").arg(database));
    } else if (sqlite3_open_v2(QFile::encodeName(temp.fileName()).constData(), &dst, SQLITE_OPEN_READWRITE,
                               nullptr) != SQLITE_OK) {
        *error = sqliteError(dst, QStringLiteral("Cannot open backup device '%1'").arg(targetPath));
    } else {
        sqlite3_busy_timeout(src, 5000);
        sqlite3_backup *backup = sqlite3_backup_init(dst, "main", src, "main");
        if (!backup) {
            *error = sqliteError(dst, QStringLiteral("BACKUP DATABASE is terminating abnormally"));
        } else {
            int rc;
            do {
                rc = sqlite3_backup_step(backup, -1);
                if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                    sqlite3_sleep(20);
            } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
            sqlite3_backup_finish(backup);
            ok = rc == SQLITE_DONE && sqlite3_errcode(dst) == SQLITE_OK;
            if (!ok)
                *error = sqliteError(dst, QStringLiteral("BACKUP DATABASE is terminating abnormally"));
        }
    }
    sqlite3_close(src);
    if (sqlite3_close(dst) != SQLITE_OK && ok) {
        *error = QStringLiteral("[embedded] cannot close the backup of '%1'").arg(database);
        ok = false;
    }
    if (!ok)
        return false;

    // Readable like any file the program writes (a temporary file is private).
    common::giveNewFileMode(temp.fileName());
    if (!syncPath(temp.fileName(), O_RDONLY)) {
        *error = QStringLiteral("[embedded] cannot sync the backup of '%1'").arg(database);
        return false;
    }
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
        *error = QStringLiteral("[embedded] Cannot open backup device '%1'.").arg(targetPath);
        return false;
    }
    temp.setAutoRemove(false);
    // The rename itself is durable only once the folder is synced.
    syncPath(folder, O_RDONLY | O_DIRECTORY);
    return true;
}

} // namespace zd::sql::embedded
