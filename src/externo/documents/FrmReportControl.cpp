#include "FrmReportControl.h"
#include "PanelButton.h"
#include "ReportPreview.h"

#include <QEvent>
#include <QMessageBox>

namespace zd::documents {

namespace {
// Design units are twips; 15 twips make a pixel at 96 dpi.
constexpr int px(int twips) { return (twips + 7) / 15; }
constexpr int kButtonHeight = 735;
}

FrmReportControl::FrmReportControl(ReportPreview *preview, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_preview(preview)
{
    setObjectName(QStringLiteral("FrmReportControl"));
    setWindowTitle(QStringLiteral("Report Control."));
    setFixedSize(px(2895), px(3615));

    auto make = [this](const char *name, const QString &caption, int left, int top, int width) {
        auto *b = new PanelButton(QString::fromLatin1(name), caption, this);
        b->setGeometry(px(left), px(top), px(width), px(kButtonHeight));
        b->setAutoDefault(false);
        return b;
    };
    CmdFin = make("CmdFin", QStringLiteral("Quitter"), 120, 2760, 1575);
    CmdPrevious = make("CmdPrevious", QStringLiteral("Page précéd."), 120, 240, 855);
    CmdPost = make("CmdPost", QStringLiteral("Page suivante"), 1080, 240, 975);
    CmdFirst = make("CmdFirst", QStringLiteral("Première Page"), 120, 1080, 855);
    CmdLast = make("CmdLast", QStringLiteral("Dernière Page"), 1080, 1080, 975);
    CmdPrint = make("CmdPrint", QStringLiteral("Imprimer"), 120, 1920, 855);
    CmdExport = make("CmdExport", QStringLiteral("Exporter"), 1080, 1920, 975);
    CmdUp = make("CmdUp", QStringLiteral("UP"), 2160, 600, 615);
    CmdDn = make("CmdDn", QStringLiteral("Dn"), 2160, 1680, 615);
    CmdZoom = make("CmdZoom", QStringLiteral("Zoom"), 2160, 2760, 615);

    // Tab order as designed: Quitter first, then the page buttons.
    QWidget *order[] = {CmdFin, CmdPrevious, CmdPost, CmdFirst, CmdLast,
                        CmdPrint, CmdExport, CmdUp, CmdDn, CmdZoom};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(CmdFirst, &QPushButton::clicked, this, &FrmReportControl::cmdFirstClick);
    connect(CmdPrevious, &QPushButton::clicked, this, &FrmReportControl::cmdPreviousClick);
    connect(CmdPost, &QPushButton::clicked, this, &FrmReportControl::cmdPostClick);
    connect(CmdLast, &QPushButton::clicked, this, &FrmReportControl::cmdLastClick);
    connect(CmdUp, &QPushButton::clicked, this, &FrmReportControl::cmdUpClick);
    connect(CmdDn, &QPushButton::clicked, this, &FrmReportControl::cmdDnClick);
    connect(CmdZoom, &QPushButton::clicked, this, &FrmReportControl::cmdZoomClick);
    connect(CmdExport, &QPushButton::clicked, this, &FrmReportControl::cmdExportClick);
    connect(CmdPrint, &QPushButton::clicked, this, &FrmReportControl::cmdPrintClick);
    connect(CmdFin, &QPushButton::clicked, this, &FrmReportControl::cmdFinClick);

    TmrShow.setInterval(15);
    connect(&TmrShow, &QTimer::timeout, this, &FrmReportControl::keepOnTop);
    if (m_preview)
        connect(m_preview, &ReportPreview::reportError, this, &FrmReportControl::onReportError);
}

FrmReportControl::~FrmReportControl() = default;

void FrmReportControl::activatePanel()
{
    move(px(12210), px(460));
    keepOnTop();
    if (!m_previewShown) {
        m_previewShown = true;
        TmrShow.start();
    }
    if (!isVisible())
        show();
    if (!isActiveWindow())
        activateWindow();
    CmdPrevious->setFocus(Qt::OtherFocusReason);
}

void FrmReportControl::keepOnTop()
{
    // Raising does not take the focus from whoever has it.
    if (isVisible())
        raise();
}

void FrmReportControl::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_finished)
        activatePanel();
}

void FrmReportControl::cmdFirstClick()
{
    if (m_preview)
        m_preview->firstPage();
    activatePanel();
}

void FrmReportControl::cmdPreviousClick()
{
    if (m_preview)
        m_preview->previousPage();
    activatePanel();
}

void FrmReportControl::cmdPostClick()
{
    if (m_preview)
        m_preview->nextPage();
    activatePanel();
}

void FrmReportControl::cmdLastClick()
{
    if (m_preview)
        m_preview->lastPage();
    activatePanel();
}

void FrmReportControl::cmdUpClick()
{
    if (m_preview)
        m_preview->scrollUp();
    activatePanel();
}

void FrmReportControl::cmdDnClick()
{
    if (m_preview)
        m_preview->scrollDown();
    activatePanel();
}

void FrmReportControl::cmdZoomClick()
{
    if (m_preview)
        m_preview->toggleZoom();
    activatePanel();
}

void FrmReportControl::cmdExportClick()
{
    if (m_preview)
        m_preview->exportPdf();
    if (!m_finished)
        activatePanel();
}

void FrmReportControl::cmdPrintClick()
{
    // One print per preview.
    CmdPrint->setEnabled(false);
    if (m_preview) {
        const QString queue = m_preview->printerQueue();
        const QString job = m_preview->print();
        if (!job.isEmpty()) {
            m_job = new PrintJobWatcher(queue, job, m_timeouts, this, this);
            connect(m_job, &PrintJobWatcher::finished, this, &FrmReportControl::printFinished);
            m_job->start();
        }
    }
    if (!m_finished)
        activatePanel();
}

void FrmReportControl::cmdFinClick()
{
    m_finished = true;
    TmrShow.stop();
    if (m_preview)
        m_preview->close();
    close();
    emit finished();
}

void FrmReportControl::onReportError(const QString &message)
{
    if (m_finished)
        return;
    if (m_notify)
        m_notify(message);
    else
        QMessageBox::critical(this, QStringLiteral("Zedorev"), message);
    cmdFinClick();
}

} // namespace zd::documents
