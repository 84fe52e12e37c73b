#include "HeldKeys.h"

#include <QApplication>
#include <QKeyEvent>

namespace zd {

HeldKeys::HeldKeys(QWidget *window, QList<QWidget *> boxes, std::function<bool()> holding)
    : m_window(window)
    , m_boxes(std::move(boxes))
    , m_holding(std::move(holding))
{
    // Application-wide: with the window disabled Qt hands its keys to no
    // widget's own filter that could keep them.
    qApp->installEventFilter(this);
}

HeldKeys::~HeldKeys()
{
    qApp->removeEventFilter(this);
}

bool HeldKeys::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::FocusIn
        && type != QEvent::EnabledChange)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window)
        return false;

    switch (type) {
    case QEvent::FocusIn:
        m_box = m_boxes.contains(widget) ? widget : nullptr;
        return false;
    case QEvent::EnabledChange:
        if (widget == m_window && m_window->isEnabled() && !m_held.empty())
            QMetaObject::invokeMethod(this, &HeldKeys::replay, Qt::QueuedConnection);
        return false;
    default:
        break;
    }

    // Keys from the keyboard (physical or synthesised by the X server), not
    // those handed on here; the main window receives them when no widget
    // has the focus any more.
    if (!event->spontaneous() || !m_box)
        return false;
    const bool disabledByReload = !m_window->isEnabled() && m_holding();
    if (!disabledByReload && (m_held.empty() || !m_window->isEnabled()))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    m_held.push_back({std::unique_ptr<QKeyEvent>(key->clone()), m_box});
    return true;
}

void HeldKeys::replay()
{
    if (m_replaying)
        return;
    m_replaying = true;
    // A held key may reload a list again: the keys typed meanwhile join the
    // end of the queue, and the rest waits while the window is disabled.
    while (!m_held.empty() && m_window->isEnabled()) {
        Held held = std::move(m_held.front());
        m_held.pop_front();
        if (!held.box || !held.box->isVisible())
            continue;
        if (QApplication::focusWidget() != held.box)
            held.box->setFocus();
        QApplication::sendEvent(held.box, held.event.get());
    }
    m_replaying = false;
}

} // namespace zd
