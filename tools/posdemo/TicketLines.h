#pragma once
#include <QtGlobal>
#include <vector>

namespace zd::posdemo {

struct DemoArticle;

// One ticket line in cents and grams, so that every amount is exact.
struct DemoLine {
    const DemoArticle *article = nullptr;
    int grams = 0;           // weighed articles; 0 otherwise
    int units = 0;           // pieces; 0 for weighed articles
    int priceCents = 0;      // per kg or per piece
    int lineDiscountCents = 0;   // dtoslinea, already taken off importe
    int amountCents = 0;     // importe: price x quantity less the line discount
    int headerDiscountCents = 0; // dtoscabecera: this line's share of the ticket discount
    int netCents() const { return amountCents - headerDiscountCents; }
};

// One tax row of a ticket: the lines' net amounts of one VAT rate, split
// into base and tax (base = gross / (1 + rate), to the cent).
struct DemoTaxRow {
    int taxTypeId = 0;
    qint64 grossCents = 0;
    qint64 baseCents = 0;
    qint64 taxCents() const { return grossCents - baseCents; }
};

namespace TicketLines {

// The lines of ticket sourceId, the same for the same seed. sign -1 gives
// the lines of its credit note (negative quantities and amounts).
void make(quint64 seed, qint32 sourceId, int maxLines, int sign, std::vector<DemoLine> &lines);

// One row per VAT rate present, in ascending tax type order.
void taxRows(const std::vector<DemoLine> &lines, std::vector<DemoTaxRow> &rows);

// gross / (1 + rateTenths / 1000), rounded half away from zero to the cent.
qint64 baseOf(qint64 grossCents, int rateTenths);

} // namespace TicketLines
} // namespace zd::posdemo
