#include "FacturXCheck.h"

#include "XmpPacket.h"
#include "XsdValidation.h"

#include <QFile>
#include <QSet>
#include <QXmlStreamReader>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <exception>
#include <set>

namespace zd::archive {

namespace {

const QString kPdfaId = QStringLiteral("http://www.aiim.org/pdfa/ns/id/");
const QString kFx = QStringLiteral("urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#");

// Simple XMP properties (namespace + name -> text).
QHash<QString, QString> xmpProperties(const QByteArray &xmp)
{
    QHash<QString, QString> values;
    QXmlStreamReader r(xmp);
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        const QString ns = r.namespaceUri().toString();
        if (ns == kPdfaId || ns == kFx)
            values.insert(ns + r.name().toString(), r.readElementText().trimmed());
    }
    return values;
}

bool fontEmbedded(QPDFObjectHandle font)
{
    if (font.getKey("/Subtype").isNameAndEquals("/Type0")) {
        QPDFObjectHandle descendants = font.getKey("/DescendantFonts");
        if (!descendants.isArray() || descendants.getArrayNItems() < 1)
            return false;
        font = descendants.getArrayItem(0);
    }
    if (font.getKey("/Subtype").isNameAndEquals("/Type3"))
        return true;  // glyphs drawn by the file itself
    QPDFObjectHandle descriptor = font.getKey("/FontDescriptor");
    return descriptor.isDictionary()
        && (descriptor.hasKey("/FontFile") || descriptor.hasKey("/FontFile2") || descriptor.hasKey("/FontFile3"));
}

class Checker {
public:
    ArchiveCheck result;
    void check(bool good, const QString &what, const QString &why = {})
    {
        if (good)
            result.passed << what;
        else
            result.failed << (why.isEmpty() ? what : what + QStringLiteral(": ") + why);
    }
};

} // namespace

ArchiveCheck CheckArchiveFile(const QString &pdfPath, const QString &xsdFolder, bool expectInvoice)
{
    Checker c;
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(QFile::encodeName(pdfPath).constData());
        QPDFObjectHandle root = pdf.getRoot();
        c.check(!pdf.isEncrypted(), QStringLiteral("not encrypted"));
        c.check(pdf.getTrailer().hasKey("/ID"), QStringLiteral("document id in the trailer"));

        // XMP metadata.
        QPDFObjectHandle metadata = root.getKey("/Metadata");
        QHash<QString, QString> xmp;
        if (metadata.isStream()) {
            c.check(!metadata.getDict().hasKey("/Filter"), QStringLiteral("XMP metadata stream not filtered"));
            auto data = metadata.getStreamData(qpdf_dl_all);
            xmp = xmpProperties(QByteArray(reinterpret_cast<const char *>(data->getBuffer()), qsizetype(data->getSize())));
        }
        c.check(metadata.isStream(), QStringLiteral("XMP metadata present"));
        c.check(xmp.value(kPdfaId + QStringLiteral("part")) == QLatin1String("3")
                    && xmp.value(kPdfaId + QStringLiteral("conformance")) == QLatin1String("B"),
                QStringLiteral("XMP identifies PDF/A-3B"),
                QStringLiteral("part %1, conformance %2")
                    .arg(xmp.value(kPdfaId + QStringLiteral("part")), xmp.value(kPdfaId + QStringLiteral("conformance"))));

        // Output intent.
        bool srgb = false;
        QPDFObjectHandle intents = root.getKey("/OutputIntents");
        if (intents.isArray()) {
            for (int i = 0; i < intents.getArrayNItems(); ++i) {
                QPDFObjectHandle intent = intents.getArrayItem(i);
                QPDFObjectHandle profile = intent.getKey("/DestOutputProfile");
                srgb = srgb
                    || (intent.getKey("/S").isNameAndEquals("/GTS_PDFA1") && profile.isStream()
                        && profile.getDict().getKey("/N").isInteger() && profile.getDict().getKey("/N").getIntValue() == 3);
            }
        }
        c.check(srgb, QStringLiteral("RGB output intent (GTS_PDFA1) with its ICC profile"));

        // Fonts.
        std::set<QPDFObjGen> seen;
        int fonts = 0;
        QStringList bare;
        for (auto &page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            QPDFObjectHandle resources = page.getAttribute("/Resources", false);
            if (!resources.isDictionary())
                continue;
            QPDFObjectHandle dict = resources.getKey("/Font");
            if (!dict.isDictionary())
                continue;
            for (auto const &key : dict.getKeys()) {
                QPDFObjectHandle font = dict.getKey(key);
                if (font.isIndirect() && !seen.insert(font.getObjGen()).second)
                    continue;
                ++fonts;
                if (!fontEmbedded(font))
                    bare << QString::fromStdString(font.getKey("/BaseFont").unparse());
            }
        }
        c.check(bare.isEmpty(), QStringLiteral("every font embedded (%1 fonts)").arg(fonts), bare.join(QLatin1Char(' ')));

        // Factur-X parts.
        QPDFEmbeddedFileDocumentHelper files(pdf);
        auto spec = files.getEmbeddedFile(kFacturXFileName);
        if (!spec) {
            if (expectInvoice)
                c.check(false, QStringLiteral("factur-x.xml embedded"));
            else
                c.result.passed << QStringLiteral("no invoice data (plain PDF/A)");
            return c.result;
        }
        c.check(true, QStringLiteral("factur-x.xml embedded"));
        QPDFObjectHandle specObject = spec->getObjectHandle();
        QPDFObjectHandle relation = specObject.getKey("/AFRelationship");
        c.result.relationship = relation.isName() ? QString::fromStdString(relation.getName()).mid(1) : QString();
        c.check(QStringList{QStringLiteral("Data"), QStringLiteral("Source"), QStringLiteral("Alternative")}
                    .contains(c.result.relationship),
                QStringLiteral("AFRelationship /%1").arg(c.result.relationship));
        bool listed = false;
        QPDFObjectHandle af = root.getKey("/AF");
        for (int i = 0; af.isArray() && i < af.getArrayNItems(); ++i)
            listed = listed || af.getArrayItem(i).getObjGen() == specObject.getObjGen();
        c.check(listed, QStringLiteral("listed in the catalog's /AF"));
        QPDFObjectHandle stream = spec->getEmbeddedFileStream();
        c.check(stream.isStream() && stream.getDict().getKey("/Subtype").isNameAndEquals("/text/xml"),
                QStringLiteral("embedded file of type text/xml"));
        c.check(xmp.value(kFx + QStringLiteral("DocumentFileName")) == QLatin1String(kFacturXFileName)
                    && xmp.value(kFx + QStringLiteral("DocumentType")) == QLatin1String("INVOICE")
                    && xmp.value(kFx + QStringLiteral("Version")) == QLatin1String("1.0")
                    && xmp.value(kFx + QStringLiteral("ConformanceLevel")) == QLatin1String("EN 16931"),
                QStringLiteral("XMP Factur-X identification (INVOICE, factur-x.xml, 1.0, EN 16931)"));
        if (!stream.isStream())
            return c.result;
        auto data = stream.getStreamData(qpdf_dl_all);
        c.result.xml = QByteArray(reinterpret_cast<const char *>(data->getBuffer()), qsizetype(data->getSize()));
    } catch (const std::exception &e) {
        c.check(false, QStringLiteral("readable PDF"), QString::fromUtf8(e.what()));
        return c.result;
    }

    QStringList errors;
    const QString xsd = xsdFolder + QLatin1Char('/') + QLatin1String(kFacturXSchema);
    c.check(ValidateAgainstXsd(c.result.xml, xsd, &errors), QStringLiteral("XML valid against %1").arg(QLatin1String(kFacturXSchema)),
            errors.mid(0, 5).join(QStringLiteral("; ")));
    const QStringList sums = CheckFacturXSums(c.result.xml, &c.result.totals);
    c.check(sums.isEmpty(), QStringLiteral("sums add up (%1 lines, total %2)")
                                .arg(c.result.totals.lineCount)
                                .arg(c.result.totals.grandTotal / 100.0, 0, 'f', 2),
            sums.join(QStringLiteral("; ")));
    return c.result;
}

} // namespace zd::archive
