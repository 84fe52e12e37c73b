#include "IssueMessages.h"

#include "externo/store/Facturas.h"

namespace zd {

QString TicketTakenMessage(qint16 kind, const IssueReport &taken)
{
    const QString ticket = taken.ticketNumber != 0 ? QString::number(taken.ticketNumber)
                                                   : QStringLiteral("(id ") + QString::number(taken.ticketId)
                                                         + QLatin1Char(')');
    return QStringLiteral("Le ticket ") + ticket + QStringLiteral(" a déjà été facturé sur un autre poste. ")
         + (kind == 1 ? QStringLiteral("La facture n'a pas été générée.")
                      : QStringLiteral("Le bon de livraison n'a pas été généré."));
}

QString IssueFailureMessage(qint16 kind, const QString &id, const IssueReport &report)
{
    const bool invoice = kind == 1;
    if (report.ticketId != 0)
        return TicketTakenMessage(kind, report);
    if (report.marksOwed)
        return (invoice ? QStringLiteral("La facture %1 est enregistrée, mais ses tickets n'ont pas pu être marqués "
                                         "comme facturés dans Tillvane. Ils le seront avant le prochain document. "
                                         "Elle n'a pas été imprimée : imprimez-la depuis la vue des documents.")
                        : QStringLiteral("Le bon de livraison %1 est enregistré, mais ses tickets n'ont pas pu être "
                                         "marqués comme facturés dans Tillvane. Ils le seront avant le prochain "
                                         "document. Il n'a pas été imprimé : imprimez-le depuis la vue des documents."))
            .arg(id);
    if (report.unknown)
        return invoice ? QStringLiteral("On ne sait pas si la facture a été enregistrée : la connexion au magasin de "
                                        "factures a été perdue. Vérifiez la liste des documents avant de la refaire.")
                       : QStringLiteral("On ne sait pas si le bon de livraison a été enregistré : la connexion au "
                                        "magasin de factures a été perdue. Vérifiez la liste des documents avant de "
                                        "le refaire.");
    return invoice ? QStringLiteral("La facture n'a pas pu être générée. Aucun ticket n'a été facturé.")
                   : QStringLiteral("Le bon de livraison n'a pas pu être généré. Aucun ticket n'a été facturé.");
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
