#pragma once
#include <QCache>
#include <QImage>
#include <QWidget>

namespace zd::documents {

class DataReport1;

// The preview's canvas: every page of the report stacked with a gap, each
// rendered only when it is painted, and kept in a small cache.
class PageStrip : public QWidget {
    Q_OBJECT
public:
    explicit PageStrip(const DataReport1 &report, QWidget *parent = nullptr);

    // Pixels per twip.
    void setScale(double pixelsPerTwip);
    double scale() const { return m_scale; }
    int pageTop(int page) const;     // y of a page in the strip
    int pageHeight() const;
    int pageAt(int y) const;
    int renderedPages() const { return m_rendered; }
    void clearCache() { m_cache.clear(); }

    static constexpr int Gap = 16;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const DataReport1 &m_report;
    double m_scale = 0.05;
    QCache<int, QImage> m_cache;
    int m_rendered = 0;
};

} // namespace zd::documents
