#pragma once
#include <QString>
#include <QWidget>

class QScrollArea;

namespace zd::documents {

class DataReport1;
class PageStrip;

// The full-screen preview of a report: its pages one under the other,
// drawn when they come into view (a long document opens at once).
// Page keys (Home, End, PgUp, PgDown, Up, Down, Ctrl+O zoom, Ctrl+E export)
// work on it directly; the control panel calls the same functions.
class ReportPreview : public QWidget {
    Q_OBJECT
public:
    explicit ReportPreview(const DataReport1 &report, QWidget *parent = nullptr);
    ~ReportPreview() override;

    // Names the document: default export file "<title>.pdf" and print job title.
    void setDocumentTitle(const QString &title) { m_title = title; }
    QString documentTitle() const { return m_title; }
    // The CUPS queue to print to; empty means the default printer.
    void setPrinterQueue(const QString &queue) { m_queue = queue; }
    QString printerQueue() const;
    // Folder the export dialog opens in (the user's Documents or home folder).
    void setExportFolder(const QString &folder) { m_exportFolder = folder; }
    QString exportFolder() const;

    int pageCount() const;
    int currentPage() const;   // 0-based: the page at the top of the view
    bool wholePageZoom() const { return m_wholePage; }
    int scrollPosition() const;
    int scrollStep() const;    // one line step in pixels

    // Called when the pages change size or content.
    void refresh();

public slots:
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void scrollUp();           // 20 line steps
    void scrollDown();
    void toggleZoom();         // page width <-> whole page
    void goToPage(int page);

    // Asks for a file in a large dialog fit for a touch screen and exports.
    // Returns the path written, or an empty string.
    QString exportPdf();
    bool exportPdfTo(const QString &path);
    // Prints every page to the printer queue without a dialog. Returns the
    // spooler's job id, or an empty string after reporting the error.
    QString print();

signals:
    void closed();
    // A render, export or print error; the panel closes the preview.
    void reportError(const QString &message);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void relayout();

    const DataReport1 &m_report;
    QScrollArea *m_scroll = nullptr;
    PageStrip *m_strip = nullptr;
    bool m_wholePage = false;
    QString m_title;
    QString m_queue;
    QString m_exportFolder;
};

} // namespace zd::documents
