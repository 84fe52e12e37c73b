#pragma once
#include <QString>

namespace zd::sql {

enum class EngineKind { Embedded, SqlServer };

// Which engine the statements go to, decided by files of the program folder:
// "sqlserver.txt" present switches to SQL Server through ODBC (its first
// line, when not empty, names the ODBC driver; "FreeTDS" otherwise).
// Without it, each (server, catalog) pair is an SQLite file under
// <program folder>/data/<server>/<catalog>.sqlite.
//
// Facts for operators:
//  - embedded: a catalog file that does not exist is an unreachable server
//    (offline path); "CREATE DATABASE x" on the server connection creates
//    data/<server>/x.sqlite. Server and catalog names are used as file names
//    with every character outside [A-Za-z0-9._-] (and a leading '.') turned
//    into '_', so a configured address can never point outside data/.
//  - SQL Server: the first line of sqlserver.txt names the ODBC driver as
//    registered in odbcinst.ini (FreeTDS when empty); a server that does not
//    answer fails after loginTimeoutSeconds.
//  - every statement is logged under the category "zedorev.sql" (debug
//    level, off by default): QT_LOGGING_RULES="zedorev.sql.debug=true".
struct EngineConfig {
    EngineKind kind = EngineKind::Embedded;
    QString programFolder;          // no trailing separator
    QString odbcDriver = QStringLiteral("FreeTDS");
    int loginTimeoutSeconds = 5;    // SQL Server engine: unreachable -> offline within seconds

    static EngineConfig fromProgramFolder(const QString &programFolder);

    QString dataFolder() const;                                   // <folder>/data
    QString serverFolder(const QString &server) const;            // <folder>/data/<server>
    QString catalogFile(const QString &server, const QString &catalog) const;
};

inline constexpr char kSqlServerMarkerFile[] = "sqlserver.txt";

} // namespace zd::sql
