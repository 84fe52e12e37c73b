#include "TicketDates.h"

#include "PosValues.h"
#include "externo/sql/Connection.h"
#include "externo/state/AppState.h"

#include <QSet>
#include <QStringList>

namespace zd::posdata {

std::optional<QDate> ReadLatestTicketDate(AppState &state, const QVector<qint32> &ticketIds)
{
    constexpr int kIdsPerStatement = 500;
    sql::Connection *pos = state.PosConnection.get();
    if (!pos || !pos->isOpen())
        return std::nullopt;
    const QList<qint32> ids = QSet<qint32>(ticketIds.cbegin(), ticketIds.cend()).values();
    std::optional<QDate> latest;
    for (int from = 0; from < ids.size(); from += kIdsPerStatement) {
        QStringList list;
        for (int i = from; i < qMin<int>(from + kIdsPerStatement, ids.size()); ++i)
            list << QString::number(ids.at(i));
        bool ok = false;
        const sql::RecordSet rows = pos->query(
            QStringLiteral("select max(fecha) from dbo.documento where iddocumento in (") + list.join(QLatin1Char(','))
                + QStringLiteral(")"),
            &ok);
        if (!ok)
            return std::nullopt;
        if (rows.rowCount() > 0) {
            const auto day = DateOf(rows.value(0, 0));
            if (day && (!latest || *day > *latest))
                latest = day;
        }
    }
    return latest;
}

} // namespace zd::posdata
