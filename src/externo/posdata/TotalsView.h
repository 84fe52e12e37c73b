#pragma once
#include <QString>

namespace zd::posdata {

// What the totals routines show on the main window: the three total boxes
// and the five tax rows with the two vertical lines of their frame. The
// main window implements it; the routines never touch a widget.
class TotalsView {
public:
    static constexpr int kTaxRows = 5;

    virtual ~TotalsView() = default;
    // TxtTotalBruto, TxtTotalImpuestos, TxtTotal.
    virtual void setTotalTexts(const QString &bruto, const QString &impuestos,
                               const QString &total) = 0;
    // Row k (0..4): TxtBase(k), txtPorcentaje(k), TxtIva(k) shown or hidden
    // with their texts; LblDesIva(k) gets the description but stays hidden.
    // Hiding passes empty texts; a window may keep the old ones.
    virtual void setTaxRow(int k, bool visible, const QString &base, const QString &pct,
                           const QString &iva, const QString &description) = 0;
    // The lower end of Line2 and Line3: the bottom of TxtBase(k), or with
    // k = -1 the lower end of Line1 (no row shown).
    virtual void setTaxFrameBottomToRow(int k) = 0;
};

} // namespace zd::posdata
