#pragma once
#include <QDate>
#include <QString>
#include <QTextStream>

namespace zd {
struct AppState;
}

namespace zd::books {

// zd_books reconcile: the store's documents beside the point-of-sale marks
// (see store/Reconciliation.h), each finding on a line of its own. Returns
// the exit status: 0 nothing found, 1 findings, 3 a database did not answer.
int Reconcile(AppState &state, QTextStream &out, QTextStream &err);

// zd_books verify: the chain of the books recomputed and every stored
// document, line, copy number and archive compared with its record (see
// externo/books/ChainVerify.h), each finding on a line of its own. Returns
// 0 when the books verify, 1 with findings, 3 when the store cannot be read.
int Verify(AppState &state, QTextStream &out, QTextStream &err);

// zd_books totals: invoices, credit notes and their difference for the
// documents dated from `from` to `to`, per VAT rate, and the perpetual
// total. 0, or 3 when the store cannot be read.
int Totals(AppState &state, const QDate &from, const QDate &to, QTextStream &out, QTextStream &err);

// zd_books export: the year's books into a folder (see
// externo/books/YearExport.h). 0, or 3 when it could not be written.
int Export(AppState &state, int year, const QString &folder, QTextStream &out, QTextStream &err);

} // namespace zd::books
