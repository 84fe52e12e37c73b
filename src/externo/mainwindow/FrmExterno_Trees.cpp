// The three trees: choosing a customer, choosing and releasing tickets, and
// filling the list of the current view.
#include "FrmExterno.h"
#include "TreeNodes.h"

#include "externo/dialogs/FrmEspera.h"
#include "externo/dialogs/Var.h"
#include "externo/posdata/ListQueries.h"
#include "externo/posdata/TaxBreakdown.h"
#include "externo/posdata/TicketLines.h"
#include "externo/posdata/TicketNodes.h"
#include "externo/posdata/TotalsDisplay.h"
#include "externo/sql/Connection.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <optional>
#include <utility>

namespace zd {

namespace {

constexpr int kColumnMontant = 7;
constexpr int kColumnIdExterno = 8;

// Both date fields hold a date ("__/__/____", a half-typed field or
// 31/02/2021 do not): From and To, in that order.
std::optional<std::pair<QDate, QDate>> periodOf(const QLineEdit *from, const QLineEdit *to)
{
    const QString format = QStringLiteral("dd/MM/yyyy");
    const QDate a = QDate::fromString(from->displayText(), format);
    const QDate b = QDate::fromString(to->displayText(), format);
    if (!a.isValid() || !b.isValid())
        return std::nullopt;
    return a <= b ? std::pair{a, b} : std::pair{b, a};
}

QList<QTreeWidgetItem *> lineItems(const QVector<QStringList> &rows)
{
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const QStringList &row : rows) {
        auto *item = new QTreeWidgetItem(row);
        item->setTextAlignment(kColumnMontant, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    return items;
}

} // namespace

void FrmExterno::TreeClient_Click(int index)
{
    switch (index) {
    case 0:
        customerClick();
        break;
    case 1: {
        // Tickets act only while a customer node is selected.
        if (nodes::selectedIndex(TreeClient[0]) < 2)
            return;
        const int selected = nodes::selectedIndex(TreeClient[1]);
        if (selected == 1)
            ticketRootClick();
        else if (selected > 1)
            ticketClick();
        break;
    }
    case 2:
        if (m_documentClick)
            m_documentClick();
        break;
    default:
        break;
    }
}

void FrmExterno::TreeClient_NodeClick(int index)
{
    // The customers' root hands the keyboard to the list of the view.
    if (index != 0 || nodes::selectedIndex(TreeClient[0]) != 1)
        return;
    if (TreeClient[1]->isEnabled())
        TreeClient[1]->setFocus();
    if (TreeClient[2]->isEnabled())
        TreeClient[2]->setFocus();
}

void FrmExterno::TreeClient_KeyPress(int index, int &keyAscii)
{
    if (keyAscii != 13 || index < 0 || index > 2)
        return;
    if (nodes::selectedIndex(TreeClient[index]) == 1) {
        keyAscii = 0;
        return;
    }
    TreeClient_Click(index);
}

void FrmExterno::TreeClient_KeyUp(int index, int keyCode)
{
    if (index == 1 && (keyCode == 38 || keyCode == 40))
        ShowTicketInfo();
}

void FrmExterno::TreeClient_GotFocus(int index)
{
    if (index != 1)
        return;
    const int selected = nodes::selectedIndex(TreeClient[1]);
    if (selected > 1) {
        nodes::setBackground(nodes::node(TreeClient[1], selected), Qt::white);
        TxtTique->clear();
    }
}

void FrmExterno::TreeClient_LostFocus(int index)
{
    if (index != 1)
        return;
    TxtInfoTique->clear();
    TxtInfoTique->repaint();
}

void FrmExterno::customerClick()
{
    QTreeWidget *customers = TreeClient[0];
    const int index = nodes::selectedIndex(customers);
    if (index < 2)
        return;

    posdata::ClearTaxTotals(m_state);
    posdata::ClearTotalsDisplay(m_state, *this);
    m_state.SelectionBase = 0;
    m_state.SelectionTax = 0;
    m_state.SelectedDocumentIndex = 0;
    TxtFacAlb->clear();

    nodes::setImage(nodes::node(customers, index), 3);
    const bool newCustomer = index != m_state.SelectedCustomerIndex;
    if (newCustomer) {
        if (m_state.SelectedCustomerIndex != 0) {
            QTreeWidgetItem *previous = nodes::node(customers, m_state.SelectedCustomerIndex);
            nodes::setImage(previous, 2);
            nodes::setBackground(previous, Qt::white);
        }
        m_state.SelectedCustomerIndex = qint16(index);
        ShowCustomerDetails();
    }

    showWait();
    FillCurrentList();
    unloadWait();
    TxtCliente->setFocus();
    // The wait window took the focus and with it the selection of the code:
    // a customer chosen by a click (or Enter, or at start) shows its code,
    // selected, so that the next key typed replaces it.
    if (!m_choosingByTyping)
        showChosenCode();
}

void FrmExterno::FillCurrentList()
{
    const bool documentView = m_state.DocumentViewActive;
    QTreeWidget *tree = TreeClient[documentView ? 2 : 1];
    const auto period = periodOf(MaskDesde, MaskHasta);
    // The chosen customer names both the query and the list's root, so the
    // root never shows another customer than the one whose list it holds.
    QTreeWidgetItem *customer = m_state.SelectedCustomerIndex >= 2
        ? nodes::node(TreeClient[0], m_state.SelectedCustomerIndex)
        : nullptr;
    const QString customerText = customer ? customer->text(0) : QString();

    posdata::ListResult result;
    if (documentView) {
        result = period ? posdata::ListCustomerDocumentsInPeriod(m_state, period->first, period->second)
                        : posdata::ListCustomerDocuments(m_state);
        if (result.status == posdata::ListResult::Unreachable) {
            TakeOfflinePath(m_state);
            return;
        }
        m_corrected = result.corrected;
    } else {
        result = period ? posdata::ListOpenTicketsInPeriod(m_state, customerText, period->first, period->second)
                        : posdata::ListOpenTickets(m_state, customerText);
    }

    tree->setUpdatesEnabled(false);
    tree->clear();
    ListView1->clear();
    if (result.status != posdata::ListResult::NoCustomer && customer) {
        QTreeWidgetItem *root = nodes::addRoot(
            tree, documentView ? QStringLiteral("FACTURAS") : QStringLiteral("TQTNOFACTURAS"), customerText, 2);
        QList<QTreeWidgetItem *> children;
        children.reserve(result.nodeTexts.size());
        for (const QString &text : std::as_const(result.nodeTexts)) {
            auto *child = new QTreeWidgetItem(QStringList{text});
            nodes::setImage(child, documentView ? documentPicture(text) : 4);
            children.append(child);
        }
        root->addChildren(children);
        // After a failed query the nodes read so far stay, folded.
        root->setExpanded(result.status == posdata::ListResult::Ok);
    }
    tree->setUpdatesEnabled(true);
}

void FrmExterno::ticketRootClick()
{
    QTreeWidget *tickets = TreeClient[1];
    const int count = nodes::nodeCount(tickets);
    QStringList unreadable;

    showWait();
    if (m_state.AllTicketsSelected) {
        m_state.AllTicketsSelected = false;
        ListView1->clear();
        for (int i = 2; i <= count; ++i)
            nodes::setImage(nodes::node(tickets, i), 4);
        posdata::ClearTaxTotals(m_state);
        posdata::ClearTotalsDisplay(m_state, *this);
        m_state.SelectionBase = 0;
        m_state.SelectionTax = 0;
    } else {
        m_state.AllTicketsSelected = true;
        // One repaint at the end, not one per ticket; the totals too.
        setUpdatesEnabled(false);
        holdTotalsDisplay();
        for (int i = 2; i <= count; ++i) {
            QTreeWidgetItem *ticket = nodes::node(tickets, i);
            if (nodes::image(ticket) == 5)
                continue;
            if (!posdata::ReadTicketNode(m_state, ticket->text(0)))
                continue;
            // A ticket that cannot be read stays unchosen; the others go on.
            if (!addTicketLines(0, nullptr)) {
                unreadable << QString::number(m_state.CurrentTicketNumber);
                continue;
            }
            nodes::setImage(ticket, 5);
        }
        releaseTotalsDisplay();
        setUpdatesEnabled(true);
    }
    unloadWait();
    if (!unreadable.isEmpty()) {
        // A lost connection fails every ticket: name the first few only.
        QString numbers = unreadable.mid(0, 5).join(QStringLiteral(", "));
        if (unreadable.size() > 5)
            numbers += QStringLiteral("...");
        tellTicketReadError(numbers);
    }
}

void FrmExterno::ticketClick()
{
    m_state.AllTicketsSelected = false;
    QTreeWidgetItem *ticket = nodes::node(TreeClient[1], nodes::selectedIndex(TreeClient[1]));
    if (!ticket || !posdata::ReadTicketNode(m_state, ticket->text(0)))
        return;

    if (nodes::image(ticket) != 5) {
        if (!addTicketLines(1, nullptr)) {
            tellTicketReadError(QString::number(m_state.CurrentTicketNumber));
            return;
        }
        nodes::setImage(ticket, 5);
        return;
    }

    // Release: the lines this ticket added are those carrying its
    // point-of-sale id (ticket numbers repeat between document types).
    const QString id = QString::number(m_state.CurrentTicketId);
    QList<int> rows;
    for (int r = 0; r < ListView1->topLevelItemCount(); ++r) {
        if (ListView1->topLevelItem(r)->text(kColumnIdExterno).trimmed() == id)
            rows.append(r);
    }
    // A ticket chosen without lines added no taxes either: nothing to take off.
    if (!rows.isEmpty() && !posdata::SubtractTicketTaxes(m_state, *this, m_state.CurrentTicketId)) {
        tellTicketReadError(QString::number(m_state.CurrentTicketNumber));
        return;
    }
    for (int k = rows.size() - 1; k >= 0; --k)
        delete ListView1->takeTopLevelItem(rows.at(k));
    nodes::setImage(ticket, 4);
}

bool FrmExterno::addTicketLines(int numberingStart, QString *error)
{
    const posdata::TicketLinesResult lines = posdata::ReadTicketLines(
        m_state, m_state.CurrentTicketId, m_state.CurrentTicketNumber, numberingStart);
    if (!lines.ok) {
        if (error)
            *error = lines.error;
        return false;
    }
    if (lines.rows.isEmpty())
        return true;
    // Taxes first: when they cannot be read, no line has been added yet.
    if (!posdata::AddTicketTaxes(m_state, *this, m_state.CurrentTicketId)) {
        if (error)
            *error = m_state.PosConnection ? m_state.PosConnection->lastError() : QString();
        return false;
    }
    // The ticket's lines go on top, in their own order.
    ListView1->insertTopLevelItems(0, lineItems(lines.rows));
    return true;
}

void FrmExterno::tellTicketReadError(const QString &ticketNumbers)
{
    const bool several = ticketNumbers.contains(QLatin1Char(','));
    ShowMessage(m_state,
                (several ? QStringLiteral("IMPOSSIBLE DE LIRE LES TICKETS ")
                         : QStringLiteral("IMPOSSIBLE DE LIRE LE TICKET "))
                    + ticketNumbers + QStringLiteral("."),
                1);
}

void FrmExterno::showWait()
{
    if (!m_wait)
        m_wait = std::make_unique<FrmEspera>(m_state);
    m_wait->show();
    m_wait->Activate();
}

void FrmExterno::unloadWait()
{
    if (m_wait)
        m_wait->Unload();
}

} // namespace zd
