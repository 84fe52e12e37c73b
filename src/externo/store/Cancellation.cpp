#include "Cancellation.h"

#include "PendingMarks.h"
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

    bool posBegun = false;
    const bool released =
        store->execute(QStringLiteral("delete from dbo.facturas where iddocumento='")
                       + QString(id).replace(QLatin1Char('\''), QLatin1String("''")) + QStringLiteral("'"))
        && JournalOwedChanges(*store, id, ticketIdsOf(lines), kOwedRelease)
        && (posBegun = pos->beginTransaction()) && posdata::ClearInvoicedMark(state, lines);
    if (!released || !store->commit()) {
        if (posBegun)
            pos->rollback();
        store->rollback();
        return CancelOutcome::Kept;
    }
    if (!pos->commit()) {
        pos->rollback();
        return SettlePendingMarks(state, *store) ? CancelOutcome::Cancelled : CancelOutcome::ReleaseOwed;
    }
    SettleJournal(*store, id);
    return CancelOutcome::Cancelled;
}

} // namespace zd
