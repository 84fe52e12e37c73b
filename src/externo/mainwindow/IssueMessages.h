#pragma once
#include <QString>
#include <QStringList>
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

// An invoice issued to a customer who cannot receive it through a platform
// (why: what its data lacks).
QString BuyerUnreachableMessage(const QString &customerName, const QString &why);
// An invoice whose VAT rates the French platforms refuse ("4.50", ...).
QString UnlistedRatesMessage(const QString &documentId, const QStringList &rates);

} // namespace zd
