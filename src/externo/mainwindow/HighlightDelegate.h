#pragma once
#include <QStyledItemDelegate>

namespace zd {

// Paints a node that carries a background colour of its own (the yellow of
// a found customer, ticket or document) in that colour even while it is
// selected, so the selection does not hide it, with or without the focus.
class HighlightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

} // namespace zd
