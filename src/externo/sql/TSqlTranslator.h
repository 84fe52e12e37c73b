#pragma once
#include <QString>

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

} // namespace zd::sql
