#pragma once
#include <QDate>
#include <QString>
#include <optional>

namespace zd {
struct AppState;
}

// The texts of ticket and customer tree nodes, and reading them back.
// A ticket node reads "57 -((00001234)-05/03/2021 )": number, point-of-sale
// iddocumento in eight digits, ticket date.
namespace zd::posdata {

QString TicketNodeText(qint64 numero, qint64 iddocumento, const QDate &fecha);

struct TicketNodeValues {
    qint32 number = 0;     // the text before the first " -"
    qint32 ticketId = 0;   // the digits after the first "-(("
};
// Reads a ticket node's text; none when the markers or the id digits are
// missing, or a value does not fit 32 bits.
std::optional<TicketNodeValues> ParseTicketNode(const QString &nodeText);

// Sets CurrentTicketNumber and CurrentTicketId from a ticket node's text.
// A text that is not a ticket node leaves the state as it was: false.
bool ReadTicketNode(AppState &state, const QString &nodeText);

// The customer number of a customer node "00012-BOULANGERIE" (12): the
// leading number before the first "-". None without a "-" or without a
// leading number, so that no list is ever filled for a made-up customer.
std::optional<qint32> CustomerNumberFromNodeText(const QString &nodeText);

} // namespace zd::posdata
