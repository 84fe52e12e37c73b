#include "TicketTaxFacts.h"

#include "PosValues.h"
#include "externo/sql/Connection.h"
#include "externo/state/AppState.h"

#include <QStringList>

namespace zd::posdata {

namespace {

constexpr int kIdsPerStatement = 500;

QString idList(const QVector<qint32> &ids, int from, int count)
{
    QStringList parts;
    parts.reserve(count);
    for (int i = from; i < from + count; ++i)
        parts << QString::number(ids.at(i));
    return parts.join(QLatin1Char(','));
}

} // namespace

std::optional<TicketTaxFacts> ReadTicketTaxFacts(AppState &state, const QVector<qint32> &ticketIds)
{
    sql::Connection *pos = state.PosConnection.get();
    if (!pos || !pos->isOpen())
        return std::nullopt;
    QVector<qint32> ids;
    {
        QSet<qint32> seen;
        for (qint32 id : ticketIds) {
            if (!seen.contains(id)) {
                seen.insert(id);
                ids << id;
            }
        }
    }
    TicketTaxFacts facts;
    bool linesReadable = true;
    for (int from = 0; from < ids.size(); from += kIdsPerStatement) {
        const int count = qMin<int>(kIdsPerStatement, ids.size() - from);
        const QString list = idList(ids, from, count);
        bool ok = false;
        const sql::RecordSet taxes = pos->query(
            QStringLiteral("select iddocumento, idtipoimpuesto from dbo.impuestodocumento where iddocumento in (")
                + list + QStringLiteral(")"),
            &ok);
        if (!ok)
            return std::nullopt;
        for (int r = 0; r < taxes.rowCount(); ++r) {
            const auto ticket = WholeNumberOf(taxes.value(r, 0));
            const auto type = WholeNumberOf(taxes.value(r, 1));
            if (ticket && type)
                facts.ticketTaxTypes[qint32(*ticket)].insert(qint32(*type));
        }
        if (!linesReadable)
            continue;
        const sql::RecordSet lines = pos->query(
            QStringLiteral("select iddocumento, idarticulo, isventaporpeso, idtipoimpuesto from dbo.lineadocumento "
                           "where iddocumento in (")
                + list + QStringLiteral(")"),
            &ok);
        if (!ok) {
            linesReadable = false;
            continue;
        }
        for (int r = 0; r < lines.rowCount(); ++r) {
            const auto ticket = WholeNumberOf(lines.value(r, 0));
            const auto article = WholeNumberOf(lines.value(r, 1));
            if (!ticket || !article)
                continue;
            const QVariant weighed = lines.value(r, 2);
            if (!weighed.isNull())
                facts.weighed[qint32(*ticket)][qint32(*article)] = weighed.toBool();
            if (const auto type = WholeNumberOf(lines.value(r, 3)))
                facts.lineTaxTypes[qint32(*ticket)][qint32(*article)].insert(qint32(*type));
        }
    }
    return facts;
}

} // namespace zd::posdata
