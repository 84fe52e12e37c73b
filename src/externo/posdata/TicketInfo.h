#pragma once
#include <QString>
#include <optional>

namespace zd {
struct AppState;
struct CustomerRecord;
}

namespace zd::posdata {

// The customer panel: TxtCodCli, TxtNifCli, TxtNomCli, TxtDirCli,
// TxtPobCli, TxtPosCli, TxtProCli, TxtTelCli, TxtEmaCli and TxtCliente, in
// that order, copied as they are. The window selects all of TxtCliente
// afterwards so the next key typed overwrites the code.
struct CustomerPanelTexts {
    QString codCli, nifCli, nomCli, dirCli, pobCli, posCli, proCli, telCli, emaCli, cliente;
};
CustomerPanelTexts CustomerDetailsTexts(const CustomerRecord &customer);
// The panel of state.Customers[state.SelectedCustomerIndex]; none when the
// index names no customer.
std::optional<CustomerPanelTexts> ShowCustomerDetails(const AppState &state);

QString TicketInfoSql(qint32 ticketId);

// The one-line summary of TxtInfoTique for a ticket node: "N°Ticket: 57
// Date : 05/03/2021 Vendeur: 3 Balance: 2 Montant: 12,5".
struct TicketInfoResult {
    enum Status {
        Shown,     // text holds the new line
        NotFound,  // no such ticket (or not a ticket node): keep the old text
        Failed,    // query error or a missing value; error says which
    };
    Status status = NotFound;
    QString text;
    QString error;
};
// Reads the node with ReadTicketNode (CurrentTicketNumber/Id) and the
// ticket's row on state.PosConnection. The number shown is the node's.
TicketInfoResult ShowTicketInfo(AppState &state, const QString &ticketNodeText);

} // namespace zd::posdata
