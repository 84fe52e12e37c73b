#pragma once
#include "externo/mainwindow/FrmExterno.h"
#include "support/PosFixture.h"

#include <QStringList>
#include <QVector>
#include <memory>

class QTreeWidget;

// A shop on fixture databases with the main window loaded on it, and the
// operator's gestures on its trees, as the choosing tests use them.
namespace zd::choosing {

struct Shop {
    test::ProgramFolder folder;
    test::PosFixture pos{folder.path()};
    AppState state{sql::EngineConfig::fromProgramFolder(folder.path())};
    int endCalls = 0;
    Shop();
};

// A window loaded on the shop's databases, shown (offscreen) so that
// mouse clicks land on its nodes.
std::unique_ptr<FrmExterno> openWindow(Shop &shop);

// Clicks node `index` (1 the root) with the mouse.
void clickNode(QTreeWidget *tree, int index);
// The texts and pictures of a tree's nodes 2 and up.
QStringList childTexts(const QTreeWidget *tree);
QVector<int> childImages(const QTreeWidget *tree);
// One column of every line of ListView1, top to bottom.
QStringList column(const QTreeWidget *list, int column);
// Ids of the ticket nodes showing the chosen picture, in tree order.
QVector<qint32> chosenTicketIds(const QTreeWidget *tickets);

} // namespace zd::choosing
