#pragma once
#include <QFont>
#include <QRectF>
#include <QString>

class QPaintDevice;

namespace zd::documents {

// How a text is drawn in its box so that none of it is cut.
struct FittedText {
    QFont font;
    int flags = 0;   // for QPainter::drawText
};

// The report's font at `points` (given in twips, as the painter is scaled to
// twips: a point size would be scaled twice).
QFont reportFont(double points, bool bold);

// A text wider than its box is drawn smaller, down to MinimumPoints, then
// wrapped over lines inside the box's height (smaller still when those lines
// need it, down to FloorPoints). A text that fits keeps its designed size.
// A text of several lines ('\n') is wrapped from the top of its box, made
// smaller from its designed size down to FloorPoints as its lines need.
FittedText fitText(const QString &text, const QRectF &box, double designPoints, bool bold,
                   Qt::Alignment align, QPaintDevice *device);

constexpr double MinimumPoints = 6;
constexpr double FloorPoints = 4;

} // namespace zd::documents
