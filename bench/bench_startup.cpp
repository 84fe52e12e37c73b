// Start-up to a usable main window on shop-scale data (10,000 customers,
// 1,000,000 tickets), beside the catalogue queries run directly on SQLite.
//  - in process: StartProgram until the window is shown and painted once;
//  - whole program: a real zedorev process (offscreen) until it reports the
//    main window ready.
// The start-up sequence includes a fixed pause of 100 ms before the main
// window is loaded.
#include "BenchData.h"
#include "BenchResult.h"

#include "externo/mainwindow/FrmExterno.h"
#include "externo/posdata/Catalogues.h"
#include "externo/posdata/TaxBreakdown.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/startup/StartProgram.h"
#include "posdemo/SqliteDb.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <sqlite3.h>

using namespace zd;

namespace {

double directCatalogueQueries(const QString &file)
{
    QElapsedTimer t;
    t.start();
    sqlite3 *db = nullptr;
    sqlite3_open_v2(qPrintable(file), &db, SQLITE_OPEN_READONLY, nullptr);
    const char *queries[] = {"select * from cliente order by idcliente", "select * from empresa",
                             "select * from moneda", "select * from TipoImpuesto order by IdTipoImpuesto"};
    qint64 cells = 0;
    for (const char *sql : queries) {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            const int n = sqlite3_column_count(st);
            for (int i = 0; i < n; ++i)
                cells += sqlite3_column_bytes(st, i) >= 0;
            // the rows are read as text, as the program reads them
            for (int i = 0; i < n; ++i)
                (void)sqlite3_column_text(st, i);
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return t.nsecsElapsed() / 1e6;
}

bool prepareFolder(const QString &folder, const QString &posFile)
{
    QDir().mkpath(folder + "/data/127.0.0.1");
    const QString target = folder + "/data/127.0.0.1/Tillvane.sqlite";
    QFile::remove(target);
    return QFile::link(posFile, target) || QFile::copy(posFile, target);
}

double inProcess(const QString &folder)
{
    QElapsedTimer t;
    t.start();
    AppState state(sql::EngineConfig::fromProgramFolder(folder));
    state.EndProgram = [](int code) { std::fprintf(stderr, "start-up ended the program (%d)\n", code); };
    std::unique_ptr<FrmExterno> window = StartProgram(state);
    QCoreApplication::processEvents();
    const double ms = t.nsecsElapsed() / 1e6;
    if (!window)
        return -1;
    return ms;
}

// The catalogue work of the load alone: connection, customers, shop,
// currency and tax rates through the engine.
double catalogueLoad(const QString &folder)
{
    QElapsedTimer t;
    t.start();
    AppState state(sql::EngineConfig::fromProgramFolder(folder));
    state.PosConnection = state.newConnection();
    if (!state.PosConnection->open(sql::posConnectionString(state.PosCatalog, state.PosServer)))
        return -1;
    LoadCatalogues(state);
    posdata::LoadTaxRates(state);
    return t.nsecsElapsed() / 1e6;
}

double wholeProgram(const QString &folder)
{
    const QString exe = folder + "/zedorev";
    if (!QFile::exists(exe) && !QFile::copy(QStringLiteral(ZD_PROGRAM_DIR "/zedorev"), exe))
        return -1;
    QFile::setPermissions(exe, QFile::permissions(exe) | QFile::ExeOwner);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_LOGGING_RULES", "zedorev.startup.info=true");
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer t;
    t.start();
    p.start(exe, {});
    QByteArray out;
    while (t.elapsed() < 60000) {
        p.waitForReadyRead(50);
        out += p.readAll();
        if (out.contains("main window ready"))
            break;
        if (p.state() == QProcess::NotRunning)
            break;
    }
    const double ms = t.nsecsElapsed() / 1e6;
    const bool ready = out.contains("main window ready");
    p.kill();
    p.waitForFinished();
    if (!ready)
        std::fprintf(stderr, "zedorev did not report ready:\n%s\n", out.constData());
    return ready ? ms : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString posFile = bench::scalePosDatabase();
    if (posFile.isEmpty())
        return 1;
    QTemporaryDir dir;
    if (!prepareFolder(dir.path(), posFile))
        return 1;

    std::printf("start-up on 10,000 customers / 1,000,000 tickets (includes the fixed 100 ms pause)\n");
    directCatalogueQueries(posFile);   // warm the page cache
    for (int run = 1; run <= 3; ++run) {
        const double program = inProcess(dir.path());
        const double direct = directCatalogueQueries(posFile);
        bench::printFigure(qPrintable(QString("in process, run %1%2").arg(run).arg(run == 1 ? " (creates the store)" : "")),
                           program, direct);
        bench::printFigure("  same, less the fixed 100 ms pause", program - 100, direct);
        if (run > 1)
            bench::result("start-up in process, less the 100 ms pause", program - 100, -1, "-");
    }
    for (int run = 1; run <= 3; ++run) {
        const double program = catalogueLoad(dir.path());
        const double direct = directCatalogueQueries(posFile);
        bench::printFigure("catalogue queries through the engine (10,000 customers)", program, direct);
        bench::result("catalogue queries at start, 10,000 customers", program, direct, "ratio<2");
    }
    for (int run = 1; run <= 2; ++run) {
        const double program = wholeProgram(dir.path());
        bench::printFigure(qPrintable(QString("whole program, process start to ready, run %1").arg(run)), program,
                           directCatalogueQueries(posFile));
        bench::result("whole program, process start to window ready", program, -1, "-");
    }
    return 0;
}
