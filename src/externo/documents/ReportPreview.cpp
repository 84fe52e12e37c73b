#include "ReportPreview.h"
#include "DataReport1.h"
#include "PageStrip.h"
#include "PrintSpooler.h"
#include "ReportExport.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace zd::documents {

namespace {
constexpr int kLineStep = 20;     // pixels of one scroll line
constexpr int kStepsPerPress = 20;
}

ReportPreview::ReportPreview(const DataReport1 &report, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_report(report)
{
    setObjectName(QStringLiteral("DataReport1"));
    setWindowTitle(QStringLiteral("DataReport1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setStyleSheet(QStringLiteral("QScrollArea { background: rgb(96,96,96); }"));
    m_strip = new PageStrip(report, m_scroll);
    m_scroll->setWidget(m_strip);
    m_scroll->verticalScrollBar()->setSingleStep(kLineStep);
    // A permanent scroll bar keeps the page width from oscillating.
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->viewport()->installEventFilter(this);
    layout->addWidget(m_scroll);
    setFocusPolicy(Qt::StrongFocus);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        resize(screen->size());
    relayout();
}

ReportPreview::~ReportPreview() = default;

QString ReportPreview::printerQueue() const
{
    return m_queue.isEmpty() ? PrintSpooler::defaultQueue() : m_queue;
}

QString ReportPreview::exportFolder() const
{
    if (!m_exportFolder.isEmpty())
        return m_exportFolder;
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!docs.isEmpty() && QDir(docs).exists())
        return docs;
    return QDir::homePath();
}

int ReportPreview::pageCount() const
{
    return m_report.pageCount();
}

int ReportPreview::currentPage() const
{
    return m_strip->pageAt(scrollPosition() + PageStrip::Gap);
}

int ReportPreview::scrollPosition() const
{
    return m_scroll->verticalScrollBar()->value();
}

int ReportPreview::scrollStep() const
{
    return m_scroll->verticalScrollBar()->singleStep();
}

void ReportPreview::refresh()
{
    m_strip->clearCache();
    relayout();
}

void ReportPreview::relayout()
{
    const QSize view = m_scroll->viewport()->size();
    const int spare = 2 * PageStrip::Gap;
    double scale;
    if (m_wholePage)
        scale = double(qMax(50, view.height() - spare)) / DataReport1::PageHeight;
    else
        scale = double(qMax(50, view.width() - spare)) / DataReport1::PageWidth;
    const int page = currentPage();
    m_strip->setScale(scale);
    goToPage(page);
}

void ReportPreview::goToPage(int page)
{
    page = qBound(0, page, pageCount() - 1);
    m_scroll->verticalScrollBar()->setValue(m_strip->pageTop(page) - PageStrip::Gap / 2);
}

void ReportPreview::firstPage() { goToPage(0); }
void ReportPreview::previousPage() { goToPage(currentPage() - 1); }
void ReportPreview::nextPage() { goToPage(currentPage() + 1); }
void ReportPreview::lastPage() { goToPage(pageCount() - 1); }

void ReportPreview::scrollUp()
{
    auto *bar = m_scroll->verticalScrollBar();
    for (int i = 0; i < kStepsPerPress; ++i)
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
}

void ReportPreview::scrollDown()
{
    auto *bar = m_scroll->verticalScrollBar();
    for (int i = 0; i < kStepsPerPress; ++i)
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

void ReportPreview::toggleZoom()
{
    m_wholePage = !m_wholePage;
    relayout();
}

QString ReportPreview::exportPdf()
{
    const QString name = (m_title.isEmpty() ? QStringLiteral("document") : m_title) + QStringLiteral(".pdf");
    // Not the desktop's own dialog: this one is large and usable by touch.
    QFileDialog dialog(this, QStringLiteral("Exporter"), QDir(exportFolder()).filePath(name),
                       QStringLiteral("PDF (*.pdf)"));
    dialog.setObjectName(QStringLiteral("ExportDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    QFont big = dialog.font();
    big.setPointSizeF(big.pointSizeF() > 0 ? big.pointSizeF() * 1.6 : 16);
    dialog.setFont(big);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        dialog.resize(screen->availableSize() * 0.8);
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().constFirst();
    return exportPdfTo(path) ? path : QString();
}

bool ReportPreview::exportPdfTo(const QString &path)
{
    QString error;
    if (!ExportReportPdf(m_report, path, m_title, &error)) {
        emit reportError(error);
        return false;
    }
    return true;
}

QString ReportPreview::print()
{
    QTemporaryDir dir;
    QString error;
    const QString queue = printerQueue();
    if (!dir.isValid()) {
        emit reportError(QStringLiteral("Impossible de préparer l'impression: %1").arg(dir.errorString()));
        return QString();
    }
    const QString file = dir.filePath((m_title.isEmpty() ? QStringLiteral("document") : m_title)
                                      + QStringLiteral(".pdf"));
    if (!ExportReportPdf(m_report, file, m_title, &error)) {
        emit reportError(error);
        return QString();
    }
    // lp hands the spooler its own copy, so the temporary file can go.
    const QString job = PrintSpooler::submit(queue, file, m_title, &error);
    if (job.isEmpty())
        emit reportError(error);
    return job;
}

void ReportPreview::keyPressEvent(QKeyEvent *event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Home: firstPage(); return;
    case Qt::Key_End: lastPage(); return;
    case Qt::Key_PageUp: previousPage(); return;
    case Qt::Key_PageDown: nextPage(); return;
    case Qt::Key_Up: m_scroll->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); return;
    case Qt::Key_Down: m_scroll->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); return;
    case Qt::Key_O: if (ctrl) { toggleZoom(); return; } break;
    case Qt::Key_E: if (ctrl) { exportPdf(); return; } break;
    default: break;
    }
    QWidget::keyPressEvent(event);
}

void ReportPreview::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

bool ReportPreview::eventFilter(QObject *watched, QEvent *event)
{
    // The zoom follows the visible area, which is known only once laid out.
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        relayout();
    return QWidget::eventFilter(watched, event);
}

} // namespace zd::documents
