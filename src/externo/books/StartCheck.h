#pragma once
#include <QString>
#include <QStringList>

namespace zd::sql {
class Connection;
}

namespace zd::books {

struct StartCheck {
    bool read = false;
    qint64 from = 0;         // first record checked
    qint64 to = 0;           // last record checked
    QStringList findings;    // empty: what was added since the last check verifies
};

// At start: the records added since the last check that passed (at most
// `limit` of them; the rest wait for the next start) follow from the one
// before, the documents they issued are stored as recorded, and the chain
// agrees with its marker. When they verify, the check's position is kept
// (TRS_seguridad/.TRS_FAC_checked, durably). Runs beside the window.
StartCheck CheckRecentRecords(sql::Connection &store, const QString &programFolder, int limit = 5000);

// What the operator is told when the books do not verify (French).
QString BooksBrokenMessage(const StartCheck &check);

} // namespace zd::books
