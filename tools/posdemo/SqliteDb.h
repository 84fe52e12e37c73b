#pragma once
#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace zd::posdemo {

// A thin owner of one SQLite connection, used to write point-of-sale files
// directly (bulk seeding and test fixtures need no T-SQL translation).
class SqliteDb {
public:
    SqliteDb() = default;
    ~SqliteDb();
    SqliteDb(const SqliteDb &) = delete;
    SqliteDb &operator=(const SqliteDb &) = delete;

    // Opens (and with create, creates) the file; false with *error set on failure.
    bool open(const QString &path, bool create, QString *error);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3 *handle() const { return m_db; }

    // Runs one or more statements; false with *error ("<message> in: <sql>").
    bool exec(const QByteArray &sql, QString *error);
    QString lastError() const;

private:
    sqlite3 *m_db = nullptr;
};

// One prepared statement, reset after each step so it can be reused.
class SqliteStatement {
public:
    SqliteStatement() = default;
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    bool prepare(const SqliteDb &db, const QByteArray &sql, QString *error);
    void bindInt(int index, qint64 value);
    void bindDouble(int index, double value);
    // Text must outlive the next step() (it is bound without a copy).
    void bindStaticText(int index, const char *utf8, int length = -1);
    void bindText(int index, const QString &text);   // a null QString binds NULL
    void bindBlob(int index, const QByteArray &bytes); // a null array binds NULL
    void bindNull(int index);
    // Executes once and resets; false with *error when the step failed.
    bool run(QString *error);
    sqlite3_stmt *handle() const { return m_stmt; }

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace zd::posdemo
