#include "Cancellation.h"

#include "Facturas.h"
#include "PendingMarks.h"
#include "externo/sql/SqlLiteral.h"
#include "externo/books/ChainEvents.h"
#include "externo/books/ChainMarker.h"
#include "externo/posdata/InvoicedMark.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

namespace zd {

namespace {

// The point-of-sale ids of the note's lines; a field that is not a plain
// number is left out, as the release itself skips it.
QVector<qint32> ticketIdsOf(const LineRecordSet &lines)
{
    QVector<qint32> ids;
    for (const QStringList &line : lines) {
        if (line.size() <= 8)
            continue;
        bool isNumber = false;
        const QString field = line.at(8).trimmed();
        const qint32 id = field.toInt(&isNumber);
        if (isNumber && id >= 0 && !field.startsWith(QLatin1Char('+')))
            ids << id;
    }
    return ids;
}

} // namespace

// The same order as an issue: the deletion and the owed releases commit
// together in the store, then the releases commit in the point-of-sale
// database, then the journal rows go. A crash between the two commits
// leaves the releases in the journal for the replay; a release touches only
// a marked ticket, so the tickets are opened once.
CancelOutcome CancelDeliveryNote(AppState &state, const QString &id, const LineRecordSet &lines)
{
    sql::Connection *pos = state.PosConnection.get();
    if (!pos || !pos->isOpen())
        return CancelOutcome::Kept;
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()) || !SettlePendingMarks(state, *store))
        return CancelOutcome::Kept;
    if (!store->beginTransaction())
        return CancelOutcome::Kept;

    // The note is kept, as it was, among the cancelled documents: its number
    // is never issued again and its archive stays its own.
    const QString where = QStringLiteral(" where iddocumento=") + sql::Quoted(id);
    bool posBegun = false;
    int deleted = 0;
    const bool released =
        store->execute(QStringLiteral("insert into dbo.FacturasAnuladas select * from dbo.facturas") + where)
        && store->execute(QStringLiteral("insert into dbo.DocumentoAnulado select * from dbo.documento") + where)
        && books::RecordCancellation(*store, state.Now(), id)
        && store->execute(QStringLiteral("delete from dbo.facturas") + where, &deleted) && deleted == 1
        && JournalOwedChanges(*store, id, ticketIdsOf(lines), kOwedRelease)
        && (posBegun = pos->beginTransaction()) && posdata::ClearInvoicedMark(state, lines);
    if (!released || !store->commit()) {
        const bool undone = !released || store->commitOutcomeKnown();
        if (posBegun)
            pos->rollback();
        store->rollback();
        if (undone)
            return CancelOutcome::Kept;
        // The server may have committed before the connection failed: if
        // the note is gone, its releases wait in the journal.
        const auto stored = DocumentStored(state, id);
        return !stored ? CancelOutcome::Unknown : *stored ? CancelOutcome::Kept : CancelOutcome::ReleaseOwed;
    }
    books::AnchorHead(state, *store);
    if (!pos->commit()) {
        pos->rollback();
        return SettlePendingMarks(state, *store) ? CancelOutcome::Cancelled : CancelOutcome::ReleaseOwed;
    }
    SettleCommitted(state, *store, id);
    return CancelOutcome::Cancelled;
}

} // namespace zd
