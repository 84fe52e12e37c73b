#pragma once
#include <QString>

namespace zd {

// The shop's invoicing settings ("facturation.txt" in the program folder):
// the legal mentions its invoices carry and how they reach a platform.
// Default-constructed: the lawful defaults, used for any key the file does
// not give (or gives badly).
struct ShopSettings {
    // The three payment mentions of every invoice, printed and in its data.
    QString RecoveryNote = QStringLiteral(
        "En cas de retard de paiement, une indemnité forfaitaire pour frais de recouvrement de 40 € est due "
        "de plein droit (articles L441-10 et D441-5 du code de commerce).");
    QString PenaltyNote = QStringLiteral(
        "En cas de retard de paiement, des pénalités sont exigibles dès le lendemain de la date d'échéance, "
        "au taux d'intérêt appliqué par la Banque centrale européenne à son opération de refinancement la plus "
        "récente, majoré de 10 points de pourcentage (article L441-10 du code de commerce).");
    QString DiscountNote = QStringLiteral("Aucun escompte n'est accordé pour paiement anticipé.");
    // Tickets are paid at the till: invoices state that they are already paid.
    bool PaidAtTill = false;
    // The shop's electronic invoicing address; empty: its SIREN (scheme 0225).
    QString ElectronicAddress;
    // The shop has opted to pay VAT on debits.
    bool VatOnDebits = false;
};

} // namespace zd
