#pragma once

namespace zd {
struct AppState;
}

namespace zd::posdata {

class TotalsView;

// Totals boxes to "0", SelectionBase to 0, every tax row hidden, the frame
// back to Line1 and the report's tax table emptied.
void ClearTotalsDisplay(AppState &state, TotalsView &view);

// One row per rate with a non-zero base, in TaxRates order: up to five on
// the window (a sixth is not shown: there is no row for it) and the first
// three in the report's tax table.
void ShowTaxRows(AppState &state, TotalsView &view);

} // namespace zd::posdata
