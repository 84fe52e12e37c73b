#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QMessageBox;
class QWidget;

namespace zd::documents {

// When a print job that has not finished gets questions and is cancelled.
// Seconds are counted in units of msPerSecond so tests can shorten them.
struct PrintTimeouts {
    int firstQuestion = 30;
    int secondQuestion = 45;
    int cancelAfter = 60;
    int msPerSecond = 1000;
    int pollMs = 250;
};

// Watches one spooled job until it ends. After firstQuestion and again after
// secondQuestion seconds it asks the operator whether to cancel (Retry lets
// it go on); after cancelAfter seconds it cancels the job without asking.
class PrintJobWatcher : public QObject {
    Q_OBJECT
public:
    enum Outcome { Completed, CancelledByOperator, CancelledByTimeout };
    Q_ENUM(Outcome)

    PrintJobWatcher(const QString &queue, const QString &jobId, const PrintTimeouts &timeouts,
                    QWidget *dialogParent, QObject *parent = nullptr);

    void start();
    bool isRunning() const { return m_timer.isActive(); }
    const QString &jobId() const { return m_jobId; }

    static QString questionText(int seconds);

signals:
    // The job left the spooler's queue, or it was cancelled.
    void finished(zd::documents::PrintJobWatcher::Outcome outcome);

private:
    void poll();
    void ask(int seconds);
    void finish(Outcome outcome);

    QString m_queue;
    QString m_jobId;
    PrintTimeouts m_timeouts;
    QPointer<QWidget> m_dialogParent;
    QTimer m_timer;
    QElapsedTimer m_clock;
    int m_questionsAsked = 0;
    bool m_polling = false;
    bool m_done = false;
    QPointer<QMessageBox> m_question;
};

} // namespace zd::documents
