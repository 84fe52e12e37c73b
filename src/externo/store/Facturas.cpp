#include "Facturas.h"

#include "DocumentWrites.h"
#include "PendingMarks.h"
#include "StoreNumbers.h"
#include "externo/sql/SqlLiteral.h"
#include "externo/books/ChainEvents.h"
#include "externo/books/ChainMarker.h"
#include "externo/posdata/InvoicedMark.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

#include <QVariantMap>
#include <limits>
#include <optional>

namespace zd {

namespace {

constexpr int kIdLength = 15;       // NVARCHAR(15)
constexpr int kDescriptionLength = 35;
constexpr int kTaxLines = 5;

// A text that was never set binds as NULL; the header's NOT NULL texts
// take it as empty instead.
QString text(const QString &value)
{
    return value.isNull() ? QStringLiteral("") : value;
}


// One line of ListView1 as a Documento row; nothing when a field does not convert.
std::optional<QVariantMap> lineRow(const ListNumberReader &read, const QStringList &fields,
                                   const QString &id, qint16 type, qint32 serie, qint32 correlativo)
{
    if (fields.size() < 9)
        return std::nullopt;
    const auto ticket = read.integer(fields.at(1));
    const auto code = read.integer(fields.at(2));
    const auto quantity = read.number(fields.at(4));
    const auto price = read.number(fields.at(5));
    const auto discount = read.number(fields.at(6));
    const auto amount = read.number(fields.at(7));
    const auto externalId = read.integer(fields.at(8));
    if (!ticket || !code || !quantity || !price || !discount || !amount || !externalId)
        return std::nullopt;
    QVariantMap row;
    row.insert(QStringLiteral("IdDocumento"), id);
    row.insert(QStringLiteral("TipoDocumento"), int(type));
    row.insert(QStringLiteral("IdSerie"), serie);
    row.insert(QStringLiteral("Correlativo"), correlativo);
    row.insert(QStringLiteral("IdExterno"), *externalId);
    row.insert(QStringLiteral("numerodetique"), *ticket);
    row.insert(QStringLiteral("codigo"), *code);
    row.insert(QStringLiteral("descripcion"), fields.at(3).left(kDescriptionLength));
    row.insert(QStringLiteral("cantidad"), *quantity);
    row.insert(QStringLiteral("precio"), *price);
    row.insert(QStringLiteral("descuento"), *discount);
    row.insert(QStringLiteral("importe"), *amount);
    return row;
}

QVariantMap headerRow(const AppState &state, const CustomerRecord &customer, const QString &id,
                      qint16 type, qint32 serie, qint32 correlativo, const QString &sourceNote)
{
    QVariantMap row;
    row.insert(QStringLiteral("IdDocumento"), id);
    if (!sourceNote.isEmpty())
        row.insert(QStringLiteral("ProcedeAlbaran"), sourceNote);
    row.insert(QStringLiteral("TipoDocumento"), int(type));
    row.insert(QStringLiteral("IdSerie"), serie);
    row.insert(QStringLiteral("Correlativo"), correlativo);
    row.insert(QStringLiteral("NumCopia"), 0);
    row.insert(QStringLiteral("IdEmpresa"), state.Company.idempresa);
    row.insert(QStringLiteral("IdFiscal"), text(state.Company.idfiscal));
    row.insert(QStringLiteral("IdCliente"), customer.idcliente);
    row.insert(QStringLiteral("IdFiscalCliente"), text(customer.nif));
    row.insert(QStringLiteral("MonedaDes"), text(state.CurrencyInfo.descripcion));
    row.insert(QStringLiteral("MonedaDec"), state.CurrencyInfo.decimales);
    row.insert(QStringLiteral("MonedaSim"), text(state.CurrencyInfo.iniciales));
    row.insert(QStringLiteral("timestamp"), state.Now());
    row.insert(QStringLiteral("FechaDocumento"), state.Now());
    row.insert(QStringLiteral("totalbruto"), state.SelectionBase);
    row.insert(QStringLiteral("totaldescuentos"), 0.0);
    row.insert(QStringLiteral("totalimpuestos"), state.SelectionTax);
    row.insert(QStringLiteral("TotalNeto"), state.SelectionTax + state.SelectionBase);
    // Rates beyond the fifth have no columns; their sums are in the totals.
    const int stored = qMin<int>(qMin<int>(state.TaxRateCount, kTaxLines), state.TaxRates.size());
    for (int i = 0; i < stored; ++i) {
        const TaxRateEntry &tax = state.TaxRates.at(i);
        const QString n = QString::number(i + 1);
        row.insert(QStringLiteral("Impuesto%1Des").arg(n), tax.Description);
        row.insert(QStringLiteral("Impuesto%1Por").arg(n), tax.Percentage);
        row.insert(QStringLiteral("TotalImpuesto%1").arg(n), tax.TaxTotal);
        row.insert(QStringLiteral("totalbase%1").arg(n), tax.BaseTotal);
    }
    return row;
}

// The ticket number the line list shows for a point-of-sale ticket id (0
// when no line holds it).
qint32 ticketNumberOf(const LineRecordSet &lines, qint32 ticketId)
{
    const QString id = QString::number(ticketId);
    for (const QStringList &fields : lines) {
        if (fields.size() > 8 && fields.at(8).trimmed() == id)
            return fields.at(1).trimmed().toInt();
    }
    return 0;
}

} // namespace

// The highest running number of the series, compared as numbers.
std::optional<qint32> SeriesOf(const AppState &state, qint32 companyId, qint32 customerId)
{
    const qint64 serie = qint64(companyId) * 1000000
                       + qint64(state.Now().date().year() - 2000) * 10000 + customerId;
    if (serie < std::numeric_limits<qint32>::min() || serie > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(serie);
}

std::optional<qint32> NextCorrelativo(sql::Connection &store, qint16 type, qint32 serie)
{
    bool ok = false;
    const sql::RecordSet rs = store.query(
        QStringLiteral("Select * from dbo.facturas where tipodocumento=") + QString::number(type)
            + QStringLiteral(" and idserie=") + QString::number(serie)
            + QStringLiteral(" order by iddocumento"),
        &ok);
    if (!ok)
        return std::nullopt;
    qint64 highest = 0;
    for (int r = 0; r < rs.rowCount(); ++r) {
        bool isNumber = false;
        const qint64 value = rs.value(r, QStringLiteral("correlativo")).toLongLong(&isNumber);
        if (!isNumber)
            return std::nullopt;
        highest = qMax(highest, value);
    }
    // A cancelled delivery note keeps its number: none is issued twice.
    const sql::RecordSet cancelled = store.query(
        QStringLiteral("select max(correlativo) as ultimo from dbo.facturasanuladas where tipodocumento=")
            + QString::number(type) + QStringLiteral(" and idserie=") + QString::number(serie),
        &ok);
    if (!ok)
        return std::nullopt;
    if (!cancelled.isEmpty() && !cancelled.value(0, 0).isNull())
        highest = qMax(highest, cancelled.value(0, 0).toLongLong());
    if (highest >= std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(highest + 1);
}

// Takes back a document whose store commit went through but whose ticket
// marks surely did not commit, with its journal rows, in one transaction.
// false when that fails too: the journal keeps the marks owed, the replay
// makes them and the document stands.
bool TakeBackDocument(sql::Connection &store, const QString &id, const QDateTime &now)
{
    if (!store.beginTransaction())
        return false;
    if (SettleJournal(store, id) && books::RecordWithdrawal(store, now, id)
        && store.execute(QStringLiteral("delete from dbo.documento where iddocumento=") + sql::Quoted(id))
        && store.execute(QStringLiteral("delete from dbo.facturas where iddocumento=") + sql::Quoted(id))
        && store.commit())
        return true;
    store.rollback();
    return false;
}

QString DocumentNumber(qint16 type, qint32 serie, qint32 correlativo)
{
    return QLatin1String(type == 1 ? "F" : type == kCreditNoteType ? "V" : "A")
         + QStringLiteral("%1").arg(serie, 8, 10, QLatin1Char('0'))
         + QStringLiteral("%1").arg(correlativo, 4, 10, QLatin1Char('0'));
}

QString IssueDocument(AppState &state, const LineRecordSet &lines, qint16 type,
                      const QVector<qint32> &chosenTicketIds, IssueReport *report)
{
    IssueReport ignored;
    IssueReport &told = report ? *report : ignored;
    told = IssueReport{};
    const QString failed = QLatin1String(kIssueFailed);
    state.CopyNumber = 0;
    const QString sourceNote = state.SourceDeliveryNote;
    state.SourceDeliveryNote.clear();

    if (type != 0 && type != 1)
        return failed;
    if (state.SelectedCustomerIndex < 0 || state.SelectedCustomerIndex >= state.Customers.size())
        return failed;
    const CustomerRecord customer = state.Customers.at(state.SelectedCustomerIndex);
    const auto serie = SeriesOf(state, state.Company.idempresa, customer.idcliente);
    if (!serie)
        return failed;
    sql::Connection *pos = state.PosConnection.get();
    if (!chosenTicketIds.isEmpty() && (!pos || !pos->isOpen()))
        return failed;

    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return failed;
    // Whatever an interrupted issue or cancellation still owes comes first.
    if (!SettlePendingMarks(state, *store))
        return failed;
    const auto correlativo = NextCorrelativo(*store, type, *serie);
    if (!correlativo)
        return failed;
    const QString id = DocumentNumber(type, *serie, *correlativo);
    if (id.size() > kIdLength)
        return failed;

    // Every line must convert before anything is written.
    const ListNumberReader read;
    QVector<QVariantMap> lineRows;
    lineRows.reserve(lines.size());
    for (const QStringList &fields : lines) {
        auto row = lineRow(read, fields, id, type, *serie, *correlativo);
        if (!row)
            return failed;
        lineRows.append(std::move(*row));
    }

    // How an issue stays whole across two databases that cannot commit
    // together (see PendingMarks.h):
    //  1. store transaction: header, lines and one journal row per ticket
    //     still to be marked;
    //  2. point-of-sale transaction: each ticket is marked only while it is
    //     open; one found marked (invoiced by another back office) refuses
    //     the whole issue: both transactions roll back, nothing is stored and
    //     no number is used;
    //  3. the store commits (the document exists, its marks are owed), then
    //     the point of sale commits, then the journal rows are deleted.
    // Killed before 3, neither database changed. Killed between the two
    // commits, the journal holds the marks and the replay at the next start
    // (or before the next issue) makes them. Killed after both, the replay
    // finds the tickets marked and only deletes the rows. Numbers stay
    // continuous: a stored document is never taken back after a crash, and
    // the only undo (point-of-sale commit refused, step 3) removes the
    // series' highest number before anything else can be issued in it.
    if (!store->beginTransaction())
        return failed;
    bool written = store->insert(QStringLiteral("dbo.facturas"),
                                 headerRow(state, customer, id, type, *serie, *correlativo, sourceNote));
    for (int i = 0; written && i < lineRows.size(); ++i)
        written = store->insert(QStringLiteral("dbo.documento"), lineRows.at(i));
    const bool marking = !chosenTicketIds.isEmpty();
    if (written && marking)
        written = JournalOwedChanges(*store, id, chosenTicketIds, kOwedMark);
    if (written)
        written = books::RecordIssue(*store, state.Now(), id);
    if (!written) {
        store->rollback();
        return failed;
    }

    if (marking) {
        if (!pos->beginTransaction()) {
            store->rollback();
            return failed;
        }
        qint32 takenId = 0;
        if (!posdata::MarkSelectedTicketsInvoiced(state, chosenTicketIds, &takenId)) {
            pos->rollback();
            store->rollback();
            if (takenId != 0) {
                told.ticketId = takenId;
                told.ticketNumber = ticketNumberOf(lines, takenId);
            }
            return failed;
        }
    }
    if (!store->commit()) {
        const bool undone = store->commitOutcomeKnown();
        store->rollback();
        if (marking)
            pos->rollback();
        if (undone)
            return failed;
        // The server may have committed: a stored document's marks are owed
        // (the journal went with it), and nothing is said that is not known.
        const auto stored = DocumentStored(state, id);
        if (stored && *stored) {
            told.marksOwed = marking;
            return id;
        }
        told.unknown = !stored;
        return failed;
    }
    books::AnchorHead(state, *store);
    if (marking) {
        if (!pos->commit()) {
            const bool undone = pos->commitOutcomeKnown();
            pos->rollback();
            // Surely not marked: the document is taken back, if the store
            // lets it. Otherwise (or not known) it stands with its marks owed.
            if (undone && TakeBackDocument(*store, id, state.Now()))
                return failed;
            told.marksOwed = true;
            return id;
        }
        SettleCommitted(state, *store, id);
    }
    return id;
}

std::optional<bool> DocumentStored(AppState &state, const QString &id)
{
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return std::nullopt;
    bool ok = false;
    const sql::RecordSet rs = store->query(
        QStringLiteral("Select iddocumento from dbo.facturas where iddocumento=") + sql::Quoted(id), &ok);
    if (!ok)
        return std::nullopt;
    return !rs.isEmpty();
}

QString LoadDocument(AppState &state, const QString &id, LineRecordSet *linesOut)
{
    const QString failed = QLatin1String(kLoadFailed);
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return failed;

    bool ok = false;
    const sql::RecordSet header = store->query(
        QStringLiteral("Select * from dbo.facturas where iddocumento=") + sql::Quoted(id), &ok);
    if (!ok)
        return failed;
    if (!header.isEmpty()) {
        const auto field = [&header](const char *name) { return header.value(0, QLatin1String(name)); };
        state.CopyNumber = field("NumCopia").toInt() + 1;
        state.Company.idempresa = field("IdEmpresa").toInt();
        state.Company.idfiscal = field("IdFiscal").toString();
        if (state.SelectedCustomerIndex >= 0 && state.SelectedCustomerIndex < state.Customers.size()) {
            CustomerRecord &customer = state.Customers[state.SelectedCustomerIndex];
            customer.idcliente = field("IdCliente").toInt();
            customer.nif = field("IdFiscalCliente").toString();
        }
        state.CurrencyInfo.descripcion = field("MonedaDes").toString();
        state.CurrencyInfo.decimales = field("MonedaDec").toInt();
        state.CurrencyInfo.iniciales = field("MonedaSim").toString();
        state.SelectionBase = field("totalbruto").toDouble();
        state.SelectionTax = field("totalimpuestos").toDouble();
        // Tax lines the document did not use are NULL: they read as empty.
        const int count = qMin<int>(qMin<int>(state.TaxRateCount, kTaxLines), state.TaxRates.size());
        for (int i = 0; i < count; ++i) {
            const QString n = QString::number(i + 1);
            TaxRateEntry &tax = state.TaxRates[i];
            tax.Description = header.value(0, QStringLiteral("Impuesto%1Des").arg(n)).toString();
            tax.Percentage = header.value(0, QStringLiteral("Impuesto%1Por").arg(n)).toDouble();
            tax.TaxTotal = header.value(0, QStringLiteral("TotalImpuesto%1").arg(n)).toDouble();
            tax.BaseTotal = header.value(0, QStringLiteral("totalbase%1").arg(n)).toDouble();
        }
    }

    const sql::RecordSet lines = store->query(
        QStringLiteral("Select * from dbo.documento where iddocumento=") + sql::Quoted(id), &ok);
    if (!ok)
        return failed;
    if (linesOut) {
        linesOut->reserve(linesOut->size() + lines.rowCount());
        for (int r = 0; r < lines.rowCount(); ++r) {
            const auto field = [&lines, r](const char *name) { return lines.value(r, QLatin1String(name)); };
            linesOut->append(QStringList{
                QString::number(r + 1),
                field("numerodetique").toString(),
                field("codigo").toString(),
                field("descripcion").toString().trimmed(),
                FormatFixed(field("cantidad"), 3),
                FormatFixed(field("precio"), 2),
                FormatFixed(field("descuento"), 2),
                FormatGeneral(field("importe")),
                field("IdExterno").toString(),
            });
        }
    }
    return QLatin1String(kLoadDone);
}

bool AdvanceCopyCounter(AppState &state, const QString &id)
{
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return false;
    // The copy and its record commit together.
    if (!store->beginTransaction())
        return false;
    if (!store->execute(QStringLiteral("update dbo.facturas set numcopia=") + QString::number(state.CopyNumber)
                        + QStringLiteral(" where iddocumento=") + sql::Quoted(id))
        || !books::RecordCopy(*store, state.Now(), id, state.CopyNumber) || !store->commit()) {
        store->rollback();
        return false;
    }
    books::AnchorHead(state, *store);
    return true;
}

QString FindInvoiceOfDeliveryNote(AppState &state, const QString &id, bool *ok)
{
    bool answered = false;
    QString invoice;
    auto store = state.newConnection();
    if (store->open(sql::invoiceStoreConnectionString())) {
        const sql::RecordSet rs = store->query(
            QStringLiteral("Select * from dbo.facturas where procedealbaran=") + sql::Quoted(id), &answered);
        // An invoice a credit note corrects no longer stands for the note.
        for (int r = 0; answered && r < rs.rowCount() && invoice.isEmpty(); ++r) {
            const QString candidate = rs.value(r, QStringLiteral("iddocumento")).toString();
            const sql::RecordSet credit = store->query(
                QStringLiteral("Select iddocumento from dbo.facturas where facturarectificada=") + sql::Quoted(candidate),
                &answered);
            if (answered && credit.isEmpty())
                invoice = candidate;
        }
    }
    if (ok)
        *ok = answered;
    return invoice;
}

} // namespace zd
