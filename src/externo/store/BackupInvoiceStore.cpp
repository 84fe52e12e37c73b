#include "BackupInvoiceStore.h"

#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sqlite3.h>

namespace zd {

namespace {

// A backup made by the embedded engine is an SQLite file: it must open and
// pass the integrity check before it counts.
QString verifyEmbeddedBackup(const QString &file)
{
    sqlite3 *db = nullptr;
    QString error;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr)
        != SQLITE_OK) {
        error = QStringLiteral("cannot open the backup: ")
              + QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return error;
    }
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) != SQLITE_OK) {
        error = QStringLiteral("cannot check the backup: ") + QString::fromUtf8(sqlite3_errmsg(db));
    } else if (sqlite3_step(stmt) != SQLITE_ROW) {
        error = QStringLiteral("cannot check the backup: ") + QString::fromUtf8(sqlite3_errmsg(db));
    } else {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
        if (!text || qstrcmp(text, "ok") != 0)
            error = QStringLiteral("the backup is damaged: ") + QString::fromUtf8(text ? text : "");
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return error;
}

// Copies through a temporary file, so the destination holds either the
// earlier copy or the whole new one.
QString copyFile(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(from, source.errorString());
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(to, target.errorString());
    QByteArray chunk;
    while (!(chunk = source.read(1 << 20)).isEmpty()) {
        if (target.write(chunk) != chunk.size()) {
            target.cancelWriting();
            return QStringLiteral("cannot write %1: %2").arg(to, target.errorString());
        }
    }
    if (source.error() != QFileDevice::NoError) {
        target.cancelWriting();
        return QStringLiteral("cannot read %1: %2").arg(from, source.errorString());
    }
    if (!target.commit())
        return QStringLiteral("cannot write %1: %2").arg(to, target.errorString());
    return QString();
}

} // namespace

QString BackupStatement(const QString &backupFile)
{
    // A quote inside the path is doubled so that it stays inside N'...'.
    const QString path = QString(backupFile).replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("BACKUP DATABASE ") + QStringLiteral("TRS_FAC")
         + QStringLiteral(" TO DISK = N'") + path
         + QStringLiteral("' WITH NOFORMAT, NOINIT, NAME =N'") + QStringLiteral("TRS_FAC'");
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

    // The statement appends to an existing file (NOINIT): the previous backup
    // is moved aside, so the file gets exactly one set, and comes back if the
    // new one fails.
    const QString previous = result.backupFile + QStringLiteral(".previous");
    QFile::remove(previous);
    const bool hadPrevious = QFile::exists(result.backupFile);
    if (hadPrevious && !QFile::rename(result.backupFile, previous)) {
        result.error = QStringLiteral("cannot move the previous backup aside");
        return result;
    }
    const auto restorePrevious = [&] {
        QFile::remove(result.backupFile);
        if (hadPrevious)
            QFile::rename(previous, result.backupFile);
    };

    if (!server->execute(BackupStatement(result.backupFile))) {
        result.error = server->lastError();
        restorePrevious();
        return result;
    }
    server->close();
    if (!QFileInfo(result.backupFile).isFile()) {
        result.error = QStringLiteral("the server wrote no backup file");
        restorePrevious();
        return result;
    }
    if (state.engine.kind == sql::EngineKind::Embedded) {
        result.error = verifyEmbeddedBackup(result.backupFile);
        if (!result.error.isEmpty()) {
            restorePrevious();
            return result;
        }
    }
    QFile::remove(previous);

    result.error = copyFile(result.backupFile, copyDestination);
    if (!result.error.isEmpty())
        return result;
    result.copyFile = copyDestination;
    result.status = BackupResult::Ok;
    return result;
}

} // namespace zd
