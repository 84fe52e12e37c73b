#include "InvoicedMark.h"

#include "externo/sql/Connection.h"
#include "externo/state/AppState.h"

#include <algorithm>

namespace zd::posdata {

namespace {

bool allDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool posConnectionOpen(const AppState &state)
{
    return state.PosConnection && state.PosConnection->isOpen();
}

} // namespace

QString SelectTicketSql(qint32 ticketId)
{
    return QStringLiteral("Select * from dbo.documento where iddocumento=") + QString::number(ticketId);
}

QString MarkTicketSql(qint32 ticketId)
{
    return QStringLiteral("update dbo.documento set fecha=(fecha+0.00001) where iddocumento=")
        + QString::number(ticketId) + QStringLiteral(" and SUBSTRING(convert(varchar(23),fecha,121),21,3)='000'");
}

QString ClearTicketMarkSql(const QString &ticketId)
{
    return QStringLiteral("update dbo.documento set fecha=convert(DateTime, SUBSTRING(convert(VarChar(23), "
                          "Fecha, 121), 1, 19), 121) Where iddocumento = ")
        + ticketId + QStringLiteral(" and SUBSTRING(convert(varchar(23),fecha,121),21,3)<>'000'");
}

bool MarkSelectedTicketsInvoiced(AppState &state, const QVector<qint32> &chosenTicketIds,
                                 qint32 *takenElsewhere)
{
    if (takenElsewhere)
        *takenElsewhere = 0;
    if (chosenTicketIds.isEmpty())
        return true;
    if (!posConnectionOpen(state))
        return false;
    sql::Connection &pos = *state.PosConnection;
    QVector<qint32> ids = chosenTicketIds;
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    // The write comes first in the transaction: on the embedded engine a
    // transaction that has only read cannot wait for another writer's lock
    // and would fail at once instead of finding the ticket marked.
    for (const qint32 id : ids) {
        int changed = 0;
        if (!pos.executeCounted(MarkTicketSql(id), &changed))
            return false;
        if (changed > 0)
            continue;
        bool ok = false;
        const sql::RecordSet found = pos.query(SelectTicketSql(id), &ok);
        if (!ok)
            return false;
        if (found.isEmpty())
            continue;
        if (takenElsewhere)
            *takenElsewhere = id;
        return false;
    }
    return true;
}

bool MarkTicketIfOpen(AppState &state, qint32 ticketId, int *changed)
{
    int rows = 0;
    const bool done = posConnectionOpen(state) && state.PosConnection->executeCounted(MarkTicketSql(ticketId), &rows);
    if (changed)
        *changed = rows;
    return done;
}

bool ReleaseTicketIfMarked(AppState &state, qint32 ticketId, int *changed)
{
    int rows = 0;
    const bool done = posConnectionOpen(state)
                      && state.PosConnection->executeCounted(ClearTicketMarkSql(QString::number(ticketId)), &rows);
    if (changed)
        *changed = rows;
    return done;
}

std::optional<bool> TicketExists(AppState &state, qint32 ticketId)
{
    if (!posConnectionOpen(state))
        return std::nullopt;
    bool ok = false;
    const sql::RecordSet found = state.PosConnection->query(SelectTicketSql(ticketId), &ok);
    if (!ok)
        return std::nullopt;
    return !found.isEmpty();
}

bool ClearInvoicedMark(AppState &state, const LineRecordSet &lines)
{
    if (lines.isEmpty())
        return true;
    if (!posConnectionOpen(state))
        return false;
    sql::Connection &pos = *state.PosConnection;
    for (const QStringList &line : lines) {
        if (line.size() <= 8)
            continue;
        const QString id = line.at(8).trimmed();
        if (!allDigits(id))
            continue;
        if (!pos.execute(ClearTicketMarkSql(id)))
            return false;
    }
    return true;
}

} // namespace zd::posdata
