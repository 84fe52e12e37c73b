// bench_store: a document issued from 500 tickets with 5,000 lines, then
// loaded back. Each is timed through the program's routines on the embedded
// engine and beside the same statements run directly with the sqlite3 C API
// on copies of the same files; the ratio is printed.
#include "BenchResult.h"
#include "DirectSqlite.h"

#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"
#include "externo/store/Facturas.h"
#include "externo/store/StoreSetup.h"
#include "posdemo/PosSchema.h"
#include "posdemo/SqliteDb.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int kTickets = 500;
constexpr int kLinesPerTicket = 10;
constexpr int kRuns = 3;
const char *const kIssuedId = "F011300250001";

QTextStream out(stdout);

bool fail(const QString &why)
{
    out << "error: " << why << Qt::endl;
    return false;
}

bool copyOver(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

zd::LineRecordSet makeLines()
{
    zd::LineRecordSet lines;
    lines.reserve(kTickets * kLinesPerTicket);
    for (int t = 0; t < kTickets; ++t) {
        for (int l = 0; l < kLinesPerTicket; ++l) {
            const int n = int(lines.size()) + 1;
            lines.append({QString::number(n), QString::number(t + 1), QString::number(1000 + l),
                          QStringLiteral("Article numero %1").arg(l), QStringLiteral("1.250"),
                          QStringLiteral("3.40"), QStringLiteral("0.00"), QStringLiteral("4.25"),
                          QString::number(100000 + t)});
        }
    }
    return lines;
}

bool seedTickets(const QString &posFile)
{
    QString error;
    if (!zd::posdemo::createPosDatabase(posFile, &error))
        return fail(error);
    zd::posdemo::SqliteDb db;
    zd::posdemo::SqliteStatement insert;
    if (!db.open(posFile, false, &error) || !db.exec("BEGIN", &error)
        || !insert.prepare(db, "INSERT INTO documento (iddocumento, numero, fecha, isfinalizado, idcontacto) "
                               "VALUES (?, ?, '2013-05-14 10:15:42.000', 1, 25)", &error))
        return fail(error);
    for (int t = 0; t < kTickets; ++t) {
        insert.bindInt(1, 100000 + t);
        insert.bindInt(2, t + 1);
        if (!insert.run(&error))
            return fail(error);
    }
    return db.exec("COMMIT", &error) || fail(error);
}

// The issue's statements, straight on SQLite: numbering, header, lines in one
// transaction; the ticket marks in another.
bool directIssue(const QString &storeFile, const QString &posFile, const zd::LineRecordSet &lines)
{
    QString e;
    zd::posdemo::SqliteDb store, pos;
    if (!store.open(storeFile, false, &e) || !pos.open(posFile, false, &e)
        || !store.exec("PRAGMA foreign_keys = ON", &e))
        return fail(e);
    zd::posdemo::SqliteStatement numbering, header, line, find, mark;
    if (!numbering.prepare(store, "SELECT * FROM facturas WHERE tipodocumento=1 AND idserie=1130025 "
                                  "ORDER BY iddocumento", &e)
        || !store.exec("BEGIN", &e))
        return fail(e);
    while (sqlite3_step(numbering.handle()) == SQLITE_ROW) {}
    sqlite3_reset(numbering.handle());
    if (!header.prepare(store, "INSERT INTO facturas (IdDocumento, TipoDocumento, IdSerie, NumCopia, IdEmpresa, "
                               "IdFiscal, IdCliente, IdFiscalCliente, MonedaDes, MonedaDec, MonedaSim, timestamp, "
                               "Correlativo, FechaDocumento, totalbruto, totaldescuentos, totalimpuestos, "
                               "Impuesto1Des, Impuesto1Por, TotalImpuesto1, totalbase1, TotalNeto) VALUES "
                               "(?, 1, 1130025, 0, 1, 'B12345678', 25, 'X1234567L', 'Euro', 2, 'EUR', "
                               "'2013-05-14 11:30:05.000', 1, '2013-05-14 11:30:05.000', 100, 0, 10, 'TVA', "
                               "10, 10, 100, 110)", &e))
        return fail(e);
    header.bindStaticText(1, kIssuedId);
    if (!header.run(&e)
        || !line.prepare(store, "INSERT INTO Documento (IdDocumento, TipoDocumento, IdSerie, Correlativo, "
                                "IdExterno, numerodetique, codigo, descripcion, cantidad, precio, descuento, "
                                "importe) VALUES (?, 1, 1130025, 1, ?, ?, ?, ?, ?, ?, ?, ?)", &e))
        return fail(e);
    for (const QStringList &f : lines) {
        line.bindStaticText(1, kIssuedId);
        line.bindInt(2, f[8].toInt());
        line.bindInt(3, f[1].toInt());
        line.bindInt(4, f[2].toInt());
        line.bindText(5, f[3].left(35));
        line.bindDouble(6, f[4].toDouble());
        line.bindDouble(7, f[5].toDouble());
        line.bindDouble(8, f[6].toDouble());
        line.bindDouble(9, f[7].toDouble());
        if (!line.run(&e))
            return fail(e);
    }
    if (!pos.exec("BEGIN", &e)
        || !find.prepare(pos, "SELECT * FROM documento WHERE iddocumento=?", &e)
        || !mark.prepare(pos, "UPDATE documento SET fecha=substr(fecha, 1, 20) || '863' WHERE iddocumento=?", &e))
        return fail(e);
    for (int t = 0; t < kTickets; ++t) {
        find.bindInt(1, 100000 + t);
        while (sqlite3_step(find.handle()) == SQLITE_ROW) {}
        sqlite3_reset(find.handle());
        mark.bindInt(1, 100000 + t);
        if (!mark.run(&e))
            return fail(e);
    }
    return (store.exec("COMMIT", &e) && pos.exec("COMMIT", &e)) || fail(e);
}


double medianMs(const std::function<bool()> &prepare, const std::function<bool()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        if (!prepare())
            return -1;
        QElapsedTimer timer;
        timer.start();
        if (!work())
            return -1;
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char *what, double program, double direct, double targetMs)
{
    if (program < 0 || direct < 0) {
        out << what << " FAILED" << Qt::endl;
        return;
    }
    const double ratio = direct > 0 ? program / direct : 0;
    out << qSetFieldWidth(44) << Qt::left << what << qSetFieldWidth(0)
        << QString::number(program, 'f', 1) << " ms   direct " << QString::number(direct, 'f', 1)
        << " ms   ratio " << QString::number(ratio, 'f', 2)
        << ((program < targetMs && ratio < 3) ? "   (within target)" : "   (OVER TARGET)") << Qt::endl;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    zd::AppState state(zd::sql::EngineConfig::fromProgramFolder(dir.path()));
    state.Now = [] { return QDateTime(QDate(2013, 5, 14), QTime(11, 30, 5)); };
    state.Company.idempresa = 1;
    state.Company.idfiscal = QStringLiteral("B12345678");
    state.Customers.resize(3);
    state.Customers[2].idcliente = 25;
    state.SelectedCustomerIndex = 2;
    state.TaxRates = {zd::TaxRateEntry{10, 100, 10, QStringLiteral("TVA"), 1}};
    state.TaxRateCount = 1;
    state.SelectionBase = 100;
    state.SelectionTax = 10;

    if (zd::EnsureInvoiceStore(state) != zd::StoreCheck::Created)
        return fail(QStringLiteral("cannot create the invoice store")), 1;
    const QString storeFile = state.engine.catalogFile(QStringLiteral("127.0.0.1"), QStringLiteral("TRS_FAC"));
    const QString posFile = state.engine.catalogFile(state.PosServer, state.PosCatalog);
    const QString emptyStore = dir.filePath(QStringLiteral("empty_store.sqlite"));
    const QString freshPos = dir.filePath(QStringLiteral("fresh_pos.sqlite"));
    const QString directStore = dir.filePath(QStringLiteral("direct_store.sqlite"));
    const QString directPos = dir.filePath(QStringLiteral("direct_pos.sqlite"));
    if (!QFile::copy(storeFile, emptyStore) || !seedTickets(freshPos))
        return fail(QStringLiteral("cannot prepare the files")), 1;

    const zd::LineRecordSet lines = makeLines();
    QVector<qint32> tickets;
    for (int t = 0; t < kTickets; ++t)
        tickets.append(100000 + t);

    out << "Issue of " << kTickets << " tickets, " << lines.size() << " lines; load back (median of "
        << kRuns << ")" << Qt::endl;
    const double issue = medianMs(
        [&] {
            state.PosConnection.reset();
            if (!copyOver(emptyStore, storeFile) || !copyOver(freshPos, posFile))
                return false;
            state.PosConnection = state.newConnection();
            return state.PosConnection->open(zd::sql::posConnectionString(state.PosCatalog, state.PosServer));
        },
        [&] { return zd::IssueDocument(state, lines, 1, tickets) == QLatin1String(kIssuedId); });
    const double directIssueMs = medianMs(
        [&] { return copyOver(emptyStore, directStore) && copyOver(freshPos, directPos); },
        [&] { return directIssue(directStore, directPos, lines); });
    report("IssueDocument (500 tickets, 5,000 lines)", issue, directIssueMs, 1000);
    zd::bench::result("IssueDocument, 500 tickets / 5,000 lines", issue, directIssueMs, "ratio<2");

    const double load = medianMs([] { return true; }, [&] {
        zd::LineRecordSet loaded;
        return zd::LoadDocument(state, QLatin1String(kIssuedId), &loaded) == QLatin1String(zd::kLoadDone)
            && loaded.size() == lines.size();
    });
    const double directLoadMs = medianMs([] { return true; }, [&] {
        QString error;
        const int rows = zd::bench::directLoadDocument(directStore, QStringLiteral("F011300250001"), &error);
        return rows == lines.size() || fail(error.isEmpty() ? QStringLiteral("line count") : error);
    });
    report("LoadDocument (5,000 lines)", load, directLoadMs, 500);
    zd::bench::result("LoadDocument, 5,000 lines", load, directLoadMs, "ms<500");
    state.PosConnection.reset();
    return (issue < 0 || directIssueMs < 0 || load < 0 || directLoadMs < 0) ? 1 : 0;
}
