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
    QDate issueDate;
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
};

} // namespace zd::archive
