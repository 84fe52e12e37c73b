// The legal mentions at the foot of an invoice's last page, read back from
// the exported PDF: every word of each, inside their box, on the last page
// only; a delivery note carries none and keeps its pages.
#include "report_helpers.h"

#include "externo/documents/DataReport1.h"
#include "externo/documents/ReportExport.h"
#include "externo/documents/ReportMentions.h"
#include "externo/state/AppState.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace zd;
using namespace zd::documents;

class TestReportMentions : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    std::unique_ptr<AppState> shop(const QString &nif, bool vatOnDebits, int noteLength) const
    {
        auto state = std::make_unique<AppState>(sql::EngineConfig::fromProgramFolder(m_dir.path()));
        state->Customers.resize(4);
        state->Customers[2].nif = nif;
        state->SelectedCustomerIndex = 2;
        state->Settings.VatOnDebits = vatOnDebits;
        if (noteLength > 0) {
            // The longest notes the settings file takes, of real words.
            QString words;
            for (int i = 0; words.size() < noteLength; ++i)
                words += QStringLiteral("mention%1 ").arg(i);
            words.truncate(noteLength);
            state->Settings.RecoveryNote = "PMT " + words.trimmed();
            state->Settings.PenaltyNote = "PMD " + words.trimmed();
            state->Settings.DiscountNote = "AAB " + words.trimmed();
        }
        return state;
    }

private slots:
    void mentionsOnTheLastPageOnly_data()
    {
        QTest::addColumn<int>("lines");        // -1: exactly the first page's capacity
        QTest::addColumn<QString>("nif");
        QTest::addColumn<bool>("vatOnDebits");
        QTest::addColumn<int>("noteLength");   // 0: the default notes
        QTest::addColumn<int>("extraPages");   // pages the mentions add
        QTest::newRow("one page, buyer SIREN, VAT on debits") << 3 << "443 061 841 00013" << true << 0 << 0;
        QTest::newRow("a full page: the mentions on a page of their own") << -1 << "443 061 841 00013" << false << 0 << 1;
        QTest::newRow("three pages, buyer without SIREN") << 45 << "" << false << 0 << 0;
        QTest::newRow("overlong notes: smaller and wrapped, whole") << 3 << "512 384 975" << true << 495 << 0;
    }
    void mentionsOnTheLastPageOnly()
    {
        QFETCH(int, lines);
        QFETCH(QString, nif);
        QFETCH(bool, vatOnDebits);
        QFETCH(int, noteLength);
        QFETCH(int, extraPages);
        std::unique_ptr<DataReport1> report(makeSampleReport(1));
        if (lines < 0)
            lines = report->rowsOnFirstPage();
        report->setDetailRows(sampleLines(lines));
        const int pagesBefore = report->pageCount();
        const auto state = shop(nif, vatOnDebits, noteLength);
        FillReportMentions(*report, *state, true);
        QCOMPARE(report->pageCount(), pagesBefore + extraPages);

        const QStringList mentions = InvoiceMentions(*state);
        QVERIFY(mentions.contains("Catégorie de l'opération : Livraison de biens"));
        QCOMPARE(mentions.contains("SIREN du client : " + QString(nif).remove(' ').left(9)), !nif.isEmpty());
        QCOMPARE(mentions.contains("Option pour le paiement de la taxe d'après les débits"), vatOnDebits);

        const QString pdf = m_dir.filePath(QString("mentions%1.pdf").arg(QTest::currentDataTag()).remove(' '));
        QString error;
        QVERIFY2(ExportReportPdf(*report, pdf, "x", &error), qPrintable(error));
        const int pages = report->pageCount();
        QCOMPARE(pdfPageCount(pdf), pages);
        const QRect box = report->pageRect("LblMentions", pages - 1);
        // Above the page footer, inside the page.
        QVERIFY(box.bottom() <= DataReport1::PageHeight - DataReport1::Margin
                                    - report->layout().sections[ReportLayout::PageFooter].height);
        const QVector<PdfWord> last = pdfWords(pdf, pages);
        for (const QString &mention : mentions)
            QVERIFY2(textInside(last, mention, box), qPrintable(mention));
        for (int page = 1; page < pages; ++page)
            QVERIFY(findText(pdfWords(pdf, page), "Livraison de biens").isNull());
    }

    void deliveryNoteHasNone()
    {
        std::unique_ptr<DataReport1> report(makeSampleReport(1));
        report->setDetailRows(sampleLines(report->rowsOnFirstPage()));
        const auto state = shop("443 061 841 00013", true, 0);
        FillReportMentions(*report, *state, true);
        QCOMPARE(report->pageCount(), 2);
        // The same report printed next as a delivery note.
        FillReportMentions(*report, *state, false);
        QCOMPARE(report->pageCount(), 1);
        const QString pdf = m_dir.filePath("note.pdf");
        QVERIFY(ExportReportPdf(*report, pdf, "x"));
        const QVector<PdfWord> words = pdfWords(pdf, 1);
        QVERIFY(findText(words, "Livraison de biens").isNull());
        QVERIFY(findText(words, "SIREN").isNull());
    }
};

QTEST_MAIN(TestReportMentions)
#include "tst_reportmentions.moc"
