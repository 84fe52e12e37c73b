#pragma once
#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace zd {
struct AppState;
namespace sql {
class Connection;
}
} // namespace zd

namespace zd::books {

// Amounts in ten-thousandths, as the store keeps them: sums stay exact.
struct RateTotals {
    qint64 base = 0;
    qint64 tax = 0;
    qint64 total() const { return base + tax; }
};

// Invoices (type 1) and credit notes (type 2) dated in a period. A credit
// note counts against the invoices whatever the sign its amounts are
// stored with. Delivery notes are not sales: the invoice made from one
// carries its amounts.
struct PeriodTotals {
    int invoiceCount = 0;
    int creditNoteCount = 0;
    qint64 invoices = 0;      // TotalNeto of the invoices
    qint64 creditNotes = 0;   // TotalNeto of the credit notes, as a positive amount
    qint64 difference() const { return invoices - creditNotes; }
    // By VAT rate (its percentage in ten-thousandths): invoices less credit notes.
    QMap<qint64, RateTotals> byRate;
    // Every invoice less every credit note the store holds, whatever its date.
    qint64 perpetual = 0;
};

inline constexpr int kDocumentInvoice = 1;
inline constexpr int kDocumentCreditNote = 2;

// The totals of the documents dated from `from` to `to`, both included.
// Nothing when the store cannot be read.
std::optional<PeriodTotals> TotalsOf(sql::Connection &store, const QDate &from, const QDate &to);

// "1234.5600" for 12345600 ten-thousandths.
QString Amount(qint64 tenThousandths);

// The totals as "name=value" lines (the closing record's text and the
// command's output).
QString TotalsText(const PeriodTotals &t);

// At the first start in a new year, each year not yet closed since the
// chain's first record gets a closing record with its totals and the
// perpetual total; then the start itself is recorded. false when a record
// could not be written (the program goes on).
bool RecordStart(AppState &state);
bool RecordStop(AppState &state);

} // namespace zd::books
