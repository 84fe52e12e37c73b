#pragma once
#include "InvoiceData.h"
#include "externo/posdata/TicketTaxFacts.h"
#include "externo/state/Records.h"
#include "externo/state/ShopSettings.h"
#include "externo/store/StoredDocument.h"

#include <optional>

namespace zd::archive {

// Everything the electronic invoice is made of.
struct InvoiceSources {
    StoredDocument document;
    CompanyRecord company;     // the shop (name and address; the tax id is the stored one)
    CustomerRecord customer;   // the buyer (the tax id is the stored one)
    // Tax type of each stored tax line (1 to 5): the rates in ascending type
    // order, as they were numbered at issue.
    QVector<TaxRateEntry> taxRates;
    posdata::TicketTaxFacts facts;
    ShopSettings settings;     // the notes, paid at the till, the shop's address
    QDate latestTicket;        // the latest ticket's date (its payment, when paid at the till)
    QDate correctedDate;       // a credit note: the date of the invoice it corrects
};

// The invoice's EN 16931 data, or nothing with the reason in *why:
// not an invoice, a line whose VAT rate cannot be told, stored tax lines
// that do not add up to the stored totals, no seller or buyer name, an
// unknown currency.
//
// The parties' SIREN, SIRET and VAT number are read from their stored tax
// ids (never made up); the seller's electronic address is the settings' or
// its SIREN, the buyer's its SIREN, else its e-mail, else none. Tickets paid
// at the till make a paid invoice (B2): all of it prepaid, due on the latest
// ticket's date.
//
// Each line's rate: its ticket's only tax type when the ticket has one,
// otherwise the tax type the point-of-sale line carries for that article.
// Each rate's base is shared across its lines by AllocateLineNets, so every
// sum checks to the cent against the stored (printed) totals.
std::optional<InvoiceData> BuildInvoiceData(const InvoiceSources &sources, QString *why);

// ISO 4217 code of the stored currency ("EUR" for the euro), or empty.
QString CurrencyCode(const QString &symbol, const QString &name);
// ISO 3166 country of a party: the prefix of its VAT number, else France.
QString CountryOf(const QString &taxId);

// A party's registration and electronic address read from its tax id and
// e-mail (address: its SIREN, else the e-mail when it is one).
void FillRegistration(InvoiceParty &party, const QString &email);
// Why the buyer cannot receive the invoice through a platform (French, for
// the operator), or empty when it can.
QString WhyNoElectronicAddress(const QString &taxId, const QString &email);

} // namespace zd::archive
