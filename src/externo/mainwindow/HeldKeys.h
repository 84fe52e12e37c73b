#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>

class QKeyEvent;

namespace zd {

// Keys the operator types into a search box of the main window while a
// list reloads behind the wait window, which disables the main window: Qt
// would drop them. They are held, in order, and handed to the box they were
// typed into once the window is enabled again; keys typed meanwhile wait
// behind them. Clicks are not held: the disabled window still refuses them.
class HeldKeys : public QObject {
public:
    // `boxes`: the search boxes of `window` whose keys are held.
    // `holding`: whether the window is disabled by a reload (not by a message).
    // The owner deletes it before `window` and whatever `holding` reads.
    HeldKeys(QWidget *window, QList<QWidget *> boxes, std::function<bool()> holding);
    ~HeldKeys() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Held {
        std::unique_ptr<QKeyEvent> event;
        QPointer<QWidget> box;
    };
    void replay();

    QWidget *m_window;
    QList<QWidget *> m_boxes;
    std::function<bool()> m_holding;
    // The box that had the focus last; disabling the window takes the focus away.
    QPointer<QWidget> m_box;
    std::deque<Held> m_held;
    bool m_replaying = false;
};

} // namespace zd
