#pragma once
#include <QString>

namespace zd::sql {

enum class EngineKind { Embedded, SqlServer };

// Which engine the statements go to, decided by files of the program folder:
// "sqlserver.txt" present switches to SQL Server through ODBC (its first
// line, when not empty, names the ODBC driver; "FreeTDS" otherwise).
// Without it, each (server, catalog) pair is an SQLite file under
// <program folder>/data/<server>/<catalog>.sqlite.
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
