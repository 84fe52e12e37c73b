#include "Pictures.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>

namespace zd::common {

PictureError::PictureError(const QString &path)
    : std::runtime_error(("Error loading picture " + path).toStdString())
    , m_description(QStringLiteral("Error loading picture ") + path)
{
}

QPixmap LoadGdiPicture(const QString &path, int &width, int &height, const QColor &background)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        throw PictureError(path);

    // Any negative size stands for "the picture's own size" (callers pass -1).
    if (width < 0 || height < 0) {
        width = image.width();
        height = image.height();
    }
    if (width == 0 || height == 0)
        return QPixmap();

    // An opaque canvas: transparent parts of the picture show the background,
    // so controls that cannot draw transparency still show it right.
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(background.rgb());
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.drawImage(QRect(0, 0, width, height), image);
    }
    return QPixmap::fromImage(canvas);
}

} // namespace zd::common
