#pragma once
#include "externo/state/Records.h"

#include <QString>
#include <QVector>
#include <optional>

namespace zd {
struct AppState;
}

// A ticket that went into a document is marked by moving its timestamp
// 0.00001 day forward: off the whole second (milliseconds .863), so no
// list offers it again, while date and time to the second stay the same.
namespace zd::posdata {

QString SelectTicketSql(qint32 ticketId);
// Marks the ticket only while it is open: a ticket another back office
// marked meanwhile is left as it is (no row changed).
QString MarkTicketSql(qint32 ticketId);
// ticketId must be all digits (checked by ClearInvoicedMark).
QString ClearTicketMarkSql(const QString &ticketId);

// Marks each chosen ticket (the ids of the ticket nodes showing icon 5) on
// state.PosConnection, in ascending id order so that two workstations
// marking overlapping tickets lock them in the same order. The mark's
// changed-row count decides: a ticket that no longer exists is skipped; a
// ticket already marked (invoiced elsewhere) stops the marking, its id goes
// to *takenElsewhere and false is returned (the caller rolls back). Begins
// and commits no transaction: the caller holds one. false at the first
// database error too (*takenElsewhere stays 0).
bool MarkSelectedTicketsInvoiced(AppState &state, const QVector<qint32> &chosenTicketIds,
                                 qint32 *takenElsewhere = nullptr);

// One owed mark or release, as the invoice store's journal replays them:
// each changes an open (resp. marked) ticket only, so replaying twice
// changes nothing. *changed: the rows the statement itself changed (0 or 1).
// false on a database error.
bool MarkTicketIfOpen(AppState &state, qint32 ticketId, int *changed = nullptr);
bool ReleaseTicketIfMarked(AppState &state, qint32 ticketId, int *changed = nullptr);
// Whether the point-of-sale database holds the ticket; nothing on an error.
std::optional<bool> TicketExists(AppState &state, qint32 ticketId);

// Puts the tickets of the given lines (field 8, the point-of-sale id,
// trimmed) back on their whole second. A field that is not all digits is
// skipped: no other text is ever spliced into the statement. false at the
// first database error.
bool ClearInvoicedMark(AppState &state, const LineRecordSet &lines);

} // namespace zd::posdata
