#pragma once
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace zd {

struct AppState;
namespace sql {
class Connection;
}

// The invoice store's documents beside the point-of-sale marks. One invoice
// store serves a point-of-sale server: every ticket marked since the store's
// first document should be held by one of its documents, every ticket a
// stored document holds should be marked, and no ticket should be in two
// documents (an invoice made from a delivery note shares the note's tickets
// by design and does not count).
struct Reconciliation {
    bool ok = false;
    QString error;
    QString since;                          // the day of the store's first document (yyyy-mm-dd); empty: no document
    QVector<qint32> markedInNoDocument;     // another invoice store's tickets, or lost sales
    QMap<QString, QVector<qint32>> documentsWithOpenTickets;
    QMap<qint32, QStringList> ticketsInTwoDocuments;
};

// Compares the store with the point-of-sale database (both connections
// open). Tickets whose marks the journal still owes are left out of the
// first two lists.
Reconciliation ReconcileTickets(sql::Connection &store, sql::Connection &pos);

// Whether this store is known to be the only one marking the point-of-sale
// server (nothing marked since its first document outside its documents).
// Nothing when that cannot be checked. Uses state.PosConnection.
std::optional<bool> OnlyStoreOnPosServer(AppState &state, sql::Connection &store);

// The operator's message when tickets are marked that no document of this
// store holds; empty when there are none.
QString ForeignTicketsMessage(const Reconciliation &r);

} // namespace zd
