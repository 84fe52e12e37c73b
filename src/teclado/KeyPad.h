#pragma once
#include "KeyLayouts.h"

#include <QString>

namespace zd::teclado {

// What a key click asks the window to do.
struct KeyAction {
    enum class Kind {
        None,        // nothing reaches the target
        Keys,        // `keys` is a key string
        Backspace,   // one raw Backspace press and release
        ToggleCaps,  // switch the system Caps Lock over
        EndPrograms  // end the invoicing program, then the keyboard
    };
    Kind kind = Kind::None;
    QString keys;

    bool operator==(const KeyAction &) const = default;
};

// The keyboard's modes: one-shot Shift and Symbols, and the captions that
// mirror the system Caps Lock. Knows nothing of windows or X: the window asks
// it what a key means and which layout to show.
class KeyPad {
public:
    using Layout = KeyLayouts::Layout;

    // The meaning of a click on key k (0..58), updating the modes. Key 52
    // only returns ToggleCaps: the caller switches Caps Lock and then calls
    // mirrorCaps with the new state.
    KeyAction press(int key);

    // Follows the system Caps Lock: upper-case captions while it is on.
    void mirrorCaps(bool capsOn);

    bool ShiftPending() const { return m_shiftPending; }
    bool SymbolsPending() const { return m_symbolsPending; }
    bool CapsCaptions() const { return m_capsCaptions; }
    // The layout the captions show.
    Layout layout() const { return m_layout; }

    // The string a fixed key (0..15, 38, 49..51, 56..58) sends, with or
    // without Shift pending; empty when it sends no key string.
    static QString fixedKeyString(int key, bool shift);

private:
    Layout capsLayout() const { return m_capsCaptions ? Layout::Uppercase : Layout::Lowercase; }
    void endOneShotModes();

    bool m_shiftPending = false;
    bool m_symbolsPending = false;
    bool m_capsCaptions = false;
    Layout m_layout = Layout::Lowercase;
};

} // namespace zd::teclado
