// Totals and tax rows of the main window.
#include "FrmExterno.h"

#include "externo/posdata/TaxBreakdown.h"
#include "externo/posdata/TotalsDisplay.h"

#include <QLabel>
#include <QLineEdit>

namespace zd {

void FrmExterno::clearTotalsOnLoad()
{
    posdata::LoadTaxRates(m_state);
    posdata::ClearTaxTotals(m_state);
    posdata::ClearTotalsDisplay(m_state, *this);
    m_state.SelectionBase = 0;
}

void FrmExterno::setTotalTexts(const QString &bruto, const QString &impuestos, const QString &total)
{
    TxtTotalBruto->setText(bruto);
    TxtTotalImpuestos->setText(impuestos);
    TxtTotal->setText(total);
}

void FrmExterno::setTaxRow(int k, bool visible, const QString &base, const QString &pct, const QString &iva,
                           const QString &description)
{
    if (k < 0 || k >= kTaxRows)
        return;
    if (visible) {
        TxtBase[k]->setText(base);
        txtPorcentaje[k]->setText(pct);
        TxtIva[k]->setText(iva);
        LblDesIva[k]->setText(description);
    }
    TxtBase[k]->setVisible(visible);
    txtPorcentaje[k]->setVisible(visible);
    TxtIva[k]->setVisible(visible);
    LblDesIva[k]->hide();   // the rate's name is kept, not shown
}

void FrmExterno::setTaxFrameBottomToRow(int k)
{
    if (k < 0 || k >= kTaxRows)
        setTaxFrameBottom(line1Bottom());
    else
        setTaxFrameBottom(TxtBase[k]->geometry().bottom() + 1);
}

} // namespace zd
