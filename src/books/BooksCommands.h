#pragma once
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

} // namespace zd::books
