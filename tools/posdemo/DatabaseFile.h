#pragma once
#include <QString>
#include <functional>

namespace zd::posdemo {

class SqliteDb;

// Builds a new SQLite file at path: fill() runs on path + ".tmp" (no journal,
// no syncs while filling); the file is synced and renamed over path only
// when fill() succeeded, so a failure leaves no half-written database and
// keeps any earlier file at path.
bool buildDatabaseFile(const QString &path, const std::function<bool(SqliteDb &, QString *)> &fill,
                       QString *error);

// The empty point-of-sale tables and indexes at path, replacing any file there.
bool writeEmptyPosDatabase(const QString &path, QString *error);

} // namespace zd::posdemo
