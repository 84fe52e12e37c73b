#pragma once
#include <QString>

namespace zd {
struct AppState;
}

namespace zd::documents {

class DataReport1;

// The three totals as the main window shows them, and the lot text.
struct ReportTotalsTexts {
    QString bruto;
    QString impuestos;
    QString total;
    QString lot;
};

// Writes what every print of a document shares: the shop block and logo
// (hidden when it cannot be read), the selected customer's block and fiscal
// id, today's date (state.Now()), the totals, the lot and the tax table.
void FillReportHeader(DataReport1 &report, const AppState &state, const ReportTotalsTexts &totals);

// A credit note's title ("AVOIR", "Nº Avoir") and, under it, the invoice it
// corrects: "Avoir sur facture F… du dd/mm/yyyy" (read from the store).
void FillCreditNoteTitles(DataReport1 &report, AppState &state, const QString &creditNoteId);

} // namespace zd::documents
