// Which tickets and documents the customer lists offer, in which order, and
// the exact statements sent.
#include "externo/posdata/ListQueries.h"
#include "posdata_helpers.h"
#include "support/StatementCapture.h"

#include <QTest>

using namespace zd::posdata;
using posdata_test::PosFixture;

class TstListQueries : public QObject {
    Q_OBJECT
private slots:
    void sqlTexts();
    void openTicketRule();
    void openTicketRuleInPeriod();
    void orderWithinTipodocumento();
    void noCustomerNumber();
    void queryErrorKeepsNothingHidden();
    void latestOpenTicketCustomer();
    void customerDocuments();
    void customerDocumentsUnreachable();
};

void TstListQueries::sqlTexts()
{
    QCOMPARE(OpenTicketsSql(12, QStringLiteral("DESC")),
             QStringLiteral("select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)"
                            "='000')) and isfinalizado=1 and numero <> 0 and idcontacto=12 and "
                            "iddocumentoabono=0 order by tipodocumento,numero DESC,fecha"));
    QCOMPARE(OpenTicketsInPeriodSql(12, QDate(2021, 3, 1), QDate(2021, 3, 15), QStringLiteral("ASC")),
             QStringLiteral("select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)"
                            "='000')) and isfinalizado=1 and numero <> 0 and idcontacto=12 and "
                            "iddocumentoabono=0 and fecha between '2021-03-01' and '2021-03-15 23:59:59.997' "
                            "order by tipodocumento,numero ASC,fecha"));
    QCOMPARE(LatestOpenTicketCustomerSql(),
             QStringLiteral("select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)"
                            "='000')) and isfinalizado=1 and numero <> 0 and idcontacto<>0 and "
                            "iddocumentoabono=0 order by fecha,hora"));
    QCOMPARE(CustomerDocumentsSql(40, QStringLiteral("DESC")),
             QStringLiteral("Select * from dbo.facturas where idcliente=40 order by iddocumento DESC"));
    QCOMPARE(CustomerDocumentsInPeriodSql(40, QDate(2021, 3, 1), QDate(2021, 3, 31), QStringLiteral("ASC")),
             QStringLiteral("Select * from dbo.facturas where idcliente=40 and FechaDocumento between "
                            "'2021-03-01' and '2021-03-31 23:59:59.997' order by iddocumento ASC"));
    // Nothing but the two keywords reaches the ORDER BY.
    QCOMPARE(SortKeyword(QStringLiteral("asc")), QStringLiteral("ASC"));
    QCOMPARE(SortKeyword(QStringLiteral("ASC; drop table documento")), QStringLiteral("DESC"));
}

// One ticket of each excluded kind beside two open ones.
static void addRuleTickets(PosFixture &f)
{
    f.addTicket(1, 101, QStringLiteral("2021-03-05 10:15:42.000"), 12);              // open
    f.addTicket(2, 102, QStringLiteral("2021-03-05 10:16:00.863"), 12);              // invoiced
    f.addTicket(3, 103, QStringLiteral("2021-03-05 10:17:00.000"), 12, 1, 0);        // not finalised
    f.addTicket(4, 0, QStringLiteral("2021-03-05 10:18:00.000"), 12);                // no number
    f.addTicket(5, 105, QStringLiteral("2021-03-05 10:19:00.000"), 13);              // other customer
    f.addTicket(6, 106, QStringLiteral("2021-03-05 10:20:00.000"), 12, 1, 1, 99);    // credited
    f.addTicket(7, 107, QStringLiteral("2021-03-15 18:00:00.000"), 12);              // open, last day
}

void TstListQueries::openTicketRule()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    addRuleTickets(f);
    zd::test::StatementCapture capture;
    const ListResult result = ListOpenTickets(f.state(), QStringLiteral("00012-BOULANGERIE"));
    QCOMPARE(result.status, ListResult::Ok);
    QCOMPARE(result.nodeTexts, (QStringList{QStringLiteral("107 -((00000007)-15/03/2021 )"),
                                            QStringLiteral("101 -((00000001)-05/03/2021 )")}));
    QCOMPARE(capture.statements(), QStringList{OpenTicketsSql(12, QStringLiteral("DESC"))});
}

void TstListQueries::openTicketRuleInPeriod()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    addRuleTickets(f);
    f.addTicket(8, 108, QStringLiteral("2021-03-16 00:00:00.000"), 12);  // the day after
    f.addTicket(9, 109, QStringLiteral("2021-02-28 23:59:59.000"), 12);  // the day before
    f.state().SortDirection = QStringLiteral("ASC");

    const ListResult result = ListOpenTicketsInPeriod(f.state(), QStringLiteral("00012-BOULANGERIE"),
                                                      QDate(2021, 3, 1), QDate(2021, 3, 15));
    QCOMPARE(result.status, ListResult::Ok);
    // The 18:00 ticket of the last day is in; the invoiced one stays out.
    QCOMPARE(result.nodeTexts, (QStringList{QStringLiteral("101 -((00000001)-05/03/2021 )"),
                                            QStringLiteral("107 -((00000007)-15/03/2021 )")}));

    const ListResult oneDay = ListOpenTicketsInPeriod(f.state(), QStringLiteral("00012-B"),
                                                      QDate(2021, 3, 5), QDate(2021, 3, 5));
    QCOMPARE(oneDay.nodeTexts, QStringList{QStringLiteral("101 -((00000001)-05/03/2021 )")});
}

void TstListQueries::orderWithinTipodocumento()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.addTicket(11, 5, QStringLiteral("2021-03-01 09:00:00.000"), 3, 2);
    f.addTicket(12, 9, QStringLiteral("2021-03-02 09:00:00.000"), 3, 2);
    f.addTicket(13, 1, QStringLiteral("2021-03-03 09:00:00.000"), 3, 1);
    f.addTicket(14, 7, QStringLiteral("2021-03-04 09:00:00.000"), 3, 1);
    // Same number twice: fecha ascending decides, whatever the direction.
    f.addTicket(15, 7, QStringLiteral("2021-03-01 08:00:00.000"), 3, 1);

    auto numbers = [&](const QString &direction) {
        f.state().SortDirection = direction;
        QStringList ids;
        for (const QString &node : ListOpenTickets(f.state(), QStringLiteral("3-X")).nodeTexts)
            ids << node.section(QStringLiteral("(("), 1, 1).left(8).right(2);
        return ids;
    };
    QCOMPARE(numbers(QStringLiteral("DESC")), (QStringList{"15", "14", "13", "12", "11"}));
    QCOMPARE(numbers(QStringLiteral("ASC")), (QStringList{"13", "15", "14", "11", "12"}));
}

void TstListQueries::noCustomerNumber()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.addTicket(1, 1, QStringLiteral("2021-03-05 10:00:00.000"), 0);
    zd::test::StatementCapture capture;
    QCOMPARE(ListOpenTickets(f.state(), QStringLiteral("Clients")).status, ListResult::NoCustomer);
    QCOMPARE(ListOpenTickets(f.state(), QStringLiteral("ANONYME-X")).status, ListResult::NoCustomer);
    QVERIFY(capture.statements().isEmpty());
}

void TstListQueries::queryErrorKeepsNothingHidden()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    QVERIFY(f.exec(QStringLiteral("DROP TABLE documento")));
    const ListResult result = ListOpenTickets(f.state(), QStringLiteral("12-X"));
    QCOMPARE(result.status, ListResult::QueryFailed);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(result.nodeTexts.isEmpty());
}

void TstListQueries::latestOpenTicketCustomer()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    bool ok = false;
    QCOMPARE(LatestOpenTicketCustomer(f.state(), &ok), 0);
    QVERIFY(ok);

    f.addTicket(1, 1, QStringLiteral("2021-03-05 10:00:00.000"), 12);
    f.addTicket(2, 2, QStringLiteral("2021-03-06 10:00:00.000"), 14);
    f.addTicket(3, 3, QStringLiteral("2021-03-07 10:00:00.000"), 0);       // anonymous sale
    f.addTicket(4, 4, QStringLiteral("2021-03-08 10:00:00.863"), 15);      // invoiced
    zd::test::StatementCapture capture;
    QCOMPARE(LatestOpenTicketCustomer(f.state(), &ok), 14);
    QVERIFY(ok);
    QCOMPARE(capture.statements(), QStringList{LatestOpenTicketCustomerSql()});
}

void TstListQueries::customerDocuments()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    QVERIFY(f.createInvoiceStore());
    // The customer's code is 12, its idcliente 40: documents carry idcliente.
    zd::AppState &state = f.state();
    state.Customers.resize(4);
    state.Customers[2].idcliente = 40;
    state.Customers[2].codigo = QStringLiteral("00012");
    state.SelectedCustomerIndex = 2;
    state.SelectedDocumentIndex = 3;
    f.addDocument(QStringLiteral("F000000400001"), 40, QStringLiteral("2021-03-15 18:00:00.000"));
    f.addDocument(QStringLiteral("A000000400001"), 40, QStringLiteral("2021-03-01 09:00:00.000"));
    f.addDocument(QStringLiteral("F000000400002"), 40, QStringLiteral("2021-04-01 09:00:00.000"));
    f.addDocument(QStringLiteral("F000000120001"), 12, QStringLiteral("2021-03-10 09:00:00.000"));

    zd::test::StatementCapture capture;
    ListResult all = ListCustomerDocuments(state);
    QCOMPARE(all.status, ListResult::Ok);
    QCOMPARE(all.nodeTexts, (QStringList{"F000000400002", "F000000400001", "A000000400001"}));
    QCOMPARE(state.SelectedDocumentIndex, qint16(0));
    QCOMPARE(capture.statements(), QStringList{CustomerDocumentsSql(40, QStringLiteral("DESC"))});

    state.SortDirection = QStringLiteral("ASC");
    ListResult march = ListCustomerDocumentsInPeriod(state, QDate(2021, 3, 1), QDate(2021, 3, 15));
    QCOMPARE(march.status, ListResult::Ok);
    QCOMPARE(march.nodeTexts, (QStringList{"A000000400001", "F000000400001"}));

    state.SelectedCustomerIndex = 1;  // the root: no customer
    QCOMPARE(ListCustomerDocuments(state).status, ListResult::NoCustomer);
}

void TstListQueries::customerDocumentsUnreachable()
{
    PosFixture f;  // no invoice store file: like a server that does not answer
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.state().Customers.resize(3);
    f.state().SelectedCustomerIndex = 2;
    QCOMPARE(ListCustomerDocuments(f.state()).status, ListResult::Unreachable);
    QCOMPARE(ListCustomerDocumentsInPeriod(f.state(), QDate(2021, 1, 1), QDate(2021, 1, 2)).status,
             ListResult::Unreachable);
}

QTEST_GUILESS_MAIN(TstListQueries)
#include "tst_listqueries.moc"
