#pragma once
#include <QDateTime>
#include <QString>
#include <optional>

struct sqlite3;

// SQL Server DATETIME as the embedded engine keeps it: style-121 text
// "yyyy-mm-dd hh:mi:ss.mmm" holding values on 1/300-second ticks.
namespace zd::sql::datetime {

// Ticks of 1/300 s since 1900-01-01 00:00:00 (SQL Server's day 0).
struct Value {
    qint64 days = 0;   // days since 1900-01-01
    qint64 ticks = 0;  // 0 .. 300*86400-1 within the day
};

// Parses "yyyy-mm-dd", "yyyy-mm-dd hh:mi:ss", "yyyy-mm-dd hh:mi:ss.mmm" (also
// with 'T'); milliseconds are rounded to the tick as SQL Server does
// (.000/.003/.007; .999 carries into the next second). nullopt for text that
// is no valid date or lies outside 1753-01-01 .. 9999-12-31.
std::optional<Value> parse(const QString &text);
// Style 121: "yyyy-mm-dd hh:mi:ss.mmm".
QString toStyle121(const Value &v);
// datetime + days (a float), rounded to the nearest tick. nullopt when the
// result leaves the DATETIME range (1753-01-01 .. 9999-12-31), where the
// server reports an overflow.
std::optional<Value> addDaysChecked(const Value &v, double days);
// As addDaysChecked; a result out of range leaves v unchanged.
Value addDays(const Value &v, double days);
Value fromQDateTime(const QDateTime &dt);
QDateTime toQDateTime(const Value &v);

// Registers zd_dt121(x), zd_dtparse(x), zd_dtadd(x, days) on a connection.
bool registerFunctions(sqlite3 *db);

} // namespace zd::sql::datetime
