#include "DataReport1.h"

#include "TextFit.h"

#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

namespace zd::documents {

namespace {

constexpr int kRuleWidth = 15;       // one pixel at 96 dpi
constexpr int kCornerRadius = 120;   // rounded frames

QString expandPageFields(const QString &text, int page, int pages)
{
    if (!text.contains(QLatin1Char('%')))
        return text;
    QString out = text;
    out.replace(QStringLiteral("%p"), QString::number(page + 1));
    out.replace(QStringLiteral("%P"), QString::number(pages));
    return out;
}

} // namespace

DataReport1::DataReport1()
    : m_layout(ReportLayout::dataReport1())
{
}

void DataReport1::setCaption(const QString &controlName, const QString &text)
{
    if (auto *c = m_layout.find(controlName))
        c->text = text;
}

QString DataReport1::caption(const QString &controlName) const
{
    const auto *c = m_layout.find(controlName);
    return c ? c->text : QString();
}

void DataReport1::setFontSize(const QString &controlName, double points)
{
    if (auto *c = m_layout.find(controlName))
        c->fontPt = points;
}

double DataReport1::fontSize(const QString &controlName) const
{
    const auto *c = m_layout.find(controlName);
    return c ? c->fontPt : 0;
}

void DataReport1::setForeColor(const QString &controlName, const QColor &color)
{
    if (auto *c = m_layout.find(controlName))
        c->color = color;
}

QColor DataReport1::foreColor(const QString &controlName) const
{
    const auto *c = m_layout.find(controlName);
    return c ? c->color : QColor();
}

void DataReport1::setVisible(const QString &controlName, bool visible)
{
    if (auto *c = m_layout.find(controlName))
        c->visible = visible;
}

bool DataReport1::isVisible(const QString &controlName) const
{
    const auto *c = m_layout.find(controlName);
    return c && c->visible;
}

void DataReport1::setTaxLabels(const ReportTaxLabels &labels)
{
    for (int i = 0; i < 3; ++i) {
        setCaption(QStringLiteral("LblBase%1").arg(i + 1), labels.base[i]);
        setCaption(QStringLiteral("LblPor%1").arg(i + 1), labels.por[i]);
        setCaption(QStringLiteral("LblIva%1").arg(i + 1), labels.iva[i]);
    }
}

void DataReport1::setDetailRows(const LineRecordSet &rows)
{
    m_rows = rows;
}

int DataReport1::rowsOnFirstPage() const
{
    const auto &s = m_layout.sections;
    const int room = PageHeight - 2 * Margin - s[ReportLayout::ReportHeader].height
        - s[ReportLayout::PageHeader].height - s[ReportLayout::PageFooter].height;
    return qMax(1, room / qMax(1, s[ReportLayout::Detail].height));
}

int DataReport1::rowsPerPage() const
{
    const auto &s = m_layout.sections;
    const int room = PageHeight - 2 * Margin - s[ReportLayout::PageHeader].height
        - s[ReportLayout::PageFooter].height;
    return qMax(1, room / qMax(1, s[ReportLayout::Detail].height));
}

int DataReport1::rowPages() const
{
    const int rows = int(m_rows.size());
    const int first = rowsOnFirstPage();
    if (rows <= first)
        return 1;
    const int per = rowsPerPage();
    return 1 + (rows - first + per - 1) / per;
}

int DataReport1::reportFooterHeight() const
{
    const ReportSection &footer = m_layout.sections[ReportLayout::ReportFooter];
    int height = footer.height;
    for (const auto &c : footer.controls)
        if (c.visible && !c.text.isEmpty())
            height = qMax(height, c.rect.top() + c.rect.height());
    return height;
}

int DataReport1::pageCount() const
{
    const int pages = rowPages();
    const auto &s = m_layout.sections;
    const int height = reportFooterHeight();
    if (height == s[ReportLayout::ReportFooter].height)
        return pages;
    const int last = pages - 1;
    const int lastRows = int(m_rows.size()) - firstRow(last);
    const int footerTop = sectionTop(ReportLayout::Detail, last) + lastRows * s[ReportLayout::Detail].height;
    const int footerRoom = sectionTop(ReportLayout::PageFooter, last) - footerTop;
    return height <= footerRoom ? pages : pages + 1;
}

int DataReport1::firstRow(int page) const
{
    if (page <= 0)
        return 0;
    return rowsOnFirstPage() + (page - 1) * rowsPerPage();
}

int DataReport1::rowCount(int page) const
{
    if (page < 0 || page >= pageCount())
        return 0;
    const int capacity = page == 0 ? rowsOnFirstPage() : rowsPerPage();
    return qBound(0, int(m_rows.size()) - firstRow(page), capacity);
}

int DataReport1::sectionTop(ReportLayout::Band band, int page) const
{
    const auto &s = m_layout.sections;
    const int headerTop = Margin + (page == 0 ? s[ReportLayout::ReportHeader].height : 0);
    switch (band) {
    case ReportLayout::ReportHeader:
        return Margin;
    case ReportLayout::PageHeader:
        return headerTop;
    case ReportLayout::Detail:
        return headerTop + s[ReportLayout::PageHeader].height;
    case ReportLayout::PageFooter:
        return PageHeight - Margin - s[ReportLayout::PageFooter].height;
    case ReportLayout::ReportFooter:
        return sectionTop(ReportLayout::Detail, page) + rowCount(page) * s[ReportLayout::Detail].height;
    default:
        return Margin;
    }
}

QRect DataReport1::pageRect(const QString &controlName, int page, int detailIndex) const
{
    for (int b = 0; b < ReportLayout::BandCount; ++b) {
        const auto band = ReportLayout::Band(b);
        if (const auto *c = m_layout.sections[b].find(controlName)) {
            int top = sectionTop(band, page);
            if (band == ReportLayout::Detail)
                top += detailIndex * m_layout.sections[b].height;
            return c->rect.translated(Margin, top);
        }
    }
    return QRect();
}

void DataReport1::paintPage(QPainter &painter, int page) const
{
    painter.save();
    const QPaintDevice *device = painter.device();
    painter.scale(device->logicalDpiX() / 1440.0, device->logicalDpiY() / 1440.0);
    render(painter, page);
    painter.restore();
}

void DataReport1::render(QPainter &painter, int page) const
{
    const int pages = pageCount();
    if (page < 0 || page >= pages)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);

    if (page == 0)
        drawSection(painter, m_layout.sections[ReportLayout::ReportHeader],
                    sectionTop(ReportLayout::ReportHeader, page), page, nullptr);
    drawSection(painter, m_layout.sections[ReportLayout::PageHeader],
                sectionTop(ReportLayout::PageHeader, page), page, nullptr);

    const auto &detail = m_layout.sections[ReportLayout::Detail];
    const int first = firstRow(page);
    const int count = rowCount(page);
    int top = sectionTop(ReportLayout::Detail, page);
    for (int i = 0; i < count; ++i, top += detail.height)
        drawSection(painter, detail, top, page, &m_rows[first + i]);

    if (page == pages - 1)
        drawSection(painter, m_layout.sections[ReportLayout::ReportFooter],
                    sectionTop(ReportLayout::ReportFooter, page), page, nullptr);
    drawSection(painter, m_layout.sections[ReportLayout::PageFooter],
                sectionTop(ReportLayout::PageFooter, page), page, nullptr);
    painter.restore();
}

void DataReport1::drawSection(QPainter &painter, const ReportSection &section, int top, int page,
                              const QStringList *row) const
{
    const QPen linePen(Qt::black, kRuleWidth, Qt::SolidLine, Qt::FlatCap);
    const int pages = pageCount();
    for (const auto &c : section.controls) {
        if (!c.visible)
            continue;
        const QRect r = c.rect.translated(Margin, top);
        switch (c.kind) {
        case ControlKind::Shape: {
            painter.setPen(linePen);
            painter.setBrush(Qt::NoBrush);
            const int radius = qMin(kCornerRadius, qMin(r.width(), r.height()) / 4);
            painter.drawRoundedRect(r, radius, radius);
            break;
        }
        case ControlKind::Rule:
            painter.setPen(linePen);
            painter.drawLine(r.topLeft(), QPoint(r.left() + r.width(), r.top() + r.height()));
            break;
        case ControlKind::Picture: {
            if (m_logo.isNull())
                break;
            // Natural size at 96 dpi (15 twips a pixel), shrunk to fit the box.
            QSizeF size(m_logo.width() * 15.0, m_logo.height() * 15.0);
            if (size.width() > r.width() || size.height() > r.height())
                size.scale(r.size(), Qt::KeepAspectRatio);
            painter.drawPixmap(QRectF(QPointF(r.topLeft()), size), m_logo, QRectF(m_logo.rect()));
            break;
        }
        case ControlKind::Label:
        case ControlKind::TextField: {
            const QString text = c.kind == ControlKind::TextField
                ? (row && c.field >= 0 ? row->value(c.field) : QString())
                : expandPageFields(c.text, page, pages);
            if (text.isEmpty())
                break;
            // A text wider than its box is made smaller (then wrapped) so
            // that all of it prints inside the box.
            const FittedText fitted = fitText(text, QRectF(r), c.fontPt, c.bold, c.align, painter.device());
            painter.setFont(fitted.font);
            painter.setPen(c.color);
            painter.drawText(QRectF(r), fitted.flags, text);
            break;
        }
        }
    }
}

} // namespace zd::documents
