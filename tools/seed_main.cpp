// zd_seed: writes a point-of-sale database for the embedded engine.
#include "posdemo/DatabaseFile.h"
#include "posdemo/PosSeeder.h"

#include "common/ProgramFolders.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

using zd::posdemo::PosSeeder;
using zd::posdemo::SeedOptions;

int main(int argc, char *argv[])
{
    // The logo is drawn with fonts, which need a GUI application, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a point-of-sale database (SQLite) for the embedded engine.\n"
        "Exactly one of --demo, --scale, --empty names the file to write."));
    parser.addHelpOption();
    const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("Demo shop: 60 customers, 3,000 tickets."),
                                  QStringLiteral("FILE"));
    const QCommandLineOption scale(QStringLiteral("scale"),
                                   QStringLiteral("Shop scale: 10,000 customers, 1,000,000 tickets of 1-5 lines;"
                                                  " customer 1 has 2,000 open tickets."),
                                   QStringLiteral("FILE"));
    const QCommandLineOption empty(QStringLiteral("empty"), QStringLiteral("The tables only."), QStringLiteral("FILE"));
    const QCommandLineOption customers(QStringLiteral("customers"), QStringLiteral("Number of customers."),
                                       QStringLiteral("N"));
    const QCommandLineOption tickets(QStringLiteral("tickets"), QStringLiteral("Number of tickets."),
                                     QStringLiteral("N"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed (default 1)."),
                                  QStringLiteral("N"));
    const QCommandLineOption today(QStringLiteral("today"),
                                   QStringLiteral("Reference date yyyy-mm-dd; tickets cover the 18 months before it."),
                                   QStringLiteral("DATE"));
    parser.addOptions({demo, scale, empty, customers, tickets, seed, today});
    parser.process(app);

    const int modes = int(parser.isSet(demo)) + int(parser.isSet(scale)) + int(parser.isSet(empty));
    if (modes != 1) {
        err << "zd_seed: give exactly one of --demo FILE, --scale FILE, --empty FILE\n";
        return 2;
    }

    SeedOptions options = parser.isSet(scale) ? SeedOptions::scale() : SeedOptions::demo();
    bool ok = true;
    auto number = [&](const QCommandLineOption &option, qint64 low, qint64 high, qint64 fallback) {
        if (!parser.isSet(option))
            return fallback;
        bool good = false;
        const qint64 value = parser.value(option).toLongLong(&good);
        if (!good || value < low || value > high) {
            err << "zd_seed: --" << option.names().first() << " must be a number from " << low << " to " << high
                << "\n";
            ok = false;
        }
        return value;
    };
    options.customers = int(number(customers, 1, 99'999'999, options.customers));
    // Ticket ids are shown in eight digits.
    options.tickets = int(number(tickets, 0, 99'999'999, options.tickets));
    options.seed = quint64(number(seed, 0, std::numeric_limits<qint64>::max(), qint64(options.seed)));
    if (parser.isSet(today)) {
        options.today = QDate::fromString(parser.value(today), QStringLiteral("yyyy-MM-dd"));
        if (!options.today.isValid()) {
            err << "zd_seed: --today must be a date yyyy-mm-dd\n";
            ok = false;
        }
    }
    if (!ok)
        return 2;

    const QString file = parser.value(parser.isSet(demo) ? demo : parser.isSet(scale) ? scale : empty);
    QElapsedTimer timer;
    timer.start();
    QString error;
    // In a program folder shared by a group the database must stay writable
    // by every operator of the group (the program marks tickets in it).
    if (!zd::common::prepareFolder(QFileInfo(file).absolutePath(), &error)) {
        err << "zd_seed: " << error << "\n";
        return 1;
    }
    if (parser.isSet(empty)) {
        if (!zd::posdemo::writeEmptyPosDatabase(file, &error)) {
            err << "zd_seed: " << error << "\n";
            return 1;
        }
        out << "wrote the empty point-of-sale tables to " << file << " in " << timer.elapsed() << " ms\n";
        return 0;
    }
    PosSeeder seeder(options);
    if (!seeder.writeFile(file, &error)) {
        err << "zd_seed: " << error << "\n";
        return 1;
    }
    const auto &c = seeder.counts();
    out << "wrote " << file << ": " << c.customers << " customers, " << c.tickets << " tickets, " << c.lines
        << " lines, " << c.taxRows << " tax rows in " << timer.elapsed() << " ms\n";
    return 0;
}
