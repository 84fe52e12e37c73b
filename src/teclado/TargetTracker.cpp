#include "TargetTracker.h"

#include <QDeadlineTimer>
#include <QThread>

// Xlib after every Qt header: it defines Bool, Status, None.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace zd::teclado {

namespace {

// A window that vanished between two requests must not end the program
// (Xlib's default handler exits on any error).
int ignoreXErrors(Display *, XErrorEvent *) { return 0; }

constexpr int MaxTitle = 1024;
constexpr int ActivationWaitMs = 200;
} // namespace

struct TargetTracker::Impl {
    Display *dpy = nullptr;
    Window root = 0;
    Atom netActive = 0, netWmName = 0, utf8 = 0, wmCheck = 0;

    ~Impl()
    {
        if (dpy)
            XCloseDisplay(dpy);
    }

    // One property of type WINDOW, 0 when absent.
    Window windowProperty(Window w, Atom property) const
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        Window result = 0;
        if (XGetWindowProperty(dpy, w, property, 0, 1, False, XA_WINDOW, &type, &format, &count,
                               &after, &data) == Success && data) {
            if (type == XA_WINDOW && format == 32 && count == 1)
                result = *reinterpret_cast<Window *>(data);
            XFree(data);
        }
        return result;
    }

    bool windowManagerRuns() const { return windowProperty(root, wmCheck) != 0; }

    QString title(Window w) const
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        QString text;
        if (XGetWindowProperty(dpy, w, netWmName, 0, MaxTitle, False, utf8, &type, &format, &count,
                               &after, &data) == Success && data) {
            if (type == utf8 && format == 8)
                text = QString::fromUtf8(reinterpret_cast<const char *>(data), count);
            XFree(data);
        }
        if (text.isEmpty()) {
            char *name = nullptr;
            if (XFetchName(dpy, w, &name) && name) {
                text = QString::fromLatin1(name);
                XFree(name);
            }
        }
        return text.left(MaxTitle);
    }

    bool hasTitle(Window w) const
    {
        char *name = nullptr;
        if (XFetchName(dpy, w, &name) && name) {
            XFree(name);
            return true;
        }
        return false;
    }

    // Without a window manager: the focus window, walked up to the first
    // window with a title (or the root's child).
    Window focusTopLevel() const
    {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(dpy, &focus, &revert);
        if (focus == PointerRoot || focus == 0)
            return 0;
        Window w = focus;
        while (w && w != root) {
            if (hasTitle(w))
                return w;
            Window r = 0, parent = 0, *children = nullptr;
            unsigned int n = 0;
            if (!XQueryTree(dpy, w, &r, &parent, &children, &n))
                break;
            if (children)
                XFree(children);
            if (parent == root)
                return w;
            w = parent;
        }
        return 0;
    }

    Window active() const
    {
        if (windowManagerRuns())
            return windowProperty(root, netActive);
        return focusTopLevel();
    }
};

TargetTracker::TargetTracker() : d(std::make_unique<Impl>())
{
    XSetErrorHandler(ignoreXErrors);
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return;
    d->dpy = dpy;
    d->root = DefaultRootWindow(dpy);
    d->netActive = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
    d->netWmName = XInternAtom(dpy, "_NET_WM_NAME", False);
    d->utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    d->wmCheck = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
}

TargetTracker::~TargetTracker() = default;

bool TargetTracker::isValid() const { return d->dpy != nullptr; }

TargetTracker::WindowId TargetTracker::foregroundWindow() const
{
    return d->dpy ? d->active() : 0;
}

QString TargetTracker::windowTitle(WindowId window) const
{
    return d->dpy && window ? d->title(static_cast<Window>(window)) : QString();
}

void TargetTracker::track(const QString &ownTitle)
{
    const WindowId w = foregroundWindow();
    // No active window (a moment between two windows): keep the last target.
    if (!w)
        return;
    if (windowTitle(w).toLower() != ownTitle.toLower())
        m_target = w;
}

void TargetTracker::activate(WindowId window)
{
    if (!d->dpy || !window)
        return;
    const Window w = static_cast<Window>(window);
    if (d->active() == w)
        return;
    if (d->windowManagerRuns()) {
        // Source 2 (a pager): the window manager obeys without focus-stealing
        // checks, and raises the window as it activates it.
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = d->netActive;
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = 2;
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(d->dpy, d->root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
        XSync(d->dpy, False);
    } else {
        XRaiseWindow(d->dpy, w);
        XSetInputFocus(d->dpy, w, RevertToParent, CurrentTime);
        XSync(d->dpy, False);
    }
    // Keys typed before the switch would go to the old window.
    QDeadlineTimer deadline(ActivationWaitMs);
    while (d->active() != w && !deadline.hasExpired())
        QThread::msleep(2);
}

} // namespace zd::teclado
