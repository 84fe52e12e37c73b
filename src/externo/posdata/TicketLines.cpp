#include "TicketLines.h"

#include "PosValues.h"
#include "externo/sql/Connection.h"
#include "externo/state/AppState.h"

namespace zd::posdata {

namespace {

TicketLinesResult failure(QString error)
{
    TicketLinesResult result;
    result.error = std::move(error);
    return result;
}

bool isNull(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

} // namespace

QString TicketLinesSql(qint32 ticketId)
{
    return QStringLiteral("Select * from dbo.lineadocumento where iddocumento=") + QString::number(ticketId);
}

TicketLinesResult ReadTicketLines(AppState &state, qint32 ticketId, qint32 ticketNumber,
                                  int numberingStart)
{
    if (!state.PosConnection || !state.PosConnection->isOpen())
        return failure(QStringLiteral("point-of-sale connection is not open"));
    bool ok = false;
    const sql::RecordSet lines = state.PosConnection->query(TicketLinesSql(ticketId), &ok);
    if (!ok)
        return failure(state.PosConnection->lastError());

    TicketLinesResult result;
    result.rows.reserve(lines.rowCount());
    const QString number = QString::number(ticketNumber);
    // Column positions, looked up once per result.
    auto column = [&](const char *name) { return lines.columnIndex(QLatin1String(name)); };
    const int cArticle = column("idarticulo"), cDescription = column("descripcion"),
              cWeighed = column("isventaporpeso"), cWeight = column("peso"), cUnits = column("unidades"),
              cPrice = column("precio"), cLineDiscount = column("dtoslinea"), cAmount = column("importe"),
              cHeaderDiscount = column("dtoscabecera"), cId = column("iddocumento");
    for (int r = 0; r < lines.rowCount(); ++r) {
        auto value = [&](int c) { return lines.value(r, c); };
        const QVariant article = value(cArticle);
        const QVariant description = value(cDescription);
        const QVariant weighed = value(cWeighed);  // NULL: sold by unit
        const bool byWeight = !isNull(weighed) && weighed.toBool();
        const auto quantity = NumberOf(value(byWeight ? cWeight : cUnits));
        const auto price = NumberOf(value(cPrice));
        const auto lineDiscount = NumberOf(value(cLineDiscount));
        const auto amount = NumberOf(value(cAmount));
        const auto headerDiscount = NumberOf(value(cHeaderDiscount));
        const QVariant id = value(cId);
        if (isNull(article) || isNull(description) || !quantity || !price || !lineDiscount
            || !amount || !headerDiscount || isNull(id)) {
            return failure(QStringLiteral("line %1 of ticket %2 has a missing value")
                               .arg(r + 1)
                               .arg(ticketId));
        }
        result.rows.push_back({
            QString::number(numberingStart + r),
            number,
            article.toString(),
            description.toString(),
            FixedNumberText(*quantity, 3),
            FixedNumberText(*price, 2),
            FixedNumberText(*lineDiscount, 2),
            FixedNumberText(*amount - *headerDiscount, 2),
            id.toString(),
        });
    }
    result.ok = true;
    return result;
}

} // namespace zd::posdata
