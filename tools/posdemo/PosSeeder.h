#pragma once
#include "PosSchema.h"

#include <QDate>
#include <QString>

namespace zd::posdemo {

class SqliteDb;

// What to generate. The same options always give the same rows.
struct SeedOptions {
    int customers = 60;
    int tickets = 3000;
    quint64 seed = 1;
    QDate today;                    // tickets cover the 18 months before it; null: the current date
    int maxLinesPerTicket = 12;     // 1 .. this many lines, small tickets more often
    // When > 0, customer 1 owns exactly this many open tickets (plus a few
    // invoiced ones) spread over the whole period, and no other random ones.
    int firstCustomerOpenTickets = 0;

    static SeedOptions demo();      // 60 customers, 3,000 tickets of 1-12 lines
    static SeedOptions scale();     // 10,000 customers, 1,000,000 tickets of 1-5 lines,
                                    // customer 1 with 2,000 open tickets
};

struct SeedCounts {
    qint64 customers = 0;
    qint64 tickets = 0;
    qint64 lines = 0;
    qint64 taxRows = 0;
};

// Fills a point-of-sale database with a French butcher's and delicatessen
// shop: its own data and logo, the euro, the four VAT rates, customers and
// 18 months of tickets. Besides ordinary open tickets it writes every kind
// the open-ticket rule leaves out: unfinished tickets, tickets numbered 0,
// credited tickets and their credit notes, walk-in sales (customer 0) and
// tickets already invoiced (milliseconds .863).
class PosSeeder {
public:
    explicit PosSeeder(SeedOptions options);

    // Writes a complete database to path: built in path + ".tmp" and renamed
    // over path only when complete, so a failure leaves no half-written file.
    bool writeFile(const QString &path, QString *error);

    // Seeds an open database holding the empty tables (no indexes); creates
    // the indexes after the rows, all in one transaction.
    bool seed(SqliteDb &db, QString *error);

    const SeedCounts &counts() const { return m_counts; }

private:
    SeedOptions m_options;
    SeedCounts m_counts;
};

} // namespace zd::posdemo
