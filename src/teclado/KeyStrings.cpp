#include "KeyStrings.h"

#include <QHash>

namespace zd::teclado::KeyStrings {

namespace {

using Key = KeyStroke::Key;

const QHash<QString, Key> &keyNames()
{
    static const QHash<QString, Key> names{
        {QStringLiteral("TAB"), Key::Tab},
        {QStringLiteral("ENTER"), Key::Enter},
        {QStringLiteral("ESC"), Key::Escape},
        {QStringLiteral("ESCAPE"), Key::Escape},
        {QStringLiteral("BACKSPACE"), Key::Backspace},
        {QStringLiteral("BS"), Key::Backspace},
        {QStringLiteral("BKSP"), Key::Backspace},
        {QStringLiteral("DELETE"), Key::Delete},
        {QStringLiteral("DEL"), Key::Delete},
        {QStringLiteral("INSERT"), Key::Insert},
        {QStringLiteral("INS"), Key::Insert},
        {QStringLiteral("UP"), Key::Up},
        {QStringLiteral("DOWN"), Key::Down},
        {QStringLiteral("LEFT"), Key::Left},
        {QStringLiteral("RIGHT"), Key::Right},
        {QStringLiteral("HOME"), Key::Home},
        {QStringLiteral("END"), Key::End},
        {QStringLiteral("PGUP"), Key::PageUp},
        {QStringLiteral("PGDN"), Key::PageDown},
        {QStringLiteral("F1"), Key::F1}, {QStringLiteral("F2"), Key::F2},
        {QStringLiteral("F3"), Key::F3}, {QStringLiteral("F4"), Key::F4},
        {QStringLiteral("F5"), Key::F5}, {QStringLiteral("F6"), Key::F6},
        {QStringLiteral("F7"), Key::F7}, {QStringLiteral("F8"), Key::F8},
        {QStringLiteral("F9"), Key::F9}, {QStringLiteral("F10"), Key::F10},
        {QStringLiteral("F11"), Key::F11}, {QStringLiteral("F12"), Key::F12},
    };
    return names;
}

struct Modifiers {
    bool shift = false, ctrl = false, alt = false;
    bool any() const { return shift || ctrl || alt; }
};

class Parser {
public:
    explicit Parser(const QString &text) : m_ucs(text.toUcs4()) {}

    std::optional<QVector<KeyStroke>> run()
    {
        QVector<KeyStroke> out;
        if (!sequence(out, Modifiers{}, false) || m_pos != m_ucs.size())
            return std::nullopt;
        return out;
    }

private:
    // Parses strokes until the end (or a ")" when inside a group); `held`
    // are the modifiers of enclosing groups.
    bool sequence(QVector<KeyStroke> &out, Modifiers held, bool inGroup)
    {
        Modifiers pending;
        while (m_pos < m_ucs.size()) {
            const char32_t c = m_ucs[m_pos];
            if (c == U')') {
                if (!inGroup || pending.any())
                    return false;
                return true;
            }
            ++m_pos;
            Modifiers now{held.shift || pending.shift, held.ctrl || pending.ctrl, held.alt || pending.alt};
            switch (c) {
            case U'+': pending.shift = true; continue;
            case U'^': pending.ctrl = true; continue;
            case U'%': pending.alt = true; continue;
            case U'(':
                if (!sequence(out, now, true) || m_pos >= m_ucs.size() || m_ucs[m_pos] != U')')
                    return false;
                ++m_pos;
                break;
            case U'~':
                add(out, Key::Enter, 0, now, 1);
                break;
            case U'{':
                if (!braced(out, now))
                    return false;
                break;
            case U'}': case U'[': case U']':
                return false;
            default:
                add(out, Key::Character, c, now, 1);
                break;
            }
            pending = Modifiers{};
        }
        return !inGroup && !pending.any();
    }

    // After "{": "{c}" (any one character, "}" included), "{NAME}" or
    // "{NAME n}" / "{c n}".
    bool braced(QVector<KeyStroke> &out, Modifiers mods)
    {
        // "{}}" types a closing brace.
        if (m_pos + 1 < m_ucs.size() && m_ucs[m_pos] == U'}' && m_ucs[m_pos + 1] == U'}') {
            m_pos += 2;
            add(out, Key::Character, U'}', mods, 1);
            return true;
        }
        const qsizetype close = m_ucs.indexOf(U'}', m_pos);
        if (close < 0 || close == m_pos)
            return false;
        const QString inner = QString::fromUcs4(reinterpret_cast<const char32_t *>(m_ucs.constData()) + m_pos, close - m_pos);
        m_pos = close + 1;

        QString name = inner;
        int count = 1;
        const qsizetype space = inner.lastIndexOf(QLatin1Char(' '));
        if (space > 0) {
            bool ok = false;
            count = inner.mid(space + 1).toInt(&ok);
            if (!ok || count < 0)
                return false;
            name = inner.left(space);
        }
        const QList<uint> chars = name.toUcs4();
        if (chars.size() == 1) {
            add(out, Key::Character, chars.front(), mods, count);
            return true;
        }
        const auto it = keyNames().constFind(name.toUpper());
        if (it == keyNames().constEnd())
            return false;
        add(out, it.value(), 0, mods, count);
        return true;
    }

    static void add(QVector<KeyStroke> &out, Key key, char32_t ch, Modifiers mods, int count)
    {
        for (int i = 0; i < count; ++i)
            out.append(KeyStroke{key, ch, mods.shift, mods.ctrl, mods.alt});
    }

    QList<uint> m_ucs;
    qsizetype m_pos = 0;
};

} // namespace

bool isReserved(QChar c)
{
    static const QString reserved = QStringLiteral("+^%~(){}[]");
    return reserved.contains(c);
}

std::optional<QVector<KeyStroke>> parse(const QString &keys)
{
    return Parser(keys).run();
}

QString literal(const QString &text)
{
    QString out;
    out.reserve(text.size() * 3);
    for (const QChar c : text) {
        if (isReserved(c))
            out += QLatin1Char('{') + c + QLatin1Char('}');
        else
            out += c;
    }
    return out;
}

} // namespace zd::teclado::KeyStrings
