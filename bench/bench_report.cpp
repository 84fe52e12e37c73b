// Rendering and exporting a long document: 5,000 lines (about 280 A4 pages).
// Prints the time to the first preview page, the PDF export time, and the
// export's ratio to a plain copy of a file of the same size.
#include "BenchResult.h"
#include "externo/documents/DataReport1.h"
#include "externo/documents/PageStrip.h"
#include "externo/documents/ReportExport.h"
#include "externo/documents/ReportPreview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

using namespace zd::documents;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    DataReport1 report;
    report.setCaption("LblEmpresa0", "Boucherie Martin");
    report.setCaption("LblCliente0", "Restaurant Le Pré");
    report.setCaption("LblNFactura", "F011300250001");
    report.setCaption("LblFacturaLiteral", "   FACTURE");
    report.setCaption("LblTotal", "77500,00");
    zd::LineRecordSet rows;
    for (int i = 0; i < 5000; ++i)
        rows.append({QString::number(i), QString::number(5000 + i / 4), QStringLiteral("A%1").arg(i % 300),
                     QStringLiteral("Article numero %1").arg(i + 1), "1,250", "12,40", "0,00", "15,50",
                     QString::number(i)});
    report.setDetailRows(rows);
    std::printf("document: %d lines, %d pages\n", int(rows.size()), report.pageCount());

    QElapsedTimer clock;
    clock.start();
    ReportPreview preview(report);
    preview.resize(1280, 1024);
    preview.show();
    auto *strip = preview.findChild<PageStrip *>();
    while (strip->renderedPages() == 0 && clock.elapsed() < 10000)
        app.processEvents();
    const qint64 firstPageMs = clock.elapsed();

    const QString pdf = dir.filePath("long.pdf");
    clock.restart();
    QString error;
    if (!ExportReportPdf(report, pdf, "F011300250001", &error)) {
        std::printf("export failed: %s\n", qPrintable(error));
        return 1;
    }
    const qint64 exportMs = clock.elapsed();
    const qint64 size = QFileInfo(pdf).size();

    // The same amount of data copied as a plain file, for scale.
    clock.restart();
    QFile::copy(pdf, dir.filePath("copy.pdf"));
    const double copyMs = qMax<qint64>(1, clock.nsecsElapsed() / 1000000);

    std::printf("first preview page: %lld ms (target < 500)\n", firstPageMs);
    std::printf("PDF export: %lld ms, %lld bytes (target < 3000)\n", exportMs, size);
    std::printf("plain copy of the same size: %.0f ms; export / copy ratio: %.0f\n", copyMs,
                exportMs / copyMs);
    zd::bench::result("first preview page of 5,000 lines", double(firstPageMs), -1, "ms<500");
    zd::bench::result("PDF export of 5,000 lines", double(exportMs), -1, "ms<3000");
    return firstPageMs < 500 && exportMs < 3000 ? 0 : 2;
}
