// Reading the numbers of the line list back: the workstation's decimal
// separator or the point, nothing else, whatever the C library's locale.
#include "externo/store/StoreNumbers.h"

#include <QLocale>
#include <QTest>
#include <clocale>

using namespace zd;

class TstListNumbers : public QObject {
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("fr comma") << "fr_FR" << "1,500" << true << 1.5;
        QTest::newRow("fr point") << "fr_FR" << "1.500" << true << 1.5;
        QTest::newRow("fr negative") << "fr_FR" << "-0,25" << true << -0.25;
        QTest::newRow("fr blanks around") << "fr_FR" << " 31,13 " << true << 31.13;
        QTest::newRow("fr group blank") << "fr_FR" << "1 500,00" << false << 0.0;
        QTest::newRow("C point") << "C" << "24.90" << true << 24.9;
        QTest::newRow("C comma is a group") << "C" << "1,500" << false << 0.0;
        QTest::newRow("whole") << "C" << "57" << true << 57.0;
        QTest::newRow("letters") << "fr_FR" << "abc" << false << 0.0;
        QTest::newRow("point alone") << "C" << "." << false << 0.0;
        QTest::newRow("trailing point via locale") << "C" << "1." << true << 1.0;
        QTest::newRow("two points") << "C" << "1.2.3" << false << 0.0;
        QTest::newRow("minus alone") << "C" << "-" << false << 0.0;
        QTest::newRow("empty") << "C" << "" << false << 0.0;
        QTest::newRow("exponent via locale") << "C" << "1e3" << true << 1000.0;
    }
    void read()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        // The C library's numeric locale must not matter.
        std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
        QLocale::setDefault(QLocale(locale));
        const ListNumberReader reader;
        const auto number = reader.number(text);
        QCOMPARE(number.has_value(), valid);
        if (valid)
            QCOMPARE(*number, value);
        std::setlocale(LC_NUMERIC, "C");
        QLocale::setDefault(QLocale::c());
    }

    void integers()
    {
        const ListNumberReader reader;
        QCOMPARE(reader.integer("1234").value_or(-1), 1234);
        QVERIFY(!reader.integer("12.5"));
        QVERIFY(!reader.integer("99999999999"));
    }
};

QTEST_GUILESS_MAIN(TstListNumbers)
#include "tst_listnumbers.moc"
