#pragma once
#include <QColor>
#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

// The trees of the main window are addressed the way the system counts
// nodes: node 1 is the root, nodes 2 and up are its children in order.
// Each node carries the number of its picture in the window's image list.
namespace zd::nodes {

int nodeCount(const QTreeWidget *tree);                 // root included; 0 for an empty tree
QTreeWidgetItem *node(const QTreeWidget *tree, int index);  // nullptr when absent
int indexOf(const QTreeWidget *tree, const QTreeWidgetItem *item); // 0 when not a node
int selectedIndex(const QTreeWidget *tree);            // 0 when nothing is selected
void select(QTreeWidget *tree, int index);

int image(const QTreeWidgetItem *item);
void setImage(QTreeWidgetItem *item, int image);
void setBackground(QTreeWidgetItem *item, const QColor &colour);
QColor background(const QTreeWidgetItem *item);

QTreeWidgetItem *addRoot(QTreeWidget *tree, const QString &key, const QString &text, int image);
QTreeWidgetItem *addChild(QTreeWidget *tree, const QString &text, int image);
QString key(const QTreeWidgetItem *item);

} // namespace zd::nodes
