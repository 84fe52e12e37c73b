#pragma once
#include <QString>
#include <QtGlobal>
#include <memory>

namespace zd::posdemo {
class SqliteDb;
}

namespace zd::test {

// Holds a read transaction on a database file while it lives, so that no
// other connection can commit a write to it (it waits past its busy
// time-out and fails).
class ReadLock {
public:
    explicit ReadLock(const QString &file);
    ~ReadLock();

private:
    std::unique_ptr<posdemo::SqliteDb> m_db;
};

// Takes a ReadLock on a file when the program is about to send its n-th
// COMMIT (everything before it done), so that this COMMIT, or a later write
// to that file, fails as if another program held the database busy. The
// lock is held until release() or the end of the LockAtCommit.
class LockAtCommit {
public:
    LockAtCommit(const QString &file, int n);
    ~LockAtCommit();
    LockAtCommit(const LockAtCommit &) = delete;
    LockAtCommit &operator=(const LockAtCommit &) = delete;
    static void release();

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);
    QtMessageHandler m_previous = nullptr;
};

} // namespace zd::test
