#include "PrintJobWatcher.h"
#include "PrintSpooler.h"

#include <QMessageBox>

namespace zd::documents {

PrintJobWatcher::PrintJobWatcher(const QString &queue, const QString &jobId,
                                 const PrintTimeouts &timeouts, QWidget *dialogParent,
                                 QObject *parent)
    : QObject(parent)
    , m_queue(queue)
    , m_jobId(jobId)
    , m_timeouts(timeouts)
    , m_dialogParent(dialogParent)
{
    m_timer.setInterval(qMax(1, timeouts.pollMs));
    connect(&m_timer, &QTimer::timeout, this, &PrintJobWatcher::poll);
}

QString PrintJobWatcher::questionText(int seconds)
{
    return QStringLiteral("La Impresión no ha finalizado tras: ") + QString::number(seconds)
        + QStringLiteral(" segundos. ¿Cancelar?");
}

void PrintJobWatcher::start()
{
    m_clock.start();
    m_timer.start();
}

void PrintJobWatcher::poll()
{
    // The question box runs its own event loop; ticks arriving meanwhile
    // must not start a second question or a second spooler call.
    if (m_polling || m_done)
        return;
    m_polling = true;
    const qint64 seconds = m_clock.elapsed() / qMax(1, m_timeouts.msPerSecond);
    if (!PrintSpooler::isPending(m_queue, m_jobId)) {
        finish(Completed);
    } else if (seconds >= m_timeouts.cancelAfter) {
        PrintSpooler::cancel(m_jobId);
        finish(CancelledByTimeout);
    } else if (!m_question && m_questionsAsked == 0 && seconds >= m_timeouts.firstQuestion) {
        m_polling = false;
        ask(m_timeouts.firstQuestion);
        return;
    } else if (!m_question && m_questionsAsked == 1 && seconds >= m_timeouts.secondQuestion) {
        m_polling = false;
        ask(m_timeouts.secondQuestion);
        return;
    }
    m_polling = false;
}

void PrintJobWatcher::ask(int seconds)
{
    ++m_questionsAsked;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Zedorev"), questionText(seconds),
                    QMessageBox::Retry | QMessageBox::Cancel, m_dialogParent);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    m_question = &box;
    const int answer = box.exec();
    m_question = nullptr;
    if (m_done)
        return;  // the job ended (or timed out) while the question was open
    if (answer == QMessageBox::Cancel) {
        PrintSpooler::cancel(m_jobId);
        finish(CancelledByOperator);
    }
}

void PrintJobWatcher::finish(Outcome outcome)
{
    m_done = true;
    m_timer.stop();
    // A question still open has become pointless.
    if (m_question)
        m_question->done(QMessageBox::Retry);
    emit finished(outcome);
}

} // namespace zd::documents
