// The printed document: layout lookup, pagination, and what a PDF or an
// image of the pages really shows.
#include "report_helpers.h"
#include "externo/documents/DataReport1.h"
#include "externo/documents/ReportExport.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace zd::documents;

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void controlsFoundWhateverTheCase();
    void pagination_data();
    void pagination();
    void invoiceTextsAtTheirPlaces();
    void titlesAndCopyMarker_data();
    void titlesAndCopyMarker();
    void cancellationTitleIsRedAndRestorable();
    void pageNumbersOnALongDocument();
    void logoShownOrHidden();
    void longTextsStayInTheirBoxes();
    void exportFailsOnAnUnwritablePath();

private:
    QString exportPdf(const DataReport1 &report, const QString &name);
    QTemporaryDir m_dir;
};

void TestReport::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestReport::exportPdf(const DataReport1 &report, const QString &name)
{
    const QString path = m_dir.filePath(name);
    QString error;
    if (!ExportReportPdf(report, path, name, &error))
        qWarning() << error;
    return path;
}

void TestReport::controlsFoundWhateverTheCase()
{
    DataReport1 report;
    report.setCaption("lblempresa0", "Shop");
    QCOMPARE(report.caption("LblEmpresa0"), QString("Shop"));
    QCOMPARE(report.caption("LBLEMPRESA0"), QString("Shop"));
    QCOMPARE(report.caption("ETIQUETA13"), QString("Nº Facture"));
    QCOMPARE(report.caption("LblFacturaLiteral"), QString("   FACTURA"));
    report.setCaption("NoSuchControl", "x");           // ignored, no crash
    QCOMPARE(report.caption("NoSuchControl"), QString());
    QCOMPARE(report.layout().sections[ReportLayout::PageHeader].controls.size(), 41);
    // Section heights as designed; the layout fits A4 inside the margins.
    const auto &s = report.layout().sections;
    QCOMPARE(s[ReportLayout::ReportHeader].height, 1167);
    QCOMPARE(s[ReportLayout::PageHeader].height, 2838);
    QCOMPARE(s[ReportLayout::Detail].height, 570);
    QCOMPARE(s[ReportLayout::PageFooter].height, 2622);
    QVERIFY(report.layout().width + 2 * DataReport1::Margin <= DataReport1::PageWidth);
    QCOMPARE(report.foreColor("LblFacturaLiteral"), QColor(128, 128, 0));
    QCOMPARE(report.foreColor("Etiqueta23"), QColor(128, 128, 128));
}

void TestReport::pagination_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("lastPageRows");
    QTest::newRow("none") << 0 << 1 << 0;
    QTest::newRow("one") << 1 << 1 << 1;
    QTest::newRow("first page full") << 16 << 1 << 16;
    QTest::newRow("one over") << 17 << 2 << 1;
    QTest::newRow("second page full") << 34 << 2 << 18;
    QTest::newRow("third page") << 35 << 3 << 1;
    QTest::newRow("long") << 5000 << 278 << 16;
}

void TestReport::pagination()
{
    QFETCH(int, lines);
    QFETCH(int, pages);
    QFETCH(int, lastPageRows);
    DataReport1 report;
    report.setDetailRows(sampleLines(lines));
    QCOMPARE(report.pageCount(), pages);
    QCOMPARE(report.rowCount(pages - 1), lastPageRows);
    int total = 0;
    for (int p = 0; p < pages; ++p) {
        QCOMPARE(report.firstRow(p), total);
        total += report.rowCount(p);
        // Detail bands never run into the page footer.
        const QRect last = report.pageRect("Texto1", p, report.rowCount(p) - 1);
        if (report.rowCount(p) > 0)
            QVERIFY(last.top() + 570 <= report.pageRect("Forma8", p).top());
    }
    QCOMPARE(total, lines);
}

void TestReport::invoiceTextsAtTheirPlaces()
{
    std::unique_ptr<DataReport1> report(makeSampleReport(3));
    const QString pdf = exportPdf(*report, "invoice.pdf");
    QCOMPARE(pdfPageCount(pdf), 1);
    const auto words = pdfWords(pdf, 1);
    QVERIFY2(!words.isEmpty(), "pdftotext read no text");

    struct Expect { const char *control; const char *text; };
    const Expect expected[] = {
        {"LblEmpresa0", "Boucherie Martin"},
        {"LblEmpresa1", "Id.Fiscal:FR12345678901"},
        {"LblEmpresa2", "12 rue des Halles Télép.:0102030405"},
        {"LblEmpresa3", "Lyon (69001) Rhône"},
        {"LblCliente0", "Restaurant Le Pré"},
        {"LblCliente2", "4 place Bellecour Télép.:0607080910"},
        {"LblIdCliente", "FR98765432109"},
        {"Etiqueta12", "Date"},
        {"Etiqueta13", "Nº Facture"},
        {"LblFecha", "14/03/2025"},
        {"LblNFactura", "F011300250001"},
        {"LblFacturaLiteral", "FACTURE"},
        {"Etiqueta11", "Original"},
        {"EtqCopia", "Copie"},
        {"Etiqueta9", "Nombre de pages:"},
        {"Etiqueta8", "1"},
        {"Lote", "Lot:"},
        {"EtqLote", "LOT-2025-11"},
        {"Etiqueta17", "Descriptif"},
        {"Etiqueta20", "Remise(€)"},
        {"Etiqueta22", "Montant"},
        {"LblTotBruto", "1234,56"},
        {"LblImpuestos", "123,45"},
        {"LblTotal", "1358,01"},
        {"label3", "TOTAL €:"},
        {"LblBase1", "1000,00"}, {"LblPor1", "5,5"}, {"LblIva1", "55,00"},
        {"LblBase2", "200,00"}, {"LblPor2", "10"}, {"LblIva2", "20,00"},
        {"LblBase3", "34,56"}, {"LblPor3", "20"}, {"LblIva3", "6,91"},
    };
    for (const auto &e : expected)
        QVERIFY2(textInside(words, QString::fromUtf8(e.text), report->pageRect(e.control)),
                 qPrintable(QString("%1 not in %2").arg(QString::fromUtf8(e.text), e.control)));

    // Detail lines: each field in its column, on its own band.
    QVERIFY(textInside(words, "Article numero 2", report->pageRect("Texto3", 0, 1)));
    QVERIFY(textInside(words, "A002", report->pageRect("Texto2", 0, 2)));
    QVERIFY(textInside(words, "5000", report->pageRect("Texto1", 0, 0)));
    // Amounts are right-aligned: they end near the right edge of Texto7.
    const QRectF amount = findText(words, "15,50");
    const QRect amountBox = report->pageRect("Texto7", 0, 0);
    QVERIFY(amount.right() > amountBox.right() - 150 && amount.right() <= amountBox.right() + 20);
    // Centred shop name: about as much room on both sides.
    const QRectF shop = findText(words, "Boucherie Martin");
    const QRect shopBox = report->pageRect("LblEmpresa0");
    QVERIFY(qAbs((shop.left() - shopBox.left()) - (shopBox.right() - shop.right())) < 80);
}

void TestReport::titlesAndCopyMarker_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("marker");
    QTest::addColumn<QString>("markerWord");
    QTest::newRow("invoice") << "   FACTURE" << "Nº Facture" << "  Original" << "Original";
    QTest::newRow("delivery note copy") << "BON LIVRAISON" << "NºBon Liv." << "       7" << "7";
    QTest::newRow("invoice copy 12") << "   FACTURE" << "Nº Facture" << "       12" << "12";
}

void TestReport::titlesAndCopyMarker()
{
    QFETCH(QString, title);
    QFETCH(QString, heading);
    QFETCH(QString, marker);
    QFETCH(QString, markerWord);
    std::unique_ptr<DataReport1> report(makeSampleReport(2));
    report->setCaption("LblFacturaLiteral", title);
    report->setCaption("Etiqueta13", heading);
    report->setCaption("Etiqueta11", marker);
    const auto words = pdfWords(exportPdf(*report, "title.pdf"), 1);
    QVERIFY(textInside(words, title.trimmed(), report->pageRect("LblFacturaLiteral")));
    QVERIFY(textInside(words, heading, report->pageRect("Etiqueta13")));
    QVERIFY(textInside(words, markerWord, report->pageRect("Etiqueta11")));
    // The blanks of the marker are printed: the number stands well inside the box.
    const QRectF word = findText(words, markerWord, QRectF(report->pageRect("Etiqueta11")).adjusted(-20, -60, 20, 60));
    QVERIFY(word.left() > report->pageRect("Etiqueta11").left() + 60);
}

// Pixels of a colour close to `c` inside a twip rectangle of a page image.
static int countPixels(const QImage &image, const QRect &twips, double dpi,
                       const std::function<bool(QRgb)> &match)
{
    const double k = dpi / 1440.0;
    const QRect r(qRound(twips.left() * k), qRound(twips.top() * k), qRound(twips.width() * k),
                  qRound(twips.height() * k));
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.valid(x, y) && match(image.pixel(x, y)))
                ++n;
    return n;
}

static bool isRed(QRgb p) { return qRed(p) > 200 && qGreen(p) < 90 && qBlue(p) < 90; }
static bool isOlive(QRgb p) { return qRed(p) > 90 && qRed(p) < 170 && qAbs(qRed(p) - qGreen(p)) < 20 && qBlue(p) < 60; }

void TestReport::cancellationTitleIsRedAndRestorable()
{
    std::unique_ptr<DataReport1> report(makeSampleReport(2));
    const double dpi = 100;
    const QRect titleBox = report->pageRect("LblFacturaLiteral");

    // As the delivery-note command does: remember, change, print, restore.
    const double size = report->fontSize("LblFacturaLiteral");
    const QColor color = report->foreColor("LblFacturaLiteral");
    report->setCaption("LblFacturaLiteral", "BON LIVRA.ANNUL");
    report->setFontSize("LblFacturaLiteral", 12);
    report->setForeColor("LblFacturaLiteral", QColor(255, 0, 0));
    const QImage cancelled = RenderReportPage(*report, 0, dpi);
    QVERIFY(countPixels(cancelled, titleBox, dpi, isRed) > 50);
    // Nothing else on the page is red.
    QCOMPARE(countPixels(cancelled, QRect(0, 0, DataReport1::PageWidth, titleBox.top()), dpi, isRed), 0);
    const auto words = pdfWords(exportPdf(*report, "cancelled.pdf"), 1);
    QVERIFY(textInside(words, "BON LIVRA.ANNUL", titleBox));
    // 12 pt: the words are about 12 points (240 twips) tall, not the designed size.
    const QRectF box = findText(words, "BON LIVRA.ANNUL");
    QVERIFY2(box.height() > 180 && box.height() < 330, qPrintable(QString::number(box.height())));

    report->setFontSize("LblFacturaLiteral", size);
    report->setForeColor("LblFacturaLiteral", color);
    report->setCaption("LblFacturaLiteral", "BON LIVRAISON");
    const QImage normal = RenderReportPage(*report, 0, dpi);
    QCOMPARE(countPixels(normal, titleBox, dpi, isRed), 0);
    QVERIFY(countPixels(normal, titleBox, dpi, isOlive) > 50);
}

void TestReport::pageNumbersOnALongDocument()
{
    std::unique_ptr<DataReport1> report(makeSampleReport(40));   // 16 + 18 + 6
    const QString pdf = exportPdf(*report, "long.pdf");
    QCOMPARE(pdfPageCount(pdf), 3);
    for (int page = 0; page < 3; ++page) {
        const auto words = pdfWords(pdf, page + 1);
        const QString p = QString::number(page + 1);
        QVERIFY(textInside(words, "Page n°", report->pageRect("Etiqueta23", page)));
        QVERIFY(textInside(words, p, report->pageRect("Etiqueta7", page)));
        QVERIFY(textInside(words, "3", report->pageRect("Etiqueta25", page)));
        QVERIFY(textInside(words, p, report->pageRect("Etiqueta5", page)));
        // Page header and footer on every page; the report header only on the first.
        QVERIFY(textInside(words, "Boucherie Martin", report->pageRect("LblEmpresa0", page)));
        QVERIFY(textInside(words, "1358,01", report->pageRect("LblTotal", page)));
        QCOMPARE(!findText(words, "Nombre de pages:").isNull(), page == 0);
        // The lines continue where the previous page stopped.
        const int first = report->firstRow(page);
        QVERIFY(textInside(words, QString("Article numero %1").arg(first + 1),
                           report->pageRect("Texto3", page, 0)));
    }
    QVERIFY(textInside(pdfWords(pdf, 3), "Article numero 40", report->pageRect("Texto3", 2, 5)));
}

void TestReport::logoShownOrHidden()
{
    std::unique_ptr<DataReport1> report(makeSampleReport(1));
    QImage blue(300, 60, QImage::Format_RGB32);
    blue.fill(QColor(0, 0, 255));
    report->setLogo(QPixmap::fromImage(blue));
    report->setLogoVisible(true);
    const double dpi = 72;
    auto isBlue = [](QRgb p) { return qBlue(p) > 200 && qRed(p) < 60 && qGreen(p) < 60; };
    const QRect box = report->pageRect("Image1");
    const QImage shown = RenderReportPage(*report, 0, dpi);
    // 300x60 px at 15 twips a pixel = 4500x900 twips: fits, drawn at its size.
    const int expected = qRound(4500 * dpi / 1440) * qRound(900 * dpi / 1440);
    const int count = countPixels(shown, box, dpi, isBlue);
    QVERIFY2(qAbs(count - expected) < expected / 10, qPrintable(QString::number(count)));
    QCOMPARE(countPixels(shown, QRect(0, box.bottom() + 30, DataReport1::PageWidth, 16000), dpi, isBlue), 0);

    report->setLogoVisible(false);
    QCOMPARE(countPixels(RenderReportPage(*report, 0, dpi), box, dpi, isBlue), 0);
    // Hidden logo, the rest of the header unchanged.
    const auto words = pdfWords(exportPdf(*report, "nologo.pdf"), 1);
    QVERIFY(textInside(words, "LOT-2025-11", report->pageRect("EtqLote")));

    // A logo larger than the box is shrunk into it, proportions kept.
    QImage big(2000, 200, QImage::Format_RGB32);
    big.fill(QColor(0, 0, 255));
    report->setLogo(QPixmap::fromImage(big));
    report->setLogoVisible(true);
    const QImage shrunk = RenderReportPage(*report, 0, dpi);
    QVERIFY(countPixels(shrunk, box, dpi, isBlue) > 0);
    QCOMPARE(countPixels(shrunk, QRect(box.right() + 20, box.top(), 200, box.height()), dpi, isBlue), 0);
}

void TestReport::longTextsStayInTheirBoxes()
{
    std::unique_ptr<DataReport1> report(makeSampleReport(1));
    auto rows = report->detailRows();
    rows[0][3] = QString("Description beaucoup trop longue pour sa colonne ").repeated(3);
    report->setDetailRows(rows);
    report->setCaption("LblEmpresa0", QString("Nom de magasin très long ").repeated(6));
    const QImage image = RenderReportPage(*report, 0, 144);
    // Nothing drawn between the description column and the next rule.
    auto dark = [](QRgb p) { return qGray(p) < 128; };
    const QRect desc = report->pageRect("Texto3", 0, 0);
    QCOMPARE(countPixels(image, QRect(desc.right() + 40, desc.top() + 60, 150, desc.height() - 120), 144, dark), 0);
    // No ink of the shop name inside the customer block.
    const QImage header = RenderReportPage(*report, 0, 144);
    const QRect shop = report->pageRect("LblEmpresa0");
    QVERIFY(countPixels(header, shop, 144, dark) > 0);
    QCOMPARE(countPixels(header, QRect(shop.right() + 20, shop.top() + 20, 600, shop.height() - 40), 144, dark), 0);
}

void TestReport::exportFailsOnAnUnwritablePath()
{
    std::unique_ptr<DataReport1> report(makeSampleReport(1));
    QString error;
    QVERIFY(!ExportReportPdf(*report, m_dir.filePath("missing/folder/x.pdf"), "x", &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(m_dir.filePath("missing/folder/x.pdf")));
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
