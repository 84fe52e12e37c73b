#include "choosing_helpers.h"

#include "externo/mainwindow/TreeNodes.h"
#include "externo/posdata/TicketNodes.h"

#include <QTest>
#include <QTreeWidget>

namespace zd::choosing {

Shop::Shop()
{
    state.EndProgram = [this](int) { ++endCalls; };
}

std::unique_ptr<FrmExterno> openWindow(Shop &shop)
{
    auto window = std::make_unique<FrmExterno>(shop.state);
    window->show();
    window->Load();
    // The wait window of the preselection may have taken the activation.
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("main window not active");
    return window;
}

void clickNode(QTreeWidget *tree, int index)
{
    QTreeWidgetItem *item = nodes::node(tree, index);
    if (!item) {
        qWarning("no node %d", index);
        return;
    }
    tree->scrollToItem(item);
    const QRect rect = tree->visualItemRect(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
}

QStringList childTexts(const QTreeWidget *tree)
{
    QStringList texts;
    for (int i = 2; i <= nodes::nodeCount(tree); ++i)
        texts << nodes::node(tree, i)->text(0);
    return texts;
}

QVector<int> childImages(const QTreeWidget *tree)
{
    QVector<int> images;
    for (int i = 2; i <= nodes::nodeCount(tree); ++i)
        images << nodes::image(nodes::node(tree, i));
    return images;
}

QStringList column(const QTreeWidget *list, int column)
{
    QStringList texts;
    for (int r = 0; r < list->topLevelItemCount(); ++r)
        texts << list->topLevelItem(r)->text(column);
    return texts;
}

QVector<qint32> chosenTicketIds(const QTreeWidget *tickets)
{
    QVector<qint32> ids;
    for (int i = 2; i <= nodes::nodeCount(tickets); ++i) {
        const QTreeWidgetItem *node = nodes::node(tickets, i);
        if (nodes::image(node) == 5)
            ids << posdata::ParseTicketNode(node->text(0))->ticketId;
    }
    return ids;
}

} // namespace zd::choosing
