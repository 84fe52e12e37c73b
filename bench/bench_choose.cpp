// bench_choose [FILE]: the operator's choosing through the real main window
// (offscreen), on a point-of-sale file made by `zd_seed --scale FILE`
// (10,000 customers, 1,000,000 tickets, customer 1 with 2,000 open ones);
// without FILE, on the shared scale data (made once, see BenchData.h):
//  1. a click on customer 1 until its ticket list is shown;
//  2. a click on the ticket root choosing all of them, lines and totals shown;
//  3. a customer's name typed letter by letter in TxtCliente.
// Each is printed beside the same database work done directly with the
// sqlite3 C API, and the ratio.
#include "BenchData.h"
#include "BenchResult.h"
#include "DirectSqlite.h"

#include "externo/mainwindow/FrmExterno.h"
#include "externo/mainwindow/TreeNodes.h"
#include "externo/posdata/PosValues.h"
#include "externo/posdata/TicketNodes.h"
#include "externo/sql/EngineConfig.h"
#include "externo/state/AppState.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTreeWidget>
#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

QTextStream out(stdout);

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.empty() ? 0 : times[times.size() / 2];
}

double timedMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

void report(const QString &what, double program, double direct, double target)
{
    out << qSetFieldWidth(40) << Qt::left << what << qSetFieldWidth(0) << QString::number(program, 'f', 1)
        << " ms  direct " << QString::number(direct, 'f', 2) << " ms  ratio "
        << QString::number(direct > 0 ? program / direct : 0, 'f', 2) << "  (target < " << target << " ms) "
        << (program < target ? "ok" : "SLOW") << Qt::endl;
}

// The window has painted what the work changed.
void settle()
{
    QCoreApplication::processEvents();
}

void clickNode(QTreeWidget *tree, int index)
{
    QTreeWidgetItem *item = zd::nodes::node(tree, index);
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

using zd::bench::Direct;
const auto text = zd::bench::columnText;

// The customer's open-ticket list and node texts, directly.
QStringList directList(Direct &direct, qint64 customer, std::vector<qint64> *ids = nullptr,
                       std::vector<qint64> *numbers = nullptr)
{
    sqlite3_stmt *s = direct.prepare(
        "select iddocumento, numero, fecha from documento where substr(fecha,21,3)='000' and isfinalizado=1 "
        "and numero <> 0 and idcontacto=" + QByteArray::number(customer)
        + " and iddocumentoabono=0 order by tipodocumento,numero DESC,fecha");
    QStringList nodes;
    while (s && sqlite3_step(s) == SQLITE_ROW) {
        const QDate date = QDate::fromString(text(s, 2).left(10), QStringLiteral("yyyy-MM-dd"));
        nodes << zd::posdata::TicketNodeText(sqlite3_column_int64(s, 1), sqlite3_column_int64(s, 0), date);
        if (ids)
            ids->push_back(sqlite3_column_int64(s, 0));
        if (numbers)
            numbers->push_back(sqlite3_column_int64(s, 1));
    }
    sqlite3_finalize(s);
    return nodes;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        const QString scale = zd::bench::scalePosDatabase();
        if (scale.isEmpty())
            return 1;
        args << scale;
    }

    QTemporaryDir folder;
    zd::sql::EngineConfig engine = zd::sql::EngineConfig::fromProgramFolder(folder.path());
    zd::AppState state(engine);
    state.EndProgram = [](int code) {
        out << "the program ended (" << code << ")" << Qt::endl;
        std::exit(1);
    };
    const QString posFile = engine.catalogFile(state.PosServer, state.PosCatalog);
    QDir().mkpath(QFileInfo(posFile).absolutePath());
    if (!QFile::link(QFileInfo(args.first()).absoluteFilePath(), posFile)) {
        out << "cannot use " << args.first() << Qt::endl;
        return 1;
    }
    Direct direct(posFile);

    zd::FrmExterno w(state);
    w.show();
    const double load = timedMs([&] {
        w.Load();
        settle();
    });
    out << "window loaded (catalogues, preselection) in " << QString::number(load, 'f', 0) << " ms" << Qt::endl;

    // Customer 1's node.
    QTreeWidget *customers = w.TreeClient[0];
    int customerNode = 0;
    for (int i = 2; i <= zd::nodes::nodeCount(customers) && !customerNode; ++i) {
        if (zd::posdata::CustomerNumberFromNodeText(zd::nodes::node(customers, i)->text(0)) == 1)
            customerNode = i;
    }
    if (!customerNode) {
        out << "no customer 1" << Qt::endl;
        return 1;
    }

    // 1. Click on the customer until its list is shown.
    std::vector<double> clickTimes;
    for (int run = 0; run < 5; ++run)
        clickTimes.push_back(timedMs([&] {
            clickNode(customers, customerNode);
            settle();
        }));
    std::vector<qint64> ids, numbers;
    QStringList directNodes;
    std::vector<double> listTimes;
    for (int run = 0; run < 5; ++run) {
        ids.clear();
        numbers.clear();
        listTimes.push_back(timedMs([&] { directNodes = directList(direct, 1, &ids, &numbers); }));
    }
    QTreeWidget *tickets = w.TreeClient[1];
    QStringList shown;
    for (int i = 2; i <= zd::nodes::nodeCount(tickets); ++i)
        shown << zd::nodes::node(tickets, i)->text(0);
    if (shown != directNodes) {
        out << "the lists differ: " << shown.size() << " / " << directNodes.size() << Qt::endl;
        return 1;
    }
    out << "customer 1: " << shown.size() << " open tickets" << Qt::endl;
    report("customer click, list shown", median(clickTimes), median(listTimes), 300);
    zd::bench::result("customer click, list of 2,000 shown", median(clickTimes), median(listTimes), "ratio<2");

    // 2. Choose all (lines and totals shown), then release all (not timed).
    std::vector<double> chooseTimes;
    int listed = 0;
    QString netShown;
    for (int run = 0; run < 3; ++run) {
        chooseTimes.push_back(timedMs([&] {
            clickNode(tickets, 1);
            settle();
        }));
        listed = w.ListView1->topLevelItemCount();
        netShown = w.TxtTotalBruto->text();
        clickNode(tickets, 1);
    }
    std::vector<double> directChoose;
    qint64 directLines = 0;
    double directNet = 0;
    for (int run = 0; run < 3; ++run)
        directChoose.push_back(timedMs([&] { directLines = zd::bench::directLinesAndTaxes(direct, ids, numbers, &directNet); }));
    if (listed != directLines) {
        out << "line counts differ: " << listed << " / " << directLines << Qt::endl;
        return 1;
    }
    out << "lines listed: " << listed << ", net total shown " << netShown << " (direct "
        << QString::number(directNet, 'f', 2) << ")" << Qt::endl;
    report("choose all, lines and totals shown", median(chooseTimes), median(directChoose), 2000);
    zd::bench::result("choose all 2,000 tickets, lines and totals shown", median(chooseTimes), median(directChoose),
                      "ratio<2");

    // 3. A name typed letter by letter: the customer in the middle of the tree.
    const int middle = zd::nodes::nodeCount(customers) / 2 + 1;
    const QString nodeText = zd::nodes::node(customers, middle)->text(0);
    const QString name = nodeText.mid(nodeText.indexOf(QLatin1Char('-')) + 1).trimmed().left(10);
    const qint64 typedCustomer = zd::posdata::CustomerNumberFromNodeText(nodeText).value_or(0);
    w.TxtCliente->clear();
    w.TxtCliente->setFocus();
    std::vector<double> keyTimes;
    for (const QChar c : name) {
        keyTimes.push_back(timedMs([&] {
            QTest::keyClick(w.TxtCliente, c.toLatin1());
            settle();
        }));
    }
    std::vector<double> directKey;
    for (int run = 0; run < name.size(); ++run)
        directKey.push_back(timedMs([&] { directList(direct, typedCustomer); }));
    out << "typed \"" << name << "\": customer " << state.SelectedCustomerIndex << " chosen (node of "
        << nodeText.trimmed() << " is " << middle << "), slowest key "
        << QString::number(*std::max_element(keyTimes.begin(), keyTimes.end()), 'f', 1) << " ms" << Qt::endl;
    report("one key in TxtCliente (median)", median(keyTimes), median(directKey), 50);
    zd::bench::result("one key in TxtCliente, median", median(keyTimes), -1, "ms<16");
    zd::bench::result("one key in TxtCliente, slowest", *std::max_element(keyTimes.begin(), keyTimes.end()), -1,
                      "ms<50");
    return 0;
}
