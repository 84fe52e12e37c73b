#pragma once
#include "ReportLayout.h"
#include "externo/state/Records.h"

#include <QPixmap>
#include <QSizeF>
#include <QVector>

class QPainter;

namespace zd::documents {

// The printed invoice / delivery note: the designed layout, the captions
// written at print time, the logo and the detail lines, paginated on A4
// portrait. One render() serves the preview, the printer and PDF export.
class DataReport1 {
public:
    DataReport1();

    // A4 portrait in twips, and the margin around the 11,340-twip layout.
    static constexpr int PageWidth = 11906;
    static constexpr int PageHeight = 16838;
    static constexpr int Margin = 283;

    ReportLayout &layout() { return m_layout; }
    const ReportLayout &layout() const { return m_layout; }

    // Captions by control name, whatever the letter case. Unknown names are
    // ignored by the setter and give an empty text.
    void setCaption(const QString &controlName, const QString &text);
    QString caption(const QString &controlName) const;

    // Font size (points) and fore colour of a label, for the title changes.
    void setFontSize(const QString &controlName, double points);
    double fontSize(const QString &controlName) const;
    void setForeColor(const QString &controlName, const QColor &color);
    QColor foreColor(const QString &controlName) const;
    void setVisible(const QString &controlName, bool visible);
    bool isVisible(const QString &controlName) const;

    // The shop logo shown in Image1 (scaled down to fit, aspect kept).
    void setLogo(const QPixmap &logo) { m_logo = logo; }
    const QPixmap &logo() const { return m_logo; }
    void setLogoVisible(bool visible) { setVisible(QStringLiteral("Image1"), visible); }
    bool logoVisible() const { return isVisible(QStringLiteral("Image1")); }

    // The tax table of the page footer (LblBase1 .. LblIva3).
    void setTaxLabels(const ReportTaxLabels &labels);

    // The report's data source: one detail band per row; Texto1..Texto7 show
    // fields 1..7 ("N°Ticket" .. "Montant").
    void setDetailRows(const LineRecordSet &rows);
    const LineRecordSet &detailRows() const { return m_rows; }

    // Pagination: page 0 carries the report header; every page carries the
    // page header and footer; the detail lines flow in between. The report
    // footer follows the last line; when it has text (an invoice's legal
    // mentions) and the last page has no room left for it, it goes on a
    // page of its own.
    int pageCount() const;
    int rowsOnFirstPage() const;
    int rowsPerPage() const;
    // First detail row and number of rows on a page (0-based page).
    int firstRow(int page) const;
    int rowCount(int page) const;

    // Draws one page (0-based) in twips, origin at the paper's top-left
    // corner: the caller has scaled the painter (see paintPage).
    void render(QPainter &painter, int page) const;
    // Scales the painter from its device's resolution to twips and renders.
    void paintPage(QPainter &painter, int page) const;

    // Twip rectangle of a control on the page (section placement included),
    // for the page the control appears on (report header: page 0 only).
    QRect pageRect(const QString &controlName, int page = 0, int detailIndex = 0) const;

    // Height the report footer takes: its designed height, or the room its
    // texts need when it has any.
    int reportFooterHeight() const;

private:
    int rowPages() const;
    int sectionTop(ReportLayout::Band band, int page) const;
    void drawSection(QPainter &painter, const ReportSection &section, int top, int page,
                     const QStringList *row) const;

    ReportLayout m_layout;
    QPixmap m_logo;
    LineRecordSet m_rows;
};

} // namespace zd::documents
