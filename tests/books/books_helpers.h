#pragma once
#include "store/store_helpers.h"

#include <QString>
#include <QStringList>

namespace zd::test {

// A store through its real entry points: an invoice of two tickets
// (archived, printed a second time), a delivery note cancelled, and a
// delivery note kept, on the fixture's date.
struct BooksDay {
    QString invoice;
    QString cancelledNote;
    QString note;
    QString invoiceArchive;
};
BooksDay RunBooksDay(StoreFixture &f, int firstTicket = 101);

// zd_books verify on the fixture's folder: its exit status and output lines.
int RunVerify(StoreFixture &f, QStringList *lines);

// Rewrites every record's hash from `from` on, as someone who altered the
// store and recomputed the chain would.
void RecomputeChain(const QString &storeFile);

} // namespace zd::test
