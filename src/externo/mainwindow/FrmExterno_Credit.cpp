// Credit notes: an invoice issued in error is corrected by an "avoir" that
// names it; the credit note is printed and archived like an invoice.
#include "FrmExterno.h"
#include "IssueMessages.h"
#include "TreeNodes.h"

#include "externo/dialogs/Var.h"
#include "externo/documents/DataReport1.h"
#include "externo/documents/ReportHeaderFill.h"
#include "externo/documents/ReportMentions.h"
#include "externo/posdata/PosValues.h"
#include "externo/store/CreditNotes.h"
#include "externo/store/StoredDocument.h"

#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QTreeWidget>

namespace zd {

namespace {

int nodeIndexOf(const QTreeWidget *documents, const QString &id)
{
    for (int i = 2; i <= nodes::nodeCount(documents); ++i) {
        if (nodes::node(documents, i)->text(0).trimmed() == id)
            return i;
    }
    return 0;
}

// "l'invoice's number, date and total" for the confirmation.
QString confirmationText(AppState &state, const QString &invoice)
{
    const auto stored = ReadStoredDocument(state, invoice);
    QString date, total;
    if (stored) {
        if (const auto day = posdata::DateOf(stored->header.value(0, QStringLiteral("FechaDocumento"))))
            date = day->toString(QStringLiteral("dd/MM/yyyy"));
        total = QLocale().toString(stored->header.value(0, QStringLiteral("TotalNeto")).toDouble(), 'f', 2)
              + QLatin1Char(' ') + stored->header.value(0, QStringLiteral("MonedaSim")).toString().trimmed();
    }
    return QStringLiteral("Émettre un avoir pour toute la facture %1 du %2, d'un montant de %3 ? "
                          "Ses tickets seront de nouveau disponibles (sauf ceux d'un bon de livraison).")
        .arg(invoice, date, total);
}

} // namespace

int FrmExterno::documentPicture(const QString &id) const
{
    if (id.startsWith(QLatin1Char('V')))
        return 8;
    return m_corrected.contains(id) ? 9 : 6;
}

void FrmExterno::CmdAvoir_Click()
{
    const QString id = TxtFacAlb->text().trimmed();
    static const QRegularExpression documentId(QStringLiteral("^[A-Za-z0-9]{1,15}$"));
    const int index = documentId.match(id).hasMatch() ? nodeIndexOf(TreeClient[2], id) : 0;
    if (id.isEmpty() || index == 0) {
        ShowMessage(m_state, QStringLiteral("PAS DE DOCUMENT SELECTIONNE."), 1);
        return;
    }
    if (!id.startsWith(QLatin1Char('F'))) {
        ShowMessage(m_state,
                    id.startsWith(QLatin1Char('V'))
                        ? QStringLiteral("Le Document sélectionné est un AVOIR. Seule une facture peut être corrigée "
                                         "par un avoir.")
                        : QStringLiteral("Le Document sélectionné est un BON DE LIVRAISON. Seule une facture peut "
                                         "être corrigée par un avoir."),
                    1);
        return;
    }
    bool answered = false;
    const QString existing = FindCreditNoteOfInvoice(m_state, id, &answered);
    if (!answered || !existing.isEmpty()) {
        ShowMessage(m_state,
                    answered ? QStringLiteral("La facture %1 est déjà corrigée par l'avoir %2.").arg(id, existing)
                             : QStringLiteral("Impossible de lire la facture %1. Aucun avoir n'a été émis.").arg(id),
                    1);
        return;
    }
    ShowMessage(m_state, confirmationText(m_state, id), 2);
    if (m_state.MessageCancelled)
        return;

    setEnabled(false);
    CreditRefusal refusal = CreditRefusal::None;
    IssueReport report;
    QString other;
    const QString credit = IssueCreditNote(m_state, id, &refusal, &report, &other);
    setEnabled(true);
    FillCurrentList();
    TxtFacAlb->clear();
    if (credit == QLatin1String(kIssueFailed) || report.marksOwed) {
        QString text;
        if (refusal == CreditRefusal::AlreadyCredited)
            text = QStringLiteral("La facture %1 est déjà corrigée par l'avoir %2.").arg(id, other);
        else if (report.marksOwed)
            text = QStringLiteral("L'avoir %1 est enregistré, mais les tickets de la facture %2 n'ont pas pu être "
                                  "libérés dans Tillvane. Ils le seront avant le prochain document. Il n'a pas été "
                                  "imprimé : imprimez-le depuis la vue des documents.")
                       .arg(credit, id);
        else if (report.unknown)
            text = QStringLiteral("On ne sait pas si l'avoir de la facture %1 a été enregistré : la connexion au "
                                  "magasin de factures a été perdue. Vérifiez la liste des documents.")
                       .arg(id);
        else
            text = QStringLiteral("L'avoir de la facture %1 n'a pas pu être émis. Rien n'a été modifié.").arg(id);
        ShowMessage(m_state, text, 1);
        if (report.marksOwed)
            archiveMissing({credit});
        takeReplayOutcome();
        return;
    }

    // The credit note is shown as the operator would pick it, then printed
    // as its original.
    const int node = nodeIndexOf(TreeClient[2], credit);
    if (node != 0) {
        nodes::select(TreeClient[2], node);
        DocumentTree_Click();
    }
    setPrintButtonsEnabled(false);
    if (const auto lines = Create_Recordset(ListView1); lines && node != 0) {
        documents::DataReport1 &printed = Report();
        fillReportHeader(printed);
        documents::FillReportMentions(printed, m_state, true);
        documents::FillCreditNoteTitles(printed, m_state, credit);
        printed.setCaption(QStringLiteral("etiqueta11"), QStringLiteral("  Original"));
        printed.setCaption(QStringLiteral("lblnfactura"), credit);
        printed.setDetailRows(lines->records);
        archiveIssuedDocument(printed, credit);
        showPreview(credit);
    }
    m_report.reset();
    m_state.CopyNumber = 0;
    refreshAfterPrint();
    TxtFacAlb->clear();
    removeKeyboardMarker();
    setPrintButtonsEnabled(true);
    takeReplayOutcome();
}

} // namespace zd
