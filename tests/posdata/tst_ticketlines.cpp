// The lines a chosen ticket brings into ListView1, and the texts of the
// customer panel and the ticket summary.
#include "externo/posdata/TicketInfo.h"
#include "externo/posdata/TicketLines.h"
#include "posdata_helpers.h"
#include "support/StatementCapture.h"

#include <QLocale>
#include <QTest>

using namespace zd::posdata;
using posdata_test::PosFixture;

class TstTicketLines : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("fr_FR"))); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void linesOfOneTicket();
    void numberingWhenAllChosen();
    void pointSeparator();
    void missingValueAddsNothing();
    void queryErrorIsReported();
    void customerPanel();
    void ticketSummary();
    void ticketSummaryMissingOrFailing();
};

static void addTicketWithLines(PosFixture &f)
{
    f.addTicket(1234, 57, QStringLiteral("2021-03-05 10:15:42.000"), 12);
    // idarticulo, descripcion, isventaporpeso, peso, unidades, precio, dtoslinea, importe, dtoscabecera
    f.addLine(1234, QStringLiteral("100, 'TOMATES', 1, 1.25, 1, 3.2, 0, 4, 0"));
    f.addLine(1234, QStringLiteral("200, 'PAIN', 0, 0, 3, 1.1, 0.25, 10, 0.5"));
    f.addLine(1234, QStringLiteral("300, 'OEUFS', NULL, 2.5, 6, 0.3333, 0, 2, 0"));
    f.addLine(999, QStringLiteral("400, 'AUTRE', 0, 0, 1, 1, 0, 1, 0"));
}

void TstTicketLines::linesOfOneTicket()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    addTicketWithLines(f);
    zd::test::StatementCapture capture;
    const TicketLinesResult result = ReadTicketLines(f.state(), 1234, 57, 1);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(capture.statements(), QStringList{"Select * from dbo.lineadocumento where iddocumento=1234"});
    QCOMPARE(result.rows.size(), 3);
    QCOMPARE(result.rows.at(0),
             (QStringList{"1", "57", "100", "TOMATES", "1,250", "3,20", "0,00", "4,00", "1234"}));
    // Unit article; the amount is importe less the header discount.
    QCOMPARE(result.rows.at(1),
             (QStringList{"2", "57", "200", "PAIN", "3,000", "1,10", "0,25", "9,50", "1234"}));
    // A NULL isventaporpeso counts as sold by unit.
    QCOMPARE(result.rows.at(2),
             (QStringList{"3", "57", "300", "OEUFS", "6,000", "0,33", "0,00", "2,00", "1234"}));
}

void TstTicketLines::numberingWhenAllChosen()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    addTicketWithLines(f);
    const TicketLinesResult result = ReadTicketLines(f.state(), 1234, 57, 0);
    QVERIFY(result.ok);
    QCOMPARE(result.rows.at(0).at(0), QStringLiteral("0"));
    QCOMPARE(result.rows.at(2).at(0), QStringLiteral("2"));

    const TicketLinesResult none = ReadTicketLines(f.state(), 5555, 1, 1);
    QVERIFY(none.ok);
    QVERIFY(none.rows.isEmpty());
}

void TstTicketLines::pointSeparator()
{
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    addTicketWithLines(f);
    const TicketLinesResult result = ReadTicketLines(f.state(), 1234, 57, 1);
    QVERIFY(result.ok);
    QCOMPARE(result.rows.at(0).at(4), QStringLiteral("1.250"));
    QCOMPARE(result.rows.at(1).at(7), QStringLiteral("9.50"));
}

void TstTicketLines::missingValueAddsNothing()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.addLine(77, QStringLiteral("100, 'PAIN', 0, 0, 1, 1, 0, 1, 0"));
    f.addLine(77, QStringLiteral("NULL, 'SANS CODE', 0, 0, 1, 1, 0, 1, 0"));
    f.addLine(78, QStringLiteral("100, NULL, 0, 0, 1, 1, 0, 1, 0"));
    f.addLine(79, QStringLiteral("100, 'PAIN', 0, 0, 1, 1, 0, NULL, 0"));
    for (const int ticket : {77, 78, 79}) {
        const TicketLinesResult result = ReadTicketLines(f.state(), ticket, 1, 1);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(result.rows.isEmpty());  // not even the good first line
    }
}

void TstTicketLines::queryErrorIsReported()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    addTicketWithLines(f);
    f.state().PosConnection->close();  // the connection was lost
    const TicketLinesResult result = ReadTicketLines(f.state(), 1234, 57, 1);
    QVERIFY(!result.ok);
    QVERIFY(result.rows.isEmpty());
}

void TstTicketLines::customerPanel()
{
    zd::AppState state{zd::sql::EngineConfig{}};
    state.Customers.resize(4);
    zd::CustomerRecord &c = state.Customers[2];
    c.codigo = QStringLiteral("00012");
    c.nif = QStringLiteral("FR123");
    c.nombre = QStringLiteral("BOULANGERIE");
    c.direccion = QStringLiteral("1 RUE");
    c.poblacion = QStringLiteral("LYON");
    c.codigopostal = QStringLiteral("69001");
    c.provincia = QStringLiteral("RHONE");
    c.telefono = QStringLiteral("0400");
    c.email = QStringLiteral("b@x.fr");
    state.SelectedCustomerIndex = 2;
    const auto panel = ShowCustomerDetails(state);
    QVERIFY(panel.has_value());
    const QStringList shown{panel->codCli, panel->nifCli, panel->nomCli, panel->dirCli, panel->pobCli,
                            panel->posCli, panel->proCli, panel->telCli, panel->emaCli, panel->cliente};
    QCOMPARE(shown, (QStringList{"00012", "FR123", "BOULANGERIE", "1 RUE", "LYON", "69001", "RHONE", "0400",
                                 "b@x.fr", "00012"}));
    state.SelectedCustomerIndex = 9;
    QVERIFY(!ShowCustomerDetails(state).has_value());
}

void TstTicketLines::ticketSummary()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.addTicket(1234, 999, QStringLiteral("2021-03-05 10:15:42.000"), 12);
    zd::test::StatementCapture capture;
    // The number shown is the node's, not the row's numero.
    const TicketInfoResult info = ShowTicketInfo(f.state(), QStringLiteral("57 -((00001234)-05/03/2021 )"));
    QCOMPARE(info.status, TicketInfoResult::Shown);
    QCOMPARE(info.text, QStringLiteral("N\u00B0Ticket: 57 Date : 05/03/2021 Vendeur: 3 Balance: 2 Montant: 12,5"));
    QCOMPARE(capture.statements(), QStringList{"Select * from dbo.documento where iddocumento=1234"});
    QCOMPARE(f.state().CurrentTicketNumber, 57);
    QCOMPARE(f.state().CurrentTicketId, 1234);
}

void TstTicketLines::ticketSummaryMissingOrFailing()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    zd::test::StatementCapture capture;
    QCOMPARE(ShowTicketInfo(f.state(), QStringLiteral("12-ROOT")).status, TicketInfoResult::NotFound);
    QVERIFY(capture.statements().isEmpty());
    QCOMPARE(ShowTicketInfo(f.state(), QStringLiteral("5 -((00000077)-05/03/2021 )")).status,
             TicketInfoResult::NotFound);

    QVERIFY(f.exec(QStringLiteral("INSERT INTO documento (iddocumento, numero, fecha, idusuario, "
                                  "numeroterminal) VALUES (78, 6, '2021-03-05 10:00:00.000', NULL, 2)")));
    const TicketInfoResult missing = ShowTicketInfo(f.state(), QStringLiteral("6 -((00000078)-05/03/2021 )"));
    QCOMPARE(missing.status, TicketInfoResult::Failed);
    QVERIFY(!missing.error.isEmpty());
}

QTEST_GUILESS_MAIN(TstTicketLines)
#include "tst_ticketlines.moc"
