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

void FrmExterno::holdTotalsDisplay()
{
    if (!m_heldTotals)
        m_heldTotals.emplace();
}

void FrmExterno::releaseTotalsDisplay()
{
    if (!m_heldTotals)
        return;
    const HeldTotals held = std::move(*m_heldTotals);
    m_heldTotals.reset();
    if (held.totals)
        showTotalTexts(held.totals->at(0), held.totals->at(1), held.totals->at(2));
    for (int k = 0; k < kTaxRows; ++k) {
        const HeldTaxRow &row = held.rows.at(k);
        if (!row.touched)
            continue;
        // The texts of the last shown state, then the last visibility.
        if (row.hasTexts && !row.visible)
            showTaxRow(k, true, row.base, row.pct, row.iva, row.description);
        showTaxRow(k, row.visible, row.base, row.pct, row.iva, row.description);
    }
    if (held.frameRow)
        showTaxFrameBottomToRow(*held.frameRow);
}

void FrmExterno::setTotalTexts(const QString &bruto, const QString &impuestos, const QString &total)
{
    if (m_heldTotals) {
        m_heldTotals->totals = std::array<QString, 3>{bruto, impuestos, total};
        return;
    }
    showTotalTexts(bruto, impuestos, total);
}

void FrmExterno::setTaxRow(int k, bool visible, const QString &base, const QString &pct, const QString &iva,
                           const QString &description)
{
    if (m_heldTotals && k >= 0 && k < kTaxRows) {
        HeldTaxRow &row = m_heldTotals->rows[k];
        row.touched = true;
        row.visible = visible;
        if (visible) {
            row.hasTexts = true;
            row.base = base;
            row.pct = pct;
            row.iva = iva;
            row.description = description;
        }
        return;
    }
    showTaxRow(k, visible, base, pct, iva, description);
}

void FrmExterno::setTaxFrameBottomToRow(int k)
{
    if (m_heldTotals) {
        m_heldTotals->frameRow = k;
        return;
    }
    showTaxFrameBottomToRow(k);
}

void FrmExterno::showTotalTexts(const QString &bruto, const QString &impuestos, const QString &total)
{
    TxtTotalBruto->setText(bruto);
    TxtTotalImpuestos->setText(impuestos);
    TxtTotal->setText(total);
}

void FrmExterno::showTaxRow(int k, bool visible, const QString &base, const QString &pct, const QString &iva,
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

void FrmExterno::showTaxFrameBottomToRow(int k)
{
    if (k < 0 || k >= kTaxRows)
        setTaxFrameBottom(line1Bottom());
    else
        setTaxFrameBottom(TxtBase[k]->geometry().bottom() + 1);
}

} // namespace zd
