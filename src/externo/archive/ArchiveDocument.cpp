#include "ArchiveDocument.h"

#include "ArchiveFile.h"
#include "FacturXml.h"
#include "InvoiceDataBuilder.h"
#include "PdfAFinisher.h"
#include "externo/books/ChainEvents.h"
#include "externo/books/ChainMarker.h"
#include "externo/posdata/PosValues.h"
#include "externo/posdata/TicketDates.h"
#include "externo/state/AppState.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimeZone>

Q_LOGGING_CATEGORY(zdArchive, "zedorev.archive")

namespace zd::archive {

namespace {

// The invoice's XML, or empty with the reason in *why; what the operator
// should know of its data goes into *result.
QByteArray invoiceXml(AppState &state, StoredDocument doc, QString *why, ArchiveResult *result)
{
    QVector<qint32> tickets;
    tickets.reserve(doc.lines.rowCount());
    for (int r = 0; r < doc.lines.rowCount(); ++r)
        tickets << qint32(posdata::WholeNumberOf(doc.lines.value(r, QStringLiteral("IdExterno"))).value_or(0));
    auto facts = posdata::ReadTicketTaxFacts(state, tickets);
    if (!facts) {
        *why = QStringLiteral("the tickets' tax rows could not be read");
        return {};
    }
    InvoiceSources sources;
    sources.document = std::move(doc);
    sources.company = state.Company;
    if (state.SelectedCustomerIndex >= 0 && state.SelectedCustomerIndex < state.Customers.size())
        sources.customer = state.Customers.at(state.SelectedCustomerIndex);
    sources.taxRates = state.TaxRates.mid(0, qMin<int>(state.TaxRateCount, state.TaxRates.size()));
    sources.facts = std::move(*facts);
    sources.settings = state.Settings;
    // A credit note states the date of the invoice it corrects.
    const QString corrected = sources.document.header.value(0, QStringLiteral("FacturaRectificada")).toString().trimmed();
    if (!corrected.isEmpty()) {
        if (const auto invoice = ReadStoredDocument(state, corrected))
            sources.correctedDate = posdata::DateOf(invoice->header.value(0, QStringLiteral("FechaDocumento"))).value_or(QDate());
    }
    if (state.Settings.PaidAtTill) {
        const auto latest = posdata::ReadLatestTicketDate(state, tickets);
        if (!latest) {
            *why = QStringLiteral("the tickets' dates could not be read");
            return {};
        }
        sources.latestTicket = *latest;
    }
    const auto invoice = BuildInvoiceData(sources, why);
    if (!invoice)
        return {};
    result->buyerId = sources.customer.idcliente;
    if (invoice->buyer.endpoint.isEmpty())
        result->buyerUnreachable = WhyNoElectronicAddress(invoice->buyer.taxId, sources.customer.email);
    for (const InvoiceTax &tax : invoice->taxes)
        if (!IsFrenchVatRate(tax.percent))
            result->unlistedRates << VatRateText(tax.percent);
    return BuildFacturXml(*invoice);
}

} // namespace

ArchiveResult ArchiveDocument(AppState &state, const QString &id, const PageSource &pages)
{
    ArchiveResult result;
    QString error;
    auto doc = ReadStoredDocument(state, id, &error);
    if (!doc) {
        result.error = error;
        return result;
    }
    const auto date = posdata::DateOf(doc->header.value(0, QStringLiteral("FechaDocumento")));
    if (!date) {
        result.error = QStringLiteral("%1 has no document date").arg(id);
        return result;
    }
    result.path = ArchivePath(state.programFolder(), date->year(), id);
    if (QFileInfo::exists(result.path)) {
        result.status = ArchiveResult::Status::AlreadyThere;
        return result;
    }

    QByteArray xml;
    const qint64 type = posdata::WholeNumberOf(doc->header.value(0, QStringLiteral("TipoDocumento"))).value_or(0);
    if (type == 1 || type == 2) {
        xml = invoiceXml(state, std::move(*doc), &result.noDataReason, &result);
        if (xml.isEmpty())
            qCWarning(zdArchive) << id << "archived without its invoice data:" << result.noDataReason;
    }
    result.facturX = !xml.isEmpty();

    const QByteArray drawn = RenderArchivePages(pages, id, &error);
    if (drawn.isEmpty()) {
        result.error = error;
        return result;
    }
    ArchiveIdentity identity;
    identity.title = id;
    QDateTime now = state.Now();
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    identity.created = now.toOffsetFromUtc(now.offsetFromUtc());
    identity.facturX = result.facturX;
    // The books' head as it stands: a store rewritten later no longer matches it.
    identity.chainHead = books::CurrentAnchor(state);
    const QByteArray finished = FinishPdfA3(drawn, identity, xml, &error);
    if (finished.isEmpty()) {
        result.error = error;
        return result;
    }
    switch (WriteArchiveFile(result.path, finished, &error)) {
    case WriteOutcome::Written:
        result.status = ArchiveResult::Status::Written;
        books::RecordArchive(state, id, result.path);
        break;
    case WriteOutcome::AlreadyThere:
        result.status = ArchiveResult::Status::AlreadyThere;
        break;
    case WriteOutcome::Failed:
        result.error = error;
        qCWarning(zdArchive) << id << "not archived:" << error;
        break;
    }
    return result;
}

} // namespace zd::archive
