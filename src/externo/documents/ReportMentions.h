#pragma once
#include <QStringList>

namespace zd {
struct AppState;
}

namespace zd::documents {

class DataReport1;

// The mentions French law asks of an invoice to a business, one a line: the
// recovery indemnity, the late-payment penalties and the discount terms
// (state.Settings), the category of operation, the selected customer's SIREN
// when its fiscal id gives one, the option for VAT on debits when taken.
QStringList InvoiceMentions(const AppState &state);

// Writes them at the foot of the report's last page for an invoice; a
// delivery note carries none.
void FillReportMentions(DataReport1 &report, const AppState &state, bool invoice);

} // namespace zd::documents
