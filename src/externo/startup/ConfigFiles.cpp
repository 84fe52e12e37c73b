#include "ConfigFiles.h"

#include <QFile>

namespace zd {

QString readPosServer(const QString &programFolder, const QString &fallback)
{
    QFile file(programFolder + QStringLiteral("/balanzaip.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return fallback;
    QByteArray line = file.readLine(4096);
    // The line ending (LF, CRLF or a lone CR) is not part of the address.
    const int end = line.indexOf('\r');
    if (end >= 0)
        line.truncate(end);
    while (line.endsWith('\n'))
        line.chop(1);
    const QString address = QString::fromLocal8Bit(line);
    return address.isEmpty() ? fallback : address;
}

bool hasShopMarker(const QString &programFolder)
{
    return QFile::exists(programFolder + QStringLiteral("/office.txt"));
}

QString shopCatalog(const QString &base, int shopNumber)
{
    if (shopNumber == 0)
        return base;
    const int width = shopNumber < 100 ? 2 : 3;
    return base + QStringLiteral("%1").arg(shopNumber, width, 10, QLatin1Char('0'));
}

} // namespace zd
