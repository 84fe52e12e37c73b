#pragma once
#include <QByteArray>
#include <QString>

namespace zd::posdemo {

class SqliteDb;

// The point-of-sale catalog as the embedded engine keeps it: the tables the
// scales' server has, without the "dbo." schema. DATETIME columns hold
// style-121 text ("yyyy-mm-dd hh:mi:ss.mmm"); MONEY/DECIMAL hold numbers.
namespace PosSchema {

// CREATE TABLE statements of every table (no indexes).
QByteArray tables();
// CREATE INDEX statements; bulk loads run them after the rows are in.
QByteArray indexes();

// Creates the tables and indexes on an open, empty database.
bool create(SqliteDb &db, QString *error);

} // namespace PosSchema

// Creates a new file holding the empty schema (parent folders included).
// Fails when the file exists already.
bool createPosDatabase(const QString &path, QString *error = nullptr);
} // namespace zd::posdemo
