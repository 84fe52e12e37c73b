// The issue workflow: what the operator chose becomes a document (a new one
// or a copy of a stored one), is filled into the report and shown full
// screen with its control panel until the operator closes it.
#include "FrmExterno.h"
#include "IssueMessages.h"
#include "TreeNodes.h"

#include "externo/dialogs/Var.h"
#include "externo/documents/DataReport1.h"
#include "externo/documents/FrmReportControl.h"
#include "externo/documents/PanelButton.h"
#include "externo/documents/ReportHeaderFill.h"
#include "externo/documents/ReportMentions.h"
#include "externo/documents/ReportPreview.h"
#include "externo/posdata/TaxBreakdown.h"
#include "externo/posdata/TicketNodes.h"
#include "externo/posdata/TotalsDisplay.h"
#include "externo/store/Facturas.h"

#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QScreen>
#include <QTreeWidget>
#include <memory>

Q_LOGGING_CATEGORY(zdPrint, "zedorev.print")

namespace zd {

using documents::DataReport1;

namespace {

// While this file exists in the program folder the keyboard keeps itself
// hidden, so it does not cover the preview.
const QString kKeyboardMarker = QStringLiteral("/notrs_teclado");

QString confirmationText(bool invoice)
{
    return invoice
        ? QStringLiteral("Confirmer l'édition d'une facture. Une fois l'édition acceptée, les tickets "
                         "sélectionnés seront inclus dans la facture et ne seront plus visualisés.")
        : QStringLiteral("Confirmer l'édition d'un bon de livraison. Une fois l'édition acceptée, les "
                         "tickets sélectionnés seront inclus dans le bon de livraison et ne seront plus "
                         "visualisés.");
}

QString copyMarker(qint32 copyNumber)
{
    return copyNumber == 0 ? QStringLiteral("  Original")
                           : QString(7, QLatin1Char(' ')) + QString::number(copyNumber);
}

} // namespace

DataReport1 &FrmExterno::Report()
{
    if (!m_report)
        m_report = std::make_shared<DataReport1>();
    return *m_report;
}

documents::ReportPreview *FrmExterno::currentPreview() const
{
    return m_preview.data();
}

documents::FrmReportControl *FrmExterno::currentReportControl() const
{
    return m_reportControl.data();
}

QVector<qint32> FrmExterno::chosenTicketIds() const
{
    // Only the ticket view chooses tickets: a document made from a stored
    // delivery note marks nothing (its tickets are marked already).
    QVector<qint32> ids;
    const QTreeWidget *tickets = TreeClient[1];
    if (!tickets->isEnabled())
        return ids;
    for (int i = 2; i <= nodes::nodeCount(tickets); ++i) {
        const QTreeWidgetItem *node = nodes::node(tickets, i);
        if (nodes::image(node) != 5)
            continue;
        if (const auto values = posdata::ParseTicketNode(node->text(0)))
            ids << values->ticketId;
    }
    return ids;
}

void FrmExterno::fillReportHeader(DataReport1 &report)
{
    documents::FillReportHeader(report, m_state,
                                {TxtTotalBruto->text().trimmed(), TxtTotalImpuestos->text().trimmed(),
                                 TxtTotal->text().trimmed(), TxtLote->text().trimmed()});
}

void FrmExterno::PrintDocument(qint16 kind)
{
    const bool invoice = kind == 1;

    // 1, 2. Nothing to print, or the operator declines: nothing changes.
    if (m_state.SelectionBase == 0) {
        ShowMessage(m_state, invoice ? QStringLiteral("Le montant à facturer est nul.")
                                     : QStringLiteral("Le montant est nul."),
                    1);
        return;
    }
    if (m_state.CopyNumber == 0 && (!invoice || m_state.SourceDeliveryNote.isEmpty())) {
        ShowMessage(m_state, confirmationText(invoice), 2);
        if (m_state.MessageCancelled)
            return;
    }

    // 3 to 7. Shop, logo, customer, date, totals, lot and tax table.
    DataReport1 &report = Report();
    fillReportHeader(report);
    documents::FillReportMentions(report, m_state, invoice);

    // 8 to 15. The document is issued (or taken as a copy) and shown.
    if (const auto lines = Create_Recordset(ListView1)) {
        const bool newDocument = !m_state.SourceDeliveryNote.isEmpty() || m_state.CopyNumber == 0;
        QString id;
        IssueReport issued;
        if (newDocument) {
            id = IssueDocument(m_state, lines->records, kind, chosenTicketIds(), &issued);
        } else if (TreeClient[2]->isEnabled()) {
            if (const QTreeWidgetItem *node = nodes::node(TreeClient[2], nodes::selectedIndex(TreeClient[2])))
                id = node->text(0).trimmed();
        }
        const bool failed = newDocument && id == QLatin1String(kIssueFailed);
        if (failed || (newDocument && issued.marksOwed)) {
            // Nothing stored, or stored without its tickets' marks: nothing
            // is shown as if it had been issued, and the operator is told
            // which of the two.
            ShowMessage(m_state, IssueFailureMessage(kind, id, issued), 1);
            if (issued.marksOwed)
                archiveMissing({id});
        } else {
            report.setCaption(QStringLiteral("etiqueta11"), copyMarker(m_state.CopyNumber));
            report.setCaption(QStringLiteral("lblnfactura"), id);
            m_state.CopyNumber = 0;
            report.setDetailRows(lines->records);
            if (newDocument)
                archiveIssuedDocument(report, id);
            showPreview(id);
        }
    }

    // 16 to 18. The report goes; lists and totals follow what was issued.
    m_report.reset();
    refreshAfterPrint();
    takeReplayOutcome();
}

void FrmExterno::showPreview(const QString &documentId)
{
    // The preview reads the report while it lives: both end here.
    auto preview = std::make_unique<documents::ReportPreview>(*m_report);
    preview->setDocumentTitle(documentId.isEmpty() ? QStringLiteral("document") : documentId);
    preview->setPrinterQueue(m_printerQueue);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        preview->setGeometry(screen->geometry());
    auto panel = std::make_unique<documents::FrmReportControl>(preview.get());
    panel->setErrorNotifier([this](const QString &message) { ShowMessage(m_state, message, 1); });
    m_preview = preview.get();
    m_reportControl = panel.get();

    panel->show();
    panel->CmdDn->setFocus(Qt::OtherFocusReason);
    writeKeyboardMarker();
    preview->show();
    Yield();
    // Kept on top of the full-screen preview from the start.
    if (m_reportControl && m_reportControl->isVisible())
        m_reportControl->activatePanel();
    while (m_preview && m_preview->isVisible())
        Yield();

    removeKeyboardMarker();
    panel.reset();
    preview.reset();
}

void FrmExterno::refreshAfterPrint()
{
    // The current view's list, with the period when one is set, so the
    // tree never shows more than the dates above it say.
    FillCurrentList();
    posdata::ClearTaxTotals(m_state);
    posdata::ClearTotalsDisplay(m_state, *this);
    m_state.SelectionBase = 0;
    m_state.SelectionTax = 0;
}

void FrmExterno::writeKeyboardMarker()
{
    QSaveFile marker(m_state.programFile(kKeyboardMarker));
    if (!marker.open(QIODevice::WriteOnly) || !marker.commit())
        qCWarning(zdPrint) << "keyboard marker not written:" << marker.errorString();
}

void FrmExterno::removeKeyboardMarker()
{
    const QString path = m_state.programFile(kKeyboardMarker);
    if (QFile::exists(path) && !QFile::remove(path))
        qCWarning(zdPrint) << "keyboard marker not removed:" << path;
}

} // namespace zd
