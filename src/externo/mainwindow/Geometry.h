#pragma once
#include <QtGlobal>

class QWidget;

namespace zd::geometry {

// Design positions are in twips: 15 twips are one pixel at 96 dpi.
constexpr int tw(int twips) { return (twips + 7) / 15; }
// Column widths of the line list are in millimetres (96 dpi).
inline int mm(double millimetres) { return qRound(millimetres * 96.0 / 25.4); }

void place(QWidget *widget, int left, int top, int width, int height);

} // namespace zd::geometry
