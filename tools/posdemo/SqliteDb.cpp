#include "SqliteDb.h"

#include <sqlite3.h>

namespace zd::posdemo {

SqliteDb::~SqliteDb() { close(); }

bool SqliteDb::open(const QString &path, bool create, QString *error)
{
    close();
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_close(db);
        return false;
    }
    m_db = db;
    // Other connections (the program's engine in tests) may hold the file briefly.
    sqlite3_busy_timeout(m_db, 5000);
    return true;
}

void SqliteDb::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool SqliteDb::exec(const QByteArray &sql, QString *error)
{
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = QStringLiteral("%1 in: %2").arg(QString::fromUtf8(message ? message : "error"),
                                                QString::fromUtf8(sql.left(200)));
    sqlite3_free(message);
    return false;
}

QString SqliteDb::lastError() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("not open");
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(m_stmt); }

bool SqliteStatement::prepare(const SqliteDb &db, const QByteArray &sql, QString *error)
{
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    m_db = db.handle();
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &m_stmt, nullptr) == SQLITE_OK)
        return true;
    if (error)
        *error = QStringLiteral("%1 in: %2").arg(db.lastError(), QString::fromUtf8(sql));
    return false;
}

void SqliteStatement::bindInt(int index, qint64 value) { sqlite3_bind_int64(m_stmt, index, value); }
void SqliteStatement::bindDouble(int index, double value) { sqlite3_bind_double(m_stmt, index, value); }
void SqliteStatement::bindNull(int index) { sqlite3_bind_null(m_stmt, index); }

void SqliteStatement::bindStaticText(int index, const char *utf8, int length)
{
    sqlite3_bind_text(m_stmt, index, utf8, length, SQLITE_STATIC);
}

void SqliteStatement::bindText(int index, const QString &text)
{
    if (text.isNull()) {
        sqlite3_bind_null(m_stmt, index);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bindBlob(int index, const QByteArray &bytes)
{
    if (bytes.isNull()) {
        sqlite3_bind_null(m_stmt, index);
        return;
    }
    sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

bool SqliteStatement::run(QString *error)
{
    const int rc = sqlite3_step(m_stmt);
    const bool ok = rc == SQLITE_DONE || rc == SQLITE_ROW;
    if (!ok && error)
        *error = QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    return ok;
}

} // namespace zd::posdemo
