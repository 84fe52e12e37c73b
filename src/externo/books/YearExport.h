#pragma once
#include <QString>
#include <QStringList>

namespace zd {
struct AppState;
}

namespace zd::books {

struct ExportResult {
    bool ok = false;
    QString error;
    QStringList files;      // written, relative to the export folder
    QString manifest;       // its path
    QString chainHead;      // "SEQ:HASH" at the export
};

// Writes a year's books into `folder`: documents.csv (the year's stored
// documents), lines.csv (their lines), cancelled.csv and cancelled_lines.csv
// (the year's cancelled delivery notes), records.csv (the records made in
// the year), the year's archive PDFs under archive/, and manifest.txt: the
// SHA-256 of every file, then "chain SEQ HASH". CSV files are UTF-8,
// ";"-separated, with one header line; values as the records write them.
// Every file is written durably. The export is then itself a record (its
// year and the manifest's SHA-256).
ExportResult ExportYear(AppState &state, int year, const QString &folder);

// One CSV line (no line end) and its reading back.
QString CsvLine(const QStringList &fields);
QStringList CsvFields(const QString &line);

} // namespace zd::books
