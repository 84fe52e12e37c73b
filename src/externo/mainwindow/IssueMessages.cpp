#include "IssueMessages.h"

#include "externo/store/Facturas.h"

namespace zd {

QString TicketTakenMessage(qint16 kind, const TicketTakenElsewhere &taken)
{
    const QString ticket = taken.ticketNumber != 0 ? QString::number(taken.ticketNumber)
                                                   : QStringLiteral("(id ") + QString::number(taken.ticketId)
                                                         + QLatin1Char(')');
    return QStringLiteral("Le ticket ") + ticket + QStringLiteral(" a déjà été facturé sur un autre poste. ")
         + (kind == 1 ? QStringLiteral("La facture n'a pas été générée.")
                      : QStringLiteral("Le bon de livraison n'a pas été généré."));
}

} // namespace zd
