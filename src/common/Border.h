#pragma once
#include <QColor>
#include <QRect>
#include <QSize>
#include <QVector>

class QPainter;

namespace zd::common {

// One-pixel line from (x1,y1) towards (x2,y2), the end point excluded.
void DrawLine(QPainter &dc, int x1, int y1, int x2, int y2, const QColor &colour);
// Sunken bevel: shadow colour at top and left, light at bottom and right.
void DrawBevel(QPainter &dc, int left, int top, int width, int height);
// The rectangles (left, top, width, height) of the nested bevels that make a
// dialog frame `thickness` pixels wide inside an inner size.
QVector<QRect> dialogFrameBevels(const QSize &inner, int thickness);
// Draws the frame over what the dialog's paintEvent has painted so far (its
// background picture): a paint event starts on a cleared surface.
void DrawDialogFrame(QPainter &dc, const QSize &inner, int thickness);

} // namespace zd::common
