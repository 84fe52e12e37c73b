#include "KeyPad.h"

#include "KeyStrings.h"

namespace zd::teclado {

using Kind = KeyAction::Kind;

QString KeyPad::fixedKeyString(int key, bool shift)
{
    if (key >= 0 && key <= 9)
        return QString::number(key);
    switch (key) {
    case 10: return shift ? QStringLiteral("+{TAB}") : QStringLiteral("{TAB}");
    case 11: return QStringLiteral("*");
    case 12: return shift ? QStringLiteral("^{DELETE}") : QStringLiteral("{DELETE}");
    case 13: return QStringLiteral("-");
    case 15: return QStringLiteral(".");
    case 38: return shift ? QStringLiteral("+{TAB}") : QStringLiteral("{UP}");
    case 49: return shift ? QStringLiteral("{HOME}") : QStringLiteral("{LEFT}");
    case 50: return shift ? QStringLiteral("{TAB}") : QStringLiteral("{DOWN}");
    case 51: return shift ? QStringLiteral("{END}") : QStringLiteral("{RIGHT}");
    case 57: return QStringLiteral("{+}");
    case 58: return QStringLiteral("{ENTER}");
    default: return {};
    }
}

KeyAction KeyPad::press(int key)
{
    if (key < 0 || key >= KeyLayouts::KeyCount)
        return {};

    switch (key) {
    case 52:
        return {Kind::ToggleCaps, {}};
    case 55:
        if (m_symbolsPending) {
            m_symbolsPending = false;
            m_layout = capsLayout();
        } else {
            m_symbolsPending = true;
            m_layout = Layout::Symbols;
        }
        return {};
    case 53:
        // While Caps Lock is on, Shift cannot be chosen.
        if (m_capsCaptions || m_shiftPending) {
            m_shiftPending = false;
            if (!m_capsCaptions)
                m_layout = Layout::Lowercase;
        } else {
            m_shiftPending = true;
            m_layout = Layout::Uppercase;
        }
        return {};
    default:
        break;
    }

    KeyAction action;
    if (key == 14) {
        if (m_shiftPending)
            action = {Kind::EndPrograms, {}};
    } else if (key == 56) {
        action = {Kind::Backspace, {}};
    } else if (key == 54) {
        // The wide bottom key is the space bar.
        action = {Kind::Keys, QStringLiteral(" ")};
    } else if (KeyLayouts::isCharacterKey(key)) {
        // Symbols take precedence over Shift.
        const Layout from = m_symbolsPending ? Layout::Symbols
                          : m_shiftPending   ? Layout::Uppercase
                                             : Layout::Lowercase;
        action = {Kind::Keys, KeyStrings::literal(KeyLayouts::characterOf(key, from))};
    } else {
        action = {Kind::Keys, fixedKeyString(key, m_shiftPending)};
    }
    endOneShotModes();
    return action;
}

void KeyPad::endOneShotModes()
{
    if (m_shiftPending || m_symbolsPending) {
        m_shiftPending = false;
        m_symbolsPending = false;
        m_layout = capsLayout();
    }
}

void KeyPad::mirrorCaps(bool capsOn)
{
    if (capsOn) {
        if (!m_capsCaptions)
            m_layout = Layout::Uppercase;
        m_capsCaptions = true;
    } else {
        if (m_capsCaptions)
            m_layout = Layout::Lowercase;
        m_capsCaptions = false;
    }
}

} // namespace zd::teclado
