#pragma once
#include <QDate>
#include <QString>
#include <QVector>

// An issued invoice as the electronic invoice states it: amounts in cents,
// every sum already checked against the stored document.
namespace zd::archive {

struct InvoiceParty {
    QString name;
    QString taxId;        // as stored (trimmed)
    QString address;      // street line
    QString postcode;
    QString city;
    QString countryCode;  // ISO 3166-1 alpha-2
    // Read from taxId (see ReadFrenchRegistration); empty when it gives none.
    QString siren;        // legal registration, 9 digits
    QString siret;        // the establishment, 14 digits beginning with siren
    QString vatNumber;    // VAT identifier, French or foreign
    // Where the party receives electronic invoices: scheme "0225" (an
    // address made of its SIREN) or "EM" (an e-mail address); empty: none.
    QString endpointScheme;
    QString endpoint;
};

// A note of the invoice with its subject code (PMT, PMD, AAB ...).
struct InvoiceNote {
    QString subjectCode;
    QString text;
};

struct InvoiceLine {
    QString lineId;        // 1, 2, 3 ... in stored order
    QString articleCode;
    QString description;
    double quantity = 0;
    bool weighed = false;  // kilograms rather than pieces
    qint64 netCents = 0;   // line amount without VAT
    qint64 netPriceTenThousandths = 0;  // net unit price, four decimals
    int rateIndex = -1;    // index into InvoiceData::taxes
};

struct InvoiceTax {
    QString description;
    double percent = 0;
    qint64 baseCents = 0;
    qint64 taxCents = 0;
};

struct InvoiceData {
    QString number;
    int typeCode = 380;           // 380 invoice, 381 credit note
    // Billing framework: B1 goods, B2 goods already paid.
    QString businessProcess = QStringLiteral("B1");
    QDate issueDate;
    QVector<InvoiceNote> notes;
    // A credit note: the invoice it corrects, its number and date.
    QString precedingNumber;
    QDate precedingDate;
    QString paymentTerms = QStringLiteral("Paiement à réception de facture");
    QDate dueDate;                // invalid: none stated
    QString currencyCode;         // ISO 4217
    QString deliveryNote;         // despatch advice the invoice was made from, or empty
    InvoiceParty seller;
    InvoiceParty buyer;
    QVector<InvoiceLine> lines;
    QVector<InvoiceTax> taxes;    // rates in use, in stored order
    qint64 lineTotalCents = 0;
    qint64 taxBasisCents = 0;
    qint64 taxTotalCents = 0;
    qint64 grandTotalCents = 0;
    qint64 prepaidCents = 0;      // already paid; the amount due is the rest
};

} // namespace zd::archive
