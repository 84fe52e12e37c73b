#pragma once
#include <QString>
#include <QtGlobal>

namespace zd {

struct TicketTakenElsewhere;

// What the operator is told when an issue is refused because one of the
// chosen tickets was invoiced by another back office meanwhile (kind 1
// invoice, 0 delivery note). Names the ticket by its number.
QString TicketTakenMessage(qint16 kind, const TicketTakenElsewhere &taken);

} // namespace zd
