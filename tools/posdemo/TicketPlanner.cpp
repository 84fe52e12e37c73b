#include "TicketPlanner.h"
#include "DemoRandom.h"
#include "PosSeeder.h"

#include <algorithm>

namespace zd::posdemo {

namespace {

struct Window {
    int from;   // seconds of the day
    int to;
};

// Opening hours: closed on Monday, Sunday morning only.
QVector<Window> openingHours(QDate day)
{
    switch (day.dayOfWeek()) {
    case 1:
        return {};
    case 7:
        return {{8 * 3600 + 1800, 12 * 3600 + 1800}};
    default:
        return {{8 * 3600, 12 * 3600 + 1800}, {14 * 3600 + 1800, 19 * 3600 + 1800}};
    }
}

// Relative takings of a day: Saturday and Sunday are busier, December more so.
int dayWeight(QDate day)
{
    static const int byWeekday[8] = {0, 0, 10, 10, 10, 12, 16, 12};
    int weight = byWeekday[day.dayOfWeek()];
    if (day.month() == 12)
        weight = weight * 14 / 10;
    return weight;
}

// Index of the first cumulative weight above value.
int pickCumulative(const QVector<qint64> &cumulative, qint64 value)
{
    return int(std::upper_bound(cumulative.begin(), cumulative.end(), value) - cumulative.begin());
}

constexpr double kWalkInShare = 0.65;
constexpr double kOrderShare = 0.03;
constexpr double kUnfinishedShare = 0.008;
constexpr double kUnnumberedShare = 0.004;
constexpr double kCreditShare = 0.006;
constexpr int kInvoicedAfterDays = 40;

bool isOpenCandidate(const TicketHead &t)
{
    return t.tipo == 1 && t.finalizado == 1 && t.numero != 0 && t.abono == 0 && t.millis == 0;
}

} // namespace

TicketPlanner::TicketPlanner(const SeedOptions &options, QDate today)
    : m_options(options), m_today(today), m_firstDay(today.addMonths(-18)),
      m_dayCount(int(m_firstDay.daysTo(today)))
{
}

bool TicketPlanner::plan(const QVector<qint32> &customerContacts, const QVector<int> &weights,
                         std::vector<TicketHead> &tickets, QString *error) const
{
    DemoRandom random(m_options.seed);

    // When: a day by its takings, then a second within its opening hours.
    QVector<qint64> dayCumulative(m_dayCount);
    qint64 total = 0;
    for (int d = 0; d < m_dayCount; ++d) {
        total += dayWeight(m_firstDay.addDays(d));
        dayCumulative[d] = total;
    }
    std::vector<qint64> moments(size_t(m_options.tickets));
    for (qint64 &moment : moments) {
        const int day = pickCumulative(dayCumulative, random.between(0, total - 1));
        const QVector<Window> windows = openingHours(m_firstDay.addDays(day));
        int open = 0;
        for (const Window &w : windows)
            open += w.to - w.from;
        int second = int(random.between(0, open - 1));
        for (const Window &w : windows) {
            if (second < w.to - w.from) {
                second += w.from;
                break;
            }
            second -= w.to - w.from;
        }
        moment = qint64(day) * 86400 + second;
    }
    std::sort(moments.begin(), moments.end());

    QVector<qint64> customerCumulative(customerContacts.size());
    qint64 customerTotal = 0;
    for (int k = 0; k < customerContacts.size(); ++k) {
        customerTotal += weights.value(k);
        customerCumulative[k] = customerTotal;
    }

    // Ticket numbers run up per terminal and document type.
    int series[4][4] = {};
    tickets.assign(moments.size(), TicketHead{});
    for (size_t i = 0; i < moments.size(); ++i) {
        TicketHead &t = tickets[i];
        t.day = qint32(moments[i] / 86400);
        t.second = qint32(moments[i] % 86400);
        t.lineSource = qint32(i + 1);
        const double terminalDraw = random.unit();
        t.terminal = terminalDraw < 0.5 ? 1 : terminalDraw < 0.8 ? 2 : 3;
        t.usuario = qint8(random.between(1, 4));
        if (!random.chance(kWalkInShare) && customerTotal > 0)
            t.contact = customerContacts[pickCumulative(customerCumulative,
                                                        random.between(0, customerTotal - 1))];
        if (random.chance(kOrderShare))
            t.tipo = 3;
        if (random.chance(kUnfinishedShare))
            t.finalizado = 0;

        // A credit note gives back an earlier sale of the same customer; the
        // two point at each other and neither can be invoiced any more.
        if (i > 0 && random.chance(kCreditShare)) {
            const size_t start = i - 1 - size_t(random.between(0, qint64(std::min<size_t>(i - 1, 30))));
            for (size_t j = start + 1; j-- > 0 && j + 80 > start;) {
                TicketHead &sale = tickets[j];
                if (isOpenCandidate(sale) && sale.lineSource == qint32(j + 1)) {
                    t.tipo = 2;
                    t.finalizado = 1;
                    t.contact = sale.contact;
                    t.lineSource = qint32(j + 1);
                    t.abono = qint32(j + 1);
                    sale.abono = qint32(i + 1);
                    break;
                }
            }
        }

        if (t.tipo != 2 && random.chance(kUnnumberedShare))
            t.numero = 0;
        else
            t.numero = ++series[t.terminal][t.tipo];

        // Customers are invoiced monthly: most older tickets carry the mark.
        if (t.contact != 0 && isOpenCandidate(t)) {
            const bool old = m_dayCount - t.day > kInvoicedAfterDays;
            if (random.chance(old ? 0.85 : 0.04))
                t.millis = 863;
        }
    }
    return giveFirstCustomerItsTickets(tickets, error);
}

// Customer 1 takes over evenly spread open walk-in sales, plus one invoiced
// sale for every eighth of them.
bool TicketPlanner::giveFirstCustomerItsTickets(std::vector<TicketHead> &tickets, QString *error) const
{
    const int wanted = m_options.firstCustomerOpenTickets;
    if (wanted <= 0)
        return true;
    std::vector<size_t> candidates;
    for (size_t i = 0; i < tickets.size(); ++i) {
        if (tickets[i].contact == 0 && isOpenCandidate(tickets[i]))
            candidates.push_back(i);
    }
    if (candidates.size() < size_t(wanted) * 2) {
        if (error)
            *error = QStringLiteral("too few tickets to give customer 1 %1 open tickets").arg(wanted);
        return false;
    }
    const size_t step = candidates.size() / size_t(wanted);
    for (size_t k = 0; k < size_t(wanted); ++k) {
        tickets[candidates[k * step]].contact = 1;
        if (k % 8 == 0) {
            TicketHead &invoiced = tickets[candidates[k * step + step / 2]];
            invoiced.contact = 1;
            invoiced.millis = 863;
        }
    }
    return true;
}

} // namespace zd::posdemo
