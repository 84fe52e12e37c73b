// Per-rate sums of the chosen tickets, the three totals and the tax rows of
// the window and the report.
#include "externo/posdata/TaxBreakdown.h"
#include "externo/posdata/TotalsDisplay.h"
#include "posdata_helpers.h"
#include "support/StatementCapture.h"

#include <QLocale>
#include <QTest>

using namespace zd::posdata;
using posdata_test::PosFixture;
using posdata_test::RecordingTotalsView;

class TstTaxBreakdown : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("fr_FR"))); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void loadTaxRates();
    void totalsOfTwoTickets();
    void totalsWithPointSeparator();
    void chooseAndReleaseRestores();
    void zeroingWhenNetRoundsToZero();
    void missingTaxTypeAddsNothing();
    void queryErrorChangesNothing();
    void taxRowsForSecondAndFourthRate();
    void sixthRateHasNoRow();
    void clearTotalsDisplay();
};

static void addFiveRates(PosFixture &f)
{
    f.addTaxType(1, 5.5, QStringLiteral("TVA 5,5  "));
    f.addTaxType(2, 10, QStringLiteral("TVA 10"));
    f.addTaxType(3, 20, QStringLiteral("TVA 20"));
    f.addTaxType(4, 2.1, QStringLiteral("TVA 2,1"));
    f.addTaxType(6, 0, QStringLiteral("EXO"));
}

void TstTaxBreakdown::loadTaxRates()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    zd::AppState &state = f.state();
    QVERIFY(LoadTaxRates(state));  // empty table: nothing changes
    QCOMPARE(state.TaxRateCount, qint16(0));
    QVERIFY(state.TaxRates.isEmpty());

    f.addTaxType(3, 20, QStringLiteral("TVA 20"));
    f.addTaxType(1, 5.5, QStringLiteral("TVA 5,5"));
    zd::test::StatementCapture capture;
    QVERIFY(LoadTaxRates(state));
    QCOMPARE(capture.statements(), QStringList{"select * from dbo.TipoImpuesto order by IdTipoImpuesto"});
    QCOMPARE(state.TaxRateCount, qint16(2));
    QCOMPARE(state.TaxRates.at(0).TaxTypeId, 1);
    QCOMPARE(state.TaxRates.at(0).Percentage, 5.5);
    QCOMPARE(state.TaxRates.at(0).Description, QStringLiteral("TVA 5,5"));
    QCOMPARE(state.TaxRates.at(1).TaxTypeId, 3);
    QCOMPARE(state.TaxRates.at(1).BaseTotal, 0.0);
}

void TstTaxBreakdown::totalsOfTwoTickets()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.addTaxType(1, 5.5, QStringLiteral("TVA 5,5"));
    f.addTax(100, 1, 10.00, 0.55);
    f.addTax(200, 1, 5.00, 0.27);
    zd::AppState &state = f.state();
    QVERIFY(LoadTaxRates(state));
    RecordingTotalsView view;

    zd::test::StatementCapture capture;
    QVERIFY(AddTicketTaxes(state, view, 100));
    QVERIFY(AddTicketTaxes(state, view, 200));
    QCOMPARE(capture.statements(),
             (QStringList{"select * from dbo.impuestodocumento where iddocumento=100 order by IdTipoImpuesto",
                          "select * from dbo.impuestodocumento where iddocumento=200 order by IdTipoImpuesto"}));
    QCOMPARE(view.bruto, QStringLiteral("15"));
    QCOMPARE(view.impuestos, QStringLiteral("0,82"));
    QCOMPARE(view.total, QStringLiteral("15,82"));
    QCOMPARE(state.TaxRates.at(0).BaseTotal, 15.0);
    QCOMPARE(state.TaxRates.at(0).TaxTotal, 0.82);
    QCOMPARE(state.SelectionBase, 15.0);
    QCOMPARE(state.SelectionTax, 0.82);
    QCOMPARE(view.visibleRows(), QList<int>{0});
    QCOMPARE(view.rows[0].base, QStringLiteral("15"));
    QCOMPARE(view.rows[0].pct, QStringLiteral("5,5"));
    QCOMPARE(view.rows[0].iva, QStringLiteral("0,82"));
    QCOMPARE(view.frameBottom, 0);
}

void TstTaxBreakdown::totalsWithPointSeparator()
{
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.addTaxType(1, 5.5, QStringLiteral("VAT"));
    f.addTax(100, 1, 12.5, 0.125);  // a half cent goes to the even cent
    QVERIFY(LoadTaxRates(f.state()));
    RecordingTotalsView view;
    QVERIFY(AddTicketTaxes(f.state(), view, 100));
    QCOMPARE(view.bruto, QStringLiteral("12.5"));
    QCOMPARE(view.impuestos, QStringLiteral("0.12"));
    QCOMPARE(view.total, QStringLiteral("12.62"));
    QCOMPARE(f.state().SelectionTax, 0.125);  // kept unrounded
    QCOMPARE(view.rows[0].pct, QStringLiteral("5.5"));
}

void TstTaxBreakdown::chooseAndReleaseRestores()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    addFiveRates(f);
    f.addTax(1, 3, 0.1, 0.02);
    f.addTax(2, 1, 0.2, 0.01);
    f.addTax(3, 3, 0.2, 0.04);
    zd::AppState &state = f.state();
    QVERIFY(LoadTaxRates(state));
    RecordingTotalsView view;
    QVERIFY(AddTicketTaxes(state, view, 2));
    const QVector<zd::TaxRateEntry> before = state.TaxRates;
    QVERIFY(AddTicketTaxes(state, view, 3));
    QVERIFY(AddTicketTaxes(state, view, 1));
    QCOMPARE(view.visibleRows(), (QList<int>{0, 1}));
    QCOMPARE(view.rows[1].base, QStringLiteral("0,3"));
    QVERIFY(SubtractTicketTaxes(state, view, 3));
    QVERIFY(SubtractTicketTaxes(state, view, 1));
    for (int i = 0; i < before.size(); ++i) {
        QCOMPARE(state.TaxRates.at(i).BaseTotal, before.at(i).BaseTotal);
        QCOMPARE(state.TaxRates.at(i).TaxTotal, before.at(i).TaxTotal);
    }
    // 0.1 + 0.2 - 0.2 - 0.1 leaves a binary remainder: it is no amount and
    // shows no row, on the window or the report.
    QCOMPARE(state.TaxRates.at(2).BaseTotal, 0.0);
    QCOMPARE(view.visibleRows(), QList<int>{0});
    QVERIFY(state.ReportTaxes.base[1].isEmpty());
    QCOMPARE(view.bruto, QStringLiteral("0,2"));
}

void TstTaxBreakdown::zeroingWhenNetRoundsToZero()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    addFiveRates(f);
    f.addTax(1, 1, 10, 0.55);
    f.addTax(1, 3, 0.7, 0.14);
    f.addTax(2, 1, -9.9961, 0.1);
    f.addTax(2, 3, -0.7, -0.14);
    zd::AppState &state = f.state();
    QVERIFY(LoadTaxRates(state));
    RecordingTotalsView view;
    QVERIFY(AddTicketTaxes(state, view, 1));
    QCOMPARE(state.ReportTaxes.base[0], QStringLiteral("10"));
    QVERIFY(AddTicketTaxes(state, view, 2));
    // 0.0039 rounds to 0: every sum is zeroed and the display cleared.
    for (const zd::TaxRateEntry &rate : state.TaxRates) {
        QCOMPARE(rate.BaseTotal, 0.0);
        QCOMPARE(rate.TaxTotal, 0.0);
    }
    QCOMPARE(view.bruto, QStringLiteral("0"));
    QCOMPARE(view.impuestos, QStringLiteral("0"));
    QCOMPARE(view.total, QStringLiteral("0"));
    QCOMPARE(state.SelectionBase, 0.0);
    QCOMPARE(state.SelectionTax, 0.65);  // the tax sum keeps its value
    QVERIFY(view.visibleRows().isEmpty());
    QCOMPARE(view.frameBottom, -1);
    QVERIFY(state.ReportTaxes.base[0].isEmpty());
}

void TstTaxBreakdown::missingTaxTypeAddsNothing()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.addTaxType(1, 5.5, QStringLiteral("TVA 5,5"));
    f.addTax(7, 9, 100, 20);  // type 9 is not in TipoImpuesto
    f.addTax(7, 1, 10, 0.55);
    QVERIFY(LoadTaxRates(f.state()));
    RecordingTotalsView view;
    QVERIFY(AddTicketTaxes(f.state(), view, 7));
    QCOMPARE(f.state().SelectionBase, 10.0);
    QCOMPARE(view.total, QStringLiteral("10,55"));

    // Without any tax type every ticket's rows are ignored.
    PosFixture empty;
    QVERIFY2(empty.ok(), qPrintable(empty.error()));
    empty.addTax(7, 1, 10, 0.55);
    QVERIFY(LoadTaxRates(empty.state()));
    RecordingTotalsView emptyView;
    QVERIFY(AddTicketTaxes(empty.state(), emptyView, 7));
    QCOMPARE(emptyView.total, QStringLiteral("0"));
    QCOMPARE(empty.state().SelectionBase, 0.0);
}

void TstTaxBreakdown::queryErrorChangesNothing()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.addTaxType(1, 5.5, QStringLiteral("TVA 5,5"));
    f.addTax(7, 1, 10, 0.55);
    QVERIFY(LoadTaxRates(f.state()));
    RecordingTotalsView view;
    QVERIFY(AddTicketTaxes(f.state(), view, 7));
    QVERIFY(f.exec(QStringLiteral("DROP TABLE impuestodocumento")));
    const int calls = view.totalCalls;
    QVERIFY(!SubtractTicketTaxes(f.state(), view, 7));
    QCOMPARE(f.state().TaxRates.at(0).BaseTotal, 10.0);
    QCOMPARE(view.totalCalls, calls);
}

void TstTaxBreakdown::taxRowsForSecondAndFourthRate()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    addFiveRates(f);
    zd::AppState &state = f.state();
    QVERIFY(LoadTaxRates(state));
    state.TaxRates[1].BaseTotal = 100;
    state.TaxRates[1].TaxTotal = 10;
    state.TaxRates[3].BaseTotal = 50.5;
    state.TaxRates[3].TaxTotal = 1.0605;
    state.ReportTaxes.base[2] = QStringLiteral("stale");  // from an earlier document
    RecordingTotalsView view;
    ShowTaxRows(state, view);

    QCOMPARE(view.visibleRows(), (QList<int>{0, 1}));
    QCOMPARE(view.rows[0].base, QStringLiteral("100"));
    QCOMPARE(view.rows[0].pct, QStringLiteral("10"));
    QCOMPARE(view.rows[0].description, QStringLiteral("TVA 10"));
    QCOMPARE(view.rows[1].base, QStringLiteral("50,5"));
    QCOMPARE(view.rows[1].pct, QStringLiteral("2,1"));
    QCOMPARE(view.rows[1].iva, QStringLiteral("1,0605"));
    QCOMPARE(view.frameBottom, 1);
    // Report rows 1 and 2 (index 0 and 1); row 3 blank.
    QCOMPARE(state.ReportTaxes.base[0], QStringLiteral("100"));
    QCOMPARE(state.ReportTaxes.por[0], QStringLiteral("10"));
    QCOMPARE(state.ReportTaxes.iva[0], QStringLiteral("10"));
    QCOMPARE(state.ReportTaxes.base[1], QStringLiteral("50,5"));
    QCOMPARE(state.ReportTaxes.iva[1], QStringLiteral("1,0605"));
    QVERIFY(state.ReportTaxes.base[2].isEmpty());
    QVERIFY(state.ReportTaxes.por[2].isEmpty());
    QVERIFY(state.ReportTaxes.iva[2].isEmpty());
}

void TstTaxBreakdown::sixthRateHasNoRow()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    addFiveRates(f);
    f.addTaxType(7, 8.5, QStringLiteral("DOM"));
    zd::AppState &state = f.state();
    QVERIFY(LoadTaxRates(state));
    QCOMPARE(state.TaxRateCount, qint16(6));
    for (zd::TaxRateEntry &rate : state.TaxRates)
        rate.BaseTotal = 1;
    RecordingTotalsView view;  // fails the test if row 5 is written
    ShowTaxRows(state, view);
    QCOMPARE(view.visibleRows(), (QList<int>{0, 1, 2, 3, 4}));
    QCOMPARE(view.frameBottom, 4);
    QCOMPARE(view.rows[4].pct, QStringLiteral("0"));
    QCOMPARE(state.ReportTaxes.por[2], QStringLiteral("20"));
}

void TstTaxBreakdown::clearTotalsDisplay()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    zd::AppState &state = f.state();
    state.SelectionBase = 12;
    state.ReportTaxes.base[0] = QStringLiteral("12");
    state.ReportTaxes.iva[2] = QStringLiteral("1");
    RecordingTotalsView view;
    view.rows[3].visible = true;
    ClearTotalsDisplay(state, view);
    QCOMPARE(view.bruto, QStringLiteral("0"));
    QCOMPARE(view.impuestos, QStringLiteral("0"));
    QCOMPARE(view.total, QStringLiteral("0"));
    QCOMPARE(state.SelectionBase, 0.0);
    QVERIFY(view.visibleRows().isEmpty());
    QCOMPARE(view.frameBottom, -1);
    for (int k = 0; k < 3; ++k) {
        QVERIFY(state.ReportTaxes.base[k].isEmpty());
        QVERIFY(state.ReportTaxes.por[k].isEmpty());
        QVERIFY(state.ReportTaxes.iva[k].isEmpty());
    }
}

QTEST_GUILESS_MAIN(TstTaxBreakdown)
#include "tst_taxbreakdown.moc"
