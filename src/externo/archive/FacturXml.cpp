#include "FacturXml.h"

#include <QStringList>
#include <QXmlStreamWriter>
#include <cmath>

namespace zd::archive {

namespace {

const QString kRsm = QStringLiteral("urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100");
const QString kRam = QStringLiteral("urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100");
const QString kUdt = QStringLiteral("urn:un:unece:uncefact:data:standard:UnqualifiedDataType:100");
const QString kQdt = QStringLiteral("urn:un:unece:uncefact:data:standard:QualifiedDataType:100");
const QString kGuideline = QStringLiteral("urn:cen.eu:en16931:2017");

QString fixedText(qint64 value, int decimals)
{
    const bool negative = value < 0;
    const quint64 magnitude = negative ? quint64(-(value + 1)) + 1 : quint64(value);
    quint64 scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    return (negative ? QStringLiteral("-") : QString()) + QString::number(magnitude / scale)
         + QLatin1Char('.') + QStringLiteral("%1").arg(magnitude % scale, decimals, 10, QLatin1Char('0'));
}

QString quantityText(double quantity)
{
    return fixedText(std::llround(quantity * 10000.0), 4);
}


// Standard rate for a positive rate, zero rated otherwise.
QString categoryCode(double percent)
{
    return percent > 0 ? QStringLiteral("S") : QStringLiteral("Z");
}

class Writer {
public:
    explicit Writer(QByteArray *out) : w(out) { w.setAutoFormatting(true); w.setAutoFormattingIndent(1); }

    void text(const QString &ns, const QString &name, const QString &value) { w.writeTextElement(ns, name, value); }
    void ram(const QString &name, const QString &value) { text(kRam, name, value); }
    void open(const QString &name) { w.writeStartElement(kRam, name); }
    void close() { w.writeEndElement(); }
    void amount(const QString &name, qint64 cents, const QString &currency = {})
    {
        w.writeStartElement(kRam, name);
        if (!currency.isEmpty())
            w.writeAttribute(QStringLiteral("currencyID"), currency);
        w.writeCharacters(CentsText(cents));
        w.writeEndElement();
    }
    void date(const QString &element, const QDate &day)
    {
        w.writeStartElement(element.startsWith(QLatin1String("rsm:")) ? kRsm : kRam, element.section(QLatin1Char(':'), 1));
        w.writeStartElement(kUdt, QStringLiteral("DateTimeString"));
        w.writeAttribute(QStringLiteral("format"), QStringLiteral("102"));
        w.writeCharacters(day.toString(QStringLiteral("yyyyMMdd")));
        w.writeEndElement();
        w.writeEndElement();
    }

    void schemedId(const QString &name, const QString &scheme, const QString &value)
    {
        w.writeStartElement(kRam, name);
        w.writeAttribute(QStringLiteral("schemeID"), scheme);
        w.writeCharacters(value);
        w.writeEndElement();
    }

    void party(const QString &element, const InvoiceParty &p, bool seller)
    {
        open(element);
        if (!p.siret.isEmpty())
            schemedId(QStringLiteral("GlobalID"), QStringLiteral("0009"), p.siret);
        ram(QStringLiteral("Name"), p.name);
        const QString id = CompactId(p.taxId);
        if (!p.siren.isEmpty()) {
            open(QStringLiteral("SpecifiedLegalOrganization"));
            schemedId(QStringLiteral("ID"), QStringLiteral("0002"), p.siren);
            close();
        } else if (!seller && p.vatNumber.isEmpty() && !id.isEmpty()) {
            // A buyer's registration of no known scheme, as stated.
            open(QStringLiteral("SpecifiedLegalOrganization"));
            ram(QStringLiteral("ID"), id);
            close();
        }
        open(QStringLiteral("PostalTradeAddress"));
        if (!p.postcode.isEmpty())
            ram(QStringLiteral("PostcodeCode"), p.postcode);
        if (!p.address.isEmpty())
            ram(QStringLiteral("LineOne"), p.address);
        if (!p.city.isEmpty())
            ram(QStringLiteral("CityName"), p.city);
        ram(QStringLiteral("CountryID"), p.countryCode);
        close();
        if (!p.endpoint.isEmpty()) {
            open(QStringLiteral("URIUniversalCommunication"));
            schemedId(QStringLiteral("URIID"), p.endpointScheme, p.endpoint);
            close();
        }
        // The seller's id is its VAT number or, failing that, its tax
        // registration; the buyer's only a VAT number.
        if (!p.vatNumber.isEmpty() || (seller && !id.isEmpty())) {
            open(QStringLiteral("SpecifiedTaxRegistration"));
            if (!p.vatNumber.isEmpty())
                schemedId(QStringLiteral("ID"), QStringLiteral("VA"), p.vatNumber);
            else
                schemedId(QStringLiteral("ID"), QStringLiteral("FC"), id);
            close();
        }
        close();
    }

    void tradeTax(const InvoiceTax &tax, bool withAmounts)
    {
        open(QStringLiteral("ApplicableTradeTax"));
        if (withAmounts)
            amount(QStringLiteral("CalculatedAmount"), tax.taxCents);
        ram(QStringLiteral("TypeCode"), QStringLiteral("VAT"));
        if (withAmounts)
            amount(QStringLiteral("BasisAmount"), tax.baseCents);
        ram(QStringLiteral("CategoryCode"), categoryCode(tax.percent));
        ram(QStringLiteral("RateApplicablePercent"), VatRateText(tax.percent));
        close();
    }

    void line(const InvoiceLine &l, const InvoiceData &invoice)
    {
        w.writeStartElement(kRam, QStringLiteral("IncludedSupplyChainTradeLineItem"));
        open(QStringLiteral("AssociatedDocumentLineDocument"));
        ram(QStringLiteral("LineID"), l.lineId);
        close();
        open(QStringLiteral("SpecifiedTradeProduct"));
        if (!l.articleCode.isEmpty())
            ram(QStringLiteral("SellerAssignedID"), l.articleCode);
        ram(QStringLiteral("Name"), l.description.isEmpty() ? l.articleCode : l.description);
        close();
        open(QStringLiteral("SpecifiedLineTradeAgreement"));
        open(QStringLiteral("NetPriceProductTradePrice"));
        ram(QStringLiteral("ChargeAmount"), TenThousandthsText(l.netPriceTenThousandths));
        close();
        close();
        open(QStringLiteral("SpecifiedLineTradeDelivery"));
        w.writeStartElement(kRam, QStringLiteral("BilledQuantity"));
        // Kilograms for weighed articles, pieces otherwise.
        w.writeAttribute(QStringLiteral("unitCode"), l.weighed ? QStringLiteral("KGM") : QStringLiteral("H87"));
        w.writeCharacters(quantityText(l.quantity));
        w.writeEndElement();
        close();
        open(QStringLiteral("SpecifiedLineTradeSettlement"));
        tradeTax(invoice.taxes.at(l.rateIndex), false);
        open(QStringLiteral("SpecifiedTradeSettlementLineMonetarySummation"));
        amount(QStringLiteral("LineTotalAmount"), l.netCents);
        close();
        close();
        close();
    }

    QXmlStreamWriter w;
};

} // namespace

QString CompactId(const QString &id)
{
    QString compact;
    for (const QChar c : id) {
        if (!c.isSpace() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            compact += c;
    }
    return compact;
}

QString VatRateText(double percent)
{
    return fixedText(std::llround(percent * 100.0), 2);
}

bool IsFrenchVatRate(double percent)
{
    // The rates of France and its overseas departments, as the French
    // platforms compare them: two decimals.
    static const QStringList rates{"0.00",  "0.90",  "1.05", "1.75", "2.10",  "5.50",  "7.00", "8.50",
                                   "9.20",  "9.60",  "10.00", "13.00", "19.60", "20.00", "20.60"};
    return rates.contains(VatRateText(percent));
}

QString CentsText(qint64 cents)
{
    return fixedText(cents, 2);
}

QString TenThousandthsText(qint64 value)
{
    return fixedText(value, 4);
}

QByteArray BuildFacturXml(const InvoiceData &invoice)
{
    QByteArray out;
    out.reserve(1024 + invoice.lines.size() * 1100);
    Writer x(&out);
    QXmlStreamWriter &w = x.w;
    w.writeStartDocument();
    w.writeNamespace(kRsm, QStringLiteral("rsm"));
    w.writeNamespace(kQdt, QStringLiteral("qdt"));
    w.writeNamespace(kRam, QStringLiteral("ram"));
    w.writeNamespace(kUdt, QStringLiteral("udt"));
    w.writeStartElement(kRsm, QStringLiteral("CrossIndustryInvoice"));

    w.writeStartElement(kRsm, QStringLiteral("ExchangedDocumentContext"));
    if (!invoice.businessProcess.isEmpty()) {
        x.open(QStringLiteral("BusinessProcessSpecifiedDocumentContextParameter"));
        x.ram(QStringLiteral("ID"), invoice.businessProcess);
        x.close();
    }
    x.open(QStringLiteral("GuidelineSpecifiedDocumentContextParameter"));
    x.ram(QStringLiteral("ID"), kGuideline);
    x.close();
    w.writeEndElement();

    w.writeStartElement(kRsm, QStringLiteral("ExchangedDocument"));
    x.ram(QStringLiteral("ID"), invoice.number);
    x.ram(QStringLiteral("TypeCode"), QString::number(invoice.typeCode));
    x.date(QStringLiteral("ram:IssueDateTime"), invoice.issueDate);
    for (const InvoiceNote &note : invoice.notes) {
        x.open(QStringLiteral("IncludedNote"));
        x.ram(QStringLiteral("Content"), note.text);
        x.ram(QStringLiteral("SubjectCode"), note.subjectCode);
        x.close();
    }
    w.writeEndElement();

    w.writeStartElement(kRsm, QStringLiteral("SupplyChainTradeTransaction"));
    for (const InvoiceLine &line : invoice.lines)
        x.line(line, invoice);

    x.open(QStringLiteral("ApplicableHeaderTradeAgreement"));
    x.party(QStringLiteral("SellerTradeParty"), invoice.seller, true);
    x.party(QStringLiteral("BuyerTradeParty"), invoice.buyer, false);
    x.close();

    x.open(QStringLiteral("ApplicableHeaderTradeDelivery"));
    if (!invoice.deliveryNote.isEmpty()) {
        x.open(QStringLiteral("DespatchAdviceReferencedDocument"));
        x.ram(QStringLiteral("IssuerAssignedID"), invoice.deliveryNote);
        x.close();
    }
    x.close();

    x.open(QStringLiteral("ApplicableHeaderTradeSettlement"));
    x.ram(QStringLiteral("InvoiceCurrencyCode"), invoice.currencyCode);
    for (const InvoiceTax &tax : invoice.taxes)
        x.tradeTax(tax, true);
    // An amount due needs its terms.
    x.open(QStringLiteral("SpecifiedTradePaymentTerms"));
    x.ram(QStringLiteral("Description"), invoice.paymentTerms);
    if (invoice.dueDate.isValid())
        x.date(QStringLiteral("ram:DueDateDateTime"), invoice.dueDate);
    x.close();
    x.open(QStringLiteral("SpecifiedTradeSettlementHeaderMonetarySummation"));
    x.amount(QStringLiteral("LineTotalAmount"), invoice.lineTotalCents);
    x.amount(QStringLiteral("TaxBasisTotalAmount"), invoice.taxBasisCents);
    x.amount(QStringLiteral("TaxTotalAmount"), invoice.taxTotalCents, invoice.currencyCode);
    x.amount(QStringLiteral("GrandTotalAmount"), invoice.grandTotalCents);
    if (invoice.prepaidCents != 0)
        x.amount(QStringLiteral("TotalPrepaidAmount"), invoice.prepaidCents);
    x.amount(QStringLiteral("DuePayableAmount"), invoice.grandTotalCents - invoice.prepaidCents);
    x.close();
    if (!invoice.precedingNumber.isEmpty()) {
        x.open(QStringLiteral("InvoiceReferencedDocument"));
        x.ram(QStringLiteral("IssuerAssignedID"), invoice.precedingNumber);
        if (invoice.precedingDate.isValid()) {
            x.open(QStringLiteral("FormattedIssueDateTime"));
            w.writeStartElement(kQdt, QStringLiteral("DateTimeString"));
            w.writeAttribute(QStringLiteral("format"), QStringLiteral("102"));
            w.writeCharacters(invoice.precedingDate.toString(QStringLiteral("yyyyMMdd")));
            w.writeEndElement();
            x.close();
        }
        x.close();
    }
    x.close();

    w.writeEndElement();  // SupplyChainTradeTransaction
    w.writeEndElement();  // CrossIndustryInvoice
    w.writeEndDocument();
    return out;
}

} // namespace zd::archive
