#pragma once
#include <QString>

namespace zd {

// "balanzaip.txt": the point-of-sale server's address on its first line.
// Returns the line without its line ending, or `fallback` when the file is
// missing, unreadable or its first line is empty.
QString readPosServer(const QString &programFolder, const QString &fallback);

// "office.txt" present: the shop has one point-of-sale database per shop.
bool hasShopMarker(const QString &programFolder);

// "Tillvane" + the shop number formatted "00" below 100, else all its digits
// (at least three); shop 0 leaves the base name.
QString shopCatalog(const QString &base, int shopNumber);

} // namespace zd
