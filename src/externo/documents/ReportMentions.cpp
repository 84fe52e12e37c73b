#include "ReportMentions.h"

#include "DataReport1.h"
#include "externo/archive/FrenchIds.h"
#include "externo/state/AppState.h"

namespace zd::documents {

QStringList InvoiceMentions(const AppState &state)
{
    QStringList lines{state.Settings.RecoveryNote, state.Settings.PenaltyNote, state.Settings.DiscountNote,
                      QStringLiteral("Catégorie de l'opération : Livraison de biens")};
    const int k = state.SelectedCustomerIndex;
    if (k >= 0 && k < state.Customers.size()) {
        const archive::FrenchRegistration buyer = archive::ReadFrenchRegistration(state.Customers.at(k).nif);
        if (buyer.hasSiren())
            lines << QStringLiteral("SIREN du client : %1").arg(buyer.siren);
    }
    if (state.Settings.VatOnDebits)
        lines << QStringLiteral("Option pour le paiement de la taxe d'après les débits");
    return lines;
}

void FillReportMentions(DataReport1 &report, const AppState &state, bool invoice)
{
    report.setCaption(QStringLiteral("LblMentions"),
                      invoice ? InvoiceMentions(state).join(QLatin1Char('\n')) : QString());
}

} // namespace zd::documents
