#include "ShopLogo.h"

#include <QBuffer>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

namespace zd::posdemo::ShopLogo {

namespace {

// Writes text along an arc, one glyph at a time, centred on angleDeg
// (0 = top, clockwise); inward letters read from the outside.
void arcText(QPainter &p, const QString &text, QPointF centre, double radius, double angleDeg,
             bool bottom)
{
    const QFontMetricsF metrics(p.font());
    const double total = metrics.horizontalAdvance(text);
    double along = -total / 2;
    for (QChar c : text) {
        const double w = metrics.horizontalAdvance(c);
        const double offsetDeg = qRadiansToDegrees((along + w / 2) / radius);
        const double a = bottom ? angleDeg - offsetDeg : angleDeg + offsetDeg;
        p.save();
        p.translate(centre);
        // Bottom glyphs stay upright: turned from the bottom, not the top.
        p.rotate(bottom ? a - 180 : a);
        p.translate(0, bottom ? radius : -radius);
        p.drawText(QPointF(-w / 2, metrics.ascent() / 2 - 2), QString(c));
        p.restore();
        along += w;
    }
}

} // namespace

QByteArray png(const QString &topText, const QString &bottomText, int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF centre(size / 2.0, size / 2.0);
        const double r = size / 2.0 - 2;
        const QColor burgundy(0x7a, 0x1f, 0x2b), cream(0xf6, 0xee, 0xdc), gold(0xc8, 0x9b, 0x3c);

        p.setPen(Qt::NoPen);
        p.setBrush(burgundy);
        p.drawEllipse(centre, r, r);
        p.setBrush(cream);
        p.drawEllipse(centre, r * 0.66, r * 0.66);
        p.setPen(QPen(gold, size / 64.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, r * 0.94, r * 0.94);
        p.drawEllipse(centre, r * 0.66, r * 0.66);

        // A cleaver over a sprig: the butcher's sign, drawn with plain shapes.
        p.save();
        p.translate(centre);
        p.rotate(-30);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x55, 0x55, 0x5a));
        p.drawRoundedRect(QRectF(-r * 0.30, -r * 0.30, r * 0.50, r * 0.34), r * 0.04, r * 0.04);
        p.setBrush(QColor(0x6b, 0x3e, 0x1f));
        p.drawRoundedRect(QRectF(r * 0.18, -r * 0.20, r * 0.30, r * 0.12), r * 0.05, r * 0.05);
        p.restore();
        // A sprig of herbs under it: a stem with leaves on alternate sides.
        const QColor green(0x3d, 0x6b, 0x2f);
        const QPointF from = centre + QPointF(-r * 0.34, r * 0.36), to = centre + QPointF(r * 0.30, r * 0.22);
        p.setPen(QPen(green, qMax(1.0, size / 110.0), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(from, to);
        p.setPen(Qt::NoPen);
        p.setBrush(green);
        const double stemAngle = qRadiansToDegrees(std::atan2(to.y() - from.y(), to.x() - from.x()));
        for (int i = 1; i <= 6; ++i) {
            p.save();
            p.translate(from + (to - from) * (i / 7.0));
            p.rotate(stemAngle + (i % 2 ? -50 : 50));
            p.drawEllipse(QRectF(0, -r * 0.03, r * 0.16, r * 0.06));
            p.restore();
        }

        // Lettering needs the font database, which only a GUI application has.
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setBold(true);
            font.setPixelSize(qMax(8, size / 11));
            p.setFont(font);
            p.setPen(cream);
            arcText(p, topText, centre, r * 0.80, 0, false);
            font.setPixelSize(qMax(7, size / 15));
            p.setFont(font);
            arcText(p, bottomText, centre, r * 0.80, 180, true);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace zd::posdemo::ShopLogo
