#pragma once
#include <QHash>
#include <QSet>
#include <QVector>
#include <optional>

namespace zd {
struct AppState;
}

namespace zd::posdata {

// What the point-of-sale database says about the VAT of some tickets: the
// tax types of each ticket's tax rows (dbo.impuestodocumento) and, where the
// scale records it on the line, each article's tax type and whether it is
// sold by weight (dbo.lineadocumento).
struct TicketTaxFacts {
    QHash<qint32, QSet<qint32>> ticketTaxTypes;
    // Per ticket, per article code: the tax types its lines carry.
    QHash<qint32, QHash<qint32, QSet<qint32>>> lineTaxTypes;
    QHash<qint32, QHash<qint32, bool>> weighed;
};

// Reads the facts of the given tickets on state.PosConnection, a bounded
// number of ids per statement. Nothing on a query error of the tax rows;
// line tax types missing from the database (an older scale) leave
// lineTaxTypes empty.
std::optional<TicketTaxFacts> ReadTicketTaxFacts(AppState &state, const QVector<qint32> &ticketIds);

} // namespace zd::posdata
