#pragma once
#include "FacturXSums.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zd::archive {

// What checking one archived file found. Each line of passed/failed is one
// check, as the operator reads it.
struct ArchiveCheck {
    QStringList passed;
    QStringList failed;
    QByteArray xml;              // the embedded factur-x.xml, when there is one
    QString relationship;        // its /AFRelationship ("Alternative", "Data" ...)
    FacturXTotals totals;        // as read back from the XML
    bool ok() const { return failed.isEmpty(); }
};

// Checks an archived PDF: the PDF/A-3 parts this program writes (XMP with
// pdfaid part 3 and conformance B, an sRGB output intent, every font of
// every page embedded, a document id, no encryption), and, for a file that
// carries invoice data, the Factur-X parts (factur-x.xml embedded as text/xml
// and listed in the catalog's /AF with a Data, Source or Alternative
// relationship, the fx identification in the XMP), the XML against the
// schema in xsdFolder, and its sums. expectInvoice: a file without invoice
// data fails.
ArchiveCheck CheckArchiveFile(const QString &pdfPath, const QString &xsdFolder, bool expectInvoice = true);

} // namespace zd::archive
