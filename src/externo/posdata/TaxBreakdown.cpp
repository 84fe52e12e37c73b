#include "TaxBreakdown.h"

#include "PosValues.h"
#include "TotalsDisplay.h"
#include "TotalsView.h"
#include "externo/sql/Connection.h"
#include "externo/state/AppState.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zd::posdata {

namespace {

struct TaxRow {
    qint64 typeId = 0;
    double base = 0;
    double amount = 0;
};

int ratesInUse(const AppState &state)
{
    return std::min<int>(state.TaxRateCount, int(state.TaxRates.size()));
}

// Reads all of a ticket's tax rows, or none at all.
bool readTicketTaxRows(AppState &state, qint32 ticketId, QVector<TaxRow> &out)
{
    if (!state.PosConnection || !state.PosConnection->isOpen())
        return false;
    bool ok = false;
    const sql::RecordSet rows = state.PosConnection->query(TicketTaxesSql(ticketId), &ok);
    if (!ok)
        return false;
    out.clear();
    out.reserve(rows.rowCount());
    const int cType = rows.columnIndex(QStringLiteral("idtipoimpuesto"));
    const int cBase = rows.columnIndex(QStringLiteral("baseimponible"));
    const int cAmount = rows.columnIndex(QStringLiteral("importe"));
    for (int r = 0; r < rows.rowCount(); ++r) {
        const auto type = WholeNumberOf(rows.value(r, cType));
        if (!type)
            continue;  // a row of no type matches no rate
        out.push_back({*type, NumberOf(rows.value(r, cBase)).value_or(0.0),
                       NumberOf(rows.value(r, cAmount)).value_or(0.0)});
    }
    return true;
}

// Sums that ought to be zero after a subtraction keep binary remainders
// (0.1 + 0.2 - 0.1 - 0.2); a remainder far below the four decimals that
// amounts carry is no amount, and must not show as a tax row.
double dropNoise(double value)
{
    return std::fabs(value) < 1e-7 ? 0.0 : value;
}

bool applyTicketTaxes(AppState &state, TotalsView &view, qint32 ticketId, double sign)
{
    QVector<TaxRow> rows;
    if (!readTicketTaxRows(state, ticketId, rows))
        return false;
    const int count = ratesInUse(state);
    for (const TaxRow &row : rows) {
        for (int i = 0; i < count; ++i) {
            TaxRateEntry &rate = state.TaxRates[i];
            if (rate.TaxTypeId != row.typeId)
                continue;
            rate.BaseTotal = dropNoise(rate.BaseTotal + sign * row.base);
            rate.TaxTotal = dropNoise(rate.TaxTotal + sign * row.amount);
            break;
        }
    }
    ShowSelectionTotals(state, view);
    ShowTaxRows(state, view);
    return true;
}

} // namespace

QString TaxTypesSql()
{
    return QStringLiteral("select * from dbo.TipoImpuesto order by IdTipoImpuesto");
}

QString TicketTaxesSql(qint32 ticketId)
{
    return QStringLiteral("select * from dbo.impuestodocumento where iddocumento=")
        + QString::number(ticketId) + QStringLiteral(" order by IdTipoImpuesto");
}

bool LoadTaxRates(AppState &state)
{
    if (!state.PosConnection || !state.PosConnection->isOpen())
        return false;
    bool ok = false;
    const sql::RecordSet rows = state.PosConnection->query(TaxTypesSql(), &ok);
    if (!ok)
        return false;
    if (rows.isEmpty())
        return true;

    QVector<TaxRateEntry> rates = state.TaxRates;
    if (rates.size() < rows.rowCount())
        rates.resize(rows.rowCount());
    for (int k = 0; k < rows.rowCount(); ++k) {
        const auto type = WholeNumberOf(rows.value(k, QStringLiteral("idtipoimpuesto")));
        if (!type || *type < std::numeric_limits<qint32>::min()
            || *type > std::numeric_limits<qint32>::max())
            return false;
        TaxRateEntry &rate = rates[k];
        rate.Percentage = NumberOf(rows.value(k, QStringLiteral("porcentaje"))).value_or(0.0);
        rate.Description = rows.value(k, QStringLiteral("descripcion")).toString();
        rate.TaxTypeId = qint32(*type);
        rate.BaseTotal = 0;
        rate.TaxTotal = 0;
    }
    state.TaxRates = rates;
    state.TaxRateCount = qint16(std::min(rows.rowCount(), int(std::numeric_limits<qint16>::max())));
    return true;
}

bool AddTicketTaxes(AppState &state, TotalsView &view, qint32 ticketId)
{
    return applyTicketTaxes(state, view, ticketId, +1.0);
}

bool SubtractTicketTaxes(AppState &state, TotalsView &view, qint32 ticketId)
{
    return applyTicketTaxes(state, view, ticketId, -1.0);
}

void ClearTaxTotals(AppState &state)
{
    for (TaxRateEntry &rate : state.TaxRates) {
        rate.BaseTotal = 0;
        rate.TaxTotal = 0;
    }
}

void ShowSelectionTotals(AppState &state, TotalsView &view)
{
    double base = 0;
    double tax = 0;
    const int count = ratesInUse(state);
    for (int i = 0; i < count; ++i) {
        tax += state.TaxRates.at(i).TaxTotal;
        base += state.TaxRates.at(i).BaseTotal;
    }
    state.SelectionBase = base;
    state.SelectionTax = tax;

    const double shownBase = RoundHalfEven2(base);
    view.setTotalTexts(GeneralNumberText(shownBase), GeneralNumberText(RoundHalfEven2(tax)),
                       GeneralNumberText(RoundHalfEven2(base + tax)));
    if (shownBase == 0) {
        ClearTaxTotals(state);
        ClearTotalsDisplay(state, view);
        state.SelectionBase = 0;
    }
}

} // namespace zd::posdata
