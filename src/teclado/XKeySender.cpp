#include "XKeySender.h"

#include <QDeadlineTimer>
#include <QThread>

// Xlib after every Qt header: it defines Bool, Status, None.
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>

namespace zd::teclado {

namespace {

// A window that vanished between two requests must not end the program
// (Xlib's default handler exits on any error).
int ignoreXErrors(Display *, XErrorEvent *) { return 0; }


KeySym keysymForCharacter(char32_t c)
{
    if ((c >= 0x20 && c <= 0x7e) || (c >= 0xa0 && c <= 0xff))
        return c; // Latin-1 keysyms equal their code points
    if (c == 0x20ac)
        return XK_EuroSign;
    if (c == U'\n' || c == U'\r')
        return XK_Return;
    if (c == U'\t')
        return XK_Tab;
    return 0x01000000 | c; // Unicode keysym
}

KeySym keysymForKey(KeyStroke::Key key)
{
    using K = KeyStroke::Key;
    switch (key) {
    case K::Tab: return XK_Tab;
    case K::Enter: return XK_Return;
    case K::Escape: return XK_Escape;
    case K::Backspace: return XK_BackSpace;
    case K::Delete: return XK_Delete;
    case K::Insert: return XK_Insert;
    case K::Up: return XK_Up;
    case K::Down: return XK_Down;
    case K::Left: return XK_Left;
    case K::Right: return XK_Right;
    case K::Home: return XK_Home;
    case K::End: return XK_End;
    case K::PageUp: return XK_Prior;
    case K::PageDown: return XK_Next;
    case K::Character: break;
    default:
        return XK_F1 + (static_cast<int>(key) - static_cast<int>(K::F1));
    }
    return NoSymbol;
}

} // namespace

struct XKeySender::Impl {
    Display *dpy = nullptr;
    int minKeycode = 8, maxKeycode = 255;
    // Spare keycodes this sender remapped, oldest first, with their keysym.
    QVector<QPair<KeyCode, KeySym>> remapped;

    ~Impl()
    {
        if (!dpy)
            return;
        if (!remapped.isEmpty()) {
            // Let the last keys be read with the map they were typed with.
            QThread::msleep(SettleMs);
            for (const auto &[code, sym] : std::as_const(remapped)) {
                KeySym none[2] = {NoSymbol, NoSymbol};
                XChangeKeyboardMapping(dpy, code, 2, none, 1);
            }
            XSync(dpy, False);
        }
        XCloseDisplay(dpy);
    }

    // Finds a key producing `sym` at level 1 or 2 of the first group.
    bool lookup(KeySym sym, KeyCode &code, bool &shift) const
    {
        int perCode = 0;
        const int count = maxKeycode - minKeycode + 1;
        KeySym *map = XGetKeyboardMapping(dpy, minKeycode, count, &perCode);
        if (!map)
            return false;
        bool found = false;
        for (int level = 0; level < std::min(perCode, 2) && !found; ++level) {
            for (int i = 0; i < count; ++i) {
                if (map[i * perCode + level] == sym) {
                    code = static_cast<KeyCode>(minKeycode + i);
                    shift = level == 1;
                    found = true;
                    break;
                }
            }
        }
        XFree(map);
        return found;
    }

    // A keycode without any keysym that this sender may borrow, highest first.
    KeyCode spareKeycode() const
    {
        int perCode = 0;
        const int count = maxKeycode - minKeycode + 1;
        KeySym *map = XGetKeyboardMapping(dpy, minKeycode, count, &perCode);
        if (!map)
            return 0;
        KeyCode spare = 0;
        for (int i = count - 1; i >= 0 && !spare; --i) {
            bool empty = true;
            for (int l = 0; l < perCode; ++l)
                empty = empty && map[i * perCode + l] == NoSymbol;
            if (empty)
                spare = static_cast<KeyCode>(minKeycode + i);
        }
        XFree(map);
        return spare;
    }

    // Maps `sym` onto a spare keycode (the oldest borrowed one when none is
    // left); no pause.
    KeyCode borrow(KeySym sym)
    {
        KeyCode code = spareKeycode();
        if (!code) {
            if (remapped.isEmpty())
                return 0;
            code = remapped.takeFirst().first;
        }
        KeySym syms[2] = {sym, sym};
        XChangeKeyboardMapping(dpy, code, 2, syms, 1);
        XSync(dpy, False);
        remapped.append({code, sym});
        return code;
    }

    // A keycode that types `sym`, mapping a spare one when the keymap has none.
    // Mapped keycodes stay mapped while the sender lives, so a character typed
    // again needs no new remapping and no pause.
    bool keycodeFor(KeySym sym, KeyCode &code, bool &shift)
    {
        if (lookup(sym, code, shift))
            return true;
        code = borrow(sym);
        if (!code)
            return false;
        shift = false;
        QThread::msleep(SettleMs);
        return true;
    }

    void tap(KeyCode code)
    {
        XTestFakeKeyEvent(dpy, code, True, CurrentTime);
        XTestFakeKeyEvent(dpy, code, False, CurrentTime);
    }

    void modifier(KeySym sym, bool down)
    {
        const KeyCode code = XKeysymToKeycode(dpy, sym);
        if (code)
            XTestFakeKeyEvent(dpy, code, down ? True : False, CurrentTime);
    }

    bool stroke(const KeyStroke &s)
    {
        const KeySym sym = s.key == KeyStroke::Key::Character ? keysymForCharacter(s.character)
                                                              : keysymForKey(s.key);
        KeyCode code = 0;
        bool levelShift = false;
        if (sym == NoSymbol || !keycodeFor(sym, code, levelShift))
            return false;
        const bool shift = s.shift || levelShift;
        if (s.ctrl) modifier(XK_Control_L, true);
        if (s.alt) modifier(XK_Alt_L, true);
        if (shift) modifier(XK_Shift_L, true);
        tap(code);
        if (shift) modifier(XK_Shift_L, false);
        if (s.alt) modifier(XK_Alt_L, false);
        if (s.ctrl) modifier(XK_Control_L, false);
        XSync(dpy, False);
        return true;
    }
};

XKeySender::XKeySender() : d(std::make_unique<Impl>())
{
    XSetErrorHandler(ignoreXErrors);
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(dpy, &event, &error, &major, &minor)) {
        XCloseDisplay(dpy);
        return;
    }
    d->dpy = dpy;
    XDisplayKeycodes(dpy, &d->minKeycode, &d->maxKeycode);
}

XKeySender::~XKeySender() = default;

bool XKeySender::isValid() const { return d->dpy != nullptr; }

int XKeySender::prepare(const QString &characters)
{
    if (!d->dpy)
        return 0;
    int missing = 0;
    bool changed = false;
    for (const char32_t c : characters.toUcs4()) {
        const KeySym sym = keysymForCharacter(c);
        KeyCode code = 0;
        bool shift = false;
        if (d->lookup(sym, code, shift))
            continue;
        // Never take back a key borrowed for an earlier character here.
        if (d->spareKeycode() == 0) {
            ++missing;
            continue;
        }
        d->borrow(sym);
        changed = true;
    }
    if (changed)
        QThread::msleep(SettleMs);
    return missing;
}

bool XKeySender::sendKeys(const QString &keys)
{
    const auto strokes = KeyStrings::parse(keys);
    return strokes && send(*strokes);
}

bool XKeySender::send(const QVector<KeyStroke> &strokes)
{
    if (!d->dpy)
        return false;
    bool all = true;
    for (const KeyStroke &s : strokes)
        all = d->stroke(s) && all;
    return all;
}

void XKeySender::tapBackspace()
{
    if (!d->dpy)
        return;
    const KeyCode code = XKeysymToKeycode(d->dpy, XK_BackSpace);
    if (!code)
        return;
    d->tap(code);
    XSync(d->dpy, False);
}

bool XKeySender::capsLockOn() const
{
    if (!d->dpy)
        return false;
    XkbStateRec state{};
    if (XkbGetState(d->dpy, XkbUseCoreKbd, &state) != Success)
        return false;
    return (state.locked_mods & LockMask) != 0;
}

void XKeySender::toggleCapsLock()
{
    if (!d->dpy)
        return;
    const KeyCode code = XKeysymToKeycode(d->dpy, XK_Caps_Lock);
    if (!code)
        return;
    const bool before = capsLockOn();
    d->tap(code);
    XSync(d->dpy, False);
    // The server applies the lock with the key event; wait until it shows so
    // that the next read sees the new state.
    QDeadlineTimer deadline(200);
    while (capsLockOn() == before && !deadline.hasExpired())
        QThread::msleep(2);
}

} // namespace zd::teclado
