#include "PeriodTotals.h"

#include "Chain.h"
#include "ChainEvents.h"
#include "ChainMarker.h"
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

#include <cmath>

namespace zd::books {

namespace {

qint64 tenThousandths(const QVariant &value)
{
    return value.isNull() ? 0 : qint64(std::llround(value.toDouble() * 10000.0));
}

} // namespace

QString Amount(qint64 v)
{
    const quint64 m = v < 0 ? quint64(-v) : quint64(v);
    return (v < 0 ? QStringLiteral("-") : QString()) + QString::number(m / 10000) + QLatin1Char('.')
         + QStringLiteral("%1").arg(m % 10000, 4, 10, QLatin1Char('0'));
}

std::optional<PeriodTotals> TotalsOf(sql::Connection &store, const QDate &from, const QDate &to)
{
    PeriodTotals t;
    const QString first = from.toString(QStringLiteral("yyyy-MM-dd"));
    const QString last = to.toString(QStringLiteral("yyyy-MM-dd"));
    QString columns = QStringLiteral("TipoDocumento, FechaDocumento, TotalNeto");
    for (int n = 1; n <= 5; ++n)
        columns += QStringLiteral(", Impuesto%1Por, totalbase%1, TotalImpuesto%1").arg(n);
    const bool ok = store.queryRows(
        QStringLiteral("select ") + columns + QStringLiteral(" from dbo.facturas where TipoDocumento in (1, 2)"),
        [&](const sql::RowView &row) {
            const int type = row.value(0).toInt();
            const qint64 total = std::llabs(tenThousandths(row.value(2)));
            const qint64 sign = type == kDocumentCreditNote ? -1 : 1;
            t.perpetual += sign * total;
            // DATETIME values come back as style-121 text on both engines.
            const QString day = row.text(1).left(10);
            if (day < first || day > last)
                return;
            if (type == kDocumentCreditNote) {
                ++t.creditNoteCount;
                t.creditNotes += total;
            } else {
                ++t.invoiceCount;
                t.invoices += total;
            }
            for (int n = 0; n < 5; ++n) {
                const QVariant rate = row.value(3 + 3 * n);
                if (rate.isNull())
                    continue;
                RateTotals &r = t.byRate[tenThousandths(rate)];
                r.base += sign * std::llabs(tenThousandths(row.value(4 + 3 * n)));
                r.tax += sign * std::llabs(tenThousandths(row.value(5 + 3 * n)));
            }
        });
    if (!ok)
        return std::nullopt;
    return t;
}

QString TotalsText(const PeriodTotals &t)
{
    QString text = QStringLiteral("invoices=%1;%2\ncredit notes=%3;%4\ndifference=%5\n")
                       .arg(t.invoiceCount)
                       .arg(Amount(t.invoices))
                       .arg(t.creditNoteCount)
                       .arg(Amount(t.creditNotes), Amount(t.difference()));
    for (auto it = t.byRate.cbegin(); it != t.byRate.cend(); ++it)
        text += QStringLiteral("rate %1=base %2;tax %3;total %4\n")
                    .arg(Amount(it.key()), Amount(it->base), Amount(it->tax), Amount(it->total()));
    text += QStringLiteral("perpetual=%1\n").arg(Amount(t.perpetual));
    return text;
}

bool RecordStart(AppState &state)
{
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return false;
    bool ok = false;
    const sql::RecordSet first = store->query(
        QStringLiteral("select Momento from dbo.Registro where Secuencia = 1"), &ok);
    const sql::RecordSet closed = store->query(
        QStringLiteral("select Texto from dbo.Registro where Evento = 'closing'"), &ok);
    if (!ok)
        return false;
    const int thisYear = state.Now().date().year();
    int from = first.isEmpty() ? thisYear : first.value(0, 0).toString().left(4).toInt();
    for (int r = 0; r < closed.rowCount(); ++r) {
        const QString text = closed.value(r, 0).toString();
        from = qMax(from, text.section(QLatin1Char('\n'), 0, 0).section(QLatin1Char('='), 1).toInt() + 1);
    }
    // Each closing commits with the totals it read.
    for (int year = from; year < thisYear; ++year) {
        if (!store->beginTransaction())
            return false;
        const auto totals = TotalsOf(*store, QDate(year, 1, 1), QDate(year, 12, 31));
        if (!totals
            || !AppendRecord(*store, state.Now(), QLatin1String(event::kClosing),
                             QStringLiteral("year=%1\n").arg(year) + TotalsText(*totals))
            || !store->commit()) {
            store->rollback();
            return false;
        }
    }
    store->close();
    return RecordEvent(state, QLatin1String(event::kStart), QStringLiteral("program=zedorev\n"));
}

bool RecordStop(AppState &state)
{
    return RecordEvent(state, QLatin1String(event::kStop), QStringLiteral("program=zedorev\n"));
}

} // namespace zd::books
