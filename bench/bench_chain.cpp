// The chain of the books at shop scale: the store of 10,000 invoices and
// 50,000 lines sealed, then verified whole (zd_books verify), beside a
// direct SQLite read of the same rows; and the check at start of the
// records added since the last one (100 issues), which runs in the books
// check's thread beside the window: it must add under 20 ms.
#include "BenchResult.h"
#include "BenchStore.h"
#include "externo/books/ChainEvents.h"
#include "externo/books/ChainMarker.h"
#include "externo/books/ChainVerify.h"
#include "externo/books/StartCheck.h"
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"
#include "externo/store/StoreSetup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <cstdio>

using namespace zd;

namespace {

// Every header and line read straight from SQLite, as text.
double directMs(const QString &storeFile)
{
    QElapsedTimer t;
    t.start();
    sqlite3 *db = nullptr;
    sqlite3_open_v2(qPrintable(storeFile), &db, SQLITE_OPEN_READONLY, nullptr);
    qint64 bytes = 0;
    for (const char *sql : {"select * from facturas", "select * from Documento", "select * from Registro"}) {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                bytes += sqlite3_column_bytes(s, c);
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return bytes > 0 ? t.nsecsElapsed() / 1e6 : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    AppState state(sql::EngineConfig::fromProgramFolder(folder.path()));
    state.Now = [] { return QDateTime(QDate(2026, 3, 5), QTime(18, 0)); };
    if (EnsureInvoiceStore(state) == StoreCheck::CannotCreate)
        return 1;
    const QString storeFile = state.engine.catalogFile(QStringLiteral("127.0.0.1"), QStringLiteral("TRS_FAC"));
    if (!bench::fillStore(storeFile))
        return 1;
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return 1;
    // The documents written behind the chain's back are sealed as an
    // upgraded store's would be.
    store->execute(QStringLiteral("delete from dbo.Registro"));
    QFile::remove(books::MarkerPath(state.programFolder()));
    QElapsedTimer t;
    t.start();
    if (!books::SealStore(state, *store))
        return 1;
    bench::result("seal 10,000 documents", t.nsecsElapsed() / 1e6, -1, "-");

    for (int run = 1; run <= 3; ++run) {
        t.restart();
        const books::Verification v = books::VerifyBooks(*store, state.programFolder());
        const double ms = t.nsecsElapsed() / 1e6;
        if (!v.read || !v.findings.isEmpty() || v.documents != 10000) {
            std::fprintf(stderr, "verify: %s %s\n", qPrintable(v.error), qPrintable(v.findings.value(0)));
            return 1;
        }
        if (run == 3)
            bench::result("verify 10,000 documents / 50,000 lines", ms, directMs(storeFile), "ratio<10");
    }

    // The start's check: once to set its position, then after 100 issues.
    books::CheckRecentRecords(*store, state.programFolder());
    for (int d = 1; d <= 100; ++d) {
        const QString id = QStringLiteral("F%1%2").arg(1000000 + 26 * 10000 + 1 + d % 2000, 8, 10, QLatin1Char('0'))
                               .arg(1 + d / 2000, 4, 10, QLatin1Char('0'));
        if (!books::RecordIssue(*store, state.Now(), id))
            return 1;
    }
    books::AnchorHead(state, *store);
    // The books check's thread has its store connection open already.
    auto fresh = state.newConnection();
    if (!fresh->open(sql::invoiceStoreConnectionString()))
        return 1;
    t.restart();
    const books::StartCheck check = books::CheckRecentRecords(*fresh, state.programFolder());
    const double ms = t.nsecsElapsed() / 1e6;
    if (!check.read || !check.findings.isEmpty() || check.to - check.from != 100) {
        std::fprintf(stderr, "start check: %lld to %lld %s\n", check.from, check.to, qPrintable(check.findings.value(0)));
        return 1;
    }
    bench::result("start check of 100 new records", ms, -1, "ms<20");
    QStringList ids;
    for (int d = 1; d <= 100; ++d)
        ids << QStringLiteral("F%1%2").arg(1000000 + 26 * 10000 + 1 + d % 2000, 8, 10, QLatin1Char('0'))
                   .arg(1 + d / 2000, 4, 10, QLatin1Char('0'));
    t.restart();
    books::StoredDocumentTexts(*fresh, ids);
    bench::result("  of which 100 documents read back", t.nsecsElapsed() / 1e6, -1, "-");
    return 0;
}
