#include "KeyLayouts.h"

#include <array>

namespace zd::teclado::KeyLayouts {

namespace {

constexpr int KeyW = 855;
constexpr int KeyH = 735;
constexpr std::array<int, 4> RowTop{120, 840, 1560, 2280};

constexpr int letterLeft(int column) { return 480 + 840 * column; }

// Number block and the two right-hand columns.
constexpr int Num0 = 10680, Num1 = 11520, Num2 = 12360, Col13 = 13200, Col14 = 14040;

struct Place {
    int left, top, width, height;
};

std::array<Place, KeyCount> makePlaces()
{
    std::array<Place, KeyCount> p{};
    auto normal = [&](int key, int left, int row) { p[key] = {left, RowTop[row], KeyW, KeyH}; };
    // Row 1: 16..27, then 7 8 9, 12, 56.
    for (int c = 0; c < 12; ++c)
        normal(16 + c, letterLeft(c), 0);
    normal(7, Num0, 0); normal(8, Num1, 0); normal(9, Num2, 0);
    normal(12, Col13, 0); normal(56, Col14, 0);
    // Row 2: 28..39, then 4 5 6, 13, 57.
    for (int c = 0; c < 12; ++c)
        normal(28 + c, letterLeft(c), 1);
    normal(4, Num0, 1); normal(5, Num1, 1); normal(6, Num2, 1);
    normal(13, Col13, 1); normal(57, Col14, 1);
    // Row 3: 40..51, then 1 2 3, 14, and 58 two rows high.
    for (int c = 0; c < 12; ++c)
        normal(40 + c, letterLeft(c), 2);
    normal(1, Num0, 2); normal(2, Num1, 2); normal(3, Num2, 2);
    normal(14, Col13, 2);
    p[58] = {Col14, RowTop[2], KeyW, 1455};
    // Row 4: the wide keys, then 11 0 10, 15.
    p[52] = {480, RowTop[3], 1335, KeyH};
    p[53] = {2160, RowTop[3], 1695, KeyH};
    p[54] = {3840, RowTop[3], 5055, KeyH};
    p[55] = {8880, RowTop[3], 1695, KeyH};
    normal(11, Num0, 3); normal(0, Num1, 3); normal(10, Num2, 3);
    normal(15, Col13, 3);
    return p;
}

const std::array<Place, KeyCount> &places()
{
    static const std::array<Place, KeyCount> p = makePlaces();
    return p;
}

QString tableOf(const char16_t *chars)
{
    QString s = QString::fromUtf16(chars);
    Q_ASSERT(s.size() == TableSize);
    return s;
}

} // namespace

// Entry 22 (key 38, the up arrow) is a blank placeholder: it is never shown
// nor typed from the table.
const QString &LowercaseKeys()
{
    static const QString t = tableOf(u"azertyuiop\u00e9$qsdfghjklm \u00fawxcvbn,\u00e8\u00e0");
    return t;
}

const QString &UppercaseKeys()
{
    static const QString t = tableOf(u"AZERTYUIOP\u00a8\u00a3QSDFGHJKLM %WXCVBN?./");
    return t;
}

const QString &SymbolKeys()
{
    static const QString t = tableOf(u"\u00b2&,\"'(-;_\u00e7:)=~#{\u20ac[|`\\^ @]}\u00bf?%\u00a7\u00a1!\u00f1");
    return t;
}

const QString &table(Layout layout)
{
    switch (layout) {
    case Layout::Uppercase: return UppercaseKeys();
    case Layout::Symbols: return SymbolKeys();
    case Layout::Lowercase: break;
    }
    return LowercaseKeys();
}

bool isCharacterKey(int key)
{
    return key >= TableBase && key < TableBase + TableSize && key != 38;
}

QString characterOf(int key, Layout layout)
{
    if (!isCharacterKey(key))
        return {};
    return table(layout).mid(key - TableBase, 1);
}

int toPixels(int twips) { return twips / TwipsPerPixel; }

QRect keyRectTwips(int key)
{
    if (key < 0 || key >= KeyCount)
        return {};
    const Place &p = places()[key];
    return {p.left, p.top, p.width, p.height};
}

QRect keyRectPixels(int key)
{
    const QRect r = keyRectTwips(key);
    return {toPixels(r.x()), toPixels(r.y()), toPixels(r.width()), toPixels(r.height())};
}

// The Caps Lock bar sits in the gap between key 52 and key 53.
QRect shapeCapsRectPixels() { return {toPixels(1860), toPixels(2280), toPixels(255), toPixels(735)}; }

QRect cmdExpandRectPixels() { return {0, toPixels(120), toPixels(735), toPixels(2895)}; }

QSize windowSizePixels() { return {toPixels(WindowWidthTwips), toPixels(WindowHeightTwips)}; }

QString fixedCaption(int key)
{
    if (key >= 0 && key <= 9)
        return QString::number(key);
    switch (key) {
    case 10: return QStringLiteral("Tab");
    case 11: return QStringLiteral("*");
    case 12: return QStringLiteral("C");
    case 13: return QStringLiteral("-");
    case 14: return QStringLiteral("Fix");
    case 15: return QStringLiteral(".");
    case 52: return QStringLiteral("Verr Maj");
    case 55: return QStringLiteral("Symboles");
    case 57: return QStringLiteral("+");
    // The arrows, as the pad's symbol font shows them.
    case 49: return QStringLiteral(u"\u2190");
    case 38: return QStringLiteral(u"\u2191");
    case 51: return QStringLiteral(u"\u2192");
    case 50: return QStringLiteral(u"\u2193");
    case 58: return QStringLiteral(u"\u21b5");
    case 56: return QStringLiteral(u"\u21d0");
    case 53: return QStringLiteral(u"\u21d1");
    default: return {};
    }
}

bool isArrowCaption(int key)
{
    return key == 38 || key == 49 || key == 50 || key == 51 || key == 53 || key == 56 || key == 58;
}

QString pictureOf(int key)
{
    switch (key) {
    case 52: case 53: case 55: return QStringLiteral("base2.png");
    case 54: return QStringLiteral("base6.png");
    case 58: return QStringLiteral("base2ver.png");
    default: return QStringLiteral("base.png");
    }
}

} // namespace zd::teclado::KeyLayouts
