// bench_posdata [--tickets N] [FILE]: a customer with 2,000 open tickets.
//  1. the open-ticket list and its node texts;
//  2. reading every one of those tickets' lines and taxes (choosing all);
//  3. the customer of the latest open ticket (run when the window opens).
// Each is timed through the program's routines on the embedded engine and
// beside the same work done directly with the sqlite3 C API; the ratio is
// printed. FILE is a point-of-sale file (zd_seed --scale FILE); without it
// the shared scale data is used (made once, see BenchData.h); with
// --tickets N a smaller shop with the same 2,000-ticket customer is
// generated first.
#include "BenchData.h"
#include "BenchResult.h"
#include "DirectSqlite.h"

#include "externo/posdata/ListQueries.h"
#include "externo/posdata/PosValues.h"
#include "externo/posdata/TaxBreakdown.h"
#include "externo/posdata/TicketLines.h"
#include "externo/posdata/TicketNodes.h"
#include "externo/posdata/TotalsView.h"
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"
#include "posdemo/PosSeeder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

QTextStream out(stdout);

class NoTotalsView : public zd::posdata::TotalsView {
public:
    void setTotalTexts(const QString &, const QString &, const QString &) override {}
    void setTaxRow(int, bool, const QString &, const QString &, const QString &, const QString &) override {}
    void setTaxFrameBottomToRow(int) override {}
};

// Median of `runs` timings in milliseconds.
double medianMs(int runs, const std::function<bool()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!work())
            return -1;
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char *what, double program, double direct)
{
    out << qSetFieldWidth(44) << Qt::left << what << qSetFieldWidth(0) << QString::number(program, 'f', 1)
        << " ms  direct " << QString::number(direct, 'f', 1) << " ms  ratio "
        << QString::number(direct > 0 ? program / direct : 0, 'f', 2) << Qt::endl;
}

using zd::bench::Direct;
const auto text = zd::bench::columnText;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int plannedTickets = 100000;
    if (args.size() >= 2 && args.first() == QLatin1String("--tickets")) {
        plannedTickets = args.at(1).toInt();
        args = args.mid(2);
    } else if (args.isEmpty()) {
        const QString scale = zd::bench::scalePosDatabase();
        if (scale.isEmpty())
            return 1;
        args << scale;
    }

    QTemporaryDir folder;
    zd::sql::EngineConfig engine;
    engine.programFolder = folder.path();
    zd::AppState state(engine);
    const QString posFile = engine.catalogFile(state.PosServer, state.PosCatalog);
    QDir().mkpath(QFileInfo(posFile).absolutePath());

    QElapsedTimer setup;
    setup.start();
    if (!args.isEmpty()) {
        if (!QFile::link(QFileInfo(args.first()).absoluteFilePath(), posFile)) {
            out << "cannot use " << args.first() << Qt::endl;
            return 1;
        }
    } else {
        zd::posdemo::SeedOptions options = zd::posdemo::SeedOptions::scale();
        options.customers = 2000;
        options.tickets = plannedTickets;
        options.today = QDate(2021, 6, 30);
        zd::posdemo::PosSeeder seeder(options);
        QString error;
        if (!seeder.writeFile(posFile, &error)) {
            out << "seeding failed: " << error << Qt::endl;
            return 1;
        }
        out << "generated " << seeder.counts().tickets << " tickets in " << setup.elapsed() << " ms" << Qt::endl;
    }

    state.PosConnection = state.newConnection();
    if (!state.PosConnection->open(zd::sql::posConnectionString(state.PosCatalog, state.PosServer))) {
        out << "cannot open: " << state.PosConnection->lastError() << Qt::endl;
        return 1;
    }
    Direct direct(posFile);

    // The customer with the most open tickets (2,000 in the scale data).
    qint64 customer = 0;
    qint64 openCount = 0;
    {
        sqlite3_stmt *s = direct.prepare(
            "select idcontacto, count(*) from documento where substr(fecha,21,3)='000' and isfinalizado=1 "
            "and numero<>0 and idcontacto<>0 and iddocumentoabono=0 group by idcontacto order by 2 desc limit 1");
        if (s && sqlite3_step(s) == SQLITE_ROW) {
            customer = sqlite3_column_int64(s, 0);
            openCount = sqlite3_column_int64(s, 1);
        }
        sqlite3_finalize(s);
    }
    const QString nodeText = QString::number(customer) + QStringLiteral("-CLIENT");
    out << "customer " << customer << " with " << openCount << " open tickets" << Qt::endl;

    // 1. The list and its node texts.
    QStringList programNodes;
    const double listProgram = medianMs(5, [&] {
        const auto result = zd::posdata::ListOpenTickets(state, nodeText);
        programNodes = result.nodeTexts;
        return result.status == zd::posdata::ListResult::Ok;
    });
    QStringList directNodes;
    const double listDirect = medianMs(5, [&] {
        const QByteArray sql = "select * from documento where substr(fecha,21,3)='000' and isfinalizado=1 "
                               "and numero <> 0 and idcontacto=" + QByteArray::number(customer)
            + " and iddocumentoabono=0 order by tipodocumento,numero DESC,fecha";
        sqlite3_stmt *s = direct.prepare(sql.constData());
        directNodes.clear();
        const int cNumero = 1, cFecha = 2;  // documento: iddocumento, numero, fecha, ...
        while (s && sqlite3_step(s) == SQLITE_ROW) {
            const QDate date = QDate::fromString(text(s, cFecha).left(10), QStringLiteral("yyyy-MM-dd"));
            directNodes << zd::posdata::TicketNodeText(sqlite3_column_int64(s, cNumero),
                                                       sqlite3_column_int64(s, 0), date);
        }
        sqlite3_finalize(s);
        return s != nullptr;
    });
    if (programNodes != directNodes) {
        out << "the two lists differ" << Qt::endl;
        return 1;
    }
    report("open-ticket list + node texts", listProgram, listDirect);
    zd::bench::result("open-ticket list of 2,000 + node texts", listProgram, listDirect, "-");

    std::vector<qint32> ids;
    std::vector<qint32> numbers;
    for (const QString &node : programNodes) {
        const auto v = zd::posdata::ParseTicketNode(node);
        ids.push_back(v->ticketId);
        numbers.push_back(v->number);
    }

    // 2. Every ticket's lines and taxes, as choosing all of them does.
    zd::posdata::LoadTaxRates(state);
    NoTotalsView view;
    qint64 programLines = 0;
    const double chooseProgram = medianMs(3, [&] {
        zd::posdata::ClearTaxTotals(state);
        programLines = 0;
        for (size_t i = 0; i < ids.size(); ++i) {
            const auto lines = zd::posdata::ReadTicketLines(state, ids[i], numbers[i], 0);
            if (!lines.ok || !zd::posdata::AddTicketTaxes(state, view, ids[i]))
                return false;
            programLines += lines.rows.size();
        }
        return true;
    });
    const double programBase = state.SelectionBase;

    qint64 directLines = 0;
    double directBase = 0;
    const double chooseDirect = medianMs(3, [&] {
        directLines = zd::bench::directLinesAndTaxes(direct, ids, numbers, &directBase);
        return true;
    });
    if (programLines != directLines) {
        out << "line counts differ: " << programLines << " / " << directLines << Qt::endl;
        return 1;
    }
    out << "lines " << programLines << ", net total " << QString::number(programBase, 'f', 2) << " (direct "
        << QString::number(directBase, 'f', 2) << ")" << Qt::endl;
    report("lines and taxes of every open ticket", chooseProgram, chooseDirect);
    zd::bench::result("lines and taxes of every open ticket", chooseProgram, chooseDirect, "ratio<2");

    // 3. The latest open ticket's customer: the query reads every open ticket.
    qint32 programLatest = 0;
    const double latestProgram = medianMs(3, [&] {
        bool ok = false;
        programLatest = zd::posdata::LatestOpenTicketCustomer(state, &ok);
        return ok;
    });
    qint64 directLatest = 0;
    const double latestDirect = medianMs(3, [&] {
        sqlite3_stmt *s = direct.prepare(
            "select * from documento where substr(fecha,21,3)='000' and isfinalizado=1 and numero <> 0 "
            "and idcontacto<>0 and iddocumentoabono=0 order by fecha,hora");
        const int cIdcontacto = 6;  // documento's seventh column
        while (s && sqlite3_step(s) == SQLITE_ROW)
            directLatest = sqlite3_column_int64(s, cIdcontacto);
        sqlite3_finalize(s);
        return s != nullptr;
    });
    if (programLatest != directLatest) {
        out << "latest customers differ: " << programLatest << " / " << directLatest << Qt::endl;
        return 1;
    }
    report("customer of the latest open ticket", latestProgram, latestDirect);
    zd::bench::result("customer of the latest open ticket", latestProgram, latestDirect, "-");
    return 0;
}
