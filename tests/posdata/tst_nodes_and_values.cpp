// Node texts of the ticket and customer trees, and the number texts the
// operator reads (rounding, locale separators).
#include "externo/posdata/PosValues.h"
#include "externo/posdata/TicketNodes.h"
#include "externo/state/AppState.h"

#include <QLocale>
#include <QTest>

using namespace zd::posdata;

class TstNodesAndValues : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void ticketNodeText_data();
    void ticketNodeText();
    void readTicketNode_roundTrip();
    void readTicketNode_rejects_data();
    void readTicketNode_rejects();
    void customerNumber_data();
    void customerNumber();
    void roundHalfEven_data();
    void roundHalfEven();
    void generalNumber_data();
    void generalNumber();
    void fixedNumber_frenchAndPoint();
    void dateOf();
};

void TstNodesAndValues::ticketNodeText_data()
{
    QTest::addColumn<qint64>("numero");
    QTest::addColumn<qint64>("id");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::newRow("padded") << qint64(57) << qint64(1234) << QDate(2021, 3, 5)
                            << QStringLiteral("57 -((00001234)-05/03/2021 )");
    QTest::newRow("eight digits") << qint64(3) << qint64(98765432) << QDate(2020, 12, 31)
                                  << QStringLiteral("3 -((98765432)-31/12/2020 )");
}

void TstNodesAndValues::ticketNodeText()
{
    QFETCH(qint64, numero);
    QFETCH(qint64, id);
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QCOMPARE(TicketNodeText(numero, id, date), text);
}

void TstNodesAndValues::readTicketNode_roundTrip()
{
    zd::AppState state{zd::sql::EngineConfig{}};
    QVERIFY(ReadTicketNode(state, QStringLiteral("57 -((00001234)-05/03/2021 )")));
    QCOMPARE(state.CurrentTicketNumber, 57);
    QCOMPARE(state.CurrentTicketId, 1234);

    // An id longer than eight digits is read whole, never cut to another ticket.
    QVERIFY(ReadTicketNode(state, TicketNodeText(8, 123456789, QDate(2021, 1, 2))));
    QCOMPARE(state.CurrentTicketNumber, 8);
    QCOMPARE(state.CurrentTicketId, 123456789);
}

void TstNodesAndValues::readTicketNode_rejects_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("root text") << QStringLiteral("00012-BOULANGERIE");
    QTest::newRow("empty") << QString();
    QTest::newRow("no id marker") << QStringLiteral("57 -(00001234)-05/03/2021 )");
    QTest::newRow("short id") << QStringLiteral("57 -((1234)-05/03/2021 )");
    QTest::newRow("id not digits") << QStringLiteral("57 -((0000ab34)-05/03/2021 )");
    QTest::newRow("no number") << QStringLiteral("x -((00001234)-05/03/2021 )");
}

void TstNodesAndValues::readTicketNode_rejects()
{
    QFETCH(QString, text);
    zd::AppState state{zd::sql::EngineConfig{}};
    state.CurrentTicketNumber = 7;
    state.CurrentTicketId = 77;
    QVERIFY(!ReadTicketNode(state, text));
    QCOMPARE(state.CurrentTicketNumber, 7);
    QCOMPARE(state.CurrentTicketId, 77);
}

void TstNodesAndValues::customerNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");  // -1: none
    QTest::newRow("leading zeros") << QStringLiteral("00012-BOULANGERIE") << 12;
    QTest::newRow("name with dash") << QStringLiteral("7-JEAN-PIERRE") << 7;
    QTest::newRow("blank before") << QStringLiteral("  45 -X") << 45;
    QTest::newRow("no dash") << QStringLiteral("00012 BOULANGERIE") << -1;
    QTest::newRow("no number") << QStringLiteral("ABC-BOULANGERIE") << -1;
    QTest::newRow("too long") << QStringLiteral("99999999999-X") << -1;
}

void TstNodesAndValues::customerNumber()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    const auto found = CustomerNumberFromNodeText(text);
    if (number < 0)
        QVERIFY(!found.has_value());
    else
        QCOMPARE(found.value(), number);
}

void TstNodesAndValues::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("half down to even") << 0.125 << 0.12;
    QTest::newRow("half up to even") << 0.135 << 0.14;
    QTest::newRow("decimal half stored inexactly") << 2.675 << 2.68;
    QTest::newRow("not a half") << 15.8249 << 15.82;
    QTest::newRow("sum noise") << (0.1 + 0.2) << 0.3;
    QTest::newRow("negative half") << -0.125 << -0.12;
    QTest::newRow("tiny negative") << -0.001 << 0.0;
}

void TstNodesAndValues::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(RoundHalfEven2(value), rounded);
    QVERIFY(!std::signbit(RoundHalfEven2(-0.001)));
}

void TstNodesAndValues::generalNumber_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("fr one decimal") << "fr_FR" << 12.5 << "12,5";
    QTest::newRow("fr whole") << "fr_FR" << 12.0 << "12";
    QTest::newRow("fr no grouping") << "fr_FR" << 1234567.25 << "1234567,25";
    QTest::newRow("fr fifteen digits") << "fr_FR" << (0.1 + 0.2) << "0,3";
    QTest::newRow("point") << "en_US" << 15.82 << "15.82";
    QTest::newRow("point no grouping") << "en_US" << 1234.5 << "1234.5";
    QTest::newRow("minus zero") << "fr_FR" << -0.0 << "0";
}

void TstNodesAndValues::generalNumber()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(GeneralNumberText(value), text);
}

void TstNodesAndValues::fixedNumber_frenchAndPoint()
{
    QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
    QCOMPARE(FixedNumberText(1.25, 3), QStringLiteral("1,250"));
    QCOMPARE(FixedNumberText(9.5, 2), QStringLiteral("9,50"));
    QCOMPARE(FixedNumberText(12345.5, 2), QStringLiteral("12345,50"));
    QCOMPARE(FixedNumberText(-0.001, 2), QStringLiteral("0,00"));
    // Halves of the decimal value go away from zero, whatever the binary holds.
    QCOMPARE(FixedNumberText(1.0005, 3), QStringLiteral("1,001"));
    QCOMPARE(FixedNumberText(2.675, 2), QStringLiteral("2,68"));
    QCOMPARE(FixedNumberText(-2.675, 2), QStringLiteral("-2,68"));
    QCOMPARE(FixedNumberText(0.3334, 2), QStringLiteral("0,33"));
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    QCOMPARE(FixedNumberText(3, 3), QStringLiteral("3.000"));
    QCOMPARE(FixedNumberText(-2.5, 2), QStringLiteral("-2.50"));
}

void TstNodesAndValues::dateOf()
{
    QCOMPARE(DateOf(QStringLiteral("2021-03-05 10:15:42.863")).value(), QDate(2021, 3, 5));
    QCOMPARE(DateOf(QDateTime(QDate(2021, 3, 5), QTime(23, 59))).value(), QDate(2021, 3, 5));
    QVERIFY(!DateOf(QVariant()).has_value());
    QVERIFY(!DateOf(QStringLiteral("05/03/2021")).has_value());
    // Texts read by hand give what the format parse of their first ten
    // characters gives: leap days, days and months out of range, year 1,
    // blanks, other separators, digits of another script, short texts.
    for (const char *text : {"2024-02-29 00:00:00.000", "2023-02-29 00:00:00.000", "2021-04-31", "2021-13-01",
                             "2021-00-10", "2021-01-00", "0000-01-01", "0001-01-01", "9999-12-31 23:59:59.997",
                             "  2021-03-05 10:15:42.000  ", "2021-3-05", "2021/03/05", "20210305", "2021-03-0",
                             "2021-03-05T10:15", "+021-03-05", "2021-03-5 ", "abcd-ef-gh", "\u0662021-03-05"}) {
        const QString value = QString::fromUtf8(text);
        const QDate parsed = QDate::fromString(value.trimmed().left(10), QStringLiteral("yyyy-MM-dd"));
        const std::optional<QDate> expected = parsed.isValid() ? std::optional<QDate>(parsed) : std::nullopt;
        QCOMPARE(DateOf(value), expected);
    }
}

QTEST_GUILESS_MAIN(TstNodesAndValues)
#include "tst_nodes_and_values.moc"
