#include "XmpPacket.h"

namespace zd::archive {

namespace {

QString offsetText(const QDateTime &moment, const QString &separator, const QString &trailer)
{
    const int seconds = moment.offsetFromUtc();
    const int minutes = (seconds < 0 ? -seconds : seconds) / 60;
    return (seconds < 0 ? QStringLiteral("-") : QStringLiteral("+"))
         + QStringLiteral("%1").arg(minutes / 60, 2, 10, QLatin1Char('0')) + separator
         + QStringLiteral("%1").arg(minutes % 60, 2, 10, QLatin1Char('0')) + trailer;
}

QString property(const QString &name, const QString &valueType, const QString &description)
{
    return QStringLiteral("       <rdf:li rdf:parseType=\"Resource\">\n"
                          "        <pdfaProperty:name>%1</pdfaProperty:name>\n"
                          "        <pdfaProperty:valueType>%2</pdfaProperty:valueType>\n"
                          "        <pdfaProperty:category>external</pdfaProperty:category>\n"
                          "        <pdfaProperty:description>%3</pdfaProperty:description>\n"
                          "       </rdf:li>\n")
        .arg(name, valueType, description);
}

} // namespace

QString XmpDate(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
         + offsetText(moment, QStringLiteral(":"), QString());
}

QString PdfDate(const QDateTime &moment)
{
    return QStringLiteral("D:") + moment.toString(QStringLiteral("yyyyMMddHHmmss"))
         + offsetText(moment, QStringLiteral("'"), QStringLiteral("'"));
}

QByteArray BuildXmpPacket(const ArchiveIdentity &id)
{
    const QString date = XmpDate(id.created);
    QString x;
    x += QStringLiteral("<?xpacket begin=\"") + QChar(0xFEFF) + QStringLiteral("\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n");
    x += QStringLiteral("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                        " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n");
    x += QStringLiteral("  <rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">\n"
                        "   <pdfaid:part>3</pdfaid:part>\n"
                        "   <pdfaid:conformance>B</pdfaid:conformance>\n"
                        "  </rdf:Description>\n");
    x += QStringLiteral("  <rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
                        "   <dc:format>application/pdf</dc:format>\n"
                        "   <dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li></rdf:Alt></dc:title>\n"
                        "  </rdf:Description>\n")
             .arg(id.title.toHtmlEscaped());
    x += QStringLiteral("  <rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n"
                        "   <xmp:CreatorTool>%1</xmp:CreatorTool>\n"
                        "   <xmp:CreateDate>%2</xmp:CreateDate>\n"
                        "   <xmp:ModifyDate>%2</xmp:ModifyDate>\n"
                        "   <xmp:MetadataDate>%2</xmp:MetadataDate>\n"
                        "  </rdf:Description>\n")
             .arg(id.creator.toHtmlEscaped(), date);
    x += QStringLiteral("  <rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\">\n"
                        "   <pdf:Producer>%1</pdf:Producer>\n"
                        "  </rdf:Description>\n")
             .arg(id.producer.toHtmlEscaped());
    const bool books = !id.chainHead.isEmpty();
    if (id.facturX || books) {
        // The fx and zd properties are not part of XMP: PDF/A wants their
        // schemas described in the file itself.
        x += QStringLiteral(
            "  <rdf:Description rdf:about=\"\" xmlns:pdfaExtension=\"http://www.aiim.org/pdfa/ns/extension/\"\n"
            "    xmlns:pdfaSchema=\"http://www.aiim.org/pdfa/ns/schema#\"\n"
            "    xmlns:pdfaProperty=\"http://www.aiim.org/pdfa/ns/property#\">\n"
            "   <pdfaExtension:schemas>\n"
            "    <rdf:Bag>\n");
    }
    if (books) {
        x += QStringLiteral("     <rdf:li rdf:parseType=\"Resource\">\n"
                            "      <pdfaSchema:schema>Zedorev books</pdfaSchema:schema>\n"
                            "      <pdfaSchema:namespaceURI>urn:zedorev:books:1#</pdfaSchema:namespaceURI>\n"
                            "      <pdfaSchema:prefix>zd</pdfaSchema:prefix>\n"
                            "      <pdfaSchema:property>\n"
                            "       <rdf:Seq>\n");
        x += property(QStringLiteral("ChainHead"), QStringLiteral("Text"),
                      QStringLiteral("sequence and SHA-256 of the last record of the books when archived"));
        x += QStringLiteral("       </rdf:Seq>\n"
                            "      </pdfaSchema:property>\n"
                            "     </rdf:li>\n");
    }
    if (id.facturX) {
        x += QStringLiteral(
            "     <rdf:li rdf:parseType=\"Resource\">\n"
            "      <pdfaSchema:schema>Factur-X PDFA Extension Schema</pdfaSchema:schema>\n"
            "      <pdfaSchema:namespaceURI>urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#</pdfaSchema:namespaceURI>\n"
            "      <pdfaSchema:prefix>fx</pdfaSchema:prefix>\n"
            "      <pdfaSchema:property>\n"
            "       <rdf:Seq>\n");
        x += property(QStringLiteral("DocumentFileName"), QStringLiteral("Text"),
                      QStringLiteral("name of the embedded XML invoice file"));
        x += property(QStringLiteral("DocumentType"), QStringLiteral("Text"), QStringLiteral("INVOICE"));
        x += property(QStringLiteral("Version"), QStringLiteral("Text"),
                      QStringLiteral("The actual version of the Factur-X XML schema"));
        x += property(QStringLiteral("ConformanceLevel"), QStringLiteral("Text"),
                      QStringLiteral("The conformance level of the embedded Factur-X data"));
        x += QStringLiteral("       </rdf:Seq>\n"
                            "      </pdfaSchema:property>\n"
                            "     </rdf:li>\n");
    }
    if (id.facturX || books)
        x += QStringLiteral("    </rdf:Bag>\n"
                            "   </pdfaExtension:schemas>\n"
                            "  </rdf:Description>\n");
    if (books)
        x += QStringLiteral("  <rdf:Description rdf:about=\"\" xmlns:zd=\"urn:zedorev:books:1#\">\n"
                            "   <zd:ChainHead>%1</zd:ChainHead>\n"
                            "  </rdf:Description>\n")
                 .arg(id.chainHead.toHtmlEscaped());
    if (id.facturX) {
        x += QStringLiteral("  <rdf:Description rdf:about=\"\" xmlns:fx=\"urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#\">\n"
                            "   <fx:DocumentType>INVOICE</fx:DocumentType>\n"
                            "   <fx:DocumentFileName>%1</fx:DocumentFileName>\n"
                            "   <fx:Version>1.0</fx:Version>\n"
                            "   <fx:ConformanceLevel>EN 16931</fx:ConformanceLevel>\n"
                            "  </rdf:Description>\n")
                 .arg(QLatin1String(kFacturXFileName));
    }
    x += QStringLiteral(" </rdf:RDF>\n</x:xmpmeta>\n");
    // Room for an editor to grow the packet in place.
    x += QString(2000, QLatin1Char(' ')) + QStringLiteral("\n<?xpacket end=\"w\"?>");
    return x.toUtf8();
}

} // namespace zd::archive
