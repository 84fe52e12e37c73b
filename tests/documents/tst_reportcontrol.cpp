// The preview window and its control panel, driven through their buttons.
#include "report_helpers.h"
#include "externo/documents/DataReport1.h"
#include "externo/documents/FrmReportControl.h"
#include "externo/documents/PageStrip.h"
#include "externo/documents/PanelButton.h"
#include "externo/documents/ReportPreview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace zd::documents;

class TestReportControl : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void panelAsDesigned();
    void firstActivationStartsTheTopMostTimer();
    void pageButtonsMoveThePreview();
    void scrollButtonsMoveTwentyLines();
    void zoomTogglesWholePage();
    void exportAsksForAFileAndWritesThePdf();
    void quitClosesPreviewAndPanel();
    void printErrorTellsTheOperatorAndCloses();
    void longDocumentOpensAtOnce();

private:
    void open(int lines);
    QTemporaryDir m_dir;
    std::unique_ptr<DataReport1> m_report;
    std::unique_ptr<ReportPreview> m_preview;
    std::unique_ptr<FrmReportControl> m_panel;
};

void TestReportControl::init()
{
    QVERIFY(m_dir.isValid());
}

void TestReportControl::cleanup()
{
    m_panel.reset();
    m_preview.reset();
    m_report.reset();
}

void TestReportControl::open(int lines)
{
    m_report.reset(makeSampleReport(lines));
    m_preview = std::make_unique<ReportPreview>(*m_report);
    m_preview->setDocumentTitle("F011300250001");
    m_preview->setExportFolder(m_dir.path());
    m_preview->resize(1024, 768);
    m_preview->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_preview.get()));
    m_panel = std::make_unique<FrmReportControl>(m_preview.get());
    m_panel->show();
    m_panel->CmdDn->setFocus();
    m_panel->activatePanel();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
}

void TestReportControl::panelAsDesigned()
{
    open(40);
    FrmReportControl &p = *m_panel;
    QCOMPARE(p.windowTitle(), QString("Report Control."));
    QVERIFY(p.windowFlags() & Qt::WindowStaysOnTopHint);
    // Placed at 12210 x 460 twips on the screen.
    QCOMPARE(p.pos(), QPoint(814, 31));

    struct Button { PanelButton *b; const char *name; const char *caption; int l, t, w; };
    const Button buttons[] = {
        {p.CmdPrevious, "CmdPrevious", "Page précéd.", 120, 240, 855},
        {p.CmdPost, "CmdPost", "Page suivante", 1080, 240, 975},
        {p.CmdFirst, "CmdFirst", "Première Page", 120, 1080, 855},
        {p.CmdLast, "CmdLast", "Dernière Page", 1080, 1080, 975},
        {p.CmdPrint, "CmdPrint", "Imprimer", 120, 1920, 855},
        {p.CmdExport, "CmdExport", "Exporter", 1080, 1920, 975},
        {p.CmdUp, "CmdUp", "UP", 2160, 600, 615},
        {p.CmdDn, "CmdDn", "Dn", 2160, 1680, 615},
        {p.CmdFin, "CmdFin", "Quitter", 120, 2760, 1575},
        {p.CmdZoom, "CmdZoom", "Zoom", 2160, 2760, 615},
    };
    for (const auto &b : buttons) {
        QCOMPARE(b.b->objectName(), QString(b.name));
        QCOMPARE(b.b->text(), QString::fromUtf8(b.caption));
        QCOMPARE(b.b->geometry(), QRect((b.l + 7) / 15, (b.t + 7) / 15, (b.w + 7) / 15, 49));
        QVERIFY(p.rect().contains(b.b->geometry()));
    }
    // Tab order: Quitter, then the page buttons as designed.
    QWidget *expected[] = {p.CmdFin, p.CmdPrevious, p.CmdPost, p.CmdFirst, p.CmdLast,
                           p.CmdPrint, p.CmdExport, p.CmdUp, p.CmdDn, p.CmdZoom};
    for (size_t i = 0; i + 1 < std::size(expected); ++i)
        QCOMPARE(expected[i]->nextInFocusChain(), expected[i + 1]);
}

void TestReportControl::firstActivationStartsTheTopMostTimer()
{
    m_report.reset(makeSampleReport(2));
    m_preview = std::make_unique<ReportPreview>(*m_report);
    m_panel = std::make_unique<FrmReportControl>(m_preview.get());
    QVERIFY(!m_panel->PreviewShown());
    QVERIFY(!m_panel->TmrShow.isActive());
    QCOMPARE(m_panel->TmrShow.interval(), 15);
    m_preview->show();
    m_panel->show();
    m_panel->activatePanel();
    QVERIFY(m_panel->PreviewShown());
    QVERIFY(m_panel->TmrShow.isActive());
    QCOMPARE(m_panel->focusWidget(), m_panel->CmdPrevious);
}

void TestReportControl::pageButtonsMoveThePreview()
{
    open(40);   // three pages
    ReportPreview &v = *m_preview;
    QCOMPARE(v.pageCount(), 3);
    QCOMPARE(v.currentPage(), 0);
    QTest::mouseClick(m_panel->CmdPost, Qt::LeftButton);
    QCOMPARE(v.currentPage(), 1);
    QTest::mouseClick(m_panel->CmdLast, Qt::LeftButton);
    QCOMPARE(v.currentPage(), 2);
    QTest::mouseClick(m_panel->CmdPost, Qt::LeftButton);   // stays on the last page
    QCOMPARE(v.currentPage(), 2);
    QTest::mouseClick(m_panel->CmdPrevious, Qt::LeftButton);
    QCOMPARE(v.currentPage(), 1);
    QTest::mouseClick(m_panel->CmdFirst, Qt::LeftButton);
    QCOMPARE(v.currentPage(), 0);
    QTest::mouseClick(m_panel->CmdPrevious, Qt::LeftButton);
    QCOMPARE(v.currentPage(), 0);
    // Every button gives the focus back to the panel's "Page précéd.".
    QCOMPARE(m_panel->focusWidget(), m_panel->CmdPrevious);
    // The preview's own keys do the same.
    QTest::keyClick(&v, Qt::Key_End);
    QCOMPARE(v.currentPage(), 2);
    QTest::keyClick(&v, Qt::Key_PageUp);
    QCOMPARE(v.currentPage(), 1);
}

void TestReportControl::scrollButtonsMoveTwentyLines()
{
    open(40);
    const int start = m_preview->scrollPosition();
    QTest::mouseClick(m_panel->CmdDn, Qt::LeftButton);
    QCOMPARE(m_preview->scrollPosition(), start + 20 * m_preview->scrollStep());
    QCOMPARE(m_panel->focusWidget(), m_panel->CmdPrevious);
    QTest::mouseClick(m_panel->CmdDn, Qt::LeftButton);
    QTest::mouseClick(m_panel->CmdUp, Qt::LeftButton);
    QCOMPARE(m_preview->scrollPosition(), start + 20 * m_preview->scrollStep());
    QTest::mouseClick(m_panel->CmdUp, Qt::LeftButton);
    QTest::mouseClick(m_panel->CmdUp, Qt::LeftButton);   // stops at the top
    QCOMPARE(m_preview->scrollPosition(), 0);
}

void TestReportControl::zoomTogglesWholePage()
{
    open(40);
    auto *strip = m_preview->findChild<PageStrip *>();
    QVERIFY(strip);
    const int widthZoom = strip->pageHeight();
    QTest::mouseClick(m_panel->CmdPost, Qt::LeftButton);
    QTest::mouseClick(m_panel->CmdZoom, Qt::LeftButton);
    QVERIFY(m_preview->wholePageZoom());
    // A whole page fits the view, and the page shown stays the same.
    QVERIFY(strip->pageHeight() < widthZoom);
    QVERIFY(strip->pageHeight() <= m_preview->height());
    QCOMPARE(m_preview->currentPage(), 1);
    QTest::mouseClick(m_panel->CmdZoom, Qt::LeftButton);
    QVERIFY(!m_preview->wholePageZoom());
    QCOMPARE(strip->pageHeight(), widthZoom);
    QCOMPARE(m_preview->currentPage(), 1);
}

void TestReportControl::exportAsksForAFileAndWritesThePdf()
{
    open(40);
    const QString target = m_dir.filePath("exported.pdf");
    QString shownFile;
    bool nonNative = false;
    QSize dialogSize;
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        nonNative = dialog->testOption(QFileDialog::DontUseNativeDialog);
        dialogSize = dialog->size();
        auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit");
        QVERIFY(edit);
        shownFile = edit->text();
        QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(m_dir.path()).canonicalPath());
        edit->setText(target);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::mouseClick(m_panel->CmdExport, Qt::LeftButton);
    QCOMPARE(shownFile, QString("F011300250001.pdf"));
    QVERIFY(nonNative);
    // Large enough for fingers: most of the screen.
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    QVERIFY(dialogSize.width() >= screen.width() * 3 / 4);
    QVERIFY(dialogSize.height() >= screen.height() * 3 / 4);
    QCOMPARE(pdfPageCount(target), 3);
    QVERIFY(m_preview->isVisible());
    QCOMPARE(m_panel->focusWidget(), m_panel->CmdPrevious);
}

void TestReportControl::quitClosesPreviewAndPanel()
{
    open(2);
    QSignalSpy finished(m_panel.get(), &FrmReportControl::finished);
    QSignalSpy closed(m_preview.get(), &ReportPreview::closed);
    QVERIFY(m_panel->TmrShow.isActive());
    QTest::mouseClick(m_panel->CmdFin, Qt::LeftButton);
    QVERIFY(!m_panel->TmrShow.isActive());
    QVERIFY(!m_preview->isVisible());
    QVERIFY(!m_panel->isVisible());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(closed.count(), 1);
}

void TestReportControl::printErrorTellsTheOperatorAndCloses()
{
    open(2);
    QStringList told;
    m_panel->setErrorNotifier([&](const QString &m) { told << m; });
    m_preview->setPrinterQueue("zedorev-no-such-queue");
    QSignalSpy finished(m_panel.get(), &FrmReportControl::finished);
    QTest::mouseClick(m_panel->CmdPrint, Qt::LeftButton);
    QCOMPARE(told.size(), 1);
    QVERIFY2(told[0].contains("zedorev-no-such-queue"), qPrintable(told[0]));
    QCOMPARE(finished.count(), 1);
    QVERIFY(!m_preview->isVisible());
    QVERIFY(!m_panel->isVisible());
    QVERIFY(!m_panel->TmrShow.isActive());
}

void TestReportControl::longDocumentOpensAtOnce()
{
    QElapsedTimer clock;
    m_report.reset(makeSampleReport(5000));
    clock.start();
    m_preview = std::make_unique<ReportPreview>(*m_report);
    m_preview->resize(1024, 768);
    m_preview->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_preview.get()));
    auto *strip = m_preview->findChild<PageStrip *>();
    QTRY_VERIFY(strip->renderedPages() > 0);
    const qint64 ms = clock.elapsed();
    QVERIFY2(ms < 1500, qPrintable(QString("first page after %1 ms").arg(ms)));
    // Only what is visible was drawn.
    QVERIFY(strip->renderedPages() <= 3);
    QCOMPARE(m_preview->pageCount(), 278);
    m_preview->lastPage();
    QCOMPARE(m_preview->currentPage(), 277);
}

QTEST_MAIN(TestReportControl)
#include "tst_reportcontrol.moc"
