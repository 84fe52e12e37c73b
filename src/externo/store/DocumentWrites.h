#pragma once
#include <QDateTime>
#include <QString>
#include <optional>

namespace zd {

struct AppState;
namespace sql {
class Connection;
}

// The pieces an issue of any document type shares (invoice, delivery note,
// credit note), on an open invoice store connection.

// The series of a company, the year of state.Now() and a customer:
// company * 1,000,000 + (year - 2000) * 10,000 + customer. Nothing when it
// does not fit 32 bits.
std::optional<qint32> SeriesOf(const AppState &state, qint32 companyId, qint32 customerId);

// The next running number of a series and type: one past the highest,
// cancelled delivery notes included (a number is never issued twice).
std::optional<qint32> NextCorrelativo(sql::Connection &store, qint16 type, qint32 serie);

// Takes back a document whose store commit went through but whose
// point-of-sale changes surely did not commit, with its journal rows, in
// one transaction, recorded in the books' chain at `now`. false when that fails too: the journal keeps what is
// owed, the replay makes it and the document stands.
bool TakeBackDocument(sql::Connection &store, const QString &id, const QDateTime &now);

} // namespace zd
