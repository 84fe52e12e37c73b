#pragma once
#include <QObject>
#include <memory>

class QSocketNotifier;

namespace zd::teclado {

// Keeps an unmanaged (override-redirect) window at the top of the X stack.
// On XWayland the compositor draws such a window above the others, but the X
// server hands a click to the window on top of the X stack: when the
// compositor's window manager restacks a window above it (the operator
// touched it, a dialog closed), the next tap would land on that window. The
// window is raised again as soon as any other top-level window is mapped or
// restacked, and each raise goes out at once. Xlib stays in the .cpp file.
class KeepAbove : public QObject {
    Q_OBJECT
public:
    // `window`: the X id of the window to keep on top. Opens its own
    // connection to the display named by $DISPLAY; without one it does
    // nothing.
    explicit KeepAbove(quint64 window, QObject *parent = nullptr);
    ~KeepAbove() override;

    // Raises the window now and flushes the request to the X server.
    void raise();

private:
    void readEvents();

    struct Impl;
    std::unique_ptr<Impl> d;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace zd::teclado
