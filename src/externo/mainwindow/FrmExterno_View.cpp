// Switching between the ticket view and the document view (CmdFacturas).
#include "FrmExterno.h"
#include "TreeNodes.h"

#include "common/Pictures.h"
#include "externo/posdata/ListQueries.h"
#include "externo/posdata/TaxBreakdown.h"
#include "externo/posdata/TotalsDisplay.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace zd {

namespace {

// The view switch's own picture: the one it shows until the first switch,
// and again whenever a picture file is missing or unreadable.
QIcon builtInSwitchIcon()
{
    return QIcon(QStringLiteral(":/assets/icon6.png"));
}

// A picture of the program folder, or nothing when it cannot be read.
QIcon pictureFile(const QString &path)
{
    try {
        int width = -1;
        int height = -1;
        return QIcon(common::LoadGdiPicture(path, width, height));
    } catch (const common::PictureError &) {
        return {};
    }
}

} // namespace

void FrmExterno::connectDocumentSide()
{
    connect(CmdFacturas, &QPushButton::clicked, this, [this] { CmdFacturas_Click(); });
    connect(CmdPeriodo, &QPushButton::clicked, this, [this] { CmdPeriodo_Click(); });
    connect(CmdTiqAsc, &QPushButton::clicked, this, [this] { CmdTiqAsc_Click(); });
    connect(CmdTiqDesc, &QPushButton::clicked, this, [this] { CmdTiqDesc_Click(); });
    connect(CmdBorraSel, &QPushButton::clicked, this, [this] { CmdBorraSel_Click(); });
    setDocumentClickHandler([this] { DocumentTree_Click(); });
}

void FrmExterno::applyViewSettings(bool documentView)
{
    TxtFacAlb->setVisible(documentView);
    TreeClient[1]->setEnabled(!documentView);
    TreeClient[1]->setVisible(!documentView);
    TreeClient[2]->setEnabled(documentView);
    TreeClient[2]->setVisible(documentView);
    CmdFacturas->setText(documentView ? QStringLiteral("Afficher Ticket")
                                      : QStringLiteral("AFFICHAGE FACTURES/BLs"));
    CmdFacturaImprime->setText(documentView ? QStringLiteral("Copie Facture")
                                            : QStringLiteral("Générer Facture"));
    CmdAlbaranImprime->setText(documentView ? QStringLiteral("Copie Bon de livraison")
                                            : QStringLiteral("Générer Bon de livraison"));
    // Read at every switch, so that a picture replaced meanwhile is seen.
    const QIcon picture = pictureFile(m_state.pictureFile(
        documentView ? QStringLiteral("/tique.jpg") : QStringLiteral("/fact.jpg")));
    CmdFacturas->setIcon(picture.isNull() ? builtInSwitchIcon() : picture);
    CmdBorraSel->setVisible(!documentView);
    m_state.DocumentViewActive = documentView;
    Label2->setText(documentView ? QStringLiteral("FAC/BLs:") : QStringLiteral("TICKET:"));
    Label4->setText(documentView ? QStringLiteral("AFFICHAGE FACTURES/BLs")
                                 : QStringLiteral("AFFICHAGE DES TICKETS"));
    CmdAnularAlb->setEnabled(documentView);
    CmdAvoir->setVisible(documentView);
}

void FrmExterno::CmdFacturas_Click()
{
    // 1, 2. Nothing of the old view survives: texts, totals, copy number.
    TxtTique->clear();
    TxtFacAlb->clear();
    posdata::ClearTaxTotals(m_state);
    posdata::ClearTotalsDisplay(m_state, *this);
    m_state.SelectionBase = 0;
    m_state.SelectionTax = 0;
    m_state.CopyNumber = 0;

    // 3 to 5. Lines, chosen customer, shown document, both trees.
    ListView1->clear();
    ListView1->setColumnCount(0);
    if (m_state.SelectedCustomerIndex != 0) {
        QTreeWidgetItem *customer = nodes::node(TreeClient[0], m_state.SelectedCustomerIndex);
        nodes::setImage(customer, 2);
        nodes::setBackground(customer, Qt::white);
        m_state.SelectedCustomerIndex = 0;
    }
    m_state.SelectedDocumentIndex = 0;
    TreeClient[1]->clear();
    TreeClient[2]->clear();

    // 6, 7. The other view's settings and the line list's columns.
    const bool documentView = !m_state.DocumentViewActive;
    applyViewSettings(documentView);
    AddListColumns();
    TxtTique->setMaxLength(documentView ? 15 : 8);

    // 8. The customer typed (or of the latest open ticket) is chosen again,
    // and the first node of the new view is clicked.
    bool chosen = false;
    if (TxtCliente->text().trimmed().isEmpty()) {
        chosen = chooseLatestTicketCustomer();
    } else {
        // The chosen customer's code (or the text that found it) in the box
        // chooses that same customer again.
        int enter = 13;
        TxtCliente_KeyPress(enter);
        TxtCliente->selectAll();
        chosen = true;
    }
    if (chosen) {
        const int treeIndex = documentView ? 2 : 1;
        if (nodes::node(TreeClient[treeIndex], 2)) {
            nodes::select(TreeClient[treeIndex], 2);
            TreeClient_Click(treeIndex);
        }
    }

    // 9.
    TxtCliente->setFocus();
}

} // namespace zd
