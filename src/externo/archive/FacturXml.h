#pragma once
#include "InvoiceData.h"

#include <QByteArray>

namespace zd::archive {

// The invoice as UN/CEFACT Cross Industry Invoice XML (D16B), profile
// EN 16931 (urn:cen.eu:en16931:2017), the data embedded in the archived PDF
// as factur-x.xml. UTF-8, element order as the schema requires.
QByteArray BuildFacturXml(const InvoiceData &invoice);

// A tax id as identifiers are exchanged: without blanks, dots or dashes
// ("FR 47 512384976" -> "FR47512384976").
QString CompactId(const QString &id);

// A VAT rate as the XML states it: two decimals ("5.50", "20.00").
QString VatRateText(double percent);
// Whether the French platforms accept the rate (the French rates, written
// with two decimals).
bool IsFrenchVatRate(double percent);

// "-12.34" from cents; "1.2500" style texts for four-decimal values.
QString CentsText(qint64 cents);
QString TenThousandthsText(qint64 value);

} // namespace zd::archive
