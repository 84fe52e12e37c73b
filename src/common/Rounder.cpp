#include "Rounder.h"

#include <QPainterPath>
#include <QPolygon>
#include <QWidget>

#include <cmath>

namespace zd::common {

namespace {
// Whole number nearest to a/b, halves to even (the platform's rounding).
int roundEven(double v)
{
    return static_cast<int>(std::nearbyint(v)); // default rounding mode: to nearest, ties to even
}
} // namespace

QRect clsRounder::regionRect(const QSize &inner)
{
    const int w = inner.width();
    const int h = inner.height();
    const int left = roundEven(w / 60.0);
    const int top = roundEven(h / 60.0);
    const int right = w - 4;
    const int bottom = h;
    // Right and bottom are exclusive edges: the rectangle covers left..right-1.
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

QSize clsRounder::cornerSize(const QSize &inner)
{
    return QSize(roundEven(inner.width() / 10.0), roundEven(inner.height() / 10.0));
}

QRegion clsRounder::roundedRegion(const QSize &inner)
{
    const QRect r = regionRect(inner);
    if (r.isEmpty())
        return QRegion();
    const QSize c = cornerSize(inner);
    QPainterPath path;
    path.addRoundedRect(QRectF(r), c.width() / 2.0, c.height() / 2.0);
    return QRegion(path.toFillPolygon().toPolygon());
}

void clsRounder::RoundedBorder(QWidget *window)
{
    if (!window)
        return;
    m_region = roundedRegion(window->size());
    window->setMask(m_region);
}

} // namespace zd::common
