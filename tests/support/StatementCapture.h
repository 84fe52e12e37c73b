#pragma once
#include <QMutex>
#include <QStringList>
#include <QtGlobal>

namespace zd::test {

// Collects the statements sent to any database while it lives, exactly as
// the program built them (the "zedorev.sql" debug messages):
//
//     zd::test::StatementCapture capture;
//     ... run the code under test ...
//     QCOMPARE(capture.statements(), QStringList{"select * from dbo.cliente"});
//
// It enables the category, installs a Qt message handler and restores the
// previous handler (and filter rules) when destroyed. Other messages are
// passed on to the previous handler. Captures may nest; the innermost one
// collects.
class StatementCapture {
public:
    StatementCapture();
    ~StatementCapture();
    StatementCapture(const StatementCapture &) = delete;
    StatementCapture &operator=(const StatementCapture &) = delete;

    QStringList statements() const;
    // The statements that begin with prefix (compared without regard to case).
    QStringList startingWith(const QString &prefix) const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);

    mutable QMutex m_mutex;
    QStringList m_statements;
    QtMessageHandler m_previousHandler = nullptr;
    StatementCapture *m_previousCapture = nullptr;
};

} // namespace zd::test
