#include "KeepAbove.h"

#include <QSocketNotifier>

// Xlib after every Qt header: it defines Bool, Status, None.
#include <X11/Xlib.h>

namespace zd::teclado {

namespace {
// A window that vanished between two requests must not end the program.
int ignoreXErrors(Display *, XErrorEvent *) { return 0; }
} // namespace

struct KeepAbove::Impl {
    Display *dpy = nullptr;
    Window window = 0;

    ~Impl()
    {
        if (dpy)
            XCloseDisplay(dpy);
    }
};

KeepAbove::KeepAbove(quint64 window, QObject *parent) : QObject(parent), d(std::make_unique<Impl>())
{
    d->window = static_cast<Window>(window);
    XSetErrorHandler(ignoreXErrors);
    d->dpy = XOpenDisplay(nullptr);
    if (!d->dpy)
        return;
    // Maps and restacks of every top-level window: the root's substructure.
    XSelectInput(d->dpy, DefaultRootWindow(d->dpy), SubstructureNotifyMask);
    XFlush(d->dpy);
    m_notifier = new QSocketNotifier(ConnectionNumber(d->dpy), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &KeepAbove::readEvents);
}

KeepAbove::~KeepAbove() = default;

void KeepAbove::raise()
{
    if (!d->dpy)
        return;
    XRaiseWindow(d->dpy, d->window);
    XFlush(d->dpy);
}

void KeepAbove::readEvents()
{
    bool covered = false;
    while (XPending(d->dpy)) {
        XEvent ev;
        XNextEvent(d->dpy, &ev);
        // Our own raise comes back as a ConfigureNotify of our window.
        if ((ev.type == ConfigureNotify && ev.xconfigure.window != d->window)
            || (ev.type == MapNotify && ev.xmap.window != d->window))
            covered = true;
    }
    if (covered)
        raise();
}

} // namespace zd::teclado
