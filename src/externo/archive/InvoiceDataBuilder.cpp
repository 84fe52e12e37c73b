#include "InvoiceDataBuilder.h"

#include "FacturXml.h"
#include "FrenchIds.h"
#include "LineNetAllocation.h"
#include "externo/posdata/PosValues.h"

#include <QRegularExpression>
#include <cmath>

namespace zd::archive {

namespace {

constexpr int kTaxLines = 5;

qint64 centsOf(const QVariant &value)
{
    return std::llround(posdata::RoundHalfEven2(posdata::NumberOf(value).value_or(0.0)) * 100.0);
}


constexpr int kAddressLength = 125;

bool isEmailAddress(const QString &text)
{
    static const QRegularExpression email(QStringLiteral("^[^@\\s]+@[^@\\s]+\\.[^@\\s]+$"));
    return text.size() <= kAddressLength && email.match(text).hasMatch();
}

} // namespace

void FillRegistration(InvoiceParty &party, const QString &email)
{
    const FrenchRegistration reg = ReadFrenchRegistration(party.taxId);
    party.siren = reg.siren;
    party.siret = reg.siret;
    party.vatNumber = reg.foreign ? CompactId(party.taxId).toUpper() : reg.vatNumber;
    party.endpointScheme.clear();
    party.endpoint.clear();
    if (reg.hasSiren()) {
        party.endpointScheme = QStringLiteral("0225");
        party.endpoint = reg.siren;
    } else if (isEmailAddress(email.trimmed())) {
        party.endpointScheme = QStringLiteral("EM");
        party.endpoint = email.trimmed();
    }
}

QString WhyNoElectronicAddress(const QString &taxId, const QString &email)
{
    const FrenchRegistration reg = ReadFrenchRegistration(taxId);
    if (reg.hasSiren() || isEmailAddress(email.trimmed()))
        return {};
    const QString id = reg.foreign ? QStringLiteral("son numéro de TVA ne donne pas de SIREN")
                                   : reg.problem;
    const QString mail = email.trimmed().isEmpty() ? QStringLiteral("il n'a pas d'adresse e-mail")
                                                   : QStringLiteral("son adresse e-mail « %1 » n'en est pas une").arg(email.trimmed());
    return id + QStringLiteral(", et ") + mail;
}

QString CurrencyCode(const QString &symbol, const QString &name)
{
    const QString s = symbol.trimmed();
    if (s == QStringLiteral("€") || name.trimmed().compare(QStringLiteral("euro"), Qt::CaseInsensitive) == 0
        || name.trimmed().compare(QStringLiteral("euros"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("EUR");
    if (s.size() == 3 && s.at(0).isUpper() && s.at(1).isUpper() && s.at(2).isUpper())
        return s;
    return {};
}

QString CountryOf(const QString &taxId)
{
    const QString id = CompactId(taxId).toUpper();
    if (id.size() > 4 && id.at(0).isUpper() && id.at(1).isUpper() && id.at(0).isLetter() && id.at(1).isLetter()
        && id.at(0).unicode() < 128 && id.at(1).unicode() < 128)
        return id.left(2) == QLatin1String("EL") ? QStringLiteral("GR") : id.left(2);
    return QStringLiteral("FR");
}

std::optional<InvoiceData> BuildInvoiceData(const InvoiceSources &src, QString *why)
{
    const auto refuse = [why](const QString &text) -> std::optional<InvoiceData> {
        if (why)
            *why = text;
        return std::nullopt;
    };
    const sql::RecordSet &h = src.document.header;
    const auto field = [&h](const QString &name) { return h.value(0, name); };
    if (h.isEmpty())
        return refuse(QStringLiteral("no stored header"));
    const qint64 type = posdata::WholeNumberOf(field(QStringLiteral("TipoDocumento"))).value_or(-1);
    if (type != 1 && type != 2)
        return refuse(QStringLiteral("not an invoice"));

    InvoiceData inv;
    if (type == 2) {
        // A credit note, with the invoice it corrects (BT-25, BT-26).
        inv.typeCode = 381;
        inv.precedingNumber = field(QStringLiteral("FacturaRectificada")).toString().trimmed();
        inv.precedingDate = src.correctedDate;
        if (inv.precedingNumber.isEmpty() || !inv.precedingDate.isValid())
            return refuse(QStringLiteral("a credit note without the invoice it corrects"));
    }
    inv.number = field(QStringLiteral("IdDocumento")).toString().trimmed();
    const auto date = posdata::DateOf(field(QStringLiteral("FechaDocumento")));
    if (!date)
        return refuse(QStringLiteral("no document date"));
    inv.issueDate = *date;
    inv.currencyCode = CurrencyCode(field(QStringLiteral("MonedaSim")).toString(),
                                    field(QStringLiteral("MonedaDes")).toString());
    if (inv.currencyCode.isEmpty())
        return refuse(QStringLiteral("currency %1 has no ISO code").arg(field(QStringLiteral("MonedaSim")).toString()));
    inv.deliveryNote = field(QStringLiteral("ProcedeAlbaran")).toString().trimmed();

    const auto party = [](const QString &name, const QString &taxId, const QString &address, const QString &postcode,
                          const QString &city) {
        InvoiceParty p;
        p.name = name.trimmed();
        p.taxId = taxId.trimmed();
        p.address = address.trimmed();
        p.postcode = postcode.trimmed();
        p.city = city.trimmed();
        return p;
    };
    inv.seller = party(src.company.nombre, field(QStringLiteral("IdFiscal")).toString(), src.company.direccion,
                       src.company.codigopostal, src.company.poblacion);
    inv.buyer = party(src.customer.nombre, field(QStringLiteral("IdFiscalCliente")).toString(), src.customer.direccion,
                      src.customer.codigopostal, src.customer.poblacion);
    inv.seller.countryCode = CountryOf(inv.seller.taxId);
    inv.buyer.countryCode = CountryOf(inv.buyer.taxId);
    if (inv.seller.name.isEmpty() || inv.buyer.name.isEmpty())
        return refuse(QStringLiteral("seller or buyer without a name"));
    FillRegistration(inv.seller, {});
    if (!src.settings.ElectronicAddress.isEmpty()) {
        inv.seller.endpointScheme = src.settings.ElectronicAddress.contains(QLatin1Char('@')) ? QStringLiteral("EM")
                                                                                              : QStringLiteral("0225");
        inv.seller.endpoint = src.settings.ElectronicAddress;
    }
    FillRegistration(inv.buyer, src.customer.email);
    inv.notes = {{QStringLiteral("PMT"), src.settings.RecoveryNote},
                 {QStringLiteral("PMD"), src.settings.PenaltyNote},
                 {QStringLiteral("AAB"), src.settings.DiscountNote}};

    // The stored tax lines in use, each tied to its tax type.
    QHash<qint32, int> rateOfType;
    for (int i = 0; i < kTaxLines; ++i) {
        const QString n = QString::number(i + 1);
        const QVariant base = field(QStringLiteral("totalbase%1").arg(n));
        const QVariant tax = field(QStringLiteral("TotalImpuesto%1").arg(n));
        if (base.isNull() && tax.isNull())
            continue;
        InvoiceTax t;
        t.description = field(QStringLiteral("Impuesto%1Des").arg(n)).toString().trimmed();
        t.percent = posdata::NumberOf(field(QStringLiteral("Impuesto%1Por").arg(n))).value_or(0.0);
        t.baseCents = centsOf(base);
        t.taxCents = centsOf(tax);
        if (t.baseCents == 0 && t.taxCents == 0)
            continue;
        if (i >= src.taxRates.size() || std::fabs(src.taxRates.at(i).Percentage - t.percent) > 1e-6)
            return refuse(QStringLiteral("tax line %1 (%2 %) matches no tax type").arg(n).arg(t.percent));
        rateOfType.insert(src.taxRates.at(i).TaxTypeId, int(inv.taxes.size()));
        inv.taxes.append(t);
        inv.taxBasisCents += t.baseCents;
        inv.taxTotalCents += t.taxCents;
    }
    // More rates than tax lines: the totals hold amounts no tax line states.
    if (inv.taxBasisCents != centsOf(field(QStringLiteral("totalbruto")))
        || inv.taxTotalCents != centsOf(field(QStringLiteral("totalimpuestos")))
        || inv.taxBasisCents + inv.taxTotalCents != centsOf(field(QStringLiteral("TotalNeto"))))
        return refuse(QStringLiteral("the stored tax lines do not add up to the stored totals"));
    inv.grandTotalCents = inv.taxBasisCents + inv.taxTotalCents;
    if (src.settings.PaidAtTill && src.latestTicket.isValid() && inv.typeCode == 380) {
        inv.businessProcess = QStringLiteral("B2");
        inv.prepaidCents = inv.grandTotalCents;
        inv.dueDate = src.latestTicket;
        inv.paymentTerms = QStringLiteral("Payée en caisse le %1").arg(src.latestTicket.toString(QStringLiteral("dd/MM/yyyy")));
    }

    // Each line's rate, then each rate's base shared across its lines.
    const sql::RecordSet &rows = src.document.lines;
    QVector<QVector<int>> linesOfRate(inv.taxes.size());
    QVector<qint64> amounts(rows.rowCount());
    inv.lines.resize(rows.rowCount());
    for (int r = 0; r < rows.rowCount(); ++r) {
        const qint32 ticket = qint32(posdata::WholeNumberOf(rows.value(r, QStringLiteral("IdExterno"))).value_or(0));
        const qint32 article = qint32(posdata::WholeNumberOf(rows.value(r, QStringLiteral("codigo"))).value_or(0));
        InvoiceLine &line = inv.lines[r];
        line.lineId = QString::number(r + 1);
        line.articleCode = rows.value(r, QStringLiteral("codigo")).toString().trimmed();
        line.description = rows.value(r, QStringLiteral("descripcion")).toString().trimmed();
        line.quantity = posdata::NumberOf(rows.value(r, QStringLiteral("cantidad"))).value_or(0.0);
        line.weighed = src.facts.weighed.value(ticket).value(article, false);
        amounts[r] = centsOf(rows.value(r, QStringLiteral("importe")));

        const QSet<qint32> ticketTypes = src.facts.ticketTaxTypes.value(ticket);
        const QSet<qint32> lineTypes = src.facts.lineTaxTypes.value(ticket).value(article);
        qint32 type = 0;
        if (ticketTypes.size() == 1)
            type = *ticketTypes.begin();
        else if (lineTypes.size() == 1)
            type = *lineTypes.begin();
        else
            return refuse(QStringLiteral("line %1 (ticket %2, article %3): VAT rate unknown")
                                 .arg(r + 1).arg(ticket).arg(article));
        if (!rateOfType.contains(type))
            return refuse(QStringLiteral("line %1: its tax type %2 has no stored tax line").arg(r + 1).arg(type));
        line.rateIndex = rateOfType.value(type);
        linesOfRate[line.rateIndex].append(r);
    }
    for (int k = 0; k < inv.taxes.size(); ++k) {
        const QVector<int> &members = linesOfRate.at(k);
        if (members.isEmpty())
            return refuse(QStringLiteral("tax line %1 has no line").arg(k + 1));
        QVector<qint64> weights;
        weights.reserve(members.size());
        for (int r : members)
            weights << amounts.at(r);
        const QVector<qint64> nets = AllocateLineNets(inv.taxes.at(k).baseCents, weights);
        for (int m = 0; m < members.size(); ++m)
            inv.lines[members.at(m)].netCents = nets.at(m);
    }
    for (InvoiceLine &line : inv.lines) {
        inv.lineTotalCents += line.netCents;
        // Net unit price, four decimals, never negative: |net| / |quantity|.
        const double q = std::fabs(line.quantity);
        const double net = std::fabs(double(line.netCents)) * 100.0;
        line.netPriceTenThousandths = q > 0 ? std::llround(net / q) : std::llround(net);
    }
    return inv;
}

} // namespace zd::archive
