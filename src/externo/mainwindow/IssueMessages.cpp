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

QString BuyerUnreachableMessage(const QString &customerName, const QString &why)
{
    return QStringLiteral("Facture émise et archivée, mais le client %1 ne peut pas la recevoir par une plateforme "
                          "de facturation électronique : %2.")
        .arg(customerName, why);
}

QString UnlistedRatesMessage(const QString &documentId, const QStringList &rates)
{
    return QStringLiteral("Facture %1 : taux de TVA non reconnu par les plateformes françaises : %2 %.")
        .arg(documentId, rates.join(QStringLiteral(" %, ")));
}

} // namespace zd
