// BACKUP DATABASE on the embedded engine.
#include "EmbeddedDatabase.h"

#include "common/DurableFiles.h"
#include "common/ProgramFolders.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

namespace zd::sql::embedded {

namespace {

// Repeats a positioned read or write (pread, pwrite) until all of `size`
// bytes at `offset` are done.
template <typename Transfer, typename Bytes>
bool transferAll(Transfer transfer, int fd, Bytes *bytes, qint64 size, qint64 offset)
{
    while (size > 0) {
        const ssize_t done = transfer(fd, bytes, size_t(size), offset);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes += done;
        size -= done;
        offset += done;
    }
    return true;
}

// Copies the database file of `src` into `out`, reading it through the
// connection's own file handle (a second descriptor on the file, once
// closed, would drop every lock this process holds on it). Each part is read
// back from the copy and compared. Returns why it failed, or "".
QString copyAndCompare(sqlite3 *src, int out)
{
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(src, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file
        || !file->pMethods)
        return QStringLiteral("the database file cannot be read");
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK)
        return QStringLiteral("the size of the database file cannot be read");
    // Small parts: fresh megabyte buffers cost more in page faults than the
    // whole copy of a store of a few megabytes.
    constexpr qint64 chunkSize = 1 << 16;
    std::vector<char> chunk(chunkSize), readBack(chunkSize);
    for (qint64 at = 0; at < size;) {
        const qint64 n = std::min<qint64>(chunkSize, size - at);
        if (file->pMethods->xRead(file, chunk.data(), int(n), at) != SQLITE_OK)
            return QStringLiteral("the database file cannot be read at byte %1").arg(at);
        if (!transferAll(::pwrite, out, chunk.data(), n, at))
            return QStringLiteral("cannot write: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        if (!transferAll(::pread, out, readBack.data(), n, at) || std::memcmp(chunk.data(), readBack.data(), size_t(n)) != 0)
            return QStringLiteral("the copy differs from the database at byte %1").arg(at);
        at += n;
    }
    return QString();
}

// A database in write-ahead mode keeps committed pages outside its file:
// SQLite's online backup copies those.
QString onlineBackup(sqlite3 *src, const QString &tempFile)
{
    sqlite3 *dst = nullptr;
    QString error;
    if (sqlite3_open_v2(QFile::encodeName(tempFile).constData(), &dst, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        error = sqliteError(dst, QStringLiteral("cannot write the backup"));
    } else {
        // Nobody sees the temporary file before it is complete and flushed.
        sqlite3_exec(dst, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
        sqlite3_backup *backup = sqlite3_backup_init(dst, "main", src, "main");
        int rc = SQLITE_ERROR;
        if (backup) {
            do {
                rc = sqlite3_backup_step(backup, -1);
                if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                    sqlite3_sleep(20);
            } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
            sqlite3_backup_finish(backup);
        }
        if (rc != SQLITE_DONE || sqlite3_errcode(dst) != SQLITE_OK)
            error = sqliteError(dst, QStringLiteral("BACKUP DATABASE is terminating abnormally"));
    }
    if (sqlite3_close(dst) != SQLITE_OK && error.isEmpty())
        error = QStringLiteral("[embedded] cannot close the backup");
    return error;
}

bool isWriteAhead(sqlite3 *db)
{
    sqlite3_stmt *stmt = nullptr;
    bool wal = false;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        wal = qstricmp(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)), "wal") == 0;
    sqlite3_finalize(stmt);
    return wal;
}

// The copy, made while a read transaction keeps writers from committing:
// the file then holds exactly the last committed state (the first read
// rolls back what a writer killed mid-transaction left).
QString copyDatabase(const QString &sourceFile, const QString &database, QTemporaryFile &temp)
{
    sqlite3 *src = nullptr;
    QString error;
    if (sqlite3_open_v2(QFile::encodeName(sourceFile).constData(), &src, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        error = sqliteError(src, QStringLiteral("cannot read database '%1'").arg(database));
    } else {
        sqlite3_busy_timeout(src, 5000);
        if (isWriteAhead(src)) {
            error = onlineBackup(src, temp.fileName());
        } else if (sqlite3_exec(src, "BEGIN; SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr)
                   != SQLITE_OK) {
            error = sqliteError(src, QStringLiteral("cannot read database '%1'").arg(database));
        } else {
            error = copyAndCompare(src, temp.handle());
            if (!error.isEmpty())
                error = QStringLiteral("[embedded] BACKUP DATABASE is terminating abnormally: ") + error;
            sqlite3_exec(src, "COMMIT", nullptr, nullptr, nullptr);
        }
    }
    sqlite3_close(src);
    return error;
}

} // namespace

bool backupCatalog(const QString &sourceFile, const QString &database, const QString &targetPath,
                   QString *error)
{
    if (!QFileInfo::exists(sourceFile)) {
        *error = QStringLiteral("[embedded] Database '%1' does not exist.").arg(database);
        return false;
    }
    QString target = targetPath;
    target.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QTemporaryFile temp(QFileInfo(target).absolutePath() + QStringLiteral("/.") + QFileInfo(target).fileName()
                        + QStringLiteral(".XXXXXX"));
    if (!temp.open()) {
        *error = QStringLiteral("[embedded] Cannot open backup device '%1': %2").arg(targetPath, temp.errorString());
        return false;
    }
    *error = copyDatabase(sourceFile, database, temp);
    if (!error->isEmpty())
        return false;
    // Readable like any file the program writes (a temporary file is private).
    common::giveNewFileMode(temp.fileName());
    QString why;
    if (!common::replaceFile(temp.fileName(), target, &why)) {
        *error = QStringLiteral("[embedded] Cannot open backup device '%1': %2").arg(targetPath, why);
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}

} // namespace zd::sql::embedded
