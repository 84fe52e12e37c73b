#pragma once
#include <QRect>
#include <QString>

namespace zd::teclado {

// The 59 keys of the pad, their places, captions and the three character
// tables. Positions are in twips (15 twips = 1 pixel at 96 dpi), as the pad
// was drawn.
namespace KeyLayouts {

inline constexpr int KeyCount = 59;
inline constexpr int TwipsPerPixel = 15;
inline constexpr int WindowWidthTwips = 15375;
inline constexpr int WindowHeightTwips = 3180;

// Index into the 33-entry tables for a character key (16..48 except 38).
inline constexpr int TableBase = 16;
inline constexpr int TableSize = 33;

enum class Layout { Lowercase, Uppercase, Symbols };

// The tables (33 entries each; entry 22, key 38, is empty).
const QString &LowercaseKeys();
const QString &UppercaseKeys();
const QString &SymbolKeys();
const QString &table(Layout layout);

bool isCharacterKey(int key);
// The character a character key shows and types in a layout; empty otherwise.
QString characterOf(int key, Layout layout);

// Place of a key in twips and in pixels.
QRect keyRectTwips(int key);
QRect keyRectPixels(int key);
QRect shapeCapsRectPixels();
QRect cmdExpandRectPixels();
QSize windowSizePixels();

// Caption of a key that does not come from the tables (fixed captions and the
// arrows); empty for character keys and key 54.
QString fixedCaption(int key);
bool isArrowCaption(int key);

// Picture file of a key.
QString pictureOf(int key);

int toPixels(int twips);

} // namespace KeyLayouts
} // namespace zd::teclado
