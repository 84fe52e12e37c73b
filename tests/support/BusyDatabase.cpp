#include "BusyDatabase.h"

#include "posdemo/SqliteDb.h"

#include <QLoggingCategory>

namespace zd::test {

namespace {
QtMessageHandler s_previous = nullptr;
QString s_file;
int s_n = 0;
int s_seen = 0;
std::unique_ptr<ReadLock> s_lock;
} // namespace

ReadLock::ReadLock(const QString &file)
    : m_db(std::make_unique<posdemo::SqliteDb>())
{
    QString error;
    if (!m_db->open(file, false, &error)
        || !m_db->exec("BEGIN; SELECT count(*) FROM sqlite_master;", &error))
        qFatal("cannot hold %s: %s", qPrintable(file), qPrintable(error));
}

ReadLock::~ReadLock()
{
    QString error;
    m_db->exec("ROLLBACK", &error);
}

LockAtCommit::LockAtCommit(const QString &file, int n)
{
    s_file = file;
    s_n = n;
    s_seen = 0;
    m_previous = qInstallMessageHandler(handler);
    s_previous = m_previous;
    QLoggingCategory::setFilterRules(QStringLiteral("zedorev.sql.transactions.debug=true"));
}

LockAtCommit::~LockAtCommit()
{
    qInstallMessageHandler(m_previous);
    QLoggingCategory::setFilterRules(QString());
    s_lock.reset();
}

void LockAtCommit::release()
{
    s_lock.reset();
}

void LockAtCommit::handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg && qstrcmp(context.category, "zedorev.sql.transactions") == 0) {
        if (message == QLatin1String("COMMIT") && ++s_seen == s_n)
            s_lock = std::make_unique<ReadLock>(s_file);
        return;
    }
    if (s_previous)
        s_previous(type, context, message);
}

} // namespace zd::test
