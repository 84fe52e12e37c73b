#pragma once
#include "PrintJobWatcher.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace zd::documents {

class PanelButton;
class ReportPreview;

// The small "Report Control." panel kept on top of the full-screen preview:
// page, scroll, zoom, export and print buttons and "Quitter". Each button
// drives the preview and gives the focus back to the panel.
class FrmReportControl : public QWidget {
    Q_OBJECT
public:
    explicit FrmReportControl(ReportPreview *preview, QWidget *parent = nullptr);
    ~FrmReportControl() override;

    PanelButton *CmdFirst = nullptr;
    PanelButton *CmdPrevious = nullptr;
    PanelButton *CmdPost = nullptr;
    PanelButton *CmdLast = nullptr;
    PanelButton *CmdUp = nullptr;
    PanelButton *CmdDn = nullptr;
    PanelButton *CmdZoom = nullptr;
    PanelButton *CmdExport = nullptr;
    PanelButton *CmdPrint = nullptr;
    PanelButton *CmdFin = nullptr;
    // Keeps the panel above the preview (15 ms), started at first activation.
    QTimer TmrShow;

    // False until the panel has been activated once.
    bool PreviewShown() const { return m_previewShown; }

    // Thresholds of the questions and of the cancellation of a slow job.
    void setPrintTimeouts(const PrintTimeouts &timeouts) { m_timeouts = timeouts; }
    // How the operator is told of a report error (default: a message box).
    void setErrorNotifier(std::function<void(const QString &)> notify) { m_notify = std::move(notify); }
    // The print job being watched, if any.
    PrintJobWatcher *printJob() const { return m_job; }

    // Places the panel, keeps it on top, starts TmrShow the first time and
    // puts the focus on CmdPrevious.
    void activatePanel();

public slots:
    void cmdFirstClick();
    void cmdPreviousClick();
    void cmdPostClick();
    void cmdLastClick();
    void cmdUpClick();
    void cmdDnClick();
    void cmdZoomClick();
    void cmdExportClick();
    void cmdPrintClick();
    void cmdFinClick();

signals:
    // The preview and the panel have been closed.
    void finished();
    void printFinished(zd::documents::PrintJobWatcher::Outcome outcome);

protected:
    void changeEvent(QEvent *event) override;

private:
    void onReportError(const QString &message);
    void keepOnTop();

    QPointer<ReportPreview> m_preview;
    bool m_previewShown = false;
    bool m_finished = false;
    PrintTimeouts m_timeouts;
    std::function<void(const QString &)> m_notify;
    QPointer<PrintJobWatcher> m_job;
};

} // namespace zd::documents
