// The statements that an issue, a cancellation, a credit note, the
// journal's replay, the store's upgrade, the books check and the chain of
// the books (records, verification, totals, export) send, read by a T-SQL
// parser (SQL Server's dialect): the
// texts the embedded engine accepts must also be what SQL Server accepts.
// The counted statements are checked in the batch SQL Server receives.
#include "store_helpers.h"

#include "externo/books/Chain.h"
#include "externo/books/ChainVerify.h"
#include "externo/books/PeriodTotals.h"
#include "externo/books/StartCheck.h"
#include "externo/books/YearExport.h"
#include "externo/posdata/InvoicedMark.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/store/Cancellation.h"
#include "externo/store/CreditNotes.h"
#include "externo/store/StoreSchema.h"
#include "externo/store/Facturas.h"
#include "externo/store/PendingMarks.h"
#include "externo/store/Reconciliation.h"
#include "externo/store/StoreSchema.h"

#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

using namespace zd;
using namespace zd::test;

class TstTsqlGrammar : public QObject {
    Q_OBJECT

private slots:
    void statementsParseAsTsql()
    {
        const QString parser = QStringLiteral(ZD_TSQL_PARSER);
        if (!QFile::exists(parser + QStringLiteral("/package.json")))
            QFAIL(qPrintable(QStringLiteral("the T-SQL parser is not installed in %1 (scripts/install-deps)").arg(parser)));
        QLocale::setDefault(QLocale::c());
        StoreFixture f;
        f.createStore();
        f.createPos();
        for (int t = 101; t <= 104; ++t)
            f.addTicket(t);
        AppState &s = f.state();
        StatementCapture capture;
        s.SelectionBase = 4;
        const LineRecordSet lines{line(1, 1, 1001, QStringLiteral("Pommes"), QStringLiteral("1.000"),
                                       QStringLiteral("2.00"), QStringLiteral("0.00"), QStringLiteral("2.00"), 101),
                                  line(2, 2, 1001, QStringLiteral("L'huile"), QStringLiteral("1.000"),
                                       QStringLiteral("2.00"), QStringLiteral("0.00"), QStringLiteral("2.00"), 102)};
        const QString note = IssueDocument(s, lines, 0, {101, 102});
        LineRecordSet loaded;
        QCOMPARE(LoadDocument(s, note, &loaded), QStringLiteral("BBBBBBBB"));
        QCOMPARE(CancelDeliveryNote(s, note, loaded), CancelOutcome::Cancelled);
        const QString invoice = IssueDocument(s, lines, 1, {101, 102});
        QVERIFY(IssueCreditNote(s, invoice, nullptr).startsWith(QLatin1Char('V')));
        QVERIFY(InvoiceCorrectedBy(s, QStringLiteral("V011300250001")).id == invoice);
        StoreFixture::exec(f.storeFile(), QStringLiteral("INSERT INTO MarcasPendientes VALUES ('X', 103, 'M')"));
        StoreFixture::exec(f.storeFile(), QStringLiteral("INSERT INTO MarcasPendientes VALUES ('X', 104, 'L')"));
        QVERIFY(SettlePendingMarks(s));
        auto store = s.newConnection();
        QVERIFY(store->open(sql::invoiceStoreConnectionString()));
        QVERIFY(ReconcileTickets(*store, *s.PosConnection).ok);
        // The books: their verification, the start's check, totals, closing and export.
        QVERIFY(books::VerifyBooks(*store, s.programFolder()).read);
        QVERIFY(books::CheckRecentRecords(*store, s.programFolder()).read);
        QVERIFY(books::TotalsOf(*store, QDate(2013, 1, 1), QDate(2013, 12, 31)));
        s.Now = [] { return QDateTime(QDate(2014, 1, 2), QTime(8, 0)); };
        QVERIFY(books::RecordStart(s));
        QTemporaryDir exported;
        QVERIFY(books::ExportYear(s, 2013, exported.path()).ok);

        QStringList sent = capture.statements();
        sent.removeDuplicates();
        for (const QString &counted : {posdata::MarkTicketSql(103), posdata::ClearTicketMarkSql(QStringLiteral("104"))}) {
            QVERIFY2(sent.contains(counted), qPrintable(counted));
            sent << sql::CountedBatch(counted);
        }
        QVERIFY(sent.filter(QStringLiteral("dbo.FacturasAnuladas")).size() >= 1);
        QVERIFY(sent.filter(QStringLiteral("dbo.Registro")).size() >= 6);
        sent << AddedTableStatements() << AddedColumnStatements() << books::CreateChainStatement()
             << CreateDocumentoIndexStatement();
        QTemporaryFile list;
        QVERIFY(list.open());
        // The statements of the insert helper are bound ("?"): the parser
        // reads them with a value in place of each mark.
        for (QString statement : sent)
            list.write(statement.replace(QLatin1Char('?'), QLatin1Char('1')).toUtf8() + '\n');
        list.close();
        QProcess node;
        node.start(QStringLiteral("node"), {QStringLiteral(ZD_SOURCE_DIR "/tests/store/tsql_grammar.js"),
                                            list.fileName(), parser});
        QVERIFY(node.waitForFinished(60000));
        QVERIFY2(node.exitCode() == 0, node.readAll().constData());
        qInfo("%lld statements parsed as T-SQL", qint64(sent.size()));
    }
};

QTEST_GUILESS_MAIN(TstTsqlGrammar)
#include "tst_tsqlgrammar.moc"
