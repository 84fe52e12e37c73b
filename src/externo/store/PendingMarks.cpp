#include "PendingMarks.h"

#include "Reconciliation.h"
#include "externo/sql/SqlLiteral.h"
#include "externo/books/Chain.h"
#include "externo/books/ChainEvents.h"
#include "externo/posdata/InvoicedMark.h"
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

#include <QSet>
#include <QVariantMap>

namespace zd {

namespace {

// A ticket that a live document of this store holds (it was invoiced again
// after a release that the journal still owed): never released. Credit
// notes and the invoices they correct hold no ticket.
std::optional<bool> heldByDocument(sql::Connection &store, qint32 ticket)
{
    bool ok = false;
    const sql::RecordSet rs = store.query(
        QStringLiteral("Select iddocumento from dbo.documento where idexterno=") + QString::number(ticket)
            + QStringLiteral(" and tipodocumento<>2 and iddocumento not in (select facturarectificada from "
                             "dbo.facturas where facturarectificada is not null)"),
        &ok);
    if (!ok)
        return std::nullopt;
    return !rs.isEmpty();
}

QString unexpectedText(const QString &document, qint32 ticket, bool mark)
{
    return mark ? QStringLiteral("Le ticket (id %1) du document %2 était déjà marqué comme facturé dans Tillvane.")
                      .arg(ticket)
                      .arg(document)
                : QStringLiteral("Le ticket (id %1) du bon de livraison annulé %2 était déjà libéré dans Tillvane.")
                      .arg(ticket)
                      .arg(document);
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
    return store.execute(QStringLiteral("delete from dbo.marcaspendientes where iddocumento=") + sql::Quoted(documentId));
}

void SettleCommitted(AppState &state, sql::Connection &store, const QString &documentId)
{
    if (!SettleJournal(store, documentId) && !state.JournalToClear.contains(documentId))
        state.JournalToClear << documentId;
}

bool SettlePendingMarks(AppState &state, sql::Connection &store)
{
    // Their point-of-sale side committed in this run: only the rows go.
    while (!state.JournalToClear.isEmpty()) {
        if (!SettleJournal(store, state.JournalToClear.first()))
            return false;
        state.JournalToClear.removeFirst();
    }

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
    QStringList marked;       // documents whose marks are now all made
    QStringList unexpected;
    for (int r = 0; r < owed.rowCount(); ++r) {
        const qint32 ticket = owed.value(r, QStringLiteral("IdExterno")).toInt();
        const QString document = owed.value(r, QStringLiteral("IdDocumento")).toString();
        const bool mark = owed.value(r, QStringLiteral("Accion")).toString() != QLatin1String(kOwedRelease);
        if (!documents.contains(document))
            documents << document;
        if (mark && !marked.contains(document))
            marked << document;
        std::optional<bool> held = false;
        if (!mark && !(held = heldByDocument(store, ticket))) {
            pos->rollback();
            return false;
        }
        if (*held)
            continue;
        int changed = 0;
        const bool done = mark ? posdata::MarkTicketIfOpen(state, ticket, &changed)
                               : posdata::ReleaseTicketIfMarked(state, ticket, &changed);
        std::optional<bool> exists = true;
        if (done && changed == 0)
            exists = posdata::TicketExists(state, ticket);
        if (!done || !exists) {
            pos->rollback();
            return false;
        }
        if (changed == 0 && *exists)
            unexpected << unexpectedText(document, ticket, mark);
    }
    if (!pos->commit()) {
        pos->rollback();
        return false;
    }
    if (!unexpected.isEmpty() && OnlyStoreOnPosServer(state, store) != true) {
        state.ReplayWarnings << unexpected;
        state.ReplayWarnings << QStringLiteral(
            "Ces tickets ont peut-être été facturés aussi par un autre poste qui n'utilise pas ce magasin de "
            "factures. Vérifiez avec la commande « zd_books reconcile ».");
    }
    for (const QString &document : documents) {
        if (!SettleJournal(store, document) && !state.JournalToClear.contains(document))
            state.JournalToClear << document;
    }
    for (const QString &document : marked) {
        if (!state.CompletedByReplay.contains(document))
            state.CompletedByReplay << document;
    }
    books::RecordEvent(state, QLatin1String(books::event::kJournal),
                       QStringLiteral("settled=%1\nmarked=%2\n").arg(documents.join(QLatin1Char(' ')), marked.join(QLatin1Char(' '))));
    return state.JournalToClear.isEmpty();
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
