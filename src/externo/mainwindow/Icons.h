#pragma once
#include <QIcon>

namespace zd {

// The window's image list: seven 32x32 pictures numbered 1 to 7
// (group, customer, chosen customer, ticket, chosen ticket, document,
// shown document). Loaded once, shared by all trees.
QIcon treeIcon(int number);

} // namespace zd
