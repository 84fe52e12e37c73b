#include "PagePdf.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace zd::archive {

QByteArray RenderArchivePages(const PageSource &pages, const QString &title, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    if (pages.pageCount <= 0 || !pages.paint)
        return fail(QStringLiteral("no page to archive"));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Zedorev"));
        writer.setResolution(1440);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(QStringLiteral("the PDF writer did not start"));
        for (int page = 0; page < pages.pageCount; ++page) {
            if (page > 0 && !writer.newPage())
                return fail(QStringLiteral("the PDF writer refused page %1").arg(page + 1));
            pages.paint(painter, page);
        }
        if (!painter.end())
            return fail(QStringLiteral("the PDF writer did not finish"));
    }
    buffer.close();
    return bytes;
}

} // namespace zd::archive
