// The two print buttons: the checks of the document view, the title of the
// document, the copy counter, then the issue workflow (PrintDocument).
#include "FrmExterno.h"
#include "TreeNodes.h"

#include "externo/dialogs/Var.h"
#include "externo/documents/DataReport1.h"
#include "externo/documents/ReportHeaderFill.h"
#include "externo/store/Facturas.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace zd {

namespace {

const QString kNothingSelected = QStringLiteral("PAS DE FACTURE OU DE BON DE LIVRAISON SELECTIONNE.");

// Delivery-note identifiers begin with "A"; anything else is an invoice.
bool isDeliveryNote(const QString &id)
{
    return id.startsWith(QLatin1Char('A'));
}

// The trimmed text of the document tree's selected node.
QString selectedDocument(const QTreeWidget *documents)
{
    const QTreeWidgetItem *node = nodes::node(documents, nodes::selectedIndex(documents));
    return node ? node->text(0).trimmed() : QString();
}

} // namespace

void FrmExterno::installPrintHandlers()
{
    connect(CmdFacturaImprime, &QPushButton::clicked, this, [this] { CmdFacturaImprime_Click(); });
    connect(CmdAlbaranImprime, &QPushButton::clicked, this, [this] { CmdAlbaranImprime_Click(); });
    connect(CmdAnularAlb, &QPushButton::clicked, this, [this] { CmdAnularAlb_Click(); });
    connect(CmdAvoir, &QPushButton::clicked, this, [this] { CmdAvoir_Click(); });
}

void FrmExterno::setPrintButtonsEnabled(bool enabled)
{
    CmdFacturaImprime->setEnabled(enabled);
    CmdAlbaranImprime->setEnabled(enabled);
}

void FrmExterno::removeTemporaryFiles()
{
    // Left-overs of earlier print jobs; one that cannot go is no reason to stop.
    const QDir folder(m_state.programFolder());
    const QStringList names = folder.entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden);
    for (const QString &name : names)
        QFile::remove(folder.filePath(name));
}

void FrmExterno::tellPrintFailure(const QString &text)
{
    ShowMessage(m_state, text, 1);
}

void FrmExterno::CmdFacturaImprime_Click()
{
    removeTemporaryFiles();
    setPrintButtonsEnabled(false);

    // Every refusal and failure leaves through the common end below.
    [this] {
        if (m_state.DocumentViewActive) {
            if (m_state.SelectionBase == 0) {
                ShowMessage(m_state, kNothingSelected, 1);
                return;
            }
            if (!TreeClient[2]->isEnabled())
                return;
            const QString id = selectedDocument(TreeClient[2]);
            if (isDeliveryNote(id)) {
                // A delivery note becomes an invoice, once only.
                m_state.SourceDeliveryNote = id;
                bool answered = false;
                const QString invoice = FindInvoiceOfDeliveryNote(m_state, id, &answered);
                if (!answered) {
                    tellPrintFailure(QStringLiteral("Impossible de vérifier si le bon de livraison ") + id
                                     + QStringLiteral(" est déjà facturé. Aucune facture n'a été générée."));
                    return;
                }
                if (!invoice.isEmpty()) {
                    ShowMessage(m_state, QStringLiteral("Bon de livraison déjà facturé. Facture:") + invoice, 1);
                    return;
                }
                m_state.CopyNumber = 0;
            }
        }

        const QString picked = m_state.DocumentViewActive ? selectedDocument(TreeClient[2]) : QString();
        if (picked.startsWith(QLatin1Char('V'))) {
            documents::FillCreditNoteTitles(Report(), m_state, picked);
        } else {
            Report().setCaption(QStringLiteral("LblFacturaLiteral"), QStringLiteral("   FACTURE"));
            Report().setCaption(QStringLiteral("Etiqueta13"), QStringLiteral("Nº Facture"));
        }

        // The copy's number is stored before it is printed, so no number
        // is ever printed twice.
        if (m_state.DocumentViewActive && m_state.CopyNumber != 0) {
            const QString id = selectedDocument(TreeClient[2]);
            if (!AdvanceCopyCounter(m_state, id)) {
                tellPrintFailure(QStringLiteral("Le numéro de copie de ") + id
                                 + QStringLiteral(" n'a pas pu être enregistré. La copie n'est pas imprimée."));
                return;
            }
        }
        PrintDocument(1);
        TxtFacAlb->clear();
    }();

    m_state.CopyNumber = 0;
    m_state.SourceDeliveryNote.clear();
    m_report.reset();
    removeKeyboardMarker();
    setPrintButtonsEnabled(true);
}

void FrmExterno::CmdAlbaranImprime_Click()
{
    removeTemporaryFiles();

    [this] {
        if (m_state.DocumentViewActive) {
            if (m_state.SelectionBase == 0) {
                ShowMessage(m_state, kNothingSelected, 1);
                return;
            }
            if (!TreeClient[2]->isEnabled())
                return;
            if (!isDeliveryNote(selectedDocument(TreeClient[2]))) {
                ShowMessage(m_state,
                            QStringLiteral("IMPOSSIBLE DE GÉNÉRER UN BON DE LIVRAISON À PARTIR D'UNE FACTURE"), 1);
                return;
            }
        }
        setPrintButtonsEnabled(false);

        // The report is made afresh for every print, so the cancellation's
        // red title never carries over to the next delivery note.
        documents::DataReport1 &report = Report();
        const QString title = QStringLiteral("LblFacturaLiteral");
        if (CancellationPrint) {
            report.setFontSize(title, 12);
            report.setForeColor(title, QColor(255, 0, 0));
            report.setCaption(title, QStringLiteral("BON LIVRA.ANNUL"));
        } else {
            report.setCaption(title, QStringLiteral("BON LIVRAISON"));
        }
        report.setCaption(QStringLiteral("Etiqueta13"), QStringLiteral("NºBon Liv."));
        // Copies of a delivery note keep their number: no counter is advanced.
        PrintDocument(0);
    }();

    m_state.CopyNumber = 0;
    m_report.reset();
    removeKeyboardMarker();
    setPrintButtonsEnabled(true);
}

} // namespace zd
