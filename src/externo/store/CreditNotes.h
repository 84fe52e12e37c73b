#pragma once
#include "Facturas.h"

#include <QDate>
#include <QString>

namespace zd {

struct AppState;

// Why a credit note was not issued.
enum class CreditRefusal {
    None,
    NotAnInvoice,      // a delivery note, a credit note, or no stored document
    AlreadyCredited,   // *creditNote names the credit note that corrects it
    Failed,            // the store or the point of sale refused: nothing changed (or see IssueReport)
};

// The credit note that corrects an invoice, or an empty text. *ok tells
// whether the store answered.
QString FindCreditNoteOfInvoice(AppState &state, const QString &invoiceId, bool *ok = nullptr);

// The invoice a credit note corrects and that invoice's date; empty when
// the document is no credit note or the store does not answer.
struct CorrectedInvoice {
    QString id;
    QDate date;
};
CorrectedInvoice InvoiceCorrectedBy(AppState &state, const QString &creditNoteId);

// Corrects a whole invoice by a credit note ("avoir", TipoDocumento 2,
// letter "V"), numbered in its own series of the invoice's company and
// customer and the year of state.Now(); its header and lines are the
// invoice's (amounts as on the invoice) and FacturaRectificada names it.
// An invoice made from tickets gives its tickets back (their marks are
// released in the same way as a cancelled delivery note's, journalled); an
// invoice made from a delivery note leaves the tickets with the note, which
// can then be invoiced again or cancelled. What earlier runs still owe is
// settled first. Returns the credit note's number, or "AAAAAAAA" with
// *refusal set; report->marksOwed: stored, but the releases wait in the
// journal (not printed).
QString IssueCreditNote(AppState &state, const QString &invoiceId, CreditRefusal *refusal,
                        IssueReport *report = nullptr, QString *creditNote = nullptr);

} // namespace zd
