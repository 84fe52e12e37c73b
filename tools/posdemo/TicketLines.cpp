#include "TicketLines.h"
#include "DemoCatalogue.h"
#include "DemoRandom.h"

#include <algorithm>
#include <cmath>

namespace zd::posdemo::TicketLines {

namespace {

// Articles by popularity, built once.
const std::vector<const DemoArticle *> &popularityTable()
{
    static const std::vector<const DemoArticle *> table = [] {
        std::vector<const DemoArticle *> t;
        for (const DemoArticle &a : DemoCatalogue::articles())
            for (int k = 0; k < a.popularity; ++k)
                t.push_back(&a);
        return t;
    }();
    return table;
}

qint64 percentOf(qint64 cents, int percent)
{
    return (cents * percent + 50) / 100;
}

} // namespace

qint64 baseOf(qint64 grossCents, int rateTenths)
{
    const qint64 magnitude = grossCents < 0 ? -grossCents : grossCents;
    const qint64 divisor = 1000 + rateTenths;
    const qint64 base = (magnitude * 2000 + divisor) / (2 * divisor);
    return grossCents < 0 ? -base : base;
}

void make(quint64 seed, qint32 sourceId, int maxLines, int sign, std::vector<DemoLine> &lines)
{
    DemoRandom random(seed * 0x2545F4914F6CDD1Dull ^ (quint64(sourceId) << 17) ^ 0x5851F42D4C957F2Dull);
    const auto &table = popularityTable();
    // Most tickets are small: the count leans towards one or two lines.
    const int count = 1 + int(std::floor(double(maxLines) * std::pow(random.unit(), 2.2)));
    const int headerPercent = random.chance(0.05) ? (random.chance(0.5) ? 5 : 10) : 0;

    lines.clear();
    for (int n = 0; n < std::min(count, maxLines); ++n) {
        DemoLine line;
        line.article = table[size_t(random.between(0, qint64(table.size()) - 1))];
        line.priceCents = line.article->priceCents;
        qint64 gross = 0;
        if (line.article->weighed) {
            line.grams = int(random.between(line.article->low, line.article->high));
            gross = (qint64(line.priceCents) * line.grams + 500) / 1000;
        } else {
            line.units = int(random.between(line.article->low, line.article->high));
            gross = qint64(line.priceCents) * line.units;
        }
        if (random.chance(0.07)) {
            static const int promos[] = {10, 15, 20, 30};
            line.lineDiscountCents = int(percentOf(gross, promos[random.between(0, 3)]));
        }
        line.amountCents = int(gross) - line.lineDiscountCents;
        line.headerDiscountCents = int(percentOf(line.amountCents, headerPercent));
        if (sign < 0) {
            line.grams = -line.grams;
            line.units = -line.units;
            line.lineDiscountCents = -line.lineDiscountCents;
            line.amountCents = -line.amountCents;
            line.headerDiscountCents = -line.headerDiscountCents;
        }
        lines.push_back(line);
    }
}

void taxRows(const std::vector<DemoLine> &lines, std::vector<DemoTaxRow> &rows)
{
    rows.clear();
    for (const DemoTaxType &type : DemoCatalogue::taxTypes()) {
        DemoTaxRow row;
        row.taxTypeId = type.id;
        bool present = false;
        for (const DemoLine &line : lines) {
            if (line.article->taxTypeId == type.id) {
                row.grossCents += line.netCents();
                present = true;
            }
        }
        if (!present)
            continue;
        row.baseCents = baseOf(row.grossCents, type.rateTenths);
        rows.push_back(row);
    }
}

} // namespace zd::posdemo::TicketLines
