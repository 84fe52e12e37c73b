#include "PdfAFinisher.h"

#include <QFile>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEFStreamObjectHelper.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>

namespace zd::archive {

namespace {

std::string utf8(const QString &text)
{
    return text.toStdString();
}

QPDFObjectHandle textString(const QString &text)
{
    return QPDFObjectHandle::newUnicodeString(utf8(text));
}

void setOutputIntent(QPDF &pdf, QPDFObjectHandle root)
{
    QFile profile(QString::fromLatin1(kSrgbProfile));
    if (!profile.open(QIODevice::ReadOnly))
        return;
    const QByteArray icc = profile.readAll();
    QPDFObjectHandle iccStream = QPDFObjectHandle::newStream(&pdf, icc.toStdString());
    iccStream.getDict().replaceKey("/N", QPDFObjectHandle::newInteger(3));
    QPDFObjectHandle intent = QPDFObjectHandle::newDictionary();
    intent.replaceKey("/Type", QPDFObjectHandle::newName("/OutputIntent"));
    intent.replaceKey("/S", QPDFObjectHandle::newName("/GTS_PDFA1"));
    intent.replaceKey("/OutputConditionIdentifier", QPDFObjectHandle::newString("sRGB IEC61966-2.1"));
    intent.replaceKey("/Info", QPDFObjectHandle::newString("sRGB IEC61966-2.1"));
    intent.replaceKey("/DestOutputProfile", iccStream);
    root.replaceKey("/OutputIntents", QPDFObjectHandle::newArray({pdf.makeIndirectObject(intent)}));
}

void setDocumentInfo(QPDF &pdf, const ArchiveIdentity &id)
{
    QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
    const QString date = PdfDate(id.created);
    info.replaceKey("/Title", textString(id.title));
    info.replaceKey("/Creator", textString(id.creator));
    info.replaceKey("/Producer", textString(id.producer));
    info.replaceKey("/CreationDate", QPDFObjectHandle::newString(utf8(date)));
    info.replaceKey("/ModDate", QPDFObjectHandle::newString(utf8(date)));
    pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(info));
}

void embedFacturX(QPDF &pdf, QPDFObjectHandle root, const QByteArray &xml, const ArchiveIdentity &id)
{
    const std::string date = utf8(PdfDate(id.created));
    auto stream = QPDFEFStreamObjectHelper::createEFStream(pdf, xml.toStdString());
    stream.setSubtype("text/xml").setModDate(date);
    auto spec = QPDFFileSpecObjectHelper::createFileSpec(pdf, kFacturXFileName, stream);
    spec.setDescription("Factur-X invoice (EN 16931)");
    QPDFObjectHandle specObject = spec.getObjectHandle();
    specObject.replaceKey("/AFRelationship", QPDFObjectHandle::newName("/Alternative"));
    QPDFEmbeddedFileDocumentHelper(pdf).replaceEmbeddedFile(kFacturXFileName, spec);
    root.replaceKey("/AF", QPDFObjectHandle::newArray({specObject}));
}

} // namespace

QByteArray FinishPdfA3(const QByteArray &pages, const ArchiveIdentity &identity, const QByteArray &facturXml,
                       QString *error)
{
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("archive", pages.constData(), size_t(pages.size()));
        QPDFObjectHandle root = pdf.getRoot();

        QPDFObjectHandle metadata = QPDFObjectHandle::newStream(&pdf, BuildXmpPacket(identity).toStdString());
        metadata.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/Metadata"));
        metadata.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/XML"));
        root.replaceKey("/Metadata", metadata);
        setOutputIntent(pdf, root);
        setDocumentInfo(pdf, identity);
        if (!facturXml.isEmpty())
            embedFacturX(pdf, root, facturXml, identity);
        if (!root.hasKey("/OutputIntents"))
            throw std::runtime_error("no output intent (sRGB profile missing)");

        QPDFWriter writer(pdf);
        writer.setOutputMemory();
        // qpdf leaves the XMP metadata stream unfiltered, as PDF/A asks.
        writer.setCompressStreams(true);
        writer.setMinimumPDFVersion("1.7");
        writer.write();
        std::unique_ptr<Buffer> out(writer.getBuffer());
        return QByteArray(reinterpret_cast<const char *>(out->getBuffer()), qsizetype(out->getSize()));
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return {};
    }
}

} // namespace zd::archive
