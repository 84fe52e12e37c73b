// The books check that runs after the start (in a thread of its own, so it
// never delays the window or a key): the invoice store of 10,000 documents
// reconciled with a point of sale of 1,000,000 tickets, and the documents
// without an archive file listed; beside the same reads done directly with
// SQLite, and beside the whole start-up of bench_startup.
#include "BenchData.h"
#include "BenchResult.h"
#include "BenchStore.h"
#include "DirectSqlite.h"
#include "externo/archive/ArchiveSweep.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"
#include "externo/store/Reconciliation.h"
#include "externo/store/StoreSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <cstdio>

using namespace zd;

namespace {

// The same reads straight from SQLite: the marked tickets since the first
// document, the store's tickets, and the set difference.
double directMs(const QString &posFile, const QString &storeFile)
{
    QElapsedTimer t;
    t.start();
    sqlite3 *pos = nullptr, *store = nullptr;
    sqlite3_open_v2(qPrintable(posFile), &pos, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_open_v2(qPrintable(storeFile), &store, SQLITE_OPEN_READONLY, nullptr);
    QSet<int> held;
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(store, "select distinct IdExterno, IdDocumento from Documento", -1, &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW)
        held.insert(sqlite3_column_int(s, 0));
    sqlite3_finalize(s);
    int foreign = 0;
    sqlite3_prepare_v2(pos, "select iddocumento from documento where fecha >= '2026-03-05 00:00:00.000' "
                            "and substr(fecha, 21, 3) <> '000'", -1, &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW)
        foreign += !held.contains(sqlite3_column_int(s, 0));
    sqlite3_finalize(s);
    sqlite3_close(pos);
    sqlite3_close(store);
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString scale = bench::scalePosDatabase();
    if (scale.isEmpty())
        return 1;
    QTemporaryDir folder;
    AppState state(sql::EngineConfig::fromProgramFolder(folder.path()));
    state.PosServer = QStringLiteral("10.0.0.9");
    if (EnsureInvoiceStore(state) == StoreCheck::CannotCreate)
        return 1;
    const QString storeFile = state.engine.catalogFile(QStringLiteral("127.0.0.1"), QStringLiteral("TRS_FAC"));
    const QString posFile = state.engine.catalogFile(state.PosServer, state.PosCatalog);
    QDir().mkpath(QFileInfo(posFile).path());
    if (!bench::fillStore(storeFile) || !QFile::copy(scale, posFile))
        return 1;
    // The stored documents' tickets are marked, as the issue left them.
    sqlite3 *db = nullptr;
    sqlite3_open(qPrintable(posFile), &db);
    sqlite3_exec(db, "update documento set fecha = substr(fecha, 1, 20) || '863' where iddocumento between 5 and 50004",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);

    for (int run = 1; run <= 5; ++run) {
        QElapsedTimer t;
        t.start();
        auto store = state.newConnection();
        auto pos = state.newConnection();
        if (!store->open(sql::invoiceStoreConnectionString())
            || !pos->open(sql::posConnectionString(state.PosCatalog, state.PosServer)))
            return 1;
        const Reconciliation r = ReconcileTickets(*store, *pos);
        const double reconcileMs = t.nsecsElapsed() / 1e6;
        t.restart();
        const auto missing = archive::DocumentsWithoutArchive(*store, folder.path());
        const double sweepMs = t.nsecsElapsed() / 1e6;
        if (!r.ok || !missing) {
            std::fprintf(stderr, "check failed: %s\n", qPrintable(r.error));
            return 1;
        }
        const double direct = directMs(posFile, storeFile);
        std::printf("books check, run %d: reconcile %.1f ms (%lld marked outside, %lld documents with open "
                    "tickets), archive listing %.1f ms (%lld missing); direct SQLite %.1f ms\n",
                    run, reconcileMs, qint64(r.markedInNoDocument.size()), qint64(r.documentsWithOpenTickets.size()),
                    sweepMs, qint64(missing->size()), direct);
        // Off the window's thread: it delays no key; its figure is what the
        // check costs, beside the same reads done directly.
        bench::result("books check after start (own thread), 1,000,000 tickets / 10,000 documents",
                      reconcileMs + sweepMs, direct, "ratio<5");
    }
    return 0;
}
