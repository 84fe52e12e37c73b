// Draws the programs' artwork: the nine tree icons, the main window's
// background, the dialogs' backgrounds and the two view-switch pictures.
// Usage: zd_artwork <assets folder>   (writes into embedded/ and program/)
#include "Drawings.h"

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSaveFile>
#include <QTextStream>

#include <cmath>
#include <functional>

using namespace zd::artwork;

namespace {

bool save(const QImage &image, const QString &path, const char *format, int quality = -1)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || !image.save(&f, format, quality) || !f.commit()) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        return false;
    }
    return true;
}

QImage canvas(int w, int h, bool transparent)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(transparent ? Qt::transparent : Qt::white);
    return img;
}

QImage icon(const std::function<void(QPainter &)> &draw)
{
    QImage img = canvas(32, 32, true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p);
    return img;
}

void softGradient(QPainter &p, const QRect &r, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

// Pale awning stripes along a band.
void awning(QPainter &p, const QRect &band, int stripe, int alpha)
{
    p.save();
    p.setClipRect(band);
    p.setPen(Qt::NoPen);
    for (int x = band.left(), i = 0; x < band.right(); x += stripe, ++i) {
        p.setBrush(i % 2 ? QColor(255, 255, 255, alpha) : QColor(0x2f, 0x6f, 0xa8, alpha));
        p.drawRect(QRect(x, band.top(), stripe, band.height()));
    }
    p.restore();
}

QImage mainBackground()
{
    QImage img = canvas(1024, 768, false);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    softGradient(p, img.rect(), QColor(0xf6, 0xf3, 0xec), QColor(0xe4, 0xeb, 0xf1));
    // A soft light from the upper left keeps the working area bright.
    QRadialGradient glow(QPointF(260, 140), 700);
    glow.setColorAt(0, QColor(255, 255, 255, 110));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(img.rect(), glow);

    // Below the controls (they end near y 560): a pale shop counter scene.
    const int base = 690;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x6f, 0xa8, 18));
    p.drawRect(QRect(0, base, 1024, 768 - base));
    // shelves with jars and boxes
    for (int shelf = 0; shelf < 2; ++shelf) {
        const int y = 612 + shelf * 38;
        p.setBrush(QColor(0x7a, 0x5c, 0x3a, 26));
        p.drawRect(QRect(40, y + 28, 420, 5));
        for (int i = 0; i < 12; ++i) {
            const int x = 52 + i * 34;
            p.setBrush(i % 3 == 0 ? QColor(0xd9, 0x8c, 0x2b, 30)
                     : i % 3 == 1 ? QColor(0x3a, 0x9a, 0x8c, 30) : QColor(0x2f, 0x6f, 0xa8, 26));
            if ((i + shelf) % 2)
                p.drawRoundedRect(QRect(x, y + 6, 22, 22), 6, 6);
            else
                p.drawRect(QRect(x, y + 2, 24, 26));
        }
    }
    // the counter with a scale
    p.setBrush(QColor(0x7a, 0x5c, 0x3a, 24));
    p.drawRoundedRect(QRect(560, 660, 420, 30), 6, 6);
    p.setBrush(QColor(0x1d, 0x2a, 0x3a, 22));
    p.drawRoundedRect(QRect(780, 616, 120, 44), 8, 8);
    p.drawRect(QRect(830, 600, 20, 18));
    p.drawEllipse(QRect(770, 586, 140, 18));
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRoundedRect(QRect(796, 626, 56, 18), 3, 3);
    awning(p, QRect(0, 754, 1024, 14), 32, 22);
    return img;
}

QImage dialogBackground(int w, int h, const std::function<void(QPainter &, const QRect &)> &motif)
{
    QImage img = canvas(w, h, false);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    softGradient(p, img.rect(), QColor(0xfb, 0xfa, 0xf6), QColor(0xe2, 0xea, 0xf2));
    QLinearGradient sheen(0, 0, w, h);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.45, QColor(255, 255, 255, 90));
    sheen.setColorAt(0.6, QColor(255, 255, 255, 0));
    p.fillRect(img.rect(), sheen);
    if (motif)
        motif(p, img.rect());
    return img;
}

QImage invoicePicture()
{
    QImage img = canvas(32, 32, false);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath page;
    page.addRect(QRectF(5.5, 1.5, 21, 29));
    p.setPen(QPen(QColor(0x6b, 0x78, 0x88), 1.0));
    p.setBrush(kPaper);
    p.drawPath(page);
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawRect(QRectF(8, 4, 9, 3));
    p.setBrush(QColor(0xa5, 0xb0, 0xbc));
    p.drawRect(QRectF(19, 4, 5, 1.4));
    p.drawRect(QRectF(19, 6.5, 5, 1.4));
    for (int i = 0; i < 4; ++i) {
        p.drawRect(QRectF(8, 11 + i * 3.2, 10, 1.4));
        p.drawRect(QRectF(20, 11 + i * 3.2, 4, 1.4));
    }
    p.setBrush(kInk);
    p.drawRect(QRectF(15, 25, 9, 2.4));
    return img;
}

QImage receiptPicture()
{
    QImage img = canvas(32, 32, false);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    receipt(p, 8, 16);
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: zd_artwork <assets folder>\n";
        return 2;
    }
    const QString emb = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/embedded/");
    const QString prog = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/program/");
    bool ok = true;

    ok &= save(icon([](QPainter &p) {
                   person(p, 9, 1, 0.72, kTeal);
                   person(p, 23, 1, 0.72, kAmber);
                   person(p, 16, 6, 0.95, kBlue);
               }), emb + "icon1.png", "PNG");
    ok &= save(icon([](QPainter &p) { person(p, 16, 3, 1.1, kBlue); }), emb + "icon2.png", "PNG");
    ok &= save(icon([](QPainter &p) { person(p, 14, 3, 1.1, kBlue); tick(p); }), emb + "icon3.png", "PNG");
    ok &= save(icon([](QPainter &p) { receipt(p); }), emb + "icon4.png", "PNG");
    ok &= save(icon([](QPainter &p) { receipt(p, 4); tick(p); }), emb + "icon5.png", "PNG");
    ok &= save(icon([](QPainter &p) { document(p); }), emb + "icon6.png", "PNG");
    ok &= save(icon([](QPainter &p) {
                   // a little smaller and to the left, so the tick leaves FAC readable
                   p.save();
                   p.translate(-3, 0);
                   p.scale(0.88, 0.88);
                   document(p);
                   p.restore();
                   tick(p);
               }), emb + "icon7.png", "PNG");
    // A credit note: the document with a red minus.
    ok &= save(icon([](QPainter &p) {
                   document(p);
                   p.setPen(QPen(Qt::white, 1.5));
                   p.setBrush(QColor(0xc6, 0x28, 0x28));
                   p.drawEllipse(QPointF(24.5, 24.5), 7, 7);
                   p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
                   p.drawLine(QPointF(21, 24.5), QPointF(28, 24.5));
               }), emb + "icon8.png", "PNG");
    // An invoice a credit note corrects: the document faded and struck out.
    ok &= save(icon([](QPainter &p) {
                   p.setOpacity(0.55);
                   document(p);
                   p.setOpacity(1);
                   p.setPen(QPen(QColor(0xc6, 0x28, 0x28), 2.6, Qt::SolidLine, Qt::RoundCap));
                   p.drawLine(QPointF(6, 28), QPointF(26, 4));
               }), emb + "icon9.png", "PNG");

    ok &= save(mainBackground(), emb + "fondo_externo.jpg", "JPG", 92);

    ok &= save(dialogBackground(480, 243, [](QPainter &p, const QRect &r) {
                   awning(p, QRect(0, 0, r.width(), 18), 24, 20);
               }), emb + "dlg_mensaje.jpg", "JPG", 92);
    ok &= save(dialogBackground(286, 151, [](QPainter &p, const QRect &r) {
                   // a faint clock face at the lower right
                   p.setPen(QPen(QColor(0x2f, 0x6f, 0xa8, 40), 4));
                   p.setBrush(Qt::NoBrush);
                   const QPointF c(r.width() - 46, r.height() - 42);
                   p.drawEllipse(c, 26, 26);
                   p.drawLine(c, c + QPointF(0, -16));
                   p.drawLine(c, c + QPointF(11, 6));
               }), emb + "dlg_espera.jpg", "JPG", 92);
    ok &= save(dialogBackground(418, 106, [](QPainter &p, const QRect &r) {
                   awning(p, QRect(0, r.height() - 16, r.width(), 16), 22, 22);
               }), emb + "dlg_carga.jpg", "JPG", 92);
    ok &= save(dialogBackground(361, 159, [](QPainter &p, const QRect &r) {
                   // a faint storefront at the lower left
                   p.setPen(Qt::NoPen);
                   p.setBrush(QColor(0x2f, 0x6f, 0xa8, 30));
                   p.drawRect(QRect(22, r.height() - 62, 70, 46));
                   awning(p, QRect(16, r.height() - 76, 82, 14), 10, 36);
                   p.setBrush(QColor(255, 255, 255, 90));
                   p.drawRect(QRect(30, r.height() - 52, 24, 36));
                   p.drawRect(QRect(60, r.height() - 52, 24, 22));
               }), emb + "dlg_tienda.jpg", "JPG", 92);

    ok &= save(invoicePicture(), prog + "fact.jpg", "JPG", 95);
    ok &= save(receiptPicture(), prog + "tique.jpg", "JPG", 95);
    return ok ? 0 : 1;
}
