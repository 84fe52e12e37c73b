#pragma once
#include <QByteArray>
#include <QString>

namespace zd::posdemo {

// The shop's logo as the scales' server keeps it in empresa.Logo: the bytes
// of a PNG file. A round badge with the shop's name; the lettering needs a
// QGuiApplication (fonts), without one the badge is drawn without it.
namespace ShopLogo {

QByteArray png(const QString &topText, const QString &bottomText, int size = 256);

} // namespace ShopLogo
} // namespace zd::posdemo
