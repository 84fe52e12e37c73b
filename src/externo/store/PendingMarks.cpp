#include "PendingMarks.h"

#include "externo/posdata/InvoicedMark.h"
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

#include <QSet>
#include <QVariantMap>

namespace zd {

namespace {

QString quoted(const QString &id)
{
    return QLatin1Char('\'') + QString(id).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

} // namespace

bool JournalOwedChanges(sql::Connection &store, const QString &documentId, const QVector<qint32> &ticketIds,
                        const char *action)
{
    QSet<qint32> written;
    for (const qint32 ticket : ticketIds) {
        if (written.contains(ticket))
            continue;
        written.insert(ticket);
        QVariantMap row;
        row.insert(QStringLiteral("IdDocumento"), documentId);
        row.insert(QStringLiteral("IdExterno"), ticket);
        row.insert(QStringLiteral("Accion"), QLatin1String(action));
        if (!store.insert(QStringLiteral("dbo.MarcasPendientes"), row))
            return false;
    }
    return true;
}

bool SettleJournal(sql::Connection &store, const QString &documentId)
{
    return store.execute(QStringLiteral("delete from dbo.marcaspendientes where iddocumento=") + quoted(documentId));
}

bool SettlePendingMarks(AppState &state, sql::Connection &store)
{
    bool ok = false;
    const sql::RecordSet owed =
        store.query(QStringLiteral("Select * from dbo.marcaspendientes order by iddocumento"), &ok);
    if (!ok)
        return false;
    if (owed.isEmpty())
        return true;
    sql::Connection *pos = state.PosConnection.get();
    if (!pos || !pos->isOpen() || !pos->beginTransaction())
        return false;
    QStringList documents;
    for (int r = 0; r < owed.rowCount(); ++r) {
        const qint32 ticket = owed.value(r, QStringLiteral("IdExterno")).toInt();
        const QString action = owed.value(r, QStringLiteral("Accion")).toString();
        const bool done = action == QLatin1String(kOwedRelease) ? posdata::ReleaseTicketIfMarked(state, ticket)
                                                                 : posdata::MarkTicketIfOpen(state, ticket);
        if (!done) {
            pos->rollback();
            return false;
        }
        const QString document = owed.value(r, QStringLiteral("IdDocumento")).toString();
        if (!documents.contains(document))
            documents << document;
    }
    if (!pos->commit()) {
        pos->rollback();
        return false;
    }
    for (const QString &document : documents) {
        if (!SettleJournal(store, document))
            return false;
    }
    return true;
}

bool SettlePendingMarks(AppState &state)
{
    // A store that cannot be reached owes nothing this run could settle now:
    // the issue and the cancellation settle first and refuse while they cannot.
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return true;
    return SettlePendingMarks(state, *store);
}

} // namespace zd
