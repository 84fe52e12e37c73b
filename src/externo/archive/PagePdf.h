#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

class QPainter;

namespace zd::archive {

// The pages to archive: how many, and how one is painted. The painter is on
// an A4 portrait PDF page at 1440 dpi (one device unit per twip).
struct PageSource {
    int pageCount = 0;
    std::function<void(QPainter &, int page)> paint;
};

// The pages as a PDF made by Qt's writer in its PDF/A-1b mode: fonts
// embedded, no transparency, an sRGB output intent. Empty on failure.
QByteArray RenderArchivePages(const PageSource &pages, const QString &title, QString *error);

} // namespace zd::archive
