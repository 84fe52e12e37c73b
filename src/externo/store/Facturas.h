#pragma once
#include "externo/state/Records.h"

#include <QString>
#include <QVector>

namespace zd {

struct AppState;

// Markers the invoice store routines return instead of a document number.
inline constexpr char kIssueFailed[] = "AAAAAAAA";
inline constexpr char kLoadFailed[] = "AAAAAAAA";
inline constexpr char kLoadDone[] = "BBBBBBBB";

// A chosen ticket found already marked when the issue came to mark it:
// another back office invoiced it meanwhile.
struct TicketTakenElsewhere {
    qint32 ticketId = 0;       // point-of-sale id; 0: no ticket was taken
    qint32 ticketNumber = 0;   // its ticket number as the line list shows it
};

// Issues an invoice (type 1) or a delivery note (type 0) from the lines of
// ListView1 and marks the chosen tickets (point-of-sale ids, in tree order)
// as invoiced on state.PosConnection. Numbers the document in the series of
// the company, the year of state.Now() and the selected customer.
// All or nothing: header and lines are written in one store transaction,
// the marks in one point-of-sale transaction, and either the document
// exists with every ticket marked or neither; then "AAAAAAAA" is returned.
// A ticket is marked only while it is open: one already marked refuses the
// whole issue ("AAAAAAAA", nothing stored, *taken tells which ticket).
// What an earlier interrupted issue or cancellation still owes the
// point-of-sale database is settled first (see PendingMarks.h); when it
// cannot be, nothing is issued.
// Sets CopyNumber to 0 and consumes SourceDeliveryNote.
QString IssueDocument(AppState &state, const LineRecordSet &lines, qint16 type,
                      const QVector<qint32> &chosenTicketIds, TicketTakenElsewhere *taken = nullptr);

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

// Document number: "F"/"A", series "00000000", running number "0000"
// (either part keeps all its digits when it outgrows its width).
QString DocumentNumber(qint16 type, qint32 serie, qint32 correlativo);

} // namespace zd
