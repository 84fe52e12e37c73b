#pragma once
#include <QImage>
#include <QString>

namespace zd::documents {

class DataReport1;

// Writes every page of the report to a PDF file (A4, 1440 dpi so that one
// device unit is one twip). The file is replaced only when complete.
// On failure returns false and says why in *error.
bool ExportReportPdf(const DataReport1 &report, const QString &path, const QString &title,
                     QString *error = nullptr);

// One page as an image at the given resolution (white paper).
QImage RenderReportPage(const DataReport1 &report, int page, double dpi);

} // namespace zd::documents
