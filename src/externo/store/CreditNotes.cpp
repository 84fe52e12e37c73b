#include "CreditNotes.h"

#include "DocumentWrites.h"
#include "PendingMarks.h"
#include "externo/sql/SqlLiteral.h"
#include "externo/books/ChainEvents.h"
#include "externo/books/ChainMarker.h"
#include "externo/posdata/InvoicedMark.h"
#include "externo/posdata/PosValues.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

#include <QSet>
#include <QVariantMap>

namespace zd {

namespace {

// A row of a record set as the values to insert again, NULLs left out.
QVariantMap rowOf(const sql::RecordSet &rs, int r)
{
    QVariantMap row;
    for (int c = 0; c < rs.columnCount(); ++c) {
        const QVariant v = rs.value(r, c);
        if (!v.isNull())
            row.insert(rs.columns().at(c), v);
    }
    return row;
}

QString creditNoteOf(sql::Connection &store, const QString &invoiceId, bool *answered)
{
    const sql::RecordSet rs = store.query(
        QStringLiteral("Select iddocumento from dbo.facturas where facturarectificada=") + sql::Quoted(invoiceId),
        answered);
    return *answered && !rs.isEmpty() ? rs.value(0, 0).toString() : QString();
}

} // namespace

QString FindCreditNoteOfInvoice(AppState &state, const QString &invoiceId, bool *ok)
{
    bool answered = false;
    QString credit;
    auto store = state.newConnection();
    if (store->open(sql::invoiceStoreConnectionString()))
        credit = creditNoteOf(*store, invoiceId, &answered);
    if (ok)
        *ok = answered;
    return credit;
}

CorrectedInvoice InvoiceCorrectedBy(AppState &state, const QString &creditNoteId)
{
    CorrectedInvoice found;
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return found;
    bool ok = false;
    const sql::RecordSet rs = store->query(
        QStringLiteral("Select f.iddocumento, f.fechadocumento from dbo.facturas f, dbo.facturas v where "
                       "v.iddocumento=") + sql::Quoted(creditNoteId) + QStringLiteral(" and f.iddocumento=v.facturarectificada"),
        &ok);
    if (ok && !rs.isEmpty()) {
        found.id = rs.value(0, 0).toString().trimmed();
        found.date = posdata::DateOf(rs.value(0, 1)).value_or(QDate());
    }
    return found;
}

QString IssueCreditNote(AppState &state, const QString &invoiceId, CreditRefusal *refusal, IssueReport *report,
                        QString *creditNote)
{
    IssueReport ignored;
    IssueReport &told = report ? *report : ignored;
    told = IssueReport{};
    const QString failed = QLatin1String(kIssueFailed);
    const auto refuse = [&](CreditRefusal why) {
        if (refusal)
            *refusal = why;
        return failed;
    };
    if (refusal)
        *refusal = CreditRefusal::None;

    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()) || !SettlePendingMarks(state, *store))
        return refuse(CreditRefusal::Failed);
    bool ok = false;
    const sql::RecordSet header =
        store->query(QStringLiteral("Select * from dbo.facturas where iddocumento=") + sql::Quoted(invoiceId), &ok);
    if (!ok)
        return refuse(CreditRefusal::Failed);
    if (header.isEmpty() || posdata::WholeNumberOf(header.value(0, QStringLiteral("TipoDocumento"))).value_or(-1) != 1)
        return refuse(CreditRefusal::NotAnInvoice);
    const QString existing = creditNoteOf(*store, invoiceId, &ok);
    if (!ok)
        return refuse(CreditRefusal::Failed);
    if (!existing.isEmpty()) {
        if (creditNote)
            *creditNote = existing;
        return refuse(CreditRefusal::AlreadyCredited);
    }
    const sql::RecordSet lines =
        store->query(QStringLiteral("Select * from dbo.documento where iddocumento=") + sql::Quoted(invoiceId), &ok);
    if (!ok)
        return refuse(CreditRefusal::Failed);

    const auto number = [&](const char *column) {
        return posdata::WholeNumberOf(header.value(0, QLatin1String(column))).value_or(-1);
    };
    const auto serie = SeriesOf(state, qint32(number("IdEmpresa")), qint32(number("IdCliente")));
    const auto correlativo = serie ? NextCorrelativo(*store, kCreditNoteType, *serie) : std::nullopt;
    if (!correlativo)
        return refuse(CreditRefusal::Failed);
    const QString id = DocumentNumber(kCreditNoteType, *serie, *correlativo);
    if (id.size() > 15)
        return refuse(CreditRefusal::Failed);

    QVariantMap head = rowOf(header, 0);
    head.remove(QStringLiteral("ProcedeAlbaran"));
    head.insert(QStringLiteral("IdDocumento"), id);
    head.insert(QStringLiteral("TipoDocumento"), int(kCreditNoteType));
    head.insert(QStringLiteral("IdSerie"), *serie);
    head.insert(QStringLiteral("Correlativo"), *correlativo);
    head.insert(QStringLiteral("NumCopia"), 0);
    head.insert(QStringLiteral("timestamp"), state.Now());
    head.insert(QStringLiteral("FechaDocumento"), state.Now());
    head.insert(QStringLiteral("FacturaRectificada"), invoiceId);

    // The tickets go back only when the invoice holds them itself; from a
    // delivery note they stay with the note.
    QVector<qint32> tickets;
    const bool fromNote = !header.value(0, QStringLiteral("ProcedeAlbaran")).toString().trimmed().isEmpty();
    for (int r = 0; !fromNote && r < lines.rowCount(); ++r) {
        const qint32 ticket = qint32(posdata::WholeNumberOf(lines.value(r, QStringLiteral("IdExterno"))).value_or(0));
        if (ticket > 0 && !tickets.contains(ticket))
            tickets << ticket;
    }
    sql::Connection *pos = state.PosConnection.get();
    const bool releasing = !tickets.isEmpty();
    if (releasing && (!pos || !pos->isOpen()))
        return refuse(CreditRefusal::Failed);

    // The same order as an issue (see IssueDocument): the store transaction
    // with the owed releases, the point-of-sale transaction, the store's
    // commit, the point of sale's, then the journal rows go.
    if (!store->beginTransaction())
        return refuse(CreditRefusal::Failed);
    bool written = store->insert(QStringLiteral("dbo.facturas"), head);
    for (int r = 0; written && r < lines.rowCount(); ++r) {
        QVariantMap line = rowOf(lines, r);
        line.insert(QStringLiteral("IdDocumento"), id);
        line.insert(QStringLiteral("TipoDocumento"), int(kCreditNoteType));
        line.insert(QStringLiteral("IdSerie"), *serie);
        line.insert(QStringLiteral("Correlativo"), *correlativo);
        written = store->insert(QStringLiteral("dbo.documento"), line);
    }
    if (written && releasing)
        written = JournalOwedChanges(*store, id, tickets, kOwedRelease);
    if (written)
        written = books::RecordIssue(*store, state.Now(), id);
    bool posBegun = false;
    for (int i = 0; written && releasing && i < tickets.size(); ++i) {
        if (i == 0)
            written = posBegun = pos->beginTransaction();
        written = written && posdata::ReleaseTicketIfMarked(state, tickets.at(i));
    }
    if (!written) {
        if (posBegun)
            pos->rollback();
        store->rollback();
        return refuse(CreditRefusal::Failed);
    }
    if (!store->commit()) {
        const bool undone = store->commitOutcomeKnown();
        store->rollback();
        if (posBegun)
            pos->rollback();
        const auto stored = undone ? std::optional<bool>(false) : DocumentStored(state, id);
        if (stored && *stored) {
            told.marksOwed = releasing;
            return id;
        }
        told.unknown = !stored;
        return refuse(CreditRefusal::Failed);
    }
    books::AnchorHead(state, *store);
    if (releasing) {
        if (!pos->commit()) {
            const bool undone = pos->commitOutcomeKnown();
            pos->rollback();
            if (undone && TakeBackDocument(*store, id, state.Now()))
                return refuse(CreditRefusal::Failed);
            told.marksOwed = true;
            return id;
        }
        SettleCommitted(state, *store, id);
    }
    return id;
}

} // namespace zd
