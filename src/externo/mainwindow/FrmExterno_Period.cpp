// The list's period, its sort order and clearing the chosen tickets.
#include "FrmExterno.h"
#include "TreeNodes.h"

#include "externo/dialogs/Var.h"
#include "externo/posdata/TaxBreakdown.h"
#include "externo/posdata/TotalsDisplay.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace zd {

namespace {

// A date field holds a date when its whole text is one: an empty field
// ("__/__/____"), a half-typed one or 31/02/2021 do not.
std::optional<QDate> fieldDate(const QLineEdit *field)
{
    const QDate date = QDate::fromString(field->displayText(), QStringLiteral("dd/MM/yyyy"));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace

std::optional<std::pair<QDate, QDate>> FrmExterno::ValidPeriod() const
{
    const auto from = fieldDate(MaskDesde);
    const auto to = fieldDate(MaskHasta);
    if (!from || !to)
        return std::nullopt;
    if (*from > *to)
        return std::pair{*to, *from};
    return std::pair{*from, *to};
}

void FrmExterno::clearSelectionTotals()
{
    posdata::ClearTaxTotals(m_state);
    posdata::ClearTotalsDisplay(m_state, *this);
    m_state.SelectionBase = 0;
    m_state.SelectionTax = 0;
}

void FrmExterno::CmdPeriodo_Click()
{
    if (!ValidPeriod()) {
        ShowMessage(m_state, QStringLiteral("PERIODE NON VALIDE"), 1);
        // The list without a period, then both fields emptied.
        FillCurrentList();
        MaskDesde->clear();
        MaskHasta->clear();
    } else {
        FillCurrentList();
    }
    clearSelectionTotals();
}

void FrmExterno::setSortButtonFonts(QPushButton *pressed, QPushButton *other)
{
    QFont font = pressed->font();
    font.setUnderline(true);
    font.setItalic(true);
    pressed->setFont(font);
    font = other->font();
    font.setUnderline(false);
    font.setItalic(false);
    other->setFont(font);
}

void FrmExterno::CmdTiqAsc_Click()
{
    m_state.SortDirection = QStringLiteral("ASC");
    setSortButtonFonts(CmdTiqAsc, CmdTiqDesc);
    FillCurrentList();
    clearSelectionTotals();
}

void FrmExterno::CmdTiqDesc_Click()
{
    m_state.SortDirection = QStringLiteral("DESC");
    setSortButtonFonts(CmdTiqDesc, CmdTiqAsc);
    FillCurrentList();
    clearSelectionTotals();
}

void FrmExterno::CmdBorraSel_Click()
{
    ListView1->clear();
    QTreeWidget *tickets = TreeClient[1];
    for (int i = 2; i <= nodes::nodeCount(tickets); ++i)
        nodes::setImage(nodes::node(tickets, i), 4);
    clearSelectionTotals();
}

} // namespace zd
