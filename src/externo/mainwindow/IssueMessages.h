#pragma once
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace zd {

struct TicketTakenElsewhere;

// What the operator is told when an issue is refused because one of the
// chosen tickets was invoiced by another back office meanwhile (kind 1
// invoice, 0 delivery note). Names the ticket by its number.
QString TicketTakenMessage(qint16 kind, const TicketTakenElsewhere &taken);

// An invoice issued to a customer who cannot receive it through a platform
// (why: what its data lacks).
QString BuyerUnreachableMessage(const QString &customerName, const QString &why);
// An invoice whose VAT rates the French platforms refuse ("4.50", ...).
QString UnlistedRatesMessage(const QString &documentId, const QStringList &rates);

} // namespace zd
