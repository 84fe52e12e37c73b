// The main window's load handler: one-time work of a run.
#include "FrmExterno.h"
#include "TreeNodes.h"

#include "common/Processes.h"
#include "externo/dialogs/Var.h"
#include "externo/posdata/Catalogues.h"
#include "externo/posdata/CustomerLookup.h"
#include "externo/posdata/ListQueries.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/store/PendingMarks.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>

namespace zd {

void FrmExterno::Load(QWidget *loadingWindow)
{
    // 1. The whole screen, less 10 twips of height.
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        setGeometry(area.left(), area.top(), area.width(), area.height() - 1);
    }

    // 2. The point-of-sale connection lives as long as the window.
    m_state.PosConnection = m_state.newConnection();
    if (!m_state.PosConnection->open(sql::posConnectionString(m_state.PosCatalog, m_state.PosServer))) {
        TakeOfflinePath(m_state, loadingWindow);
        return;
    }

    // 4. Initial state of the controls.
    TreeClient[2]->setEnabled(false);
    TreeClient[2]->hide();
    CmdFacturas->setText(QStringLiteral("AFFICHAGE FACTURES/BLs"));
    m_state.DocumentViewActive = false;
    TxtFacAlb->hide();
    CmdAnularAlb->setEnabled(false);
    m_state.SortDirection = QStringLiteral("DESC");
    m_state.SelectedCustomerIndex = 0;
    m_state.SelectedDocumentIndex = 0;
    m_state.AllTicketsSelected = false;

    // 5, 6. Line list columns and the customer tree's root.
    AddListColumns();
    TreeClient[0]->clear();
    nodes::addRoot(TreeClient[0], QStringLiteral("Clientes"), QStringLiteral("Clients"), 1);

    // 7 to 12. Customers, shop data with its logo, currency.
    const CatalogueLoad catalogues = LoadCatalogues(m_state);
    switch (catalogues.outcome) {
    case CatalogueLoad::Outcome::NoCustomers:
        stopProgram(QStringLiteral("PAS DE CLIENTS..."), nullptr);
        return;
    case CatalogueLoad::Outcome::NoCompanyData:
        stopProgram(QStringLiteral("DONNEES DE L'ENTREPRISE NON PROGRAMMEES."
                                   "SAISIR LES DONNES DANS LE MENU PROGRAMMATIONS."),
                    loadingWindow);
        return;
    case CatalogueLoad::Outcome::Ok:
        break;
    }
    fillCustomerTree(catalogues.customerNodeTexts);

    // 13, 14. Tax rates, totals cleared, loading window closed.
    clearTotalsOnLoad();
    if (loadingWindow)
        loadingWindow->close();

    // What an issue or cancellation interrupted in an earlier run still owes
    // the point-of-sale database is done before any ticket is offered.
    if (!SettlePendingMarks(m_state))
        ShowMessage(m_state,
                    QStringLiteral("Des tickets d'un document interrompu n'ont pas pu être mis à jour dans "
                                   "Tillvane. Aucun document ne sera généré avant qu'ils le soient."),
                    1);

    // 15. The customer of the most recent open ticket, and its first ticket.
    preselectLatestCustomer();

    // What a replay completed is told; the books are checked behind the window.
    takeReplayOutcome();
    startBooksCheck();

    emit loaded();
}

// ---- choosing block: step 15 of the load ----
bool FrmExterno::chooseLatestTicketCustomer()
{
    const qint32 customer = posdata::LatestOpenTicketCustomer(m_state);
    if (customer == 0)
        return false;
    TxtCliente->setText(QString::number(customer));
    // The customer the ticket belongs to, by its code: searching the node
    // texts for the number could find another code or name containing it.
    if (const int index = posdata::CustomerNodeByNumber(m_state, customer))
        chooseCustomer(index, false);
    TxtCliente->selectAll();
    return true;
}

void FrmExterno::preselectLatestCustomer()
{
    if (!chooseLatestTicketCustomer() || !nodes::node(TreeClient[1], 2))
        return;
    nodes::select(TreeClient[1], 2);
    TreeClient_Click(1);
}
// ---- end of choosing block ----

void FrmExterno::fillCustomerTree(const QStringList &nodeTexts)
{
    QTreeWidget *customers = TreeClient[0];
    customers->setUpdatesEnabled(false);
    QTreeWidgetItem *root = nodes::node(customers, 1);
    QList<QTreeWidgetItem *> items;
    items.reserve(nodeTexts.size());
    for (const QString &text : nodeTexts) {
        auto *item = new QTreeWidgetItem(QStringList{text});
        nodes::setImage(item, 2);
        items.append(item);
    }
    root->addChildren(items);
    root->setExpanded(true);
    customers->setUpdatesEnabled(true);
}

void FrmExterno::stopProgram(const QString &message, QWidget *loadingWindow)
{
    if (loadingWindow)
        loadingWindow->close();
    if (m_state.PosConnection) {
        m_state.PosConnection->close();
        m_state.PosConnection.reset();
    }
    ShowMessage(m_state, message, 1);
    common::KillProcessByName(QStringLiteral("trs_teclado.exe"));
    m_state.EndProgram(0);
}

} // namespace zd
