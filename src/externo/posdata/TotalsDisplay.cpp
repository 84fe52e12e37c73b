#include "TotalsDisplay.h"

#include "PosValues.h"
#include "TotalsView.h"
#include "externo/state/AppState.h"

#include <algorithm>

namespace zd::posdata {

namespace {

void hideAllTaxRows(TotalsView &view)
{
    for (int k = 0; k < TotalsView::kTaxRows; ++k)
        view.setTaxRow(k, false, {}, {}, {}, {});
}

} // namespace

void ClearTotalsDisplay(AppState &state, TotalsView &view)
{
    const QString zero = QStringLiteral("0");
    view.setTotalTexts(zero, zero, zero);
    state.SelectionBase = 0;
    hideAllTaxRows(view);
    view.setTaxFrameBottomToRow(-1);
    state.ReportTaxes = ReportTaxLabels{};
}

void ShowTaxRows(AppState &state, TotalsView &view)
{
    hideAllTaxRows(view);
    view.setTaxFrameBottomToRow(-1);
    // The report rows of this call replace those of the previous one.
    state.ReportTaxes = ReportTaxLabels{};
    const int count = std::min<int>(state.TaxRateCount, int(state.TaxRates.size()));
    int k = 0;
    for (int i = 0; i < count; ++i) {
        const TaxRateEntry &rate = state.TaxRates.at(i);
        if (rate.BaseTotal == 0)
            continue;
        const QString base = GeneralNumberText(rate.BaseTotal);
        const QString pct = GeneralNumberText(rate.Percentage);
        const QString iva = GeneralNumberText(rate.TaxTotal);
        if (k < TotalsView::kTaxRows) {
            view.setTaxRow(k, true, base, pct, iva, rate.Description.trimmed());
            view.setTaxFrameBottomToRow(k);
        }
        if (k < 3) {
            state.ReportTaxes.base[k] = base.trimmed();
            state.ReportTaxes.por[k] = pct.trimmed();
            state.ReportTaxes.iva[k] = iva.trimmed();
        }
        ++k;
    }
}

} // namespace zd::posdata
