// The books over time: a day that ends with a replayed journal, a backup and
// a new year still verifies; a period's totals agree with the store's own
// sums; a year's export reads back to the same files and totals.
#include "books_helpers.h"

#include "books/BooksCommands.h"
#include "externo/books/Chain.h"
#include "externo/books/ChainEvents.h"
#include "externo/books/PeriodTotals.h"
#include "externo/books/YearExport.h"
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/store/PendingMarks.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <cmath>

using namespace zd;
using namespace zd::test;

namespace {

// A credit note as the store keeps one (type 2): rate 5, base 10, tax 0.5.
void addCreditNote(StoreFixture &f, const QString &id, const QString &date)
{
    StoreFixture::exec(f.storeFile(),
                       QStringLiteral("INSERT INTO facturas (IdDocumento, TipoDocumento, IdSerie, NumCopia, IdEmpresa, "
                                      "IdFiscal, IdCliente, IdFiscalCliente, MonedaDes, MonedaDec, MonedaSim, Correlativo, "
                                      "FechaDocumento, totalbruto, totalimpuestos, Impuesto1Des, Impuesto1Por, "
                                      "TotalImpuesto1, totalbase1, TotalNeto) VALUES ('%1', 2, 1130025, 0, 1, 'B1', 25, "
                                      "'X1', 'Euro', 2, 'EUR', 1, '%2', 10, 0.5, 'TVA 1', 5, 0.5, 10, 10.5)")
                           .arg(id, date));
}

QMap<QString, QString> totalsOutput(StoreFixture &f, const QString &from, const QString &to)
{
    QString out;
    QString err;
    QTextStream o(&out);
    QTextStream e(&err);
    if (books::Totals(f.state(), QDate::fromString(from, Qt::ISODate), QDate::fromString(to, Qt::ISODate), o, e) != 0)
        qFatal("totals failed: %s", qPrintable(err));
    QMap<QString, QString> values;
    for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        values.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    return values;
}

QString amountOf(double v)
{
    return books::Amount(std::llround(v * 10000));
}

} // namespace

class TstBooksPeriod : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void journalBackupAndNewYearVerify()
    {
        StoreFixture f;
        f.createStore();
        f.createPos();
        RunBooksDay(f);
        AppState &s = f.state();
        QVERIFY(books::RecordStart(s));
        // A journal left by an interrupted issue, replayed.
        f.addTicket(150);
        StoreFixture::exec(f.storeFile(), QStringLiteral("INSERT INTO MarcasPendientes VALUES ('A011300250002', 150, 'M')"));
        QVERIFY(SettlePendingMarks(s));
        QVERIFY(books::RecordStop(s));
        const QString backup = f.folder() + QStringLiteral("/TRS_seguridad/TRS_FAC_back");
        QFile::copy(f.storeFile(), backup);
        QVERIFY(books::RecordBackup(s, backup));
        // The first start of the next year closes the last one, once.
        s.Now = [] { return QDateTime(QDate(2014, 1, 2), QTime(8, 0)); };
        QVERIFY(books::RecordStart(s));
        QVERIFY(books::RecordStart(s));
        const auto closings = StoreFixture::rows(f.storeFile(), QStringLiteral("SELECT Texto FROM Registro WHERE Evento='closing'"));
        QCOMPARE(closings.size(), 1);
        QVERIFY(closings.first().first().toString().startsWith(QStringLiteral("year=2013\ninvoices=1;12.1000\n")));
        QVERIFY(closings.first().first().toString().contains(QStringLiteral("perpetual=12.1000\n")));
        RunBooksDay(f, 201);
        QStringList out;
        QVERIFY2(RunVerify(f, &out) == 0, qPrintable(out.join(QLatin1Char('\n'))));
    }

    void totalsMatchTheStore()
    {
        StoreFixture f;
        f.createStore();
        f.createPos();
        RunBooksDay(f);                       // 2013-05-14: rates 5 and 10
        f.setTaxTypes(3);                     // rates 5, 10, 15
        f.state().Now = [] { return QDateTime(QDate(2013, 6, 1), QTime(9, 0)); };
        RunBooksDay(f, 301);
        f.state().Now = [] { return QDateTime(QDate(2013, 7, 1), QTime(9, 0)); };
        RunBooksDay(f, 401);                  // outside the period
        addCreditNote(f, QStringLiteral("V011300250001"), QStringLiteral("2013-05-20 10:00:00.000"));
        addCreditNote(f, QStringLiteral("V011300250002"), QStringLiteral("2013-08-20 10:00:00.000"));

        const auto t = totalsOutput(f, QStringLiteral("2013-05-01"), QStringLiteral("2013-06-30"));
        const QString inPeriod = QStringLiteral("FechaDocumento >= '2013-05-01' AND FechaDocumento < '2013-07-01'");
        auto sum = [&f](const QString &sql) {
            return StoreFixture::rows(f.storeFile(), sql).first().first().toDouble();
        };
        const double invoices = sum(QStringLiteral("SELECT total(TotalNeto) FROM facturas WHERE TipoDocumento=1 AND ") + inPeriod);
        const double credit = sum(QStringLiteral("SELECT total(abs(TotalNeto)) FROM facturas WHERE TipoDocumento=2 AND ") + inPeriod);
        QCOMPARE(t.value(QStringLiteral("invoices")), QStringLiteral("2;") + amountOf(invoices));
        QCOMPARE(t.value(QStringLiteral("credit notes")), QStringLiteral("1;") + amountOf(credit));
        QCOMPARE(t.value(QStringLiteral("difference")), amountOf(invoices - credit));
        for (const double rate : {5.0, 10.0, 15.0}) {
            double base = 0;
            double tax = 0;
            for (int n = 1; n <= 5; ++n) {
                const QString where = QStringLiteral(" FROM facturas WHERE Impuesto%1Por=%2 AND ").arg(n).arg(rate) + inPeriod;
                base += sum(QStringLiteral("SELECT total(CASE TipoDocumento WHEN 2 THEN -abs(totalbase%1) ELSE totalbase%1 END)").arg(n) + where
                            + QStringLiteral(" AND TipoDocumento IN (1, 2)"));
                tax += sum(QStringLiteral("SELECT total(CASE TipoDocumento WHEN 2 THEN -abs(TotalImpuesto%1) ELSE TotalImpuesto%1 END)").arg(n) + where
                           + QStringLiteral(" AND TipoDocumento IN (1, 2)"));
            }
            QCOMPARE(t.value(QStringLiteral("rate ") + amountOf(rate)),
                     QStringLiteral("base %1;tax %2;total %3").arg(amountOf(base), amountOf(tax), amountOf(base + tax)));
        }
        const double perpetual = sum(QStringLiteral("SELECT total(TotalNeto) FROM facturas WHERE TipoDocumento=1"))
                               - sum(QStringLiteral("SELECT total(abs(TotalNeto)) FROM facturas WHERE TipoDocumento=2"));
        QCOMPARE(t.value(QStringLiteral("perpetual")), amountOf(perpetual));
    }

    void exportReadsBack()
    {
        StoreFixture f;
        f.createStore();
        f.createPos();
        RunBooksDay(f);
        addCreditNote(f, QStringLiteral("V011300250001"), QStringLiteral("2013-05-20 10:00:00.000"));
        const auto head = StoreFixture::firstRow(f.storeFile(), QStringLiteral("SELECT Secuencia, Huella FROM Registro ORDER BY 1 DESC LIMIT 1"));
        QTemporaryDir out;
        const books::ExportResult r = books::ExportYear(f.state(), 2013, out.path());
        QVERIFY2(r.ok, qPrintable(r.error));

        // Every file listed with its hash, and the chain's head at the export.
        QFile manifest(r.manifest);
        QVERIFY(manifest.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(manifest.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.last(), QStringLiteral("chain %1 %2").arg(head.value(QStringLiteral("Secuencia")).toString(),
                                                                 head.value(QStringLiteral("Huella")).toString()));
        QStringList listed;
        for (const QString &line : lines.mid(0, lines.size() - 1)) {
            const QString name = line.section(QStringLiteral("  "), 1);
            QFile file(out.path() + QLatin1Char('/') + name);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
            QCOMPARE(QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex()),
                     line.section(QStringLiteral("  "), 0, 0));
            listed << name;
        }
        QCOMPARE(listed, r.files);
        QVERIFY(listed.contains(QStringLiteral("archive/F011300250001.pdf")));

        // The documents reload with the year's totals.
        QFile documents(out.path() + QStringLiteral("/documents.csv"));
        QVERIFY(documents.open(QIODevice::ReadOnly));
        const QStringList rows = QString::fromUtf8(documents.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList header = books::CsvFields(rows.first());
        const int type = header.indexOf(QStringLiteral("TipoDocumento"));
        const int total = header.indexOf(QStringLiteral("TotalNeto"));
        qint64 difference = 0;
        for (const QString &row : rows.mid(1)) {
            const QStringList fields = books::CsvFields(row);
            QCOMPARE(fields.size(), header.size());
            const qint64 amount = std::llround(fields.at(total).toDouble() * 10000);
            difference += fields.at(type) == QLatin1String("2") ? -std::llabs(amount)
                        : fields.at(type) == QLatin1String("1") ? amount : 0;
        }
        const auto t = totalsOutput(f, QStringLiteral("2013-01-01"), QStringLiteral("2013-12-31"));
        QCOMPARE(books::Amount(difference), t.value(QStringLiteral("difference")));
        // The records reload whole (texts span lines).
        QFile records(out.path() + QStringLiteral("/records.csv"));
        QVERIFY(records.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(records.readAll()).contains(QStringLiteral("\"IdDocumento=F011300250001\n")));

        // The export is the last record.
        QCOMPARE(StoreFixture::firstRow(f.storeFile(), QStringLiteral("SELECT Evento FROM Registro ORDER BY Secuencia DESC LIMIT 1"))
                     .value(QStringLiteral("Evento")).toString(),
                 QStringLiteral("export"));
    }
};

QTEST_MAIN(TstBooksPeriod)
#include "tst_booksperiod.moc"
