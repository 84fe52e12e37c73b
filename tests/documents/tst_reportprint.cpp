// Printing through the real spooler: a job into a cups-pdf queue, and a job
// that never finishes (stopped queue) for the questions and the time-out.
#include "report_helpers.h"
#include "externo/documents/DataReport1.h"
#include "externo/documents/FrmReportControl.h"
#include "externo/documents/PanelButton.h"
#include "externo/documents/PrintSpooler.h"
#include "externo/documents/ReportPreview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QMessageBox>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace zd::documents;

namespace {
const QString kQueue = QStringLiteral("zedorev-pdf");
const QString kStopped = QStringLiteral("zedorev-hold");

// Answers the print questions like the operator: records each text and
// presses the given button.
class QuestionAnswerer : public QObject {
public:
    explicit QuestionAnswerer(QMessageBox::StandardButton answer)
        : m_answer(answer)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<QMessageBox *>(w);
                if (!box || !box->isVisible() || m_seen.contains(box))
                    continue;
                m_seen << box;
                texts << box->text();
                QTest::mouseClick(box->button(m_answer), Qt::LeftButton);
            }
        });
        m_timer.start(10);
    }
    QStringList texts;

private:
    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
    QList<QPointer<QMessageBox>> m_seen;
};
} // namespace

class TestReportPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void printsOnceIntoTheQueue();
    void slowJobAsksAt30And45AndIsCancelledAt60();
    void operatorCancelsASlowJob();

private:
    void open(const QString &queue, const PrintTimeouts &timeouts);
    std::unique_ptr<DataReport1> m_report;
    std::unique_ptr<ReportPreview> m_preview;
    std::unique_ptr<FrmReportControl> m_panel;
};

void TestReportPrint::initTestCase()
{
    QString why = ensureCupsQueue(kQueue, true);
    if (why.isEmpty())
        why = ensureCupsQueue(kStopped, false);
    if (!why.isEmpty())
        QSKIP(qPrintable("CUPS not usable here: " + why));
    runTool("cancel", {"-a", kStopped});
}

void TestReportPrint::cleanup()
{
    m_panel.reset();
    m_preview.reset();
    m_report.reset();
    runTool("cancel", {"-a", kStopped});
}

void TestReportPrint::open(const QString &queue, const PrintTimeouts &timeouts)
{
    m_report.reset(makeSampleReport(40));
    m_preview = std::make_unique<ReportPreview>(*m_report);
    m_preview->setPrinterQueue(queue);
    m_preview->setDocumentTitle(QString("F0113%1").arg(QDateTime::currentMSecsSinceEpoch()));
    m_preview->show();
    m_panel = std::make_unique<FrmReportControl>(m_preview.get());
    m_panel->setPrintTimeouts(timeouts);
    m_panel->setErrorNotifier([](const QString &m) { QFAIL(qPrintable(m)); });
    m_panel->activatePanel();
}

void TestReportPrint::printsOnceIntoTheQueue()
{
    open(kQueue, PrintTimeouts{});
    // cups-pdf writes into the printing user's ~/PDF, named after the job title.
    const QDir out(QDir::home().filePath("PDF"));
    const QString title = m_preview->documentTitle();
    QSignalSpy done(m_panel.get(), &FrmReportControl::printFinished);

    QTest::mouseClick(m_panel->CmdPrint, Qt::LeftButton);
    QVERIFY(!m_panel->CmdPrint->isEnabled());
    QVERIFY(m_panel->printJob());
    const QString job = m_panel->printJob()->jobId();
    QVERIFY(job.startsWith(kQueue + "-"));
    QTest::mouseClick(m_panel->CmdPrint, Qt::LeftButton);   // disabled: nothing more
    QCOMPARE(m_panel->printJob()->jobId(), job);

    QVERIFY(done.wait(30000));
    QCOMPARE(done.at(0).at(0).value<PrintJobWatcher::Outcome>(), PrintJobWatcher::Completed);
    QStringList files;
    QTRY_VERIFY_WITH_TIMEOUT(!(files = out.entryList({title + "*.pdf"}, QDir::Files)).isEmpty(), 20000);
    QCOMPARE(files.size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(pdfPageCount(out.filePath(files[0])), 3, 10000);
    // The spooler's PDF keeps no readable text; its first page must show the
    // shop name where it belongs and nothing in the blank space below the logo.
    const QImage page = pdfPageImage(out.filePath(files[0]), 1, 72);
    QVERIFY(!page.isNull());
    QVERIFY(darkPixels(page, m_report->pageRect("LblEmpresa0"), 72) > 20);
    QCOMPARE(darkPixels(page, m_report->pageRect("Image1"), 72), 0);
    QFile::remove(out.filePath(files[0]));
    QVERIFY(m_preview->isVisible());   // printing leaves the preview open
}

void TestReportPrint::slowJobAsksAt30And45AndIsCancelledAt60()
{
    // One "second" lasts 25 ms here.
    open(kStopped, PrintTimeouts{30, 45, 60, 25, 20});
    QuestionAnswerer operatorAnswers(QMessageBox::Retry);
    QSignalSpy done(m_panel.get(), &FrmReportControl::printFinished);
    QTest::mouseClick(m_panel->CmdPrint, Qt::LeftButton);
    QVERIFY(m_panel->printJob());
    const QString job = m_panel->printJob()->jobId();
    QVERIFY(PrintSpooler::isPending(kStopped, job));

    QVERIFY(done.wait(10000));
    QCOMPARE(done.at(0).at(0).value<PrintJobWatcher::Outcome>(), PrintJobWatcher::CancelledByTimeout);
    QCOMPARE(operatorAnswers.texts,
             QStringList({"La Impresión no ha finalizado tras: 30 segundos. ¿Cancelar?",
                          "La Impresión no ha finalizado tras: 45 segundos. ¿Cancelar?"}));
    QTRY_VERIFY(!PrintSpooler::isPending(kStopped, job));
}

void TestReportPrint::operatorCancelsASlowJob()
{
    open(kStopped, PrintTimeouts{30, 45, 60, 25, 20});
    QuestionAnswerer operatorAnswers(QMessageBox::Cancel);
    QSignalSpy done(m_panel.get(), &FrmReportControl::printFinished);
    QTest::mouseClick(m_panel->CmdPrint, Qt::LeftButton);
    QVERIFY(m_panel->printJob());
    const QString job = m_panel->printJob()->jobId();
    QVERIFY(done.wait(10000));
    QCOMPARE(done.at(0).at(0).value<PrintJobWatcher::Outcome>(), PrintJobWatcher::CancelledByOperator);
    QCOMPARE(operatorAnswers.texts.size(), 1);
    QTRY_VERIFY(!PrintSpooler::isPending(kStopped, job));
}

QTEST_MAIN(TestReportPrint)
#include "tst_reportprint.moc"
