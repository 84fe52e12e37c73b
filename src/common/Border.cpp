#include "Border.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

namespace zd::common {

void DrawLine(QPainter &dc, int x1, int y1, int x2, int y2, const QColor &colour)
{
    dc.save();
    dc.setRenderHint(QPainter::Antialiasing, false);
    dc.setPen(QPen(colour, 0));
    // Lines stop one pixel short of their end point, as the frame geometry
    // expects (the bevel's last line is drawn one pixel longer for that).
    if (y1 == y2 && x1 != x2) {
        dc.drawLine(x1, y1, x2 > x1 ? x2 - 1 : x2 + 1, y2);
    } else if (x1 == x2 && y1 != y2) {
        dc.drawLine(x1, y1, x2, y2 > y1 ? y2 - 1 : y2 + 1);
    } else if (x1 != x2 || y1 != y2) {
        dc.drawLine(x1, y1, x2, y2);
    }
    dc.restore();
}

void DrawBevel(QPainter &dc, int left, int top, int width, int height)
{
    const QPalette pal = QGuiApplication::palette();
    const QColor shadow = pal.color(QPalette::Active, QPalette::Dark);
    const QColor light = pal.color(QPalette::Active, QPalette::Light);
    DrawLine(dc, left, top, left + width, top, shadow);
    DrawLine(dc, left, top, left, top + height, shadow);
    DrawLine(dc, left, top + height, left + width, top + height, light);
    DrawLine(dc, left + width, top, left + width, top + height + 1, light);
}

QVector<QRect> dialogFrameBevels(const QSize &inner, int thickness)
{
    QVector<QRect> bevels;
    int w = inner.width();
    int h = inner.height();
    for (int i = 1; i <= thickness; ++i) {
        w -= 2;
        h -= 2;
        if (w < 0 || h < 0)
            break; // nothing left to frame
        bevels.append(QRect(i - 1, i - 1, w, h));
    }
    return bevels;
}

void DrawDialogFrame(QPainter &dc, const QSize &inner, int thickness)
{
    for (const QRect &b : dialogFrameBevels(inner, thickness))
        DrawBevel(dc, b.left(), b.top(), b.width(), b.height());
}

} // namespace zd::common
