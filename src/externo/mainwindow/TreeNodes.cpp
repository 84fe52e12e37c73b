#include "TreeNodes.h"
#include "Icons.h"

#include <QTreeWidget>

namespace zd::nodes {
namespace {
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kKeyRole = Qt::UserRole + 2;
}

int nodeCount(const QTreeWidget *tree)
{
    const QTreeWidgetItem *root = tree->topLevelItem(0);
    return root ? 1 + root->childCount() : 0;
}

QTreeWidgetItem *node(const QTreeWidget *tree, int index)
{
    QTreeWidgetItem *root = tree->topLevelItem(0);
    if (!root || index < 1)
        return nullptr;
    if (index == 1)
        return root;
    return root->child(index - 2);
}

int indexOf(const QTreeWidget *tree, const QTreeWidgetItem *item)
{
    const QTreeWidgetItem *root = tree->topLevelItem(0);
    if (!root || !item)
        return 0;
    if (item == root)
        return 1;
    if (item->parent() != root)
        return 0;
    return root->indexOfChild(const_cast<QTreeWidgetItem *>(item)) + 2;
}

int selectedIndex(const QTreeWidget *tree)
{
    return indexOf(tree, tree->currentItem());
}

void select(QTreeWidget *tree, int index)
{
    if (QTreeWidgetItem *item = node(tree, index))
        tree->setCurrentItem(item);
}

int image(const QTreeWidgetItem *item)
{
    return item ? item->data(0, kImageRole).toInt() : 0;
}

void setImage(QTreeWidgetItem *item, int image)
{
    if (!item)
        return;
    item->setData(0, kImageRole, image);
    item->setIcon(0, treeIcon(image));
}

void setBackground(QTreeWidgetItem *item, const QColor &colour)
{
    if (item)
        item->setBackground(0, colour);
}

QColor background(const QTreeWidgetItem *item)
{
    if (!item)
        return {};
    const QBrush brush = item->background(0);
    return brush.style() == Qt::NoBrush ? QColor(Qt::white) : brush.color();
}

QTreeWidgetItem *addRoot(QTreeWidget *tree, const QString &key, const QString &text, int image)
{
    auto *item = new QTreeWidgetItem(tree, QStringList{text});
    item->setData(0, kKeyRole, key);
    setImage(item, image);
    return item;
}

QTreeWidgetItem *addChild(QTreeWidget *tree, const QString &text, int image)
{
    QTreeWidgetItem *root = tree->topLevelItem(0);
    if (!root)
        return nullptr;
    auto *item = new QTreeWidgetItem(root, QStringList{text});
    setImage(item, image);
    return item;
}

QString key(const QTreeWidgetItem *item)
{
    return item ? item->data(0, kKeyRole).toString() : QString();
}

} // namespace zd::nodes
