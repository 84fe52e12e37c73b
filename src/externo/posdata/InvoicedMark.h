#pragma once
#include "externo/state/Records.h"

#include <QString>
#include <QVector>

namespace zd {
struct AppState;
}

// A ticket that went into a document is marked by moving its timestamp
// 0.00001 day forward: off the whole second (milliseconds .863), so no
// list offers it again, while date and time to the second stay the same.
namespace zd::posdata {

QString SelectTicketSql(qint32 ticketId);
QString MarkTicketSql(qint32 ticketId);
// ticketId must be all digits (checked by ClearInvoicedMark).
QString ClearTicketMarkSql(const QString &ticketId);

// Marks each chosen ticket (the ids of the ticket nodes showing icon 5, in
// tree order) on state.PosConnection: a ticket that no longer exists is
// skipped. Begins and commits no transaction: the caller may hold one.
// false at the first database error (the statements before it were sent).
bool MarkSelectedTicketsInvoiced(AppState &state, const QVector<qint32> &chosenTicketIds);

// Puts the tickets of the given lines (field 8, the point-of-sale id,
// trimmed) back on their whole second. A field that is not all digits is
// skipped: no other text is ever spliced into the statement. false at the
// first database error.
bool ClearInvoicedMark(AppState &state, const LineRecordSet &lines);

} // namespace zd::posdata
