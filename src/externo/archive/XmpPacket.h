#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace zd::archive {

// What the archived PDF says about itself, in its document information and
// in its XMP metadata (the two must agree).
struct ArchiveIdentity {
    QString title;         // the document number
    QString creator = QStringLiteral("Zedorev");
    QString producer = QStringLiteral("Zedorev (Qt, qpdf)");
    QDateTime created;     // second precision, with its offset
    bool facturX = false;  // carries factur-x.xml (EN 16931)
    QString chainHead;     // the books' chain head when archived ("SEQ:HASH"); empty: none
};

// The XMP packet: PDF/A-3 part and conformance B, Dublin Core title,
// creation tool and dates, producer, and for an invoice the Factur-X
// extension schema with fx:DocumentType INVOICE, DocumentFileName
// factur-x.xml, Version 1.0, ConformanceLevel EN 16931; with a chain head,
// the books' schema (zd:ChainHead), described in the packet as well.
QByteArray BuildXmpPacket(const ArchiveIdentity &identity);

// "2026-12-08T10:15:42+01:00" and "D:20261208101542+01'00'".
QString XmpDate(const QDateTime &moment);
QString PdfDate(const QDateTime &moment);

inline constexpr char kFacturXFileName[] = "factur-x.xml";

} // namespace zd::archive
