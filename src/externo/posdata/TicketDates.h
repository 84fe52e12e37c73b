#pragma once
#include <QDate>
#include <QVector>
#include <optional>

namespace zd {
struct AppState;
}

namespace zd::posdata {

// The date of the latest of the given tickets (dbo.documento.fecha) on
// state.PosConnection; nothing on a query error or when none is found.
std::optional<QDate> ReadLatestTicketDate(AppState &state, const QVector<qint32> &ticketIds);

} // namespace zd::posdata
