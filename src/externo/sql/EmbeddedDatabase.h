#pragma once
#include <QSqlDatabase>
#include <QString>

struct sqlite3;

// The SQLite side of the embedded engine: preparing a connection the way
// every embedded connection must be, and the two server actions that have
// no SQL of their own in SQLite (CREATE DATABASE, BACKUP DATABASE).
namespace zd::sql::embedded {

// "[embedded] what: <SQLite's last error on db>", as the engine reports it.
QString sqliteError(sqlite3 *db, const QString &what);

// The sqlite3 handle behind an open QSQLITE connection, or nullptr.
sqlite3 *handle(const QSqlDatabase &db);

// Foreign keys on, a busy time-out, the DATETIME functions registered.
// Must run outside a transaction (the foreign-key pragma is ignored inside one).
bool prepareConnection(QSqlDatabase &db, QString *error);
// The invoice store's commits reach the disk, folder entries included,
// before the commit returns (synchronous = EXTRA). The point-of-sale files
// keep the settings their own programs give them.
bool makeCommitsDurable(QSqlDatabase &db, QString *error);

// Creates an empty catalog file (and its folders); fails when it exists,
// as the server refuses a database that already exists.
bool createCatalog(const QString &file, const QString &database, QString *error);

// Copies the catalog file into targetPath as it stands between two
// transactions, byte for byte, each part read back from the copy and
// compared; through a temporary file in the target folder that is synced and
// then renamed over the target, so a failed backup never leaves a partial
// file and an earlier backup is replaced only by a complete one.
bool backupCatalog(const QString &sourceFile, const QString &database, const QString &targetPath,
                   QString *error);

} // namespace zd::sql::embedded
