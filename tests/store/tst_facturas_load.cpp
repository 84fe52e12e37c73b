#include "store_helpers.h"

#include "externo/store/Facturas.h"

#include <QLocale>
#include <QTest>

using namespace zd;
using namespace zd::test;

namespace {

LineRecordSet sampleLines()
{
    return {
        line(1, 57, 1001, QStringLiteral("Pommes"), QStringLiteral("1.5"), QStringLiteral("2"),
             QStringLiteral("0"), QStringLiteral("3"), 101),
        line(2, 58, 1002, QStringLiteral("Poires"), QStringLiteral("0.333"), QStringLiteral("4.255"),
             QStringLiteral("-0.5"), QStringLiteral("12.5"), 102),
        line(3, 58, 1003, QStringLiteral("Huile"), QStringLiteral("1234.5"), QStringLiteral("0.004"),
             QStringLiteral("0"), QStringLiteral("1234.5678"), 102),
    };
}

} // namespace

class TestFacturasLoad : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    // The stored document replaces the state's company, customer, currency,
    // totals and tax lines, and comes back as ListView1 shows it.
    void loadPutsTheDocumentBack()
    {
        StoreFixture f;
        f.createStore();
        AppState &s = f.state();
        const QString id = IssueDocument(s, sampleLines(), 1, {});
        QCOMPARE(id, QStringLiteral("F011300250001"));

        s.Company.idfiscal = QStringLiteral("changed");
        s.Customers[2].nif = QStringLiteral("changed");
        s.CurrencyInfo = CurrencyRecord{};
        s.SelectionBase = s.SelectionTax = 0;
        s.TaxRates[1] = TaxRateEntry{};
        s.TaxRates[1].TaxTypeId = 77;

        StatementCapture log;
        LineRecordSet lines;
        QCOMPARE(LoadDocument(s, id, &lines), QStringLiteral("BBBBBBBB"));
        QCOMPARE(log.statements(), (QStringList{
            QStringLiteral("Select * from dbo.facturas where iddocumento='F011300250001'"),
            QStringLiteral("Select * from dbo.documento where iddocumento='F011300250001'")}));
        QCOMPARE(s.CopyNumber, 1);
        QCOMPARE(s.Company.idempresa, 1);
        QCOMPARE(s.Company.idfiscal, QStringLiteral("B12345678"));
        QCOMPARE(s.Customers[2].idcliente, 25);
        QCOMPARE(s.Customers[2].nif, QStringLiteral("X1234567L"));
        QCOMPARE(s.CurrencyInfo.descripcion, QStringLiteral("Euro"));
        QCOMPARE(s.CurrencyInfo.decimales, 2);
        QCOMPARE(s.CurrencyInfo.iniciales, QStringLiteral("EUR"));
        QCOMPARE(s.SelectionBase, 30.0);
        QCOMPARE(s.SelectionTax, 3.0);
        QCOMPARE(s.TaxRates[1].Description, QStringLiteral("TVA 2"));
        QCOMPARE(s.TaxRates[1].Percentage, 10.0);
        QCOMPARE(s.TaxRates[1].TaxTotal, 2.0);
        QCOMPARE(s.TaxRates[1].BaseTotal, 20.0);
        QCOMPARE(s.TaxRates[1].TaxTypeId, 77);

        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], (QStringList{"1", "57", "1001", "Pommes", "1.500", "2.00", "0.00", "3", "101"}));
        QCOMPARE(lines[1], (QStringList{"2", "58", "1002", "Poires", "0.333", "4.26", "-0.50", "12.5", "102"}));
        QCOMPARE(lines[2], (QStringList{"3", "58", "1003", "Huile", "1234.500", "0.00", "0.00", "1234.5678", "102"}));
    }

    void formatsFollowTheLocale()
    {
        StoreFixture f;
        f.createStore();
        const QString id = IssueDocument(f.state(), sampleLines(), 0, {});
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        LineRecordSet lines;
        QCOMPARE(LoadDocument(f.state(), id, &lines), QStringLiteral("BBBBBBBB"));
        QCOMPARE(lines[0].mid(4, 4), (QStringList{"1,500", "2,00", "0,00", "3"}));
        QCOMPARE(lines[2].mid(4, 4), (QStringList{"1234,500", "0,00", "0,00", "1234,5678"}));
    }

    void descriptionsAreTrimmed()
    {
        StoreFixture f;
        f.createStore();
        LineRecordSet in = sampleLines();
        in[0][3] = QStringLiteral("  Pommes   ");
        const QString id = IssueDocument(f.state(), in, 1, {});
        LineRecordSet lines;
        QCOMPARE(LoadDocument(f.state(), id, &lines), QStringLiteral("BBBBBBBB"));
        QCOMPARE(lines[0][3], QStringLiteral("Pommes"));
    }

    // NumCopia 0 -> copy 1 -> stored 1 -> next load gives 2.
    void copyCounter()
    {
        StoreFixture f;
        f.createStore();
        AppState &s = f.state();
        const QString id = IssueDocument(s, sampleLines(), 1, {});
        LineRecordSet lines;
        QCOMPARE(LoadDocument(s, id, &lines), QStringLiteral("BBBBBBBB"));
        QCOMPARE(s.CopyNumber, 1);
        StatementCapture log;
        QVERIFY(AdvanceCopyCounter(s, id));
        // The copy and its record in the books, in one transaction.
        const QStringList sent = log.statements();
        QCOMPARE(sent.first(), QStringLiteral("update dbo.facturas set numcopia=1 where iddocumento='F011300250001'"));
        QCOMPARE(sent.filter(QStringLiteral("INSERT INTO dbo.Registro")).size(), 1);
        QCOMPARE(StoreFixture::firstRow(f.storeFile(), QStringLiteral("SELECT Texto FROM Registro WHERE Evento='copy'"))
                     .value(QStringLiteral("Texto")).toString(),
                 QStringLiteral("IdDocumento=F011300250001\nNumCopia=1\n"));
        QCOMPARE(StoreFixture::firstRow(f.storeFile(), QStringLiteral("SELECT NumCopia FROM facturas"))
                     .value("NumCopia").toInt(), 1);
        QCOMPARE(LoadDocument(s, id, &lines), QStringLiteral("BBBBBBBB"));
        QCOMPARE(s.CopyNumber, 2);
    }

    void unknownIdChangesNothing()
    {
        StoreFixture f;
        f.createStore();
        AppState &s = f.state();
        IssueDocument(s, sampleLines(), 1, {});
        s.CopyNumber = 7;
        s.SelectionBase = 99;
        LineRecordSet lines;
        QCOMPARE(LoadDocument(s, QStringLiteral("F999999999999"), &lines), QStringLiteral("BBBBBBBB"));
        QVERIFY(lines.isEmpty());
        QCOMPARE(s.CopyNumber, 7);
        QCOMPARE(s.SelectionBase, 99.0);
        // A quote cannot widen the query to other documents.
        QCOMPARE(LoadDocument(s, QStringLiteral("x' or '1'='1"), &lines), QStringLiteral("BBBBBBBB"));
        QVERIFY(lines.isEmpty());
        QCOMPARE(s.CopyNumber, 7);
    }

    // A document that used two rates, loaded while five are known: the unused
    // tax lines are NULL and load as empty.
    void unusedTaxLinesLoadEmpty()
    {
        StoreFixture f;
        f.createStore();
        AppState &s = f.state();
        const QString id = IssueDocument(s, sampleLines(), 1, {});
        f.setTaxTypes(5);
        LineRecordSet lines;
        QCOMPARE(LoadDocument(s, id, &lines), QStringLiteral("BBBBBBBB"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(s.TaxRates[1].Description, QStringLiteral("TVA 2"));
        for (int i = 2; i < 5; ++i) {
            QVERIFY(s.TaxRates[i].Description.isEmpty());
            QCOMPARE(s.TaxRates[i].BaseTotal, 0.0);
            QCOMPARE(s.TaxRates[i].TaxTotal, 0.0);
            QCOMPARE(s.TaxRates[i].Percentage, 0.0);
        }
    }

    void storeUnreachable()
    {
        StoreFixture f;
        AppState &s = f.state();
        s.CopyNumber = 3;
        LineRecordSet lines;
        QCOMPARE(LoadDocument(s, QStringLiteral("F011300250001"), &lines), QStringLiteral("AAAAAAAA"));
        QCOMPARE(s.CopyNumber, 3);
        QVERIFY(!AdvanceCopyCounter(s, QStringLiteral("F011300250001")));
        bool ok = true;
        QCOMPARE(FindInvoiceOfDeliveryNote(s, QStringLiteral("A011300250001"), &ok), QString());
        QVERIFY(!ok);
    }

    void invoiceOfDeliveryNote()
    {
        StoreFixture f;
        f.createStore();
        AppState &s = f.state();
        const QString note = IssueDocument(s, sampleLines(), 0, {});
        const QString other = IssueDocument(s, sampleLines(), 0, {});
        bool ok = false;
        QCOMPARE(FindInvoiceOfDeliveryNote(s, note, &ok), QString());
        QVERIFY(ok);

        s.SourceDeliveryNote = note;
        const QString invoice = IssueDocument(s, sampleLines(), 1, {});
        QCOMPARE(invoice, QStringLiteral("F011300250001"));
        StatementCapture log;
        QCOMPARE(FindInvoiceOfDeliveryNote(s, note, &ok), invoice);
        QVERIFY(ok);
        // The invoice stands for the note unless a credit note corrects it.
        QCOMPARE(log.statements(),
                 (QStringList{QStringLiteral("Select * from dbo.facturas where procedealbaran='A011300250001'"),
                              QStringLiteral("Select iddocumento from dbo.facturas where "
                                             "facturarectificada='F011300250001'")}));
        QCOMPARE(FindInvoiceOfDeliveryNote(s, other), QString());
    }
};

QTEST_GUILESS_MAIN(TestFacturasLoad)
#include "tst_facturas_load.moc"
