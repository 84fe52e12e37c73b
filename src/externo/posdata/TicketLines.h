#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

namespace zd {
struct AppState;
}

namespace zd::posdata {

QString TicketLinesSql(qint32 ticketId);

// The ListView1 lines of one ticket, in the order the server returns them.
// Each row holds nine texts: Id (numberingStart, numberingStart+1, ...),
// N°Ticket, Cod.Art., Descriptif, Quantité ("0.000": peso for a weighed
// article, else unidades), Prix, Remise, Montant (importe - dtoscabecera;
// all "0.00"), IdExterno.
struct TicketLinesResult {
    bool ok = false;
    QString error;
    QVector<QStringList> rows;
};

// Reads every line before returning any: on a query error or a line with a
// missing value (NULL article, description or amount) the result is an
// error with no rows, so the list is never half-filled. The caller adds the
// rows (at the top, in order) and the ticket's taxes (AddTicketTaxes) only
// when both succeed. numberingStart: 1 for one ticket, 0 when all tickets
// are chosen at once.
TicketLinesResult ReadTicketLines(AppState &state, qint32 ticketId, qint32 ticketNumber,
                                  int numberingStart);

} // namespace zd::posdata
