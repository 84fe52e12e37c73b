// The invoice data on their own: the net allocation rule, the XML against
// the official schema, and the checker finding sums that do not add up.
#include "externo/archive/FacturXSums.h"
#include "externo/archive/FacturXml.h"
#include "externo/archive/LineNetAllocation.h"
#include "externo/archive/XsdValidation.h"

#include <QTest>
#include <numeric>

using namespace zd::archive;

Q_DECLARE_METATYPE(QVector<qint64>)

namespace {

const QString kXsd = QStringLiteral(ZD_PROGRAM_DIR "/facturx-xsd/Factur-X_1.07.3_EN16931.xsd");

InvoiceData sampleInvoice()
{
    InvoiceData inv;
    inv.number = "F012100150001";
    inv.issueDate = QDate(2021, 6, 15);
    inv.currencyCode = "EUR";
    inv.seller = {"MAISON AUBERTIN & FILS", "FR 47 512384976", "18 rue des Halles", "49100", "Angers", "FR"};
    inv.buyer = {"CHARCUTERIE <DU> PORT", "512 384 976 00011", "3 rue Saint-Aubin", "49000", "Angers", "FR"};
    inv.taxes = {{"TVA 5,5%", 5.5, 711, 39}, {"TVA 20%", 20, 1444, 289}};
    inv.lines = {{"1", "1001", "Pain de campagne", 3, false, 611, 20367, 0},
                 {"2", "1002", "Rillettes", 0.35, true, 100, 28571, 0},
                 {"3", "2001", "Jambon blanc", 1, false, 1444, 144400, 1}};
    inv.lineTotalCents = inv.taxBasisCents = 2155;
    inv.taxTotalCents = 328;
    inv.grandTotalCents = 2483;
    return inv;
}

} // namespace

class TstFacturXData : public QObject {
    Q_OBJECT
private slots:
    void allocationAddsUpToTheBase_data()
    {
        QTest::addColumn<qint64>("base");
        QTest::addColumn<QVector<qint64>>("amounts");
        QTest::addColumn<QVector<qint64>>("nets");
        QTest::newRow("amounts without VAT stay as they are") << qint64(750) << QVector<qint64>{500, 250}
                                                              << QVector<qint64>{500, 250};
        QTest::newRow("amounts with VAT, largest remainder") << qint64(711) << QVector<qint64>{645, 105}
                                                             << QVector<qint64>{611, 100};
        QTest::newRow("equal remainders: the earlier line") << qint64(100) << QVector<qint64>{1, 1, 1}
                                                             << QVector<qint64>{34, 33, 33};
        QTest::newRow("a returned article") << qint64(948) << QVector<qint64>{1200, -200}
                                            << QVector<qint64>{1138, -190};
        QTest::newRow("a credit note") << qint64(-711) << QVector<qint64>{-645, -105} << QVector<qint64>{-611, -100};
        QTest::newRow("a line of 0") << qint64(1000) << QVector<qint64>{0, 1200} << QVector<qint64>{0, 1000};
        QTest::newRow("amounts adding up to 0") << qint64(5) << QVector<qint64>{100, -100} << QVector<qint64>{5, 0};
        QTest::newRow("large amounts") << qint64(900000000000) << QVector<qint64>{333333333333, 666666666667}
                                       << QVector<qint64>{300000000000, 600000000000};
    }
    void allocationAddsUpToTheBase()
    {
        QFETCH(qint64, base);
        QFETCH(QVector<qint64>, amounts);
        QFETCH(QVector<qint64>, nets);
        const QVector<qint64> got = AllocateLineNets(base, amounts);
        QCOMPARE(got, nets);
        QCOMPARE(std::accumulate(got.begin(), got.end(), qint64(0)), base);
    }

    void xmlIsValidAndItsSumsCheck()
    {
        InvoiceData inv = sampleInvoice();
        inv.deliveryNote = "A012100150003";
        const QByteArray xml = BuildFacturXml(inv);
        QStringList errors;
        QVERIFY2(ValidateAgainstXsd(xml, kXsd, &errors), qPrintable(errors.join('\n') + "\n" + xml));
        FacturXTotals totals;
        QCOMPARE(CheckFacturXSums(xml, &totals), QStringList());
        QCOMPARE(totals.lineCount, 3);
        QCOMPARE(totals.grandTotal, qint64(2483));
        QCOMPARE(totals.despatchAdvice, QString("A012100150003"));
        QVERIFY(xml.contains("<ram:ID schemeID=\"VA\">FR47512384976</ram:ID>"));
        QVERIFY(xml.contains("<ram:ID schemeID=\"0009\">51238497600011</ram:ID>"));
        QVERIFY(xml.contains("<ram:BilledQuantity unitCode=\"KGM\">0.3500</ram:BilledQuantity>"));
        QVERIFY(xml.contains("CHARCUTERIE &lt;DU&gt; PORT"));
    }

    void checkerFindsWhatDoesNotAddUp_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("problem");
        QTest::newRow("a line amount") << "<ram:LineTotalAmount>1.00<" << "<ram:LineTotalAmount>1.01<"
                                       << "LineTotalAmount: stated 21.55, adds up to 21.56";
        QTest::newRow("a rate's tax") << "<ram:CalculatedAmount>2.89<" << "<ram:CalculatedAmount>2.88<"
                                      << "TaxTotalAmount: stated 3.28, adds up to 3.27";
        QTest::newRow("the amount due") << "<ram:DuePayableAmount>24.83<" << "<ram:DuePayableAmount>24.38<"
                                        << "DuePayableAmount: stated 24.38, adds up to 24.83";
        QTest::newRow("sub-cent amount") << "<ram:GrandTotalAmount>24.83<" << "<ram:GrandTotalAmount>24.831<"
                                         << "GrandTotalAmount: \"24.831\" is not an amount in cents";
    }
    void checkerFindsWhatDoesNotAddUp()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, problem);
        QByteArray xml = BuildFacturXml(sampleInvoice());
        QVERIFY(xml.contains(from.toUtf8()));
        xml.replace(from.toUtf8(), to.toUtf8());
        QVERIFY2(CheckFacturXSums(xml).contains(problem), qPrintable(CheckFacturXSums(xml).join('\n')));
    }

    void schemaRefusesAnInvoiceWithoutItsTotals()
    {
        QByteArray xml = BuildFacturXml(sampleInvoice());
        const int from = xml.indexOf("<ram:SpecifiedTradeSettlementHeaderMonetarySummation>");
        const int to = xml.indexOf("</ram:SpecifiedTradeSettlementHeaderMonetarySummation>");
        QVERIFY(from > 0 && to > from);
        xml.remove(from, to - from + int(strlen("</ram:SpecifiedTradeSettlementHeaderMonetarySummation>")));
        QStringList errors;
        QVERIFY(!ValidateAgainstXsd(xml, kXsd, &errors));
        QVERIFY(!errors.isEmpty());
    }
};

QTEST_MAIN(TstFacturXData)
#include "tst_facturxdata.moc"
