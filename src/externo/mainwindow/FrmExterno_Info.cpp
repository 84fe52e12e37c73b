// The chosen customer's panel and the one-line summary of a ticket.
#include "FrmExterno.h"
#include "TreeNodes.h"

#include "externo/posdata/TicketInfo.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace zd {

void FrmExterno::ShowCustomerDetails()
{
    const auto texts = posdata::ShowCustomerDetails(m_state);
    if (!texts)
        return;
    TxtCodCli->setText(texts->codCli);
    TxtNifCli->setText(texts->nifCli);
    TxtNomCli->setText(texts->nomCli);
    TxtDirCli->setText(texts->dirCli);
    TxtPobCli->setText(texts->pobCli);
    TxtPosCli->setText(texts->posCli);
    TxtProCli->setText(texts->proCli);
    TxtTelCli->setText(texts->telCli);
    TxtEmaCli->setText(texts->emaCli);
    // A customer found by typing leaves the box with what was typed.
    if (m_choosingByTyping)
        return;
    TxtCliente->setText(texts->cliente);
    // The next key typed replaces the code.
    TxtCliente->setSelection(0, int(TxtCliente->text().size()));
    m_replaceCode = true;
}

void FrmExterno::ShowTicketInfo()
{
    QTreeWidget *tickets = TreeClient[1];
    const int index = nodes::selectedIndex(tickets);
    if (index < 2) {
        TxtInfoTique->clear();
        return;
    }
    const posdata::TicketInfoResult info = posdata::ShowTicketInfo(m_state, nodes::node(tickets, index)->text(0));
    switch (info.status) {
    case posdata::TicketInfoResult::Shown:
        TxtInfoTique->setPlainText(info.text);
        TxtInfoTique->repaint();
        break;
    case posdata::TicketInfoResult::NotFound:
        break;   // a ticket gone from the point of sale keeps the previous line
    case posdata::TicketInfoResult::Failed:
        // No line rather than another ticket's line beside this node.
        TxtInfoTique->clear();
        break;
    }
}

} // namespace zd
