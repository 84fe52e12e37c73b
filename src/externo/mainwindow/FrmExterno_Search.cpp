// Finding a customer by typing in TxtCliente, and a ticket or document by
// typing in TxtTique.
#include "FrmExterno.h"
#include "TreeNodes.h"

#include "externo/posdata/CustomerLookup.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace zd {

namespace {

const QColor kHighlight(255, 255, 0);

// Leading and trailing blanks only: a carriage return stays, so Enter's
// search text matches no name.
QString blankTrimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString comparable(const QString &text)
{
    return blankTrimmed(text.toLower());
}

// The text the box will hold once the key has been typed: a selection is
// replaced, Backspace removes the selection or the character before the
// cursor, and a full box takes nothing more.
QString textAfterKey(const QLineEdit *box, int keyAscii)
{
    QString text = box->text();
    qsizetype start = box->cursorPosition();
    qsizetype length = 0;
    if (box->hasSelectedText()) {
        start = box->selectionStart();
        length = box->selectedText().size();
    }
    if (keyAscii == 8) {
        if (length == 0 && start > 0) {
            --start;
            length = 1;
        }
        return text.remove(start, length);
    }
    text.replace(start, length, QString(QChar(char16_t(keyAscii))));
    return text.size() > box->maxLength() ? box->text() : text;
}

} // namespace

void FrmExterno::TxtCliente_KeyPress(int &keyAscii)
{
    // Typed characters, Backspace and the other editing keys search through
    // the box's own edit (TxtCliente_Edited); Enter is handled here.
    if (keyAscii != 13)
        return;
    if (nodes::nodeCount(TreeClient[0]) <= 1)
        return;
    const int index = customerForEnter();
    if (index >= 2)
        chooseCustomer(index, false);
    TxtCliente->setFocus();
}

void FrmExterno::TxtCliente_Edited(const QString &text)
{
    m_replaceCode = false;
    const QString search = comparable(text);
    if (search.isEmpty() || nodes::nodeCount(TreeClient[0]) <= 1)
        return;   // an empty box searches nothing
    const int index = searchCustomers(QStringLiteral("-") + search, search);
    m_typed = {text, index};
    if (index < 2)
        return;
    if (index == m_state.SelectedCustomerIndex) {
        // The same customer as before: its list is already shown.
        nodes::select(TreeClient[0], index);
        nodes::setBackground(nodes::node(TreeClient[0], index), kHighlight);
    } else {
        chooseCustomer(index, true);
    }
    TxtCliente->setFocus();
}

int FrmExterno::customerForEnter()
{
    const QString text = TxtCliente->text();
    // The customer whose code was typed (or shown after a choice).
    if (const int byCode = posdata::CustomerNodeByCode(m_state, text))
        return byCode;
    // The name the operator typed still finds the customer it found.
    if (m_typed.index >= 2 && m_typed.text == text)
        return m_typed.index;
    // The search text ends in a carriage return, so the name pass finds
    // nothing; the second pass looks for the box's text anywhere.
    return searchCustomers(QStringLiteral("-") + comparable(text + QChar(u'\r')), comparable(text));
}

int FrmExterno::searchCustomers(const QString &namePrefix, const QString &anywhere)
{
    QTreeWidget *customers = TreeClient[0];
    const int count = nodes::nodeCount(customers);
    // First pass: a name (or any part after a "-") that starts with the text.
    for (int i = 2; i <= count; ++i) {
        QTreeWidgetItem *item = nodes::node(customers, i);
        if (!item)
            return 0;   // the tree changed under the search
        if (comparable(item->text(0)).contains(namePrefix))
            return i;
        if (nodes::background(item) != QColor(Qt::white))
            nodes::setBackground(item, Qt::white);
    }
    // Second pass: the code or name containing the text anywhere.
    for (int i = 2; i <= count; ++i) {
        if (comparable(nodes::node(customers, i)->text(0)).contains(anywhere))
            return i;
    }
    return 0;
}

void FrmExterno::chooseCustomer(int index, bool typed)
{
    QTreeWidget *customers = TreeClient[0];
    nodes::select(customers, index);
    nodes::setBackground(nodes::node(customers, index), kHighlight);
    m_choosingByTyping = typed;
    TreeClient_NodeClick(0);
    TreeClient_Click(0);
    m_choosingByTyping = false;
}

void FrmExterno::showChosenCode()
{
    const int index = m_state.SelectedCustomerIndex;
    if (index < 2 || index >= m_state.Customers.size())
        return;
    TxtCliente->setText(m_state.Customers.at(index).codigo);
    TxtCliente->selectAll();
    m_replaceCode = true;
    m_typed = {};
}

void FrmExterno::TxtCliente_LostFocus()
{
    TxtInfoTique->clear();
}

void FrmExterno::TxtTique_KeyPress(int &keyAscii)
{
    const bool documentView = m_state.DocumentViewActive;
    const int treeIndex = documentView ? 2 : 1;
    QTreeWidget *tree = TreeClient[treeIndex];

    if (keyAscii == 13) {
        if (nodes::selectedIndex(tree) > 1) {
            TreeClient_Click(treeIndex);
            TxtCliente->clear();
        }
        return;
    }
    const bool control = keyAscii >= 0 && keyAscii < 32;
    const bool searching = documentView ? (control || keyAscii <= 127)
                                        : (control || (keyAscii >= '0' && keyAscii <= '9'));
    if (!searching) {
        keyAscii = 0;
        return;
    }
    const int count = nodes::nodeCount(tree);
    if (count < 2)
        return;

    const int selected = nodes::selectedIndex(tree);
    if (selected > 1)
        nodes::setBackground(nodes::node(tree, selected), Qt::white);

    // A ticket is found by the start of its number, a document anywhere in its id.
    auto keyText = [&](const QTreeWidgetItem *item) {
        QString text = item->text(0);
        if (!documentView) {
            const qsizetype dash = text.indexOf(QStringLiteral(" -"));
            if (dash >= 0)
                text.truncate(dash);
        }
        return comparable(text);
    };
    auto matches = [&](const QString &key, const QString &search) {
        return documentView ? key.contains(search) : key.startsWith(search);
    };

    if (keyAscii == 8) {
        if (!blankTrimmed(TxtTique->text()).isEmpty()) {
            const QString search = comparable(textAfterKey(TxtTique, keyAscii));
            for (int i = 2; i <= count; ++i) {
                const QTreeWidgetItem *item = nodes::node(tree, i);
                if (item && matches(keyText(item), search) && nodes::image(item) != 5) {
                    HighlightListNode(i);
                    break;
                }
            }
        }
    } else {
        const QString search = comparable(textAfterKey(TxtTique, keyAscii));
        for (int i = 2; i <= count; ++i) {
            const QTreeWidgetItem *item = nodes::node(tree, i);
            if (!item)
                break;
            if (!matches(keyText(item), search)) {
                TxtInfoTique->clear();
                continue;
            }
            if (nodes::image(item) != 5) {   // a chosen ticket is passed over
                HighlightListNode(i);
                break;
            }
        }
    }
    TxtTique->setFocus();
}

void FrmExterno::HighlightListNode(int index)
{
    QTreeWidget *tree = TreeClient[m_state.DocumentViewActive ? 2 : 1];
    QTreeWidgetItem *item = nodes::node(tree, index);
    if (!item)
        return;
    nodes::select(tree, index);
    nodes::setBackground(item, kHighlight);
    if (!m_state.DocumentViewActive)
        ShowTicketInfo();
}

} // namespace zd
