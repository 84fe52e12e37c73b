#pragma once
#include <QString>
#include <QVector>
#include <optional>

namespace zd::teclado {

// One key stroke: a character or a named key, with the modifiers held for it.
struct KeyStroke {
    enum class Key {
        Character, Tab, Enter, Escape, Backspace, Delete, Insert,
        Up, Down, Left, Right, Home, End, PageUp, PageDown,
        F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12
    };
    Key key = Key::Character;
    char32_t character = 0; // for Key::Character
    bool shift = false;
    bool ctrl = false;
    bool alt = false;

    bool operator==(const KeyStroke &) const = default;
};

// The key-string syntax: plain characters type themselves; "{NAME}" is a
// named key ("{TAB}", "{ENTER}", "{HOME}", ...), "{NAME n}" repeats it, and
// "{c}" types a reserved character c; "+", "^" and "%" hold Shift, Ctrl and
// Alt for the next key or for a group in parentheses; "~" is Enter.
// Reserved characters: + ^ % ~ ( ) { } [ ].
namespace KeyStrings {

// The strokes of a key string, or nothing when the string is malformed (an
// unknown key name, an unclosed brace or group, a bare reserved character).
std::optional<QVector<KeyStroke>> parse(const QString &keys);

// A key string that types `text` literally, reserved characters included.
QString literal(const QString &text);

bool isReserved(QChar c);

} // namespace KeyStrings
} // namespace zd::teclado
