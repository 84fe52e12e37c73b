#pragma once
#include <QIcon>

namespace zd {

// The window's image list: nine 32x32 pictures numbered 1 to 9
// (group, customer, chosen customer, ticket, chosen ticket, document,
// shown document, credit note, invoice corrected by a credit note). Loaded
// once, shared by all trees.
QIcon treeIcon(int number);

} // namespace zd
