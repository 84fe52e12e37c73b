#pragma once
#include <QDate>
#include <QString>
#include <QVector>
#include <vector>

namespace zd::posdemo {

struct SeedOptions;

// The header of one ticket, before its lines are made.
struct TicketHead {
    qint32 day = 0;          // days after the first day of the period
    qint32 second = 0;       // second of that day
    qint32 numero = 0;
    qint32 contact = 0;      // idcontacto: customer code, 0 for walk-in sales
    qint32 abono = 0;        // iddocumentoabono
    qint32 lineSource = 0;   // ticket whose lines this one carries (itself, or the credited one)
    qint16 millis = 0;       // 863: already invoiced
    qint8 tipo = 1;          // tipodocumento: 1 sale, 2 credit note, 3 order
    qint8 finalizado = 1;
    qint8 usuario = 1;
    qint8 terminal = 1;
};

// Decides when each ticket was sold, by whom, to which customer, and which
// ones are unfinished, unnumbered, credited or already invoiced. Ticket k of
// the result gets iddocumento k + 1; the tickets are in time order.
class TicketPlanner {
public:
    TicketPlanner(const SeedOptions &options, QDate today);

    QDate firstDay() const { return m_firstDay; }
    int dayCount() const { return m_dayCount; }

    // customerContacts[k] is the idcontacto of customer k, weights[k] how
    // often it buys (0: never by chance).
    bool plan(const QVector<qint32> &customerContacts, const QVector<int> &weights,
              std::vector<TicketHead> &tickets, QString *error) const;

private:
    bool giveFirstCustomerItsTickets(std::vector<TicketHead> &tickets, QString *error) const;

    const SeedOptions &m_options;
    QDate m_today;
    QDate m_firstDay;
    int m_dayCount = 0;
};

} // namespace zd::posdemo
