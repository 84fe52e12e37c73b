// Draws the keyboard program's skins into a folder (default: assets/program):
// the window background, the key faces in their four sizes and the two
// pictures of the collapse button. Run after changing the key geometry.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <cstdio>

namespace {

bool save(const QImage &image, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// A rounded key face with a soft top light; transparent corners.
QImage keyFace(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(QColor(52, 58, 70)); // the loader paints no transparency: match the background
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer(0.5, 0.5, w - 1.0, h - 1.0);
    QLinearGradient body(0, 0, 0, h);
    body.setColorAt(0.0, QColor(250, 250, 252));
    body.setColorAt(0.55, QColor(226, 229, 235));
    body.setColorAt(1.0, QColor(196, 201, 210));
    p.setPen(QPen(QColor(90, 96, 108), 1.0));
    p.setBrush(body);
    p.drawRoundedRect(outer, 6, 6);
    // Inner rim: the key looks slightly raised.
    p.setPen(QPen(QColor(255, 255, 255, 170), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(outer.adjusted(2, 2, -2, -3), 5, 5);
    return img;
}

QImage background(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0.0, QColor(70, 78, 92));
    g.setColorAt(1.0, QColor(38, 43, 52));
    p.fillRect(img.rect(), g);
    p.setPen(QColor(110, 120, 138));
    p.drawRect(0, 0, w - 1, h - 1);
    return img;
}

// The collapse button: a keyboard glyph (collapsed, touch to expand) or the
// same glyph struck through (expanded, touch to collapse).
QImage expandButton(int w, int h, bool struck)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(QColor(52, 58, 70)); // the loader paints no transparency: match the background
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, w, 0);
    g.setColorAt(0.0, QColor(52, 110, 190));
    g.setColorAt(1.0, QColor(30, 70, 140));
    p.setPen(QPen(QColor(20, 40, 80), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1.0, h - 1.0), 6, 6);
    // The glyph sits in the left part, which the keys never cover.
    const QRectF glyph(4, h / 2.0 - 12, 24, 24);
    p.setPen(QPen(Qt::white, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(glyph.adjusted(0, 4, 0, -4), 2, 2);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawPoint(QPointF(glyph.left() + 4 + col * 5.3, glyph.top() + 9 + row * 4));
    p.drawLine(QPointF(glyph.left() + 6, glyph.bottom() - 7), QPointF(glyph.right() - 6, glyph.bottom() - 7));
    if (struck) {
        p.setPen(QPen(QColor(255, 120, 110), 2.4));
        p.drawLine(glyph.topLeft() + QPointF(1, 1), glyph.bottomRight() - QPointF(1, 1));
    }
    return img;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ZD_SKINS_DIR);
    QDir().mkpath(dir);
    // Sizes in pixels: the window and the keys they cover.
    bool ok = save(background(1025, 212), dir + "/fondoa.png");
    ok = save(keyFace(57, 49), dir + "/base.png") && ok;
    ok = save(keyFace(113, 49), dir + "/base2.png") && ok;
    ok = save(keyFace(337, 49), dir + "/base6.png") && ok;
    ok = save(keyFace(57, 97), dir + "/base2ver.png") && ok;
    ok = save(expandButton(49, 193, false), dir + "/keyboard.png") && ok;
    ok = save(expandButton(49, 193, true), dir + "/nokeyboard.png") && ok;
    return ok ? 0 : 1;
}
