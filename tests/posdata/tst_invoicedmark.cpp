// Marking tickets invoiced and giving them back, on a real point-of-sale file.
#include "externo/posdata/InvoicedMark.h"
#include "externo/posdata/ListQueries.h"
#include "posdata_helpers.h"
#include "support/StatementCapture.h"

#include <QTest>

using namespace zd::posdata;
using posdata_test::PosFixture;

class TstInvoicedMark : public QObject {
    Q_OBJECT
private slots:
    void markAndClearRoundTrip();
    void nothingChosenSendsNothing();
    void missingTicketIsSkipped();
    void clearSkipsIdsThatAreNotDigits();
    void markInsideCallersTransaction();
    void markOnlyWhileOpen_data();
    void markOnlyWhileOpen();
    void databaseErrorIsReported();
};

static QString fechaOf(PosFixture &f, int id)
{
    return f.scalar(QStringLiteral("SELECT fecha FROM documento WHERE iddocumento=%1").arg(id));
}

static QStringList line(const QString &idExterno)
{
    return {"1", "57", "100", "PAIN", "1,000", "1,00", "0,00", "1,00", idExterno};
}

void TstInvoicedMark::markAndClearRoundTrip()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.addTicket(1234, 57, QStringLiteral("2021-03-05 10:15:42.000"), 12);
    f.addTicket(1235, 58, QStringLiteral("2021-03-05 11:00:00.000"), 12);

    zd::test::StatementCapture capture;
    QVERIFY(MarkSelectedTicketsInvoiced(f.state(), {1234}));
    QCOMPARE(capture.statements(),
             (QStringList{"update dbo.documento set fecha=(fecha+0.00001) where iddocumento=1234 and "
                          "SUBSTRING(convert(varchar(23),fecha,121),21,3)='000'"}));
    QCOMPARE(fechaOf(f, 1234), QStringLiteral("2021-03-05 10:15:42.863"));
    QCOMPARE(fechaOf(f, 1235), QStringLiteral("2021-03-05 11:00:00.000"));
    // A marked ticket is offered by no list, even inside its period.
    QCOMPARE(ListOpenTickets(f.state(), QStringLiteral("12-X")).nodeTexts.size(), 1);
    QCOMPARE(ListOpenTicketsInPeriod(f.state(), QStringLiteral("12-X"), QDate(2021, 3, 5), QDate(2021, 3, 5))
                 .nodeTexts.size(),
             1);

    // Two lines of the same ticket: the second statement changes nothing.
    capture.clear();
    QVERIFY(ClearInvoicedMark(f.state(), {line(QStringLiteral(" 1234 ")), line(QStringLiteral("1234"))}));
    const QString clear = QStringLiteral(
        "update dbo.documento set fecha=convert(DateTime, SUBSTRING(convert(VarChar(23), Fecha, 121), 1, 19), "
        "121) Where iddocumento = 1234 and SUBSTRING(convert(varchar(23),fecha,121),21,3)<>'000'");
    QCOMPARE(capture.statements(), (QStringList{clear, clear}));
    QCOMPARE(fechaOf(f, 1234), QStringLiteral("2021-03-05 10:15:42.000"));
    QCOMPARE(ListOpenTickets(f.state(), QStringLiteral("12-X")).nodeTexts.size(), 2);

    // Clearing an open ticket leaves it as it is.
    QVERIFY(ClearInvoicedMark(f.state(), {line(QStringLiteral("1235"))}));
    QCOMPARE(fechaOf(f, 1235), QStringLiteral("2021-03-05 11:00:00.000"));
}

void TstInvoicedMark::nothingChosenSendsNothing()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    zd::test::StatementCapture capture;
    QVERIFY(MarkSelectedTicketsInvoiced(f.state(), {}));
    QVERIFY(ClearInvoicedMark(f.state(), {}));
    QVERIFY(capture.statements().isEmpty());
}

void TstInvoicedMark::missingTicketIsSkipped()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.addTicket(10, 1, QStringLiteral("2021-03-05 10:00:00.000"), 12);
    zd::test::StatementCapture capture;
    QVERIFY(MarkSelectedTicketsInvoiced(f.state(), {99, 10}));
    QCOMPARE(capture.statements(),
             (QStringList{MarkTicketSql(10), MarkTicketSql(99), "Select * from dbo.documento where iddocumento=99"}));
    QCOMPARE(fechaOf(f, 10), QStringLiteral("2021-03-05 10:00:00.863"));
}

void TstInvoicedMark::clearSkipsIdsThatAreNotDigits()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.addTicket(5, 1, QStringLiteral("2021-03-05 10:00:00.863"), 12);
    f.addTicket(6, 2, QStringLiteral("2021-03-05 10:00:01.863"), 12);
    zd::test::StatementCapture capture;
    const zd::LineRecordSet lines{line(QStringLiteral("5 or 1=1")), line(QStringLiteral("")),
                                  line(QStringLiteral("-6")), QStringList{"1", "2"}, line(QStringLiteral("6"))};
    QVERIFY(ClearInvoicedMark(f.state(), lines));
    QCOMPARE(capture.statements().size(), 1);
    QVERIFY(capture.statements().constFirst().contains(QStringLiteral("iddocumento = 6 and")));
    QCOMPARE(fechaOf(f, 5), QStringLiteral("2021-03-05 10:00:00.863"));
    QCOMPARE(fechaOf(f, 6), QStringLiteral("2021-03-05 10:00:01.000"));
}

void TstInvoicedMark::markInsideCallersTransaction()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.addTicket(1, 1, QStringLiteral("2021-03-05 10:00:00.000"), 12);
    f.addTicket(2, 2, QStringLiteral("2021-03-05 10:00:05.000"), 12);
    zd::sql::Connection &pos = *f.state().PosConnection;
    QVERIFY(pos.beginTransaction());
    QVERIFY(MarkSelectedTicketsInvoiced(f.state(), {1, 2}));
    QVERIFY(pos.rollback());  // the caller's document failed: nothing stays marked
    QCOMPARE(fechaOf(f, 1), QStringLiteral("2021-03-05 10:00:00.000"));
    QCOMPARE(fechaOf(f, 2), QStringLiteral("2021-03-05 10:00:05.000"));
}

void TstInvoicedMark::databaseErrorIsReported()
{
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    QVERIFY(f.exec(QStringLiteral("DROP TABLE documento")));
    QVERIFY(!MarkSelectedTicketsInvoiced(f.state(), {1}));
    QVERIFY(!ClearInvoicedMark(f.state(), {line(QStringLiteral("1"))}));
    f.state().PosConnection->close();
    QVERIFY(!MarkSelectedTicketsInvoiced(f.state(), {1}));
}

// Another back office marked a ticket meanwhile: it is not marked again
// (its second never moves) and the marking stops, naming it; the caller
// rolls back what was marked before it.
void TstInvoicedMark::markOnlyWhileOpen_data()
{
    QTest::addColumn<QString>("fecha2");     // ticket 2 as the other office left it
    QTest::addColumn<bool>("marked");
    QTest::addColumn<int>("taken");
    QTest::newRow("open") << "2021-03-05 10:00:05.000" << true << 0;
    QTest::newRow("marked elsewhere") << "2021-03-05 10:00:05.863" << false << 2;
    QTest::newRow("any milliseconds") << "2021-03-05 10:00:05.003" << false << 2;
}

void TstInvoicedMark::markOnlyWhileOpen()
{
    QFETCH(QString, fecha2);
    QFETCH(bool, marked);
    QFETCH(int, taken);
    PosFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error()));
    f.addTicket(1, 1, QStringLiteral("2021-03-05 10:00:00.000"), 12);
    f.addTicket(2, 2, fecha2, 12);
    f.addTicket(3, 3, QStringLiteral("2021-03-05 10:00:09.000"), 12);
    zd::sql::Connection &pos = *f.state().PosConnection;
    QVERIFY(pos.beginTransaction());
    qint32 takenId = -1;
    QCOMPARE(MarkSelectedTicketsInvoiced(f.state(), {3, 2, 1}, &takenId), marked);
    QCOMPARE(takenId, taken);
    QVERIFY(marked ? pos.commit() : pos.rollback());
    QCOMPARE(fechaOf(f, 1), QString(marked ? "2021-03-05 10:00:00.863" : "2021-03-05 10:00:00.000"));
    QCOMPARE(fechaOf(f, 2), marked ? QStringLiteral("2021-03-05 10:00:05.863") : fecha2);
    QCOMPARE(fechaOf(f, 3), QString(marked ? "2021-03-05 10:00:09.863" : "2021-03-05 10:00:09.000"));
}

QTEST_GUILESS_MAIN(TstInvoicedMark)
#include "tst_invoicedmark.moc"
