// Finding a customer by typing in TxtCliente, and a ticket or document by
// typing in TxtTique.
#include "FrmExterno.h"
#include "TreeNodes.h"

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
// replaced (after a customer is chosen its whole code is selected, so the
// next key starts a new search), Backspace removes the selection or the
// character before the cursor, and a full box takes nothing more.
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
    if (keyAscii <= 32 && keyAscii != 13)
        return;
    QTreeWidget *customers = TreeClient[0];
    const int count = nodes::nodeCount(customers);
    if (count <= 1)
        return;

    const bool enter = keyAscii == 13;
    const QString search = enter ? comparable(TxtCliente->text() + QChar(u'\r'))
                                 : comparable(textAfterKey(TxtCliente, keyAscii));
    auto choose = [&](int index) {
        nodes::select(customers, index);
        nodes::setBackground(nodes::node(customers, index), kHighlight);
        TreeClient_NodeClick(0);
        TreeClient_Click(0);
    };

    // First pass: a name (or any part after a "-") that starts with the text.
    const QString namePrefix = QStringLiteral("-") + search;
    bool found = false;
    for (int i = 2; i <= count && !found; ++i) {
        QTreeWidgetItem *item = nodes::node(customers, i);
        if (!item)
            break;   // the tree changed under the search
        if (comparable(item->text(0)).contains(namePrefix)) {
            choose(i);
            found = true;
        } else if (nodes::background(item) != QColor(Qt::white)) {
            nodes::setBackground(item, Qt::white);
        }
    }

    // Second pass: the code or name containing the text anywhere.
    if (!found) {
        const QString anywhere = enter ? comparable(TxtCliente->text()) : search;
        for (int i = 2; i <= count; ++i) {
            QTreeWidgetItem *item = nodes::node(customers, i);
            if (!item)
                break;
            if (comparable(item->text(0)).contains(anywhere)) {
                choose(i);
                break;
            }
        }
    }
    TxtCliente->setFocus();
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
