#pragma once
#include <QColor>
#include <QPixmap>
#include <QString>
#include <stdexcept>

namespace zd::common {

// Raised when a picture file cannot be loaded: number 999, source
// "GDI+ Module", description "Error loading picture " + path.
class PictureError : public std::runtime_error {
public:
    explicit PictureError(const QString &path);
    int number() const { return 999; }
    QString source() const { return QStringLiteral("GDI+ Module"); }
    QString description() const { return m_description; }
private:
    QString m_description;
};

// Loads an image file (PNG with transparency, JPEG, ...) into an opaque
// pixmap painted over `background`. width/height -1: the image's own size,
// and then both are set to it. Other sizes stretch the image (smooth).
// Throws PictureError.
QPixmap LoadGdiPicture(const QString &path, int &width, int &height,
                       const QColor &background = Qt::white);

} // namespace zd::common
