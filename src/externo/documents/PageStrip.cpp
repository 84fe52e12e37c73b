#include "PageStrip.h"
#include "DataReport1.h"
#include "ReportExport.h"

#include <QPaintEvent>
#include <QPainter>

namespace zd::documents {

PageStrip::PageStrip(const DataReport1 &report, QWidget *parent)
    : QWidget(parent)
    , m_report(report)
    , m_cache(6)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageStrip::setScale(double pixelsPerTwip)
{
    if (pixelsPerTwip <= 0)
        return;
    m_scale = pixelsPerTwip;
    m_cache.clear();
    const int w = qRound(DataReport1::PageWidth * m_scale) + 2 * Gap;
    const int h = m_report.pageCount() * (pageHeight() + Gap) + Gap;
    setFixedSize(w, h);
    update();
}

int PageStrip::pageHeight() const
{
    return qRound(DataReport1::PageHeight * m_scale);
}

int PageStrip::pageTop(int page) const
{
    return Gap + page * (pageHeight() + Gap);
}

int PageStrip::pageAt(int y) const
{
    const int page = (y - Gap / 2) / qMax(1, pageHeight() + Gap);
    return qBound(0, page, m_report.pageCount() - 1);
}

void PageStrip::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor(96, 96, 96));
    const int pageW = qRound(DataReport1::PageWidth * m_scale);
    const int x = qMax(Gap, (width() - pageW) / 2);
    const int first = pageAt(event->rect().top());
    const int last = pageAt(event->rect().bottom());
    for (int page = first; page <= last; ++page) {
        const QRect target(x, pageTop(page), pageW, pageHeight());
        if (!target.intersects(event->rect()))
            continue;
        QImage *image = m_cache.object(page);
        if (!image) {
            // Rendered at the screen's resolution for this zoom only.
            const double dpi = m_scale * 1440.0 * devicePixelRatioF();
            image = new QImage(RenderReportPage(m_report, page, dpi));
            image->setDevicePixelRatio(devicePixelRatioF());
            m_cache.insert(page, image);
            ++m_rendered;
        }
        painter.drawImage(target, *image);
        painter.setPen(QColor(40, 40, 40));
        painter.drawRect(target.adjusted(0, 0, -1, -1));
    }
}

} // namespace zd::documents
