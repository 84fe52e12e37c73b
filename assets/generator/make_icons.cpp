// Draws the menu icons of both programs in the hicolor theme's usual sizes.
// Usage: zd_icons <output folder>   (writes hicolor/<n>x<n>/apps/<id>.png)
// Run by the build; the drawings are vectors, so every size is drawn, not scaled.
#include "Drawings.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QTextStream>

#include <functional>

using namespace zd::artwork;

namespace {

const int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// The invoicing program: a till receipt behind the invoice made from it.
void zedorevIcon(QPainter &p)
{
    p.save();
    p.translate(-1.5, 1);
    p.scale(0.82, 0.82);
    receipt(p, 4, 17);
    p.restore();
    p.save();
    p.translate(9.5, 4);
    p.scale(0.82, 0.86);
    document(p);
    p.restore();
}

// The keyboard: a dark board with three rows of keys and a space bar.
void keyboardIcon(QPainter &p)
{
    QLinearGradient body(0, 6, 0, 27);
    body.setColorAt(0, QColor(84, 92, 106));
    body.setColorAt(1, QColor(50, 56, 66));
    p.setPen(QPen(QColor(30, 34, 40), 1.0));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(1.5, 6.5, 29, 20), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 239, 243));
    for (int row = 0; row < 3; ++row) {
        const double offset = row == 1 ? 1.6 : 0;
        for (int k = 0; k < 6 - (row == 1 ? 1 : 0); ++k)
            p.drawRoundedRect(QRectF(4 + offset + k * 4.3, 9.5 + row * 4.2, 3.2, 3.0), 0.7, 0.7);
    }
    p.drawRoundedRect(QRectF(9, 22, 14, 2.6), 0.7, 0.7);
    p.setBrush(kGreen);
    p.drawRoundedRect(QRectF(4, 22, 3.6, 2.6), 0.7, 0.7);
}

bool write(const QString &folder, const QString &id, const std::function<void(QPainter &)> &draw)
{
    for (int size : kSizes) {
        QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            p.scale(size / 32.0, size / 32.0);
            draw(p);
        }
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(folder).arg(size);
        QSaveFile f(dir + QLatin1Char('/') + id + QStringLiteral(".png"));
        if (!QDir().mkpath(dir) || !f.open(QIODevice::WriteOnly) || !img.save(&f, "PNG") || !f.commit()) {
            QTextStream(stderr) << "zd_icons: cannot write " << f.fileName() << "\n";
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: zd_icons <output folder>\n";
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const bool ok = write(out, QStringLiteral("org.zedorev.Zedorev"), zedorevIcon)
                    && write(out, QStringLiteral("org.zedorev.TrsTeclado"), keyboardIcon);
    return ok ? 0 : 1;
}
