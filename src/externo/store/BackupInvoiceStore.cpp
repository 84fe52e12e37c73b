#include "BackupInvoiceStore.h"

#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

#include "common/DurableFiles.h"
#include "common/FileLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <sys/sendfile.h>
#include <unistd.h>

#include <sqlite3.h>

namespace zd {

namespace {

// A backup made by the embedded engine is an SQLite file, compared with the
// store part by part as it was written. Before it counts it must be whole
// (its pages fill the file exactly) and open as a database with its tables,
// as a server verifies a backup set before it is restored.
QString verifyEmbeddedBackup(const QString &file)
{
    sqlite3 *db = nullptr;
    QString error;
    qint64 values[3] = {-1, -1, -1};
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        const char *queries[3] = {"PRAGMA page_count", "PRAGMA page_size",
                                  "SELECT count(*) FROM sqlite_schema WHERE name = 'facturas'"};
        for (int i = 0; i < 3 && error.isEmpty(); ++i) {
            sqlite3_stmt *stmt = nullptr;
            if (sqlite3_prepare_v2(db, queries[i], -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
                values[i] = sqlite3_column_int64(stmt, 0);
            else
                error = QStringLiteral("the backup cannot be read: ") + QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_finalize(stmt);
        }
    } else {
        error = QStringLiteral("cannot open the backup: ") + QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
    }
    sqlite3_close(db);
    if (error.isEmpty() && values[0] * values[1] != QFileInfo(file).size())
        error = QStringLiteral("the backup is incomplete");
    else if (error.isEmpty() && values[2] != 1)
        error = QStringLiteral("the backup holds no invoice table");
    return error;
}

const QLatin1String kBackupName("TRS_FAC_back");

// What an interrupted backup leaves beside the backup file: its temporary
// copy (and any journal of it), the engine's own temporary file, and the
// previous backup that earlier versions moved aside while writing.
void removeLeftovers(const QString &folder)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if ((name.startsWith(QLatin1Char('.')) && name.contains(kBackupName))
            || name == kBackupName + QStringLiteral(".previous"))
            QFile::remove(entry.absoluteFilePath());
    }
}

// The copy beside the backup, made the same way: written and flushed to a
// temporary file beside its destination, then renamed over it once the
// backup it copies has passed its verification (`verified`). The source is
// given open, as its name changes meanwhile. Returns why it failed, or "".
QString makeCopy(int source, const QString &destination, std::shared_future<bool> verified)
{
    const QFileInfo target(destination);
    const QString temp = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".new");
    const int out = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    bool ok = out >= 0;
    for (off_t at = 0; ok;) {
        const ssize_t sent = ::sendfile(out, source, &at, 1 << 30);
        if (sent == 0)
            break;
        ok = sent > 0 || errno == EINTR;
    }
    if (ok)
        ok = ::fsync(out) == 0;
    const QString why = QString::fromLocal8Bit(std::strerror(errno));
    if (out >= 0)
        ::close(out);
    QString error;
    if (!ok)
        error = QStringLiteral("cannot write %1: %2").arg(destination, why);
    else if (verified.get() && common::replaceFile(temp, destination, &error))
        return QString();
    QFile::remove(temp);
    return error;
}

// A quote inside the path is doubled so that it stays inside N'...'.
QString quotedPath(const QString &file)
{
    return QString(file).replace(QLatin1Char('\''), QLatin1String("''"));
}

} // namespace

QString BackupStatement(const QString &backupFile)
{
    const QString path = quotedPath(backupFile);
    return QStringLiteral("BACKUP DATABASE ") + QStringLiteral("TRS_FAC")
         + QStringLiteral(" TO DISK = N'") + path
         + QStringLiteral("' WITH NOFORMAT, NOINIT, NAME =N'") + QStringLiteral("TRS_FAC'");
}

QString VerifyStatement(const QString &backupFile)
{
    return QStringLiteral("RESTORE VERIFYONLY FROM DISK = N'") + quotedPath(backupFile) + QStringLiteral("'");
}

BackupResult BackupInvoiceStore(AppState &state, const QString &copyDestination)
{
    BackupResult result;
    const QString folder = state.programFile(QStringLiteral("/TRS_seguridad"));
    result.backupFile = folder + QStringLiteral("/TRS_FAC_back");

    auto server = state.newConnection();
    if (!server->open(sql::serverConnectionString())) {
        result.status = BackupResult::Unreachable;
        result.error = server->lastError();
        return result;
    }
    if (!QDir().mkpath(folder)) {
        result.error = QStringLiteral("cannot create %1").arg(folder);
        return result;
    }

    // The server writes the new backup beside the old one, under a name of
    // its own: the statement appends to an existing file (NOINIT), and the
    // old backup must stay whole under its name until the new one is
    // complete, verified and on the disk. Then one rename puts it in place.
    // Another operator of the same folder ending meanwhile waits its turn.
    const common::FileLock lock(folder + QStringLiteral("/.backup.lock"));
    removeLeftovers(folder);
    const QString fresh = folder + QStringLiteral("/.") + kBackupName + QStringLiteral(".new");
    if (!server->execute(BackupStatement(fresh))) {
        result.error = server->lastError();
        QFile::remove(fresh);
        return result;
    }
    if (!QFileInfo(fresh).isFile()) {
        result.error = QStringLiteral("the server wrote no backup file");
        return result;
    }
    // The copy is written and flushed while the backup is verified and put
    // in place.
    std::promise<bool> verification;
    const int freshFile = ::open(QFile::encodeName(fresh).constData(), O_RDONLY | O_CLOEXEC);
    auto copying = std::async(std::launch::async, makeCopy, freshFile, copyDestination,
                              verification.get_future().share());
    if (state.engine.kind == sql::EngineKind::Embedded) {
        result.error = verifyEmbeddedBackup(fresh);
    } else if (!server->execute(VerifyStatement(fresh))) {
        result.error = server->lastError();
    }
    verification.set_value(result.error.isEmpty());
    server->close();
    if (result.error.isEmpty() && !common::replaceFile(fresh, result.backupFile, &result.error))
        result.error.prepend(QStringLiteral("the new backup could not replace the previous one: "));
    const QString copyError = copying.get();
    if (freshFile >= 0)
        ::close(freshFile);
    if (!result.error.isEmpty()) {
        QFile::remove(fresh);
        return result;
    }
    result.error = copyError;
    if (!result.error.isEmpty())
        return result;
    result.copyFile = copyDestination;
    result.status = BackupResult::Ok;
    return result;
}

} // namespace zd
