#pragma once
#include <QString>
#include <QVector>

namespace zd::sql {

// What the embedded engine must do with one T-SQL statement.
struct Translation {
    enum class Kind { Sql, CreateDatabase, BackupDatabase };
    Kind kind = Kind::Sql;
    QString sql;        // Kind::Sql: the SQLite text
    QString database;   // CreateDatabase / BackupDatabase: the catalog name
    QString diskPath;   // BackupDatabase: the path inside N'...'
};

// Translates the T-SQL forms the program sends into SQLite:
//  - the "dbo." schema prefix is dropped;
//  - convert(varchar(23), x, 121) -> zd_dt121(x) (style-121 text);
//  - convert(DateTime, x, 121)    -> zd_dtparse(x);
//  - <column> + <number> and (<column>+<number>) on DATETIME columns named
//    fecha/timestamp -> zd_dtadd(column, number) (day arithmetic, 1/300 s ticks);
//  - CREATE DATABASE x, BACKUP DATABASE x TO DISK = N'p' ... -> engine actions.
// Text inside quotes is never changed.
Translation translateTSql(const QString &tsql);

// A literal taken out of a statement's shape, to be bound in its place.
struct Literal {
    enum class Kind { Integer, Text };
    Kind kind = Kind::Integer;
    qint64 integer = 0;  // Integer: the value SQLite reads from the digits
    QString text;        // Text: the value between the quotes, doubled quotes undone
};

// A statement with its bindable literals taken out, the way the server
// parameterizes simple statements: statements that differ only in those
// literals share one key and one prepared statement. Only literals that
// stand right after a comparison operator (outside convert(...)) are taken:
// integers as SQLite reads them, and '...' texts. Everything else stays in
// the shape, so translating the shape (translateShape) and binding the
// literals gives the same result as translating and running the statement.
// shaped is false when the text carries parameter markers of its own.
struct StatementShape {
    bool shaped = true;
    QString key;               // the kinds of the literals, '|', the text with '?' in their places
    QVector<Literal> literals; // in the order of the placeholders
};
StatementShape shapeOf(const QString &tsql);

// The translation of a statement's shape: as translateTSql, with '?' in
// place of each literal shapeOf takes out.
Translation translateShape(const QString &tsql);

} // namespace zd::sql
