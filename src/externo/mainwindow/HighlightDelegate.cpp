#include "HighlightDelegate.h"

#include <QBrush>

namespace zd {

void HighlightDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (!(option->state & QStyle::State_Selected))
        return;
    const QVariant background = index.data(Qt::BackgroundRole);
    if (!background.canConvert<QBrush>())
        return;
    const QBrush brush = background.value<QBrush>();
    if (brush.style() == Qt::NoBrush || brush.color() == QColor(Qt::white))
        return;
    // The selection is drawn in the node's own colour, its text as unselected.
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        option->palette.setBrush(group, QPalette::Highlight, brush);
        option->palette.setColor(group, QPalette::HighlightedText, option->palette.color(group, QPalette::Text));
    }
}

} // namespace zd
