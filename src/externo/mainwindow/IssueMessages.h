#pragma once
#include <QString>
#include <QtGlobal>

namespace zd {

struct IssueReport;

// What the operator is told when an issue is refused because one of the
// chosen tickets was invoiced by another back office meanwhile (kind 1
// invoice, 0 delivery note). Names the ticket by its number.
QString TicketTakenMessage(qint16 kind, const IssueReport &taken);

// What the operator is told when an issue did not end as issued: nothing
// stored, a ticket taken elsewhere, stored with its marks owed (id is then
// the stored document's number), or not known.
QString IssueFailureMessage(qint16 kind, const QString &id, const IssueReport &report);

} // namespace zd
