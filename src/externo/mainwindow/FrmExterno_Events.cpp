// Delivers the operator's mouse, key and focus events of the trees and of
// the two search boxes to the window's handlers.
#include "FrmExterno.h"
#include "HeldKeys.h"
#include "HighlightDelegate.h"
#include "TreeNodes.h"

#include "externo/dialogs/FrmEspera.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTreeWidget>

#include <utility>

namespace zd {

namespace {

// The character code a key press types, as the key handlers take it:
// 13 Enter, 8 Backspace, 27 Escape, the typed character otherwise; 0 for a
// key that types nothing (arrows, Tab, Delete, modifiers).
int keyAsciiOf(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return 0;
    default:
        break;
    }
    const QString text = event->text();
    return text.isEmpty() ? 0 : text.at(0).unicode();
}

bool movesTheCursor(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

int keyCodeOf(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Down:
        return 40;
    default:
        return event->key();
    }
}

} // namespace

void FrmExterno::installChoosingHandlers()
{
    for (QTreeWidget *tree : TreeClient) {
        tree->installEventFilter(this);
        tree->viewport()->installEventFilter(this);
        // The yellow of a found node shows through the selection.
        tree->setItemDelegate(new HighlightDelegate(tree));
        // As in a tree that hides its selection without the focus.
        QPalette palette = tree->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::transparent);
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Inactive, QPalette::Text));
        tree->setPalette(palette);
    }
    TxtCliente->installEventFilter(this);
    TxtTique->installEventFilter(this);
    connect(TxtCliente, &QLineEdit::textEdited, this, [this](const QString &text) { TxtCliente_Edited(text); });
    m_heldKeys = std::make_unique<HeldKeys>(this, QList<QWidget *>{TxtCliente, TxtTique},
                                            [this] { return m_wait && m_wait->isVisible(); });
}

bool FrmExterno::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    auto *widget = qobject_cast<QWidget *>(watched);
    // Nothing reaches a handler while the window is disabled (wait window, message).
    const bool input = type == QEvent::KeyPress || type == QEvent::KeyRelease
        || type == QEvent::MouseButtonRelease;
    if (input && widget && !widget->isEnabled())
        return QWidget::eventFilter(watched, event);

    if (watched == TxtCliente || watched == TxtTique) {
        if (type == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            int keyAscii = keyAsciiOf(key);
            if (watched == TxtCliente && m_replaceCode) {
                // The code shown after a choice: the first character typed
                // replaces it; a key that moves the cursor keeps it for editing.
                if (keyAscii >= 32)
                    TxtCliente->selectAll();
                else if (movesTheCursor(key))
                    m_replaceCode = false;
            }
            if (keyAscii == 0)
                return false;
            if (watched == TxtCliente)
                TxtCliente_KeyPress(keyAscii);
            else
                TxtTique_KeyPress(keyAscii);
            return keyAscii == 0;   // a discarded key never reaches the box
        }
        if (type == QEvent::FocusOut && watched == TxtCliente)
            TxtCliente_LostFocus();
        // Losing the focus (to the wait window, to a tree) unselects the
        // code shown after a choice; it is selected again on return.
        if (type == QEvent::FocusIn && watched == TxtCliente && m_replaceCode)
            TxtCliente->selectAll();
        return false;
    }

    for (int index = 0; index < 3; ++index) {
        QTreeWidget *tree = TreeClient[index];
        if (watched == tree->viewport()) {
            // Qt delivers a double click as press, release, press,
            // double-click, release: the last release is no second click.
            if (type == QEvent::MouseButtonDblClick) {
                m_releaseEndsDoubleClick = true;
                return false;
            }
            if (type == QEvent::MouseButtonRelease
                && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                auto *mouse = static_cast<QMouseEvent *>(event);
                if (std::exchange(m_releaseEndsDoubleClick, false))
                    return false;
                const QPoint at = mouse->position().toPoint();
                if (tree->itemAt(at))
                    TreeClient_NodeClick(index);
                TreeClient_Click(index);
            }
            return false;
        }
        if (watched == tree) {
            switch (type) {
            case QEvent::KeyPress: {
                int keyAscii = keyAsciiOf(static_cast<QKeyEvent *>(event));
                if (keyAscii != 13)
                    return false;
                TreeClient_KeyPress(index, keyAscii);
                return true;   // Enter has no other meaning in a tree
            }
            case QEvent::KeyRelease:
                TreeClient_KeyUp(index, keyCodeOf(static_cast<QKeyEvent *>(event)));
                return false;
            case QEvent::FocusIn:
                TreeClient_GotFocus(index);
                return false;
            case QEvent::FocusOut:
                TreeClient_LostFocus(index);
                return false;
            default:
                return false;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zd
