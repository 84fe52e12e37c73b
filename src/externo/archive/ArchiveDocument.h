#pragma once
#include "PagePdf.h"

#include <QString>
#include <QStringList>

namespace zd {
struct AppState;
}

namespace zd::archive {

struct ArchiveResult {
    enum class Status { Written, AlreadyThere, Failed };
    Status status = Status::Failed;
    QString path;
    QString error;          // Failed: why
    bool facturX = false;   // the invoice's data is embedded
    QString noDataReason;   // an invoice archived without its data: why
    // For the operator, from the invoice's data: why its buyer cannot
    // receive it through a platform (empty when it can), and its VAT rates
    // the French platforms do not accept ("4.50").
    qint32 buyerId = 0;
    QString buyerUnreachable;
    QStringList unlistedRates;
};

// Archives a stored document as <program folder>/archive/<year>/<id>.pdf
// (year of its document date): the given pages as PDF/A-3, with, for an
// invoice, its EN 16931 data embedded as factur-x.xml. The invoice's data
// comes from the store, from state.Company and the selected customer, from
// state.TaxRates and from the tickets' tax rows on state.PosConnection.
// An invoice whose data cannot be stated completely (see BuildInvoiceData)
// is archived as PDF/A alone; the reason is logged and returned.
// A file already archived is left untouched (AlreadyThere).
ArchiveResult ArchiveDocument(AppState &state, const QString &documentId, const PageSource &pages);

} // namespace zd::archive
