// Cancelling a delivery note: printed once more marked as cancelled, then
// deleted from the invoice store, its tickets open again.
#include "FrmExterno.h"
#include "TreeNodes.h"

#include "externo/dialogs/Var.h"
#include "externo/posdata/TaxBreakdown.h"
#include "externo/posdata/TotalsDisplay.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/store/Cancellation.h"
#include "externo/store/Facturas.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QTreeWidget>

namespace zd {

namespace {

// A document id as the store issues them: letters and digits, at most 15.
bool isDocumentId(const QString &id)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9]{1,15}$"));
    return pattern.match(id).hasMatch();
}

bool treeShows(const QTreeWidget *documents, const QString &id)
{
    for (int i = 2; i <= nodes::nodeCount(documents); ++i) {
        if (nodes::node(documents, i)->text(0).trimmed() == id)
            return true;
    }
    return false;
}

} // namespace

void FrmExterno::CmdAnularAlb_Click()
{
    const QString id = TxtFacAlb->text().trimmed();
    if (!id.startsWith(QLatin1Char('A'))) {
        ShowMessage(m_state, id.isEmpty() ? QStringLiteral("PAS DE DOCUMENT SELECTIONNE.")
                                          : QStringLiteral("Le Document sélectionné est une FACTURE."),
                    1);
        return;
    }
    // Only a document the tree shows is ever deleted, and the statement is
    // built from nothing else.
    if (!isDocumentId(id) || !treeShows(TreeClient[2], id)) {
        ShowMessage(m_state, QStringLiteral("PAS DE DOCUMENT SELECTIONNE."), 1);
        return;
    }

    auto store = m_state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString())) {
        TakeOfflinePath(m_state);
        return;
    }
    bool answered = false;
    const QString invoice = FindInvoiceOfDeliveryNote(m_state, id, &answered);
    if (!answered) {
        ShowMessage(m_state, QStringLiteral("Impossible de vérifier si le bon de livraison ") + id
                                 + QStringLiteral(" est facturé. Il n'est pas annulé."),
                    1);
        return;
    }
    if (!invoice.isEmpty()) {
        ShowMessage(m_state, QStringLiteral("Bon de livraison facture. Facture:") + invoice
                                 + QStringLiteral("\r\nImpossible de l'annuler..."),
                    1);
        return;
    }

    // The operator's last view of the note; the deletion follows its close.
    CancellationPrint = true;
    CmdAlbaranImprime_Click();
    CancellationPrint = false;

    setEnabled(false);
    // The tickets to give back are those of the stored note itself, whatever
    // the line list shows by now. Loading it also puts its totals back into
    // the state: the print had cleared them, and so does the end below.
    LineRecordSet lines;
    const bool loaded = LoadDocument(m_state, id, &lines) == QLatin1String(kLoadDone);
    posdata::ClearTaxTotals(m_state);
    posdata::ClearTotalsDisplay(m_state, *this);
    m_state.SelectionBase = 0;
    m_state.SelectionTax = 0;
    m_state.CopyNumber = 0;

    // The deletion and the release stand or fall together: a note still
    // stored never has open tickets, and a deleted one keeps none marked
    // (an interrupted release is finished by the journal's replay).
    const CancelOutcome outcome = loaded ? CancelDeliveryNote(m_state, id, lines) : CancelOutcome::Kept;
    const bool stillStored = outcome == CancelOutcome::Kept;
    store->close();

    FillCurrentList();
    if (!stillStored)
        TxtFacAlb->clear();
    setEnabled(true);
    switch (outcome) {
    case CancelOutcome::Cancelled:
        break;
    case CancelOutcome::Kept:
        ShowMessage(m_state, QStringLiteral("Le bon de livraison ") + id
                                 + QStringLiteral(" n'a pas pu être annulé. Il reste enregistré, ses tickets aussi."),
                    1);
        break;
    case CancelOutcome::ReleaseOwed:
        // Rare: the second commit failed after the first went through.
        ShowMessage(m_state, QStringLiteral("Le bon de livraison ") + id
                                 + QStringLiteral(" est annulé, mais ses tickets n'ont pas pu être libérés. "
                                                  "Ils le seront avant la prochaine édition."),
                    1);
        break;
    case CancelOutcome::Unknown:
        ShowMessage(m_state, QStringLiteral("On ne sait pas si le bon de livraison ") + id
                                 + QStringLiteral(" a été annulé : la connexion au magasin de factures a été perdue. "
                                                  "Vérifiez la liste des documents avant de recommencer."),
                    1);
        break;
    }
    takeReplayOutcome();
}

} // namespace zd
