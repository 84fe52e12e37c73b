// The invoice data on their own: the net allocation rule, the XML against
// the official schema and both official rule sets, the parties' SIREN and
// SIRET, and the checker finding sums that do not add up.
#include "externo/archive/FacturXSums.h"
#include "externo/archive/FacturXml.h"
#include "externo/archive/FrenchIds.h"
#include "externo/archive/InvoiceDataBuilder.h"
#include "externo/archive/LineNetAllocation.h"
#include "externo/archive/XsdValidation.h"
#include "externo/state/ShopSettings.h"

#include "support/RuleSets.h"

#include <QTest>
#include <numeric>

using namespace zd::archive;

Q_DECLARE_METATYPE(QVector<qint64>)

namespace {

const QString kXsd = QStringLiteral(ZD_PROGRAM_DIR "/facturx-xsd/Factur-X_1.07.3_EN16931.xsd");

InvoiceData sampleInvoice(const QString &buyerId = "443 061 841 00013", const QString &buyerMail = "compta@port.fr")
{
    InvoiceData inv;
    inv.number = "F012100150001";
    inv.issueDate = QDate(2021, 6, 15);
    inv.currencyCode = "EUR";
    inv.seller = {"MAISON AUBERTIN & FILS", "FR 11 512384975", "18 rue des Halles", "49100", "Angers", "FR"};
    inv.buyer = {"CHARCUTERIE <DU> PORT", buyerId, "3 rue Saint-Aubin", "49000", "Angers", CountryOf(buyerId)};
    FillRegistration(inv.seller, {});
    FillRegistration(inv.buyer, buyerMail);
    const zd::ShopSettings settings;
    inv.notes = {{"PMT", settings.RecoveryNote}, {"PMD", settings.PenaltyNote}, {"AAB", settings.DiscountNote}};
    inv.taxes = {{"TVA 5,5%", 5.5, 711, 39}, {"TVA 20%", 20, 1444, 289}};
    inv.lines = {{"1", "1001", "Pain de campagne", 3, false, 611, 20367, 0},
                 {"2", "1002", "Rillettes", 0.35, true, 100, 28571, 0},
                 {"3", "2001", "Jambon blanc", 1, false, 1444, 144400, 1}};
    inv.lineTotalCents = inv.taxBasisCents = 2155;
    inv.taxTotalCents = 328;
    inv.grandTotalCents = 2483;
    return inv;
}

// The writer's documents the rule sets judge, by name, and copies spoilt
// on purpose to prove that each rule set refuses what it should.
QMap<QString, QByteArray> judgedDocuments()
{
    QMap<QString, QByteArray> docs;
    docs["invoice"] = BuildFacturXml(sampleInvoice());
    InvoiceData paid = sampleInvoice();
    paid.businessProcess = "B2";
    paid.prepaidCents = paid.grandTotalCents;
    paid.dueDate = QDate(2021, 6, 2);
    paid.paymentTerms = "Payée en caisse le 02/06/2021";
    docs["paid_at_the_till"] = BuildFacturXml(paid);
    InvoiceData credit = sampleInvoice();
    credit.number = "F012100150002";
    credit.typeCode = 381;
    credit.precedingNumber = "F012100150001";
    credit.precedingDate = QDate(2021, 6, 1);
    docs["credit_note"] = BuildFacturXml(credit);
    credit.precedingNumber.clear();
    docs["spoilt_credit_note_without_its_invoice"] = BuildFacturXml(credit);
    docs["buyer_with_email_only"] = BuildFacturXml(sampleInvoice("", "compta@port.fr"));
    docs["foreign_buyer"] = BuildFacturXml(sampleInvoice("de 123 456 789", "einkauf@beispiel.de"));
    docs["buyer_with_neither"] = BuildFacturXml(sampleInvoice("", ""));
    QByteArray line = docs["invoice"];
    line.replace("<ram:LineTotalAmount>1.00<", "<ram:LineTotalAmount>1.01<");
    docs["spoilt_line_amount"] = line;
    QByteArray siren = docs["invoice"];
    siren.replace("<ram:ID schemeID=\"0002\">512384975</ram:ID>", "");
    docs["spoilt_without_seller_siren"] = siren;
    return docs;
}

} // namespace

class TstFacturXData : public QObject {
    Q_OBJECT
    QMap<QString, zd::test::BothReports> m_reports;

private slots:
    // Both rule sets run once (one Java run each) on every judged document.
    void initTestCase() { m_reports = zd::test::RunBothRuleSets(judgedDocuments()); }

    void ruleSetsJudgeTheWriter_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("en16931Fails");  // empty: passes, no warning
        QTest::addColumn<QStringList>("frenchFails");
        // The validators first: each refuses a spoilt copy of a good invoice.
        QTest::newRow("a line amount changed") << "spoilt_line_amount" << QStringList{"BR-CO-10"} << QStringList();
        QTest::newRow("no seller SIREN") << "spoilt_without_seller_siren" << QStringList()
                                         << QStringList{"BR-FR-10_BT-30"};
        QTest::newRow("credit note without its invoice") << "spoilt_credit_note_without_its_invoice" << QStringList()
                                                         << QStringList{"BR-FR-CO-05_BT-3"};
        QTest::newRow("invoice, B1") << "invoice" << QStringList() << QStringList();
        QTest::newRow("paid at the till, B2") << "paid_at_the_till" << QStringList() << QStringList();
        QTest::newRow("credit note with its invoice") << "credit_note" << QStringList() << QStringList();
        QTest::newRow("buyer without SIREN, with e-mail") << "buyer_with_email_only" << QStringList() << QStringList();
        QTest::newRow("foreign buyer") << "foreign_buyer" << QStringList() << QStringList();
        QTest::newRow("buyer with neither") << "buyer_with_neither" << QStringList() << QStringList{"BR-FR-12_BT-49"};
    }
    void ruleSetsJudgeTheWriter()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, en16931Fails);
        QFETCH(QStringList, frenchFails);
        const zd::test::BothReports &r = m_reports[name];
        for (const zd::test::RuleReport *report : {&r.en16931, &r.french}) {
            QVERIFY2(report->error.isEmpty(), qPrintable(report->error));
            QVERIFY2(report->rootRulesFired > 0, qPrintable(report->describe()));
        }
        // A spoilt copy fails at least the named rules; any other document
        // fails exactly the named ones, with no warning.
        const auto judged = [](const zd::test::RuleReport &report, const QStringList &fails) {
            if (fails.isEmpty())
                return report.failedIds.isEmpty() && report.warnings.isEmpty();
            for (const QString &id : fails)
                if (!report.failedIds.contains(id))
                    return false;
            return true;
        };
        QVERIFY2(judged(r.en16931, en16931Fails), qPrintable(r.en16931.describe()));
        QVERIFY2(judged(r.french, frenchFails), qPrintable(r.french.describe()));
        if (name == "buyer_with_neither")
            QCOMPARE(r.french.failedIds, frenchFails);
        // A foreign VAT number, even typed in lower case, gives the country.
        if (name == "foreign_buyer") {
            const QByteArray xml = judgedDocuments().value(name);
            QVERIFY(xml.contains("<ram:CountryID>DE</ram:CountryID>"));
            QVERIFY(xml.contains("<ram:ID schemeID=\"VA\">DE123456789</ram:ID>"));
        }
    }

    void registrationIsReadAndChecked_data()
    {
        QTest::addColumn<QString>("taxId");
        QTest::addColumn<QString>("siren");
        QTest::addColumn<QString>("siret");
        QTest::addColumn<QString>("vat");
        QTest::addColumn<QString>("problem");  // part of the operator's text; empty: none
        QTest::newRow("VAT number") << "FR 11 512384975" << "512384975" << "" << "FR11512384975" << "";
        QTest::newRow("lower case, dots") << "fr11.512.384.975" << "512384975" << "" << "FR11512384975" << "";
        QTest::newRow("wrong VAT key") << "FR47512384975" << "" << "" << "" << "la clé 47";
        QTest::newRow("VAT number, wrong SIREN digit") << "FR 47 512384976" << "" << "" << "" << "SIREN 512384976";
        QTest::newRow("SIREN") << "512 384 975" << "512384975" << "" << "" << "";
        QTest::newRow("SIREN, wrong check digit") << "512 384 976" << "" << "" << "" << "SIREN 512384976 est faux";
        QTest::newRow("SIRET") << " 443 061 841 00013 " << "443061841" << "44306184100013" << "" << "";
        QTest::newRow("SIRET, wrong check digit") << "44306184100014" << "" << "" << "" << "SIRET 44306184100014";
        QTest::newRow("SIRET of a wrong SIREN") << "51238497600011" << "" << "" << "" << "SIREN 512384976";
        QTest::newRow("post office SIRET (sum of digits)") << "356 000 000 00015" << "356000000" << "35600000000015"
                                                          << "" << "";
        QTest::newRow("VAT number and its SIRET") << "FR11512384975 / 512 384 975 00011" << "512384975"
                                                  << "51238497500011" << "FR11512384975" << "";
        QTest::newRow("a SIRET that is not the SIREN's") << "FR11512384975 / 44306184100013" << "" << "" << ""
                                                         << "SIRET 44306184100013 n'est pas celui du SIREN 512384975";
        QTest::newRow("foreign VAT number") << "DE 123456789" << "" << "" << "" << "";
        QTest::newRow("nothing") << "  " << "" << "" << "" << "aucun identifiant";
        QTest::newRow("something else") << "B12345678" << "" << "" << "" << "ni un SIREN";
        QTest::newRow("French VAT number without SIREN") << "FRXA123456789" << "" << "" << "" << "ne contient pas de SIREN";
    }
    void registrationIsReadAndChecked()
    {
        QFETCH(QString, taxId);
        QFETCH(QString, siren);
        QFETCH(QString, siret);
        QFETCH(QString, vat);
        QFETCH(QString, problem);
        const FrenchRegistration reg = ReadFrenchRegistration(taxId);
        QCOMPARE(reg.siren, siren);
        QCOMPARE(reg.siret, siret);
        QCOMPARE(reg.vatNumber, vat);
        if (problem.isEmpty())
            QCOMPARE(reg.problem, QString());
        else
            QVERIFY2(reg.problem.contains(problem), qPrintable(reg.problem));
        QCOMPARE(reg.foreign, taxId.startsWith("DE"));
    }

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
        QVERIFY(xml.contains("<ram:ID schemeID=\"VA\">FR11512384975</ram:ID>"));
        QVERIFY(xml.contains("<ram:ID schemeID=\"0002\">512384975</ram:ID>"));
        QVERIFY(xml.contains("<ram:GlobalID schemeID=\"0009\">44306184100013</ram:GlobalID>"));
        QVERIFY(xml.contains("<ram:URIID schemeID=\"0225\">443061841</ram:URIID>"));
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
