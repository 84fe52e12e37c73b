#include "Reconciliation.h"

#include "externo/posdata/PosValues.h"
#include "externo/sql/Connection.h"
#include "externo/state/AppState.h"

#include <QSet>
#include <algorithm>

namespace zd {

namespace {

constexpr int kIdsPerQuery = 500;

QString openCondition()
{
    return QStringLiteral("SUBSTRING(convert(varchar(23),fecha,121),21,3)='000'");
}

bool fail(Reconciliation &r, const sql::Connection &c)
{
    r.ok = false;
    r.error = c.lastError();
    return false;
}

// The day of the store's first document, cancelled delivery notes included.
bool firstDay(sql::Connection &store, Reconciliation &r)
{
    QDate first;
    for (const char *table : {"dbo.facturas", "dbo.facturasanuladas"}) {
        bool ok = false;
        const sql::RecordSet rs = store.query(
            QStringLiteral("select min(FechaDocumento) as primera from ") + QLatin1String(table), &ok);
        if (!ok)
            return fail(r, store);
        if (const auto day = posdata::DateOf(rs.isEmpty() ? QVariant() : rs.value(0, 0)))
            first = first.isValid() ? qMin(first, *day) : *day;
    }
    if (first.isValid())
        r.since = posdata::SqlDateText(first);
    return true;
}

} // namespace

Reconciliation ReconcileTickets(sql::Connection &store, sql::Connection &pos)
{
    Reconciliation r;
    if (!firstDay(store, r))
        return r;

    // What the journal still owes is not yet a fault of either side.
    QSet<qint32> owed;
    bool ok = false;
    const bool journalRead = store.queryRows(QStringLiteral("select IdExterno from dbo.marcaspendientes"),
                                             [&owed](const sql::RowView &row) { owed.insert(row.value(0).toInt()); });
    if (!journalRead)
        return fail(r, store), r;

    // Tickets of live documents; an invoice made from a delivery note shares
    // the note's tickets.
    QHash<qint32, QStringList> holders;
    QHash<QString, QString> invoiceOfNote;
    // Credit notes and the invoices they correct hold no ticket.
    QSet<QString> holdsNone;
    const sql::RecordSet headers = store.query(
        QStringLiteral("select IdDocumento, ProcedeAlbaran, TipoDocumento, FacturaRectificada from dbo.facturas"), &ok);
    if (!ok)
        return fail(r, store), r;
    for (int i = 0; i < headers.rowCount(); ++i) {
        if (headers.value(i, 2).toInt() != 2)
            continue;
        holdsNone.insert(headers.value(i, 0).toString());
        holdsNone.insert(headers.value(i, 3).toString().trimmed());
    }
    // A note whose invoice was corrected stands alone again.
    for (int i = 0; i < headers.rowCount(); ++i) {
        const QString note = headers.value(i, 1).toString().trimmed();
        if (!note.isEmpty() && !holdsNone.contains(headers.value(i, 0).toString()))
            invoiceOfNote.insert(note, headers.value(i, 0).toString());
    }
    const bool linesRead = store.queryRows(
        QStringLiteral("select distinct IdExterno, IdDocumento from dbo.documento"), [&](const sql::RowView &row) {
            const QString document = row.value(1).toString();
            if (!holdsNone.contains(document))
                holders[row.value(0).toInt()] << document;
        });
    if (!linesRead)
        return fail(r, store), r;
    for (auto it = holders.cbegin(); it != holders.cend(); ++it) {
        QStringList documents = it.value();
        // The note an invoice was made from stands behind that invoice.
        documents.erase(std::remove_if(documents.begin(), documents.end(),
                                       [&](const QString &d) { return documents.contains(invoiceOfNote.value(d)); }),
                        documents.end());
        if (documents.size() > 1) {
            documents.sort();
            r.ticketsInTwoDocuments.insert(it.key(), documents);
        }
    }

    // Marked since the first document and held by none.
    QSet<qint32> marked;
    if (!r.since.isEmpty()) {
        const bool read = pos.queryRows(
            QStringLiteral("select iddocumento from dbo.documento where fecha>='") + r.since
                + QStringLiteral("' and SUBSTRING(convert(varchar(23),fecha,121),21,3)<>'000'"),
            [&](const sql::RowView &row) {
                const qint32 id = row.value(0).toInt();
                marked.insert(id);
                if (!holders.contains(id) && !owed.contains(id))
                    r.markedInNoDocument << id;
            });
        if (!read)
            return fail(r, pos), r;
        std::sort(r.markedInNoDocument.begin(), r.markedInNoDocument.end());
    }

    // Held tickets not seen marked: asked by id, a few hundred at a time.
    QVector<qint32> unseen;
    for (auto it = holders.cbegin(); it != holders.cend(); ++it)
        if (!marked.contains(it.key()) && !owed.contains(it.key()))
            unseen << it.key();
    std::sort(unseen.begin(), unseen.end());
    for (int start = 0; start < unseen.size(); start += kIdsPerQuery) {
        QStringList ids;
        for (int i = start; i < qMin<int>(start + kIdsPerQuery, unseen.size()); ++i)
            ids << QString::number(unseen.at(i));
        const bool read = pos.queryRows(
            QStringLiteral("select iddocumento from dbo.documento where iddocumento in (") + ids.join(QLatin1Char(','))
                + QStringLiteral(") and ") + openCondition(),
            [&](const sql::RowView &row) {
                const qint32 id = row.value(0).toInt();
                for (const QString &document : holders.value(id))
                    r.documentsWithOpenTickets[document] << id;
            });
        if (!read)
            return fail(r, pos), r;
    }
    r.ok = true;
    return r;
}

std::optional<bool> OnlyStoreOnPosServer(AppState &state, sql::Connection &store)
{
    if (!state.PosConnection || !state.PosConnection->isOpen())
        return std::nullopt;
    const Reconciliation r = ReconcileTickets(store, *state.PosConnection);
    if (!r.ok)
        return std::nullopt;
    return r.markedInNoDocument.isEmpty();
}

QString ForeignTicketsMessage(const Reconciliation &r)
{
    if (!r.ok || r.markedInNoDocument.isEmpty())
        return QString();
    return QStringLiteral(
               "%1 ticket(s) de Tillvane vendus depuis le %2 sont marqués comme facturés, mais ne figurent dans "
               "aucun document de ce poste. Un autre poste facture-t-il avec son propre magasin de factures ? "
               "Tous les postes d'un même serveur Tillvane doivent partager un seul magasin de factures "
               "(SQL Server) ; sinon un ticket peut être facturé deux fois. La liste : commande "
               "« zd_books reconcile ».")
        .arg(r.markedInNoDocument.size())
        .arg(QDate::fromString(r.since, Qt::ISODate).toString(QStringLiteral("dd/MM/yyyy")));
}

} // namespace zd
