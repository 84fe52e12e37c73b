#pragma once
#include <QString>
#include <QVector>

namespace zd {

struct AppState;
namespace sql {
class Connection;
}

// The invoice store and the point-of-sale database cannot commit together.
// What the point-of-sale side still owes is therefore journalled in the
// invoice store (table MarcasPendientes), in the same store transaction as
// the document it belongs to (or the deletion of a cancelled delivery
// note): 'M' a ticket still to be marked, 'L' a ticket still to be released.
// Once the point-of-sale transaction has committed the rows are deleted.
// A crash between the two commits leaves the rows behind; they are replayed
// at start and before every issue or cancellation, so nothing else runs
// while something is owed. Each replayed change touches only a ticket in
// the state it should leave (an open ticket is marked, a marked one
// released): replaying twice changes nothing. A ticket that a live document
// of this store holds is never released.
//
// The marks are the same whoever makes them, so a replay that finds a mark
// already there (or a release already done) cannot tell its own committed
// change from another invoice store's. It settles quietly only when this
// store is known to be the only one on the point-of-sale server (no ticket
// marked since its first document lies outside its documents, see
// Reconciliation.h); otherwise it settles and leaves a warning for the
// operator in state.ReplayWarnings.
inline constexpr char kOwedMark[] = "M";
inline constexpr char kOwedRelease[] = "L";

// Journal rows for a document, on `store` inside the caller's transaction.
bool JournalOwedChanges(sql::Connection &store, const QString &documentId, const QVector<qint32> &ticketIds,
                        const char *action);

// Deletes a document's journal rows once what they owed is committed.
bool SettleJournal(sql::Connection &store, const QString &documentId);

// After the point-of-sale side of a document committed: deletes its journal
// rows, or, when the store refuses, remembers them in state.JournalToClear
// so that they are deleted (not replayed) before anything else is issued.
void SettleCommitted(AppState &state, sql::Connection &store, const QString &documentId);

// Settles what is owed: the rows of state.JournalToClear are deleted, the
// other rows replayed on state.PosConnection in one transaction and then
// deleted. Documents whose marks the replay made go to
// state.CompletedByReplay. true when nothing is owed any more; false when
// the journal could not be read or cleared or the point-of-sale database
// refused (the rows stay for the next replay). `store` is an open invoice
// store connection; the overload opens its own.
bool SettlePendingMarks(AppState &state, sql::Connection &store);
bool SettlePendingMarks(AppState &state);

} // namespace zd
