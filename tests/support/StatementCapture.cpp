#include "StatementCapture.h"

#include <QLoggingCategory>
#include <QMutexLocker>
#include <cstdio>
#include <cstring>

namespace zd::test {

namespace {
// A message handler is a plain function: the active capture is found here.
StatementCapture *activeCapture = nullptr;
}

StatementCapture::StatementCapture()
{
    m_previousCapture = activeCapture;
    activeCapture = this;
    QLoggingCategory::setFilterRules(QStringLiteral("zedorev.sql.debug=true"));
    m_previousHandler = qInstallMessageHandler(&StatementCapture::handler);
}

StatementCapture::~StatementCapture()
{
    qInstallMessageHandler(m_previousHandler);
    activeCapture = m_previousCapture;
    if (!activeCapture)
        QLoggingCategory::setFilterRules(QString());
}

void StatementCapture::handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    StatementCapture *capture = activeCapture;
    if (capture && type == QtDebugMsg && context.category && std::strcmp(context.category, "zedorev.sql") == 0) {
        QMutexLocker lock(&capture->m_mutex);
        capture->m_statements << message;
        return;
    }
    if (capture && capture->m_previousHandler)
        capture->m_previousHandler(type, context, message);
    else
        fprintf(stderr, "%s\n", qUtf8Printable(message));
}

QStringList StatementCapture::statements() const
{
    QMutexLocker lock(&m_mutex);
    return m_statements;
}

QStringList StatementCapture::startingWith(const QString &prefix) const
{
    QMutexLocker lock(&m_mutex);
    QStringList out;
    for (const QString &s : m_statements) {
        if (s.startsWith(prefix, Qt::CaseInsensitive))
            out << s;
    }
    return out;
}

void StatementCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_statements.clear();
}

} // namespace zd::test
