#include "ReportExport.h"
#include "DataReport1.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace zd::documents {

bool ExportReportPdf(const DataReport1 &report, const QString &path, const QString &title,
                     QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Impossible d'écrire %1: %2").arg(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Zedorev"));
        writer.setResolution(1440);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(QStringLiteral("Impossible de créer le PDF %1").arg(path));
        const int pages = report.pageCount();
        for (int page = 0; page < pages; ++page) {
            if (page > 0 && !writer.newPage())
                return fail(QStringLiteral("Impossible d'ajouter une page au PDF %1").arg(path));
            report.paintPage(painter, page);
        }
        if (!painter.end())
            return fail(QStringLiteral("Impossible de terminer le PDF %1").arg(path));
    }
    if (!file.commit())
        return fail(QStringLiteral("Impossible d'écrire %1: %2").arg(path, file.errorString()));
    return true;
}

QImage RenderReportPage(const DataReport1 &report, int page, double dpi)
{
    const QSize size(qRound(DataReport1::PageWidth * dpi / 1440.0),
                     qRound(DataReport1::PageHeight * dpi / 1440.0));
    QImage image(size, QImage::Format_RGB32);
    const int dpm = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    QPainter painter(&image);
    // Scale from the exact resolution asked for (the device reports whole dpi).
    painter.scale(dpi / 1440.0, dpi / 1440.0);
    report.render(painter, page);
    return image;
}

} // namespace zd::documents
