// Choosing a customer and its tickets in the real main window, on fixture
// point-of-sale databases: which tickets are listed and how, the lines and
// totals a chosen ticket brings, releasing, choosing all, read errors, the
// preselection at start and the statements sent.
#include "choosing_helpers.h"

#include "externo/mainwindow/TreeNodes.h"
#include "externo/posdata/InvoicedMark.h"
#include "support/DialogAnswerer.h"
#include "support/StatementCapture.h"

#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QTreeWidget>

using namespace zd;
using namespace zd::choosing;
using zd::test::LineSpec;
using zd::test::TaxSpec;
using zd::test::TicketSpec;

namespace {

const QString kOpenHead = QStringLiteral(
    "select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) "
    "and isfinalizado=1 and numero <> 0 and idcontacto=");

TicketSpec ticket(qint32 id, qint32 numero, qint32 customer, const QString &fecha, QVector<LineSpec> lines,
                  int tipodocumento = 1)
{
    TicketSpec t;
    t.iddocumento = id;
    t.numero = numero;
    t.idcontacto = customer;
    t.fecha = fecha;
    t.tipodocumento = tipodocumento;
    t.lines = std::move(lines);
    return t;
}

LineSpec line(int article, const QString &description, double amount)
{
    return LineSpec::units(article, description, 1, amount);
}

// The shop's defaults and customers 5 (node 2) and 00012 (node 3).
void addCustomers(Shop &shop)
{
    QVERIFY(shop.pos.addShopDefaults());
    QVERIFY(shop.pos.addCustomer({.idcliente = 5, .nombre = "CAVE DU CHATEAU"}));
    QVERIFY(shop.pos.addCustomer({.idcliente = 12, .codigo = "00012", .nombre = "BOULANGERIE "}));
}

} // namespace

Q_DECLARE_METATYPE(QVector<QVector<zd::test::TaxSpec>>)

class TstChooseTickets : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void openTicketsListedByTheOpenRuleInTypeThenNumberOrder()
    {
        Shop shop;
        addCustomers(shop);
        auto add = [&](TicketSpec t) { QVERIFY(shop.pos.addTicket(t) != 0); };
        add(ticket(1234, 57, 12, "2021-03-05 10:15:42.000", {line(1, "Pain", 2)}));
        add(ticket(1300, 70, 12, "2021-04-02 08:00:00.000", {line(1, "Pain", 2)}));
        add(ticket(1301, 3, 12, "2021-03-20 08:00:00.000", {line(1, "Pain", 2)}, 2));
        add(ticket(1302, 65, 12, "2021-03-31 18:00:00.000", {line(1, "Pain", 2)}));
        // Each of these is left out for one reason.
        add(ticket(1310, 58, 12, "2021-03-06 09:00:00.863", {line(1, "Pain", 2)}));   // invoiced mark
        TicketSpec unfinished = ticket(1311, 59, 12, "2021-03-07 09:00:00.000", {line(1, "Pain", 2)});
        unfinished.isfinalizado = 0;
        add(unfinished);
        add(ticket(1312, 0, 12, "2021-03-08 09:00:00.000", {line(1, "Pain", 2)}));     // no number
        TicketSpec credited = ticket(1313, 60, 12, "2021-03-09 09:00:00.000", {line(1, "Pain", 2)});
        credited.iddocumentoabono = 77;
        add(credited);
        add(ticket(1314, 61, 99, "2021-03-10 09:00:00.000", {line(1, "Pain", 2)}));    // another customer

        auto w = openWindow(shop);
        QTreeWidget *tickets = w->TreeClient[1];
        test::StatementCapture capture;
        clickNode(w->TreeClient[0], 3);
        QCOMPARE(shop.state.SelectedCustomerIndex, qint16(3));
        QCOMPARE(nodes::node(tickets, 1)->text(0), QString("00012-BOULANGERIE "));
        QCOMPARE(nodes::key(nodes::node(tickets, 1)), QString("TQTNOFACTURAS"));
        QCOMPARE(nodes::image(nodes::node(tickets, 1)), 2);
        QVERIFY(nodes::node(tickets, 1)->isExpanded());
        QCOMPARE(childTexts(tickets), (QStringList{"70 -((00001300)-02/04/2021 )", "65 -((00001302)-31/03/2021 )",
                                                   "57 -((00001234)-05/03/2021 )", "3 -((00001301)-20/03/2021 )"}));
        QCOMPARE(childImages(tickets), (QVector<int>{4, 4, 4, 4}));
        QCOMPARE(capture.startingWith("select * from dbo.documento"),
                 QStringList{kOpenHead + "12 and iddocumentoabono=0 order by tipodocumento,numero DESC,fecha"});

        // Ascending: only the numbers within a document type turn round.
        shop.state.SortDirection = "ASC";
        w->FillCurrentList();
        QCOMPARE(childTexts(tickets), (QStringList{"57 -((00001234)-05/03/2021 )", "65 -((00001302)-31/03/2021 )",
                                                   "70 -((00001300)-02/04/2021 )", "3 -((00001301)-20/03/2021 )"}));

        // A period typed the wrong way round; the To day counts to its end.
        shop.state.SortDirection = "DESC";
        w->MaskDesde->setText("31/03/2021");
        w->MaskHasta->setText("01/03/2021");
        capture.clear();
        clickNode(w->TreeClient[0], 3);
        QCOMPARE(childTexts(tickets), (QStringList{"65 -((00001302)-31/03/2021 )", "57 -((00001234)-05/03/2021 )",
                                                   "3 -((00001301)-20/03/2021 )"}));
        QCOMPARE(capture.startingWith("select * from dbo.documento"),
                 QStringList{kOpenHead
                             + "12 and iddocumentoabono=0 and fecha between '2021-03-01' and "
                               "'2021-03-31 23:59:59.997' order by tipodocumento,numero DESC,fecha"});

        // A customer without open tickets: the root alone, expanded.
        w->MaskDesde->clear();
        clickNode(w->TreeClient[0], 2);
        QCOMPARE(nodes::nodeCount(tickets), 1);
        QCOMPARE(nodes::node(tickets, 1)->text(0), QString("5-CAVE DU CHATEAU"));
        QVERIFY(nodes::node(tickets, 1)->isExpanded());
        QCOMPARE(nodes::image(nodes::node(w->TreeClient[0], 3)), 2);
        QCOMPARE(nodes::image(nodes::node(w->TreeClient[0], 2)), 3);
    }

    void choosingAndReleasingTicketsKeepsLinesAndTotalsTogether()
    {
        Shop shop;
        addCustomers(shop);
        // Three tickets of customer 5; D and E share a number in two document types.
        const qint32 a = shop.pos.addTicket(ticket(101, 1, 5, "2021-03-01 09:00:00.000",
                                                   {line(11, "A1", 1), line(12, "A2", 2), line(13, "A3", 3)}));
        const qint32 b = shop.pos.addTicket(ticket(102, 2, 5, "2021-03-02 09:00:00.000",
                                                   {line(21, "B1", 10), line(22, "B2", 20)}));
        const qint32 c = shop.pos.addTicket(ticket(103, 3, 5, "2021-03-03 09:00:00.000", {line(31, "C1", 5)}));
        QVERIFY(a && b && c);
        auto w = openWindow(shop);
        QTreeWidget *tickets = w->TreeClient[1];
        clickNode(w->TreeClient[0], 2);   // customer 5 again: nothing chosen
        QCOMPARE(childTexts(tickets).size(), 3);   // C, B, A
        QVERIFY(w->ListView1->topLevelItemCount() == 0);
        QCOMPARE(w->TxtTotal->text(), QString("0"));

        clickNode(tickets, 4);   // A
        clickNode(tickets, 3);   // B: on top, numbered from 1
        QCOMPARE(column(w->ListView1, 0), (QStringList{"1", "2", "1", "2", "3"}));
        QCOMPARE(column(w->ListView1, 1), (QStringList{"2", "2", "1", "1", "1"}));
        QCOMPARE(column(w->ListView1, 3), (QStringList{"B1", "B2", "A1", "A2", "A3"}));
        QCOMPARE(column(w->ListView1, 8), (QStringList{"102", "102", "101", "101", "101"}));
        QCOMPARE(childImages(tickets), (QVector<int>{4, 5, 5}));
        QCOMPARE(w->TxtTotal->text(), QString("36"));

        // Releasing B takes its lines and its taxes off.
        clickNode(tickets, 3);
        QCOMPARE(column(w->ListView1, 3), (QStringList{"A1", "A2", "A3"}));
        QCOMPARE(w->TxtTotal->text(), QString("6"));
        QCOMPARE(childImages(tickets), (QVector<int>{4, 4, 5}));
        QVERIFY(!shop.state.AllTicketsSelected);

        // Choose all with A chosen: only C and B are read, in tree order,
        // numbered from 0; A's lines stay below.
        test::StatementCapture capture;
        clickNode(tickets, 1);
        QCOMPARE(capture.startingWith("Select * from dbo.lineadocumento"),
                 (QStringList{"Select * from dbo.lineadocumento where iddocumento=103",
                              "Select * from dbo.lineadocumento where iddocumento=102"}));
        QCOMPARE(column(w->ListView1, 3), (QStringList{"B1", "B2", "C1", "A1", "A2", "A3"}));
        QCOMPARE(column(w->ListView1, 0), (QStringList{"0", "1", "0", "1", "2", "3"}));
        QCOMPARE(childImages(tickets), (QVector<int>{5, 5, 5}));
        QVERIFY(shop.state.AllTicketsSelected);
        QCOMPARE(w->TxtTotal->text(), QString("41"));

        // The root again releases everything.
        clickNode(tickets, 1);
        QCOMPARE(w->ListView1->topLevelItemCount(), 0);
        QCOMPARE(childImages(tickets), (QVector<int>{4, 4, 4}));
        QCOMPARE(w->TxtTotal->text(), QString("0"));
        QCOMPARE(shop.state.SelectionBase, 0.0);
        QVERIFY(!shop.state.AllTicketsSelected);

        // Enter on the root is discarded; on a ticket it chooses it.
        nodes::select(tickets, 1);
        QTest::keyClick(tickets, Qt::Key_Return);
        QCOMPARE(childImages(tickets), (QVector<int>{4, 4, 4}));
        nodes::select(tickets, 2);
        QTest::keyClick(tickets, Qt::Key_Return);
        QCOMPARE(childImages(tickets), (QVector<int>{5, 4, 4}));

        // A double click is one click (sent through the window, so that Qt
        // makes the double click as it does from the mouse).
        const QPoint at = tickets->viewport()->mapTo(w.get(), tickets->visualItemRect(nodes::node(tickets, 3)).center());
        QTest::mouseDClick(w->windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(childImages(tickets), (QVector<int>{5, 5, 4}));
    }

    void releasingFindsTheTicketsLinesByTheirPointOfSaleId()
    {
        Shop shop;
        addCustomers(shop);
        QVERIFY(shop.pos.addTicket(ticket(201, 5, 5, "2021-03-01 09:00:00.000", {line(1, "D", 1)}, 1)));
        QVERIFY(shop.pos.addTicket(ticket(202, 5, 5, "2021-03-02 09:00:00.000", {line(2, "E", 2)}, 2)));
        auto w = openWindow(shop);
        QTreeWidget *tickets = w->TreeClient[1];
        clickNode(w->TreeClient[0], 2);
        clickNode(tickets, 2);
        clickNode(tickets, 3);
        QCOMPARE(column(w->ListView1, 3), (QStringList{"E", "D"}));
        clickNode(tickets, 2);   // D, number 5 like E
        QCOMPARE(column(w->ListView1, 3), QStringList{"E"});
        QCOMPARE(w->TxtTotal->text(), QString("2"));
    }

    void totalsAndTaxRows_data()
    {
        QTest::addColumn<QVector<QVector<TaxSpec>>>("taxes");
        QTest::addColumn<QStringList>("totals");
        QTest::addColumn<QStringList>("rows");     // base|pct|iva of each row shown
        QTest::addColumn<QStringList>("report");   // base|por|iva of the report's three rows

        QTest::newRow("two tickets of one rate")
            << QVector<QVector<TaxSpec>>{{{1, 10.00, 0.55}}, {{1, 5.00, 0.27}}}
            << QStringList{"15", "0,82", "15,82"} << QStringList{"15|2,1|0,82"}
            << QStringList{"15|2,1|0,82", "||", "||"};
        QTest::newRow("rates 2 and 4")
            << QVector<QVector<TaxSpec>>{{{2, 10.00, 0.55}, {4, 20.00, 4.00}}}
            << QStringList{"30", "4,55", "34,55"} << QStringList{"10|5,5|0,55", "20|20|4"}
            << QStringList{"10|5,5|0,55", "20|20|4", "||"};
        QTest::newRow("a tax type missing from TipoImpuesto")
            << QVector<QVector<TaxSpec>>{{{9, 10.00, 1.00}, {1, 5.00, 0.27}}}
            << QStringList{"5", "0,27", "5,27"} << QStringList{"5|2,1|0,27"}
            << QStringList{"5|2,1|0,27", "||", "||"};
        // Rate 4 is shown after one ticket and gone after the other: the
        // rows held while all are chosen end as they would one by one.
        QTest::newRow("a rate that comes and goes")
            << QVector<QVector<TaxSpec>>{{{4, 20.00, 4.00}}, {{4, -20.00, -4.00}, {2, 10.00, 0.55}}}
            << QStringList{"10", "0,55", "10,55"} << QStringList{"10|5,5|0,55"}
            << QStringList{"10|5,5|0,55", "||", "||"};
        QTest::newRow("net total rounding to 0")
            << QVector<QVector<TaxSpec>>{{{1, 0.004, 0.001}}}
            << QStringList{"0", "0", "0"} << QStringList{} << QStringList{"||", "||", "||"};
    }

    void totalsAndTaxRows()
    {
        QFETCH(QVector<QVector<TaxSpec>>, taxes);
        QFETCH(QStringList, totals);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, report);
        Shop shop;
        addCustomers(shop);
        for (int i = 0; i < taxes.size(); ++i) {
            TicketSpec t = ticket(300 + i, 10 + i, 5, QString("2021-03-0%1 09:00:00.000").arg(i + 1),
                                  {line(1, "X", 1)});
            t.taxes = taxes.at(i);
            QVERIFY(shop.pos.addTicket(t));
        }
        auto w = openWindow(shop);
        clickNode(w->TreeClient[0], 2);
        clickNode(w->TreeClient[1], 1);   // all of them

        QCOMPARE((QStringList{w->TxtTotalBruto->text(), w->TxtTotalImpuestos->text(), w->TxtTotal->text()}),
                 totals);
        QStringList shown;
        for (int k = 0; k < 5; ++k) {
            if (w->TxtBase[k]->isVisible())
                shown << w->TxtBase[k]->text() + "|" + w->txtPorcentaje[k]->text() + "|" + w->TxtIva[k]->text();
        }
        QCOMPARE(shown, rows);
        QStringList reportRows;
        for (int k = 0; k < 3; ++k)
            reportRows << shop.state.ReportTaxes.base[k] + "|" + shop.state.ReportTaxes.por[k] + "|"
                    + shop.state.ReportTaxes.iva[k];
        QCOMPARE(reportRows, report);
        if (totals.first() == "0") {
            // Rounded away: no remainder is left in any rate.
            for (const TaxRateEntry &rate : std::as_const(shop.state.TaxRates))
                QVERIFY(rate.BaseTotal == 0 && rate.TaxTotal == 0);
        }
    }

    void lineFormatsFollowTheDecimalSeparator_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("weighed");
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<QString>("total");
        QTest::newRow("comma") << QLocale(QLocale::French, QLocale::France)
                               << QStringList{"1,250", "24,90", "0,00", "31,13"}
                               << QStringList{"3,000", "4,00", "0,50", "9,50"} << QString("40,63");
        QTest::newRow("point") << QLocale(QLocale::C) << QStringList{"1.250", "24.90", "0.00", "31.13"}
                               << QStringList{"3.000", "4.00", "0.50", "9.50"} << QString("40.63");
    }

    void lineFormatsFollowTheDecimalSeparator()
    {
        QFETCH(QLocale, locale);
        QFETCH(QStringList, weighed);
        QFETCH(QStringList, units);
        QFETCH(QString, total);
        QLocale::setDefault(locale);
        Shop shop;
        addCustomers(shop);
        LineSpec ham = LineSpec::weighed(2001, "Jambon blanc", 1.25, 24.90);
        ham.importe = 31.13;
        LineSpec rolls;
        rolls.idarticulo = 3001;
        rolls.descripcion = "Petits pains";
        rolls.unidades = 3;
        rolls.precio = 4;
        rolls.dtoslinea = 0.5;
        rolls.importe = 10;
        rolls.dtoscabecera = 0.5;
        QVERIFY(shop.pos.addTicket(ticket(401, 9, 5, "2021-03-01 09:00:00.000", {ham, rolls})));
        auto w = openWindow(shop);   // customer 5 and its ticket are chosen at start
        QCOMPARE(w->ListView1->topLevelItemCount(), 2);
        QTreeWidgetItem *first = w->ListView1->topLevelItem(0);
        QTreeWidgetItem *second = w->ListView1->topLevelItem(1);
        QCOMPARE((QStringList{first->text(4), first->text(5), first->text(6), first->text(7)}), weighed);
        QCOMPARE((QStringList{second->text(4), second->text(5), second->text(6), second->text(7)}), units);
        QCOMPARE(first->text(2), QString("2001"));
        QCOMPARE(first->textAlignment(7) & Qt::AlignRight, int(Qt::AlignRight));
        QCOMPARE(w->TxtTotal->text(), total);
    }

    void startChoosesTheLatestCustomerAndItsFirstTicket()
    {
        Shop shop;
        QVERIFY(shop.pos.addShopDefaults());
        QVERIFY(shop.pos.addCustomer({.idcliente = 1, .codigo = "115", .nombre = "HOTEL"}));
        QVERIFY(shop.pos.addCustomer({.idcliente = 2, .codigo = "15", .nombre = "EPICERIE"}));
        QVERIFY(shop.pos.addTicket(ticket(501, 40, 115, "2021-03-01 09:00:00.000", {line(1, "H", 1)})));
        QVERIFY(shop.pos.addTicket(ticket(502, 41, 15, "2021-03-02 09:00:00.000", {line(1, "E1", 2)})));
        QVERIFY(shop.pos.addTicket(ticket(503, 42, 15, "2021-03-03 09:00:00.000",
                                          {line(1, "E2", 3), line(2, "E3", 4)})));
        TicketSpec later = ticket(504, 43, 115, "2021-03-04 09:00:00.000", {line(1, "H2", 1)});
        later.isfinalizado = 0;   // not open: does not decide
        QVERIFY(shop.pos.addTicket(later));

        test::StatementCapture capture;
        auto w = std::make_unique<FrmExterno>(shop.state);
        w->show();
        w->Load();
        // The customer whose code is 15, not "115-HOTEL" listed first.
        QCOMPARE(shop.state.SelectedCustomerIndex, qint16(3));
        QCOMPARE(w->TxtCliente->text(), QString("15"));
        QCOMPARE(w->TxtCliente->selectedText(), QString("15"));
        QCOMPARE(w->TxtNomCli->text(), QString("EPICERIE"));
        QCOMPARE(nodes::image(nodes::node(w->TreeClient[0], 2)), 2);
        QCOMPARE(nodes::image(nodes::node(w->TreeClient[0], 3)), 3);
        QCOMPARE(childImages(w->TreeClient[1]), (QVector<int>{5, 4}));
        QCOMPARE(column(w->ListView1, 3), (QStringList{"E2", "E3"}));
        QCOMPARE(w->TxtTotal->text(), QString("7"));

        const QStringList sent = capture.statements();
        auto position = [&](const QString &sql) { return sent.indexOf(sql); };
        const int latest = position(
            "select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) "
            "and isfinalizado=1 and numero <> 0 and idcontacto<>0 and iddocumentoabono=0 order by fecha,hora");
        const int list = position(kOpenHead + "15 and iddocumentoabono=0 order by tipodocumento,numero DESC,fecha");
        const int lines = position("Select * from dbo.lineadocumento where iddocumento=503");
        const int taxes = position("select * from dbo.impuestodocumento where iddocumento=503 order by IdTipoImpuesto");
        QVERIFY(latest >= 0 && list > latest && lines > list && taxes > lines);
    }

    void noOpenTicketAnywhereChoosesNoCustomer()
    {
        Shop shop;
        addCustomers(shop);
        auto w = openWindow(shop);
        QCOMPARE(shop.state.SelectedCustomerIndex, qint16(0));
        QCOMPARE(nodes::nodeCount(w->TreeClient[1]), 0);
        QVERIFY(w->TxtCliente->text().isEmpty());
        QCOMPARE(w->TxtTotal->text(), QString("0"));
    }

    void markedTicketsLeaveTheListAndComeBack()
    {
        Shop shop;
        addCustomers(shop);
        QVERIFY(shop.pos.addTicket(ticket(601, 7, 5, "2021-03-05 10:15:42.000", {line(1, "P", 1)})));
        QVERIFY(shop.pos.addTicket(ticket(602, 8, 5, "2021-03-06 10:15:42.000", {line(1, "Q", 1)})));
        auto w = openWindow(shop);   // ticket 8 chosen at start
        QCOMPARE(chosenTicketIds(w->TreeClient[1]), QVector<qint32>{602});
        const LineRecordSet lines{{"1", "8", "1", "Q", "1,000", "1,00", "0,00", "1,00", "602"}};
        QVERIFY(posdata::MarkSelectedTicketsInvoiced(shop.state, chosenTicketIds(w->TreeClient[1])));
        QCOMPARE(shop.pos.scalar("select fecha from documento where iddocumento=602").toString(),
                 QString("2021-03-06 10:15:42.863"));
        clickNode(w->TreeClient[0], 2);
        QCOMPARE(childTexts(w->TreeClient[1]), QStringList{"7 -((00000601)-05/03/2021 )"});
        QVERIFY(posdata::ClearInvoicedMark(shop.state, lines));
        clickNode(w->TreeClient[0], 2);
        QCOMPARE(childTexts(w->TreeClient[1]),
                 (QStringList{"8 -((00000602)-06/03/2021 )", "7 -((00000601)-05/03/2021 )"}));
    }

    void anUnreadableTicketIsToldAndLeftUnchosen()
    {
        Shop shop;
        addCustomers(shop);
        QVERIFY(shop.pos.addTicket(ticket(701, 1, 5, "2021-03-01 09:00:00.000", {line(1, "Good", 2)})));
        LineSpec broken = line(2, "Broken", 3);
        broken.idarticulo = QVariant();
        QVERIFY(shop.pos.addTicket(ticket(702, 2, 5, "2021-03-02 09:00:00.000", {line(3, "Fine", 4), broken})));
        QVERIFY(shop.pos.addTicket(ticket(703, 3, 5, "2021-03-03 09:00:00.000", {line(4, "Also", 5)})));
        auto w = openWindow(shop);
        QTreeWidget *tickets = w->TreeClient[1];
        clickNode(w->TreeClient[0], 2);
        DialogAnswerer answerer;

        clickNode(tickets, 3);   // ticket 2
        QCOMPARE(answerer.messages(), QStringList{"IMPOSSIBLE DE LIRE LE TICKET 2."});
        QCOMPARE(childImages(tickets), (QVector<int>{4, 4, 4}));
        QCOMPARE(w->ListView1->topLevelItemCount(), 0);
        QCOMPARE(w->TxtTotal->text(), QString("0"));

        // Choosing all takes the others and names the one left out.
        answerer.clear();
        clickNode(tickets, 1);
        QCOMPARE(answerer.messages(), QStringList{"IMPOSSIBLE DE LIRE LE TICKET 2."});
        QCOMPARE(childImages(tickets), (QVector<int>{5, 4, 5}));
        QCOMPARE(column(w->ListView1, 3), (QStringList{"Good", "Also"}));
        QCOMPARE(w->TxtTotal->text(), QString("7"));

        // A lost connection: releasing keeps the ticket, its lines and totals.
        answerer.clear();
        shop.state.PosConnection->close();
        clickNode(tickets, 2);
        QCOMPARE(answerer.messages(), QStringList{"IMPOSSIBLE DE LIRE LE TICKET 3."});
        QCOMPARE(childImages(tickets), (QVector<int>{5, 4, 5}));
        QCOMPARE(column(w->ListView1, 3), (QStringList{"Good", "Also"}));
        QCOMPARE(w->TxtTotal->text(), QString("7"));
    }
};

QTEST_MAIN(TstChooseTickets)
#include "tst_choosetickets.moc"
