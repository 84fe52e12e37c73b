#pragma once
#include "externo/state/ShopSettings.h"

#include <QStringList>

namespace zd {

// The shop's invoicing settings file in the program folder.
inline constexpr char kShopSettingsFile[] = "facturation.txt";

// Reads "facturation.txt": UTF-8 lines "key=value"; blank lines and lines
// beginning with '#' are skipped. A missing file gives the defaults. Each bad
// line (no '=', unknown key, a value the key does not take) adds one French
// message naming the file and the line to *problems and leaves that key at
// its default.
ShopSettings ReadShopSettings(const QString &programFolder, QStringList *problems);

// Longest note text, and longest electronic address the platforms accept.
inline constexpr int kMaxNoteLength = 500;
inline constexpr int kMaxAddressLength = 125;

} // namespace zd
