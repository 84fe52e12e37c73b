#include "Drawings.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace zd::artwork {

const QColor kInk(0x1d, 0x2a, 0x3a);
const QColor kBlue(0x2f, 0x6f, 0xa8);
const QColor kTeal(0x3a, 0x9a, 0x8c);
const QColor kAmber(0xd9, 0x8c, 0x2b);
const QColor kGreen(0x2e, 0xa0, 0x43);
const QColor kRed(0xc0, 0x39, 0x2b);
const QColor kPaper(0xff, 0xff, 0xfd);

void person(QPainter &p, double cx, double top, double s, const QColor &c)
{
    p.setPen(QPen(c.darker(150), 1.0));
    QRadialGradient g(cx - 2 * s, top + 3 * s, 7 * s);
    g.setColorAt(0, c.lighter(150));
    g.setColorAt(1, c);
    p.setBrush(g);
    p.drawEllipse(QPointF(cx, top + 6 * s), 5 * s, 5 * s);
    QPainterPath body;
    const double bt = top + 12.5 * s, bw = 10 * s, bb = top + 25 * s;
    body.moveTo(cx - bw, bb);
    body.lineTo(cx - bw, bt + 5 * s);
    body.quadTo(cx - bw, bt, cx - bw + 5 * s, bt);
    body.lineTo(cx + bw - 5 * s, bt);
    body.quadTo(cx + bw, bt, cx + bw, bt + 5 * s);
    body.lineTo(cx + bw, bb);
    body.closeSubpath();
    QLinearGradient bg(0, bt, 0, bb);
    bg.setColorAt(0, c.lighter(130));
    bg.setColorAt(1, c.darker(110));
    p.setBrush(bg);
    p.drawPath(body);
}

void tick(QPainter &p)
{
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(24.5, 24.5), 7, 7);
    QPainterPath t;
    t.moveTo(20.8, 24.6);
    t.lineTo(23.6, 27.4);
    t.lineTo(28.4, 21.6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(t);
}

void receipt(QPainter &p, double left, double width)
{
    const double top = 2, bottom = 29;
    QPainterPath paper;
    paper.moveTo(left, top);
    paper.lineTo(left + width, top);
    paper.lineTo(left + width, bottom);
    // torn-off edge
    const int teeth = 5;
    for (int i = 0; i < teeth; ++i) {
        const double x1 = left + width - (i + 0.5) * width / teeth;
        const double x2 = left + width - (i + 1) * width / teeth;
        paper.lineTo(x1, bottom - 2.5);
        paper.lineTo(x2, bottom);
    }
    paper.closeSubpath();
    p.setPen(QPen(QColor(0x7a, 0x86, 0x94), 1.0));
    p.setBrush(kPaper);
    p.drawPath(paper);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(left + 3, top + 3, width - 6, 2.5));
    p.setBrush(QColor(0xa5, 0xb0, 0xbc));
    for (int i = 0; i < 4; ++i) {
        p.drawRect(QRectF(left + 3, top + 8 + i * 3.2, width * 0.45, 1.4));
        p.drawRect(QRectF(left + width - 3 - width * 0.2, top + 8 + i * 3.2, width * 0.2, 1.4));
    }
    p.setBrush(kInk);
    p.drawRect(QRectF(left + 3, top + 21.5, width - 6, 2));
}

void document(QPainter &p)
{
    const double l = 4, t = 1.5, r = 27, b = 30.5, fold = 7;
    QPainterPath page;
    page.moveTo(l, t);
    page.lineTo(r - fold, t);
    page.lineTo(r, t + fold);
    page.lineTo(r, b);
    page.lineTo(l, b);
    page.closeSubpath();
    p.setPen(QPen(QColor(0x6b, 0x78, 0x88), 1.0));
    p.setBrush(kPaper);
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(r - fold, t);
    corner.lineTo(r - fold, t + fold);
    corner.lineTo(r, t + fold);
    p.setBrush(QColor(0xdd, 0xe3, 0xea));
    p.drawPath(corner);
    QFont f(QStringLiteral("DejaVu Sans Condensed"));
    f.setPixelSize(9);
    f.setBold(true);
    f.setStretch(QFont::SemiCondensed);
    p.setFont(f);
    p.setPen(kBlue);
    p.drawText(QRectF(l + 1, 8, r - l - 2, 10), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("ALB"));
    p.setPen(kRed);
    p.drawText(QRectF(l + 1, 18, r - l - 2, 10), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("FAC"));
}


} // namespace zd::artwork
