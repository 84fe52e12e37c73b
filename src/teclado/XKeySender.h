#pragma once
#include "KeyStrings.h"

#include <QHash>
#include <QVector>
#include <memory>

namespace zd::teclado {

// Types key strokes into the focused window of the X display through XTest,
// and reads and switches the Caps Lock. Characters that no key of the current
// keymap produces are typed through a spare keycode mapped for them.
// Xlib stays in the .cpp file (its macros clash with Qt).
class XKeySender {
public:
    // Opens the display named by $DISPLAY; without one (or without XTest) the
    // sender is invalid and every call does nothing.
    XKeySender();
    ~XKeySender();
    XKeySender(const XKeySender &) = delete;
    XKeySender &operator=(const XKeySender &) = delete;

    bool isValid() const;

    // Gives every character of `characters` that no key of the keymap types a
    // spare keycode now, with one pause for the display's clients to read the
    // new keymap. Typing them later then changes no keymap: each change makes
    // every client (window manager, target window) reload its keymap, and a
    // window manager busy reloading holds back the pointer's clicks, which the
    // server then hands on at the pointer's latest position, on other keys.
    // Returns how many characters still lack a key (no spare keycode left).
    int prepare(const QString &characters);

    // Sends a key string; false when it is malformed or cannot be typed.
    bool sendKeys(const QString &keys);
    bool send(const QVector<KeyStroke> &strokes);
    // Raw Backspace press and release.
    void tapBackspace();

    bool capsLockOn() const;
    void toggleCapsLock();

    // Pause after remapping a spare keycode, so that clients have read the
    // new keymap before the key arrives.
    static constexpr int SettleMs = 30;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zd::teclado
