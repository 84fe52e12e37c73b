#pragma once
#include "externo/state/Records.h"

#include <QString>
#include <QVector>
#include <optional>

namespace zd {

struct AppState;

// Markers the invoice store routines return instead of a document number.
inline constexpr char kIssueFailed[] = "AAAAAAAA";
inline constexpr char kLoadFailed[] = "AAAAAAAA";
inline constexpr char kLoadDone[] = "BBBBBBBB";

// TipoDocumento: 1 invoice ("F"), 0 delivery note ("A"), 2 credit note ("V").
inline constexpr qint16 kCreditNoteType = 2;

// What became of an issue beside the number IssueDocument returns.
struct IssueReport {
    // A chosen ticket found already marked when the issue came to mark it:
    // another back office invoiced it meanwhile (nothing was stored).
    qint32 ticketId = 0;       // point-of-sale id; 0: no ticket was taken
    qint32 ticketNumber = 0;   // its ticket number as the line list shows it
    // The document is stored (its number is returned) but its tickets'
    // marks could not be committed and could not be taken back, or it is
    // not known whether they were: they wait in the journal and are made
    // before anything else is issued. It must not be printed as issued.
    bool marksOwed = false;
    // Nothing is known: the store's commit failed in a way that may have
    // committed ("AAAAAAAA" returned; the document view tells).
    bool unknown = false;
};

// Issues an invoice (type 1) or a delivery note (type 0) from the lines of
// ListView1 and marks the chosen tickets (point-of-sale ids, in tree order)
// as invoiced on state.PosConnection. Numbers the document in the series of
// the company, the year of state.Now() and the selected customer.
// All or nothing: header and lines are written in one store transaction,
// the marks in one point-of-sale transaction, and either the document
// exists with every ticket marked (or owed, see IssueReport::marksOwed) or
// neither; then "AAAAAAAA" is returned.
// A ticket is marked only while it is open: one already marked refuses the
// whole issue ("AAAAAAAA", nothing stored, *report tells which ticket).
// What an earlier interrupted issue or cancellation still owes the
// point-of-sale database is settled first (see PendingMarks.h); when it
// cannot be, nothing is issued.
// Sets CopyNumber to 0 and consumes SourceDeliveryNote.
QString IssueDocument(AppState &state, const LineRecordSet &lines, qint16 type,
                      const QVector<qint32> &chosenTicketIds, IssueReport *report = nullptr);

// Whether the store holds the document (a fresh connection); nothing when
// the store does not answer.
std::optional<bool> DocumentStored(AppState &state, const QString &id);

// Puts a stored document back into the state (company, customer, currency,
// totals, tax lines, CopyNumber = NumCopia + 1) and appends its lines to
// *linesOut as ListView1 shows them. "BBBBBBBB" when it ran to its end (also
// for an unknown id, which changes nothing), "AAAAAAAA" on an error.
QString LoadDocument(AppState &state, const QString &id, LineRecordSet *linesOut);

// Stores state.CopyNumber as the document's NumCopia. false on an error.
bool AdvanceCopyCounter(AppState &state, const QString &id);

// The invoice made from the delivery note id, or an empty text. *ok tells
// whether the store answered (an empty text with *ok false is an error).
QString FindInvoiceOfDeliveryNote(AppState &state, const QString &id, bool *ok = nullptr);

// Document number: "F"/"A"/"V", series "00000000", running number "0000"
// (either part keeps all its digits when it outgrows its width).
QString DocumentNumber(qint16 type, qint32 serie, qint32 correlativo);

} // namespace zd
