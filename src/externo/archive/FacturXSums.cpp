#include "FacturXSums.h"

#include "FacturXml.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

namespace zd::archive {

namespace {

// "12.3" / "-4.56" -> cents; more than two decimals is not an amount.
std::optional<qint64> centsOf(const QString &text)
{
    static const QRegularExpression amount(QStringLiteral("^(-?)(\\d+)(?:\\.(\\d{1,2}))?$"));
    const auto m = amount.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const qint64 cents = m.captured(2).toLongLong() * 100 + m.captured(3).leftJustified(2, QLatin1Char('0')).toLongLong();
    return m.captured(1).isEmpty() ? cents : -cents;
}

QString rateKey(const QString &category, const QString &percent)
{
    bool ok = false;
    const double p = percent.toDouble(&ok);
    return category + QLatin1Char(' ') + (ok ? QString::number(p, 'f', 2) : percent);
}

} // namespace

QStringList CheckFacturXSums(const QByteArray &xml, FacturXTotals *out)
{
    QStringList problems;
    FacturXTotals t;
    QMap<QString, qint64> linesByRate;
    QXmlStreamReader r(xml);
    QStringList path;
    // The trade tax being read (a line's or the header's).
    QString category, percent;
    qint64 calculated = 0, basis = 0, lineAmount = 0;
    QString lineCategory, linePercent;
    auto amount = [&](const QString &where) -> qint64 {
        const QString text = r.readElementText();
        path.removeLast();
        const auto cents = centsOf(text);
        if (!cents) {
            problems << QStringLiteral("%1: \"%2\" is not an amount in cents").arg(where, text);
            return 0;
        }
        return *cents;
    };
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            const QString name = r.name().toString();
            path << name;
            const QString parent = path.size() > 1 ? path.at(path.size() - 2) : QString();
            const bool inLine = path.contains(QStringLiteral("IncludedSupplyChainTradeLineItem"));
            if (name == QLatin1String("ApplicableTradeTax")) {
                category.clear();
                percent.clear();
                calculated = basis = 0;
            } else if (name == QLatin1String("ID") && parent == QLatin1String("ExchangedDocument")) {
                t.number = r.readElementText();
                path.removeLast();
            } else if (name == QLatin1String("IssuerAssignedID") && parent == QLatin1String("DespatchAdviceReferencedDocument")) {
                t.despatchAdvice = r.readElementText();
                path.removeLast();
            } else if (name == QLatin1String("CategoryCode") && parent == QLatin1String("ApplicableTradeTax")) {
                category = r.readElementText();
                path.removeLast();
            } else if (name == QLatin1String("RateApplicablePercent") && parent == QLatin1String("ApplicableTradeTax")) {
                percent = r.readElementText();
                path.removeLast();
            } else if (name == QLatin1String("CalculatedAmount") && parent == QLatin1String("ApplicableTradeTax")) {
                calculated = amount(name);
            } else if (name == QLatin1String("BasisAmount") && parent == QLatin1String("ApplicableTradeTax")) {
                basis = amount(name);
            } else if (inLine && name == QLatin1String("LineTotalAmount")) {
                lineAmount = amount(QStringLiteral("line %1").arg(t.lineCount + 1));
            } else if (!inLine && parent == QLatin1String("SpecifiedTradeSettlementHeaderMonetarySummation")) {
                const qint64 value = amount(name);
                if (name == QLatin1String("LineTotalAmount"))
                    t.lineTotal = value;
                else if (name == QLatin1String("TaxBasisTotalAmount"))
                    t.taxBasisTotal = value;
                else if (name == QLatin1String("TaxTotalAmount"))
                    t.taxTotal = value;
                else if (name == QLatin1String("GrandTotalAmount"))
                    t.grandTotal = value;
                else if (name == QLatin1String("TotalPrepaidAmount"))
                    t.prepaid = value;
                else if (name == QLatin1String("DuePayableAmount"))
                    t.duePayable = value;
            }
        } else if (r.isEndElement()) {
            const QString name = r.name().toString();
            const bool inLine = path.contains(QStringLiteral("IncludedSupplyChainTradeLineItem"));
            if (name == QLatin1String("ApplicableTradeTax")) {
                if (inLine) {
                    lineCategory = category;
                    linePercent = percent;
                } else {
                    const QString key = rateKey(category, percent);
                    if (t.basisByRate.contains(key))
                        problems << QStringLiteral("rate %1 stated twice in the VAT breakdown").arg(key);
                    t.basisByRate[key] += basis;
                    t.taxByRate[key] += calculated;
                }
            } else if (name == QLatin1String("IncludedSupplyChainTradeLineItem")) {
                ++t.lineCount;
                t.linesSum += lineAmount;
                linesByRate[rateKey(lineCategory, linePercent)] += lineAmount;
                lineAmount = 0;
            }
            if (!path.isEmpty())
                path.removeLast();
        }
    }
    if (r.hasError())
        problems << QStringLiteral("XML: %1").arg(r.errorString());

    auto expect = [&problems](const QString &what, qint64 stated, qint64 added) {
        if (stated != added)
            problems << QStringLiteral("%1: stated %2, adds up to %3").arg(what, CentsText(stated), CentsText(added));
    };
    expect(QStringLiteral("LineTotalAmount"), t.lineTotal, t.linesSum);
    qint64 bases = 0, taxes = 0;
    for (auto it = t.basisByRate.cbegin(); it != t.basisByRate.cend(); ++it) {
        bases += it.value();
        taxes += t.taxByRate.value(it.key());
        expect(QStringLiteral("BasisAmount of %1").arg(it.key()), it.value(), linesByRate.value(it.key()));
    }
    for (auto it = linesByRate.cbegin(); it != linesByRate.cend(); ++it) {
        if (!t.basisByRate.contains(it.key()))
            problems << QStringLiteral("lines of rate %1 have no VAT breakdown").arg(it.key());
    }
    expect(QStringLiteral("TaxBasisTotalAmount"), t.taxBasisTotal, bases);
    expect(QStringLiteral("TaxTotalAmount"), t.taxTotal, taxes);
    expect(QStringLiteral("GrandTotalAmount"), t.grandTotal, t.taxBasisTotal + t.taxTotal);
    expect(QStringLiteral("DuePayableAmount"), t.duePayable, t.grandTotal - t.prepaid);
    if (out)
        *out = t;
    return problems;
}

} // namespace zd::archive
