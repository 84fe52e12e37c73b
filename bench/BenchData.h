#pragma once
// Shop-scale data shared by the benchmarks: made once and kept in the build
// folder (bench-data/), since seeding takes longer than the benchmarks.
// ZD_BENCH_DATA names another folder.
#include "posdemo/PosSeeder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>

namespace zd::bench {

// <data>/scale/Tillvane.sqlite: 10,000 customers, 1,000,000 tickets.
inline QString scalePosDatabase()
{
    const QString folder = qEnvironmentVariableIsSet("ZD_BENCH_DATA") ? qEnvironmentVariable("ZD_BENCH_DATA")
                                                                      : QStringLiteral(ZD_BENCH_DATA_DIR);
    const QString file = folder + QStringLiteral("/scale/Tillvane.sqlite");
    if (QFileInfo::exists(file))
        return file;
    QDir().mkpath(QFileInfo(file).path());
    std::printf("seeding the scale point-of-sale database into %s (once)...\n", qPrintable(file));
    std::fflush(stdout);
    QElapsedTimer t;
    t.start();
    posdemo::SeedOptions options = posdemo::SeedOptions::scale();
    options.today = QDate(2026, 12, 1);
    posdemo::PosSeeder seeder(options);
    QString error;
    // Written aside and renamed: an interrupted seeding leaves no half file.
    const QString partial = file + QStringLiteral(".partial");
    QFile::remove(partial);
    if (!seeder.writeFile(partial, &error) || !QFile::rename(partial, file)) {
        std::fprintf(stderr, "seeding failed: %s\n", qPrintable(error));
        return {};
    }
    std::printf("  seeded in %.1f s\n", t.elapsed() / 1000.0);
    return file;
}

inline void printFigure(const char *what, double programMs, double directMs)
{
    std::printf("%-58s %9.1f ms   direct SQLite %8.1f ms   ratio %5.2f\n", what, programMs, directMs,
                directMs > 0 ? programMs / directMs : 0.0);
    std::fflush(stdout);
}

} // namespace zd::bench
