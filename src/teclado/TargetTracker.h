#pragma once
#include <QString>
#include <QtGlobal>
#include <memory>

namespace zd::teclado {

// Follows the window the operator types into: the active window of the X
// display (EWMH _NET_ACTIVE_WINDOW, or the input focus when no window manager
// runs), never the keyboard itself. Xlib stays in the .cpp file.
class TargetTracker {
public:
    using WindowId = quint64;

    // Opens the display named by $DISPLAY; without one the tracker is
    // invalid and finds no window.
    TargetTracker();
    ~TargetTracker();
    TargetTracker(const TargetTracker &) = delete;
    TargetTracker &operator=(const TargetTracker &) = delete;

    bool isValid() const;

    // The foreground (active) top-level window, 0 when there is none.
    WindowId foregroundWindow() const;
    // Its title (at most 1024 characters).
    QString windowTitle(WindowId window) const;

    // The tracking step: the foreground window becomes the target unless its
    // title, lower-cased, is `ownTitle`.
    void track(const QString &ownTitle);
    WindowId TargetWindow() const { return m_target; }

    // Raises and activates a window (no move, no resize) and waits briefly
    // until it is active.
    void activate(WindowId window);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    WindowId m_target = 0;
};

} // namespace zd::teclado
