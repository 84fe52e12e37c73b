#pragma once
#include <QString>
#include <QVector>

namespace zd {
struct AppState;
}

// Per-rate sums of the chosen tickets' tax rows (dbo.impuestodocumento),
// kept in state.TaxRates, and the three totals shown from them.
namespace zd::posdata {

class TotalsView;

QString TaxTypesSql();
QString TicketTaxesSql(qint32 ticketId);

// Fills state.TaxRates from dbo.TipoImpuesto (ascending IdTipoImpuesto);
// an empty table leaves TaxRates and TaxRateCount as they are. false on a
// query error or a row without a readable idtipoimpuesto (nothing changed).
bool LoadTaxRates(AppState &state);

// Adds (subtracts) one ticket's tax rows to the rate of the same type, then
// shows the totals and the tax rows. Rows of a type missing from TaxRates
// count for nothing. All rows are read before anything is added: on a
// query error nothing changes and false is returned.
bool AddTicketTaxes(AppState &state, TotalsView &view, qint32 ticketId);
bool SubtractTicketTaxes(AppState &state, TotalsView &view, qint32 ticketId);

// Every rate's BaseTotal and TaxTotal back to 0.
void ClearTaxTotals(AppState &state);

// SelectionBase and SelectionTax summed from the rates and shown rounded to
// cents. When the net amount rounds to 0 every per-rate sum is zeroed too,
// which also removes the remainders of earlier additions and subtractions.
void ShowSelectionTotals(AppState &state, TotalsView &view);

} // namespace zd::posdata
