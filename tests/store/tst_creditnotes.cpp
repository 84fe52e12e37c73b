// Credit notes: an invoice corrected by an "avoir" that names it. Its
// tickets come back when the invoice held them itself, stay with the
// delivery note otherwise; a credit note is never issued twice or for
// anything but an invoice; the books stay consistent throughout.
#include "store_helpers.h"

#include "externo/sql/ConnectionStrings.h"
#include "externo/store/Cancellation.h"
#include "externo/store/CreditNotes.h"
#include "externo/store/Facturas.h"
#include "externo/store/Reconciliation.h"

#include <QLocale>
#include <QTest>

using namespace zd;
using namespace zd::test;

Q_DECLARE_METATYPE(zd::CreditRefusal)

namespace {

const QString kOpen = QStringLiteral("2013-05-14 10:15:42.000");
const QString kMarked = QStringLiteral("2013-05-14 10:15:42.863");

// Header and lines of a stored document, without the columns that name it.
QVector<QVariantList> content(StoreFixture &f, const QString &id)
{
    QVector<QVariantList> rows = StoreFixture::rows(f.storeFile(), QStringLiteral(
        "SELECT IdCliente, IdFiscal, IdFiscalCliente, totalbruto, totalimpuestos, TotalNeto, Impuesto1Des, "
        "Impuesto1Por, TotalImpuesto1, totalbase1 FROM facturas WHERE IdDocumento='%1'").arg(id));
    rows += StoreFixture::rows(f.storeFile(), QStringLiteral(
        "SELECT IdExterno, numerodetique, codigo, descripcion, cantidad, precio, descuento, importe FROM Documento "
        "WHERE IdDocumento='%1' ORDER BY rowid").arg(id));
    return rows;
}

Reconciliation reconcile(StoreFixture &f)
{
    auto store = f.state().newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return {};
    return ReconcileTickets(*store, *f.state().PosConnection);
}

} // namespace

class TstCreditNotes : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    // A ticket invoiced to the wrong customer: credited, its customer
    // corrected at the checkout, invoiced to the right one. It ends in the
    // second invoice only; the credit note repeats the first invoice.
    void wrongCustomerCorrected()
    {
        StoreFixture f;
        f.createStore();
        f.createPos();
        f.addTicket(101);
        f.setTaxTypes(1);
        AppState &s = f.state();
        const QString first = IssueDocument(s, oneLinePerTicket({101}), 1, {101});
        QCOMPARE(first, QStringLiteral("F011300250001"));
        CreditRefusal refusal;
        const QString credit = IssueCreditNote(s, first, &refusal);
        QCOMPARE(credit, QStringLiteral("V011300250001"));
        QCOMPARE(refusal, CreditRefusal::None);
        QCOMPARE(f.ticketFecha(101), kOpen);
        QCOMPARE(content(f, credit), content(f, first));
        QCOMPARE(StoreFixture::rows(f.storeFile(), QStringLiteral(
                     "SELECT TipoDocumento, FacturaRectificada, ProcedeAlbaran IS NULL, NumCopia FROM facturas "
                     "WHERE IdDocumento='V011300250001'")),
                 (QVector<QVariantList>{{qlonglong(2), first, qlonglong(1), qlonglong(0)}}));

        s.Customers[3].idcliente = 26;
        s.SelectedCustomerIndex = 3;
        f.setTaxTypes(1);
        QCOMPARE(IssueDocument(s, oneLinePerTicket({101}), 1, {101}), QStringLiteral("F011300260001"));
        QCOMPARE(f.ticketFecha(101), kMarked);
        const Reconciliation r = reconcile(f);
        QVERIFY(r.ok);
        QVERIFY(r.ticketsInTwoDocuments.isEmpty() && r.markedInNoDocument.isEmpty()
                && r.documentsWithOpenTickets.isEmpty());
        QVERIFY(StoreFixture::rows(f.storeFile(), QStringLiteral("SELECT * FROM MarcasPendientes")).isEmpty());
    }

    // An invoice made from a delivery note: crediting it leaves the tickets
    // marked with the note, which can then be invoiced again, or cancelled.
    void invoiceFromANoteCredited_data()
    {
        QTest::addColumn<bool>("cancelNote");
        QTest::newRow("invoiced again") << false;
        QTest::newRow("cancelled") << true;
    }
    void invoiceFromANoteCredited()
    {
        QFETCH(bool, cancelNote);
        StoreFixture f;
        f.createStore();
        f.createPos();
        f.addTicket(201);
        f.addTicket(202);
        AppState &s = f.state();
        s.SelectionBase = 6.3;
        const QString note = IssueDocument(s, oneLinePerTicket({201, 202}), 0, {201, 202});
        s.SourceDeliveryNote = note;
        const QString invoice = IssueDocument(s, oneLinePerTicket({201, 202}), 1, {});
        QCOMPARE(FindInvoiceOfDeliveryNote(s, note), invoice);
        CreditRefusal refusal;
        QCOMPARE(IssueCreditNote(s, invoice, &refusal), QStringLiteral("V011300250001"));
        QCOMPARE(f.ticketFecha(201), kMarked);
        QCOMPARE(FindInvoiceOfDeliveryNote(s, note), QString());
        QVERIFY(reconcile(f).ticketsInTwoDocuments.isEmpty());
        if (cancelNote) {
            LineRecordSet lines;
            QCOMPARE(LoadDocument(s, note, &lines), QStringLiteral("BBBBBBBB"));
            QCOMPARE(CancelDeliveryNote(s, note, lines), CancelOutcome::Cancelled);
            QCOMPARE(f.ticketFecha(201), kOpen);
        } else {
            s.SourceDeliveryNote = note;
            const QString again = IssueDocument(s, oneLinePerTicket({201, 202}), 1, {});
            QCOMPARE(again, QStringLiteral("F011300250002"));
            QCOMPARE(FindInvoiceOfDeliveryNote(s, note), again);
            QCOMPARE(f.ticketFecha(201), kMarked);
        }
        const Reconciliation r = reconcile(f);
        QVERIFY(r.ok && r.ticketsInTwoDocuments.isEmpty() && r.markedInNoDocument.isEmpty()
                && r.documentsWithOpenTickets.isEmpty());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<CreditRefusal>("refusal");
        QTest::newRow("credited twice") << "invoice" << CreditRefusal::AlreadyCredited;
        QTest::newRow("a credit note") << "credit" << CreditRefusal::NotAnInvoice;
        QTest::newRow("a delivery note") << "note" << CreditRefusal::NotAnInvoice;
        QTest::newRow("nothing stored") << "F011399990001" << CreditRefusal::NotAnInvoice;
    }
    void refusals()
    {
        QFETCH(QString, which);
        QFETCH(CreditRefusal, refusal);
        StoreFixture f;
        f.createStore();
        f.createPos();
        for (int t = 301; t <= 303; ++t)
            f.addTicket(t);
        AppState &s = f.state();
        s.SelectionBase = 3;
        const QString invoice = IssueDocument(s, oneLinePerTicket({301}), 1, {301});
        const QString note = IssueDocument(s, oneLinePerTicket({302}), 0, {302});
        const QString credit = IssueCreditNote(s, invoice, nullptr);
        const QString id = which == QLatin1String("invoice") ? invoice
                         : which == QLatin1String("credit")  ? credit
                         : which == QLatin1String("note")    ? note
                                                             : which;
        const auto before = StoreFixture::rows(f.storeFile(), QStringLiteral("SELECT * FROM facturas"));
        const QString before301 = f.ticketFecha(301);
        CreditRefusal why = CreditRefusal::None;
        QString named;
        QCOMPARE(IssueCreditNote(s, id, &why, nullptr, &named), QStringLiteral("AAAAAAAA"));
        QCOMPARE(why, refusal);
        QCOMPARE(named, refusal == CreditRefusal::AlreadyCredited ? credit : QString());
        QCOMPARE(StoreFixture::rows(f.storeFile(), QStringLiteral("SELECT * FROM facturas")), before);
        QCOMPARE(f.ticketFecha(301), before301);
        QCOMPARE(f.ticketFecha(302), kMarked);
    }
};

QTEST_GUILESS_MAIN(TstCreditNotes)
#include "tst_creditnotes.moc"
