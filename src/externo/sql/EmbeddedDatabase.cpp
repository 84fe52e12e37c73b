#include "EmbeddedDatabase.h"
#include "SqlServerDate.h"

#include "common/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <sqlite3.h>

namespace zd::sql::embedded {

QString sqliteError(sqlite3 *db, const QString &what)
{
    return QStringLiteral("[embedded] %1: %2").arg(what, QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory"));
}

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

bool makeCommitsDurable(QSqlDatabase &db, QString *error)
{
    // FULL syncs the journal and the file; EXTRA also syncs the folder once
    // the journal is deleted, so that a power cut cannot bring a committed
    // transaction's journal back and roll it back at the next open.
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("PRAGMA synchronous = EXTRA")))
        return true;
    *error = QStringLiteral("[embedded] PRAGMA synchronous = EXTRA: %1").arg(q.lastError().text());
    return false;
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

} // namespace zd::sql::embedded
