// The backup at exit of an invoice store holding 10,000 documents (five
// lines each), beside a plain copy of the store file.
#include "BenchResult.h"
#include "BenchStore.h"
#include "externo/state/AppState.h"
#include "externo/store/BackupInvoiceStore.h"
#include "externo/store/StoreSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <cstdio>

using namespace zd;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    AppState state(sql::EngineConfig::fromProgramFolder(folder.path()));
    QDir(folder.path()).mkpath("TRS_seguridad");
    QDir(folder.path()).mkpath("copy");
    if (EnsureInvoiceStore(state) == StoreCheck::CannotCreate)
        return 1;
    const QString store = state.engine.catalogFile("127.0.0.1", "TRS_FAC");
    if (!zd::bench::fillStore(store))
        return 1;
    std::printf("invoice store: 10,000 documents, 50,000 lines, %.1f MB\n", QFileInfo(store).size() / 1e6);
    for (int run = 1; run <= 7; ++run) {
        QElapsedTimer t;
        t.start();
        const BackupResult result = BackupInvoiceStore(state, folder.path() + "/copy/TRS_FAC_back");
        const double backupMs = t.nsecsElapsed() / 1e6;
        if (result.status != BackupResult::Ok) {
            std::fprintf(stderr, "backup failed: %s\n", qPrintable(result.error));
            return 1;
        }
        const QString plain = folder.path() + "/plain_copy";
        QFile::remove(plain);
        t.restart();
        QFile::copy(store, plain);
        const double copyMs = t.nsecsElapsed() / 1e6;
        std::printf("backup (statement, verify, copy), run %d %9.1f ms   plain file copy %6.1f ms   ratio %5.1f\n",
                    run, backupMs, copyMs, copyMs > 0 ? backupMs / copyMs : 0.0);
        zd::bench::result("backup at exit, 10,000 documents", backupMs, copyMs, "ratio<3", "plain copy");
    }
    return 0;
}
