// Every document issued through the main window is archived once as PDF/A-3
// in archive/<year>/, invoices with their EN 16931 data embedded: the file
// is checked with the program's own checker (schema, sums, PDF/A parts),
// with qpdf and poppler from outside, and against the stored document.
#include "report_helpers.h"

#include "externo/archive/FacturXCheck.h"
#include "externo/archive/FacturXml.h"
#include "externo/documents/FrmReportControl.h"
#include "externo/documents/PanelButton.h"
#include "externo/documents/ReportPreview.h"
#include "externo/mainwindow/FrmExterno.h"
#include "externo/mainwindow/TreeNodes.h"
#include "externo/posdata/TicketNodes.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/store/StoreSetup.h"

#include "support/DialogAnswerer.h"
#include "support/PosFixture.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTreeWidget>
#include <cmath>
#include <memory>

using namespace zd;
using namespace zd::test;

namespace {

const QString kXsdFolder = QStringLiteral(ZD_PROGRAM_DIR "/facturx-xsd");

// Closes every preview as soon as it is shown, like the operator's "Quitter".
class PreviewCloser : public QObject {
public:
    explicit PreviewCloser(FrmExterno &window) : m_window(window)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            documents::FrmReportControl *panel = m_window.currentReportControl();
            if (panel && panel->isVisible() && m_window.currentPreview() && m_window.currentPreview()->isVisible()) {
                ++shown;
                QTest::mouseClick(panel->CmdFin, Qt::LeftButton);
            }
        });
        m_timer.start(20);
    }
    int shown = 0;

private:
    FrmExterno &m_window;
    QTimer m_timer;
};

// Customer 15 with tickets 57 (two lines at 5.5 %), 58 (two at 20 %, one
// at 5.5 %) and 59 (two at 5.5 %, its amounts written without VAT).
struct Shop {
    ProgramFolder folder;
    PosFixture pos{folder.path()};
    AppState state{sql::EngineConfig::fromProgramFolder(folder.path())};
    std::unique_ptr<FrmExterno> window;
    std::unique_ptr<DialogAnswerer> answers;
    std::unique_ptr<PreviewCloser> closer;

    void open()
    {
        state.EndProgram = [](int) {};
        state.Now = [] { return QDateTime(QDate(2021, 6, 15), QTime(10, 0)); };
        QVERIFY(pos.addShopDefaults());
        QVERIFY(pos.addCustomer({.idcliente = 15, .codigo = "15", .nombre = "CHARCUTERIE DU PORT "}));
        auto ticket = [](qint32 id, qint32 numero, const QString &fecha, QVector<LineSpec> lines) {
            TicketSpec t;
            t.iddocumento = id;
            t.numero = numero;
            t.idcontacto = 15;
            t.fecha = fecha;
            t.lines = std::move(lines);
            return t;
        };
        // VAT included in the amounts: 6.45 + 1.05 = 7.50 -> base 7.11, tax 0.39.
        QVERIFY(pos.addTicket(ticket(501, 57, "2021-03-05 09:00:00.000",
                                     {LineSpec::units(1001, "Pain de campagne", 3, 2.15),
                                      LineSpec::weighed(1002, "Rillettes", 0.35, 3.0)})));
        QVERIFY(pos.addTicket(ticket(502, 58, "2021-03-20 11:00:00.000",
                                     {LineSpec::units(2001, "Jambon blanc", 1, 10, 4),
                                      LineSpec::units(2002, "Terrine", 1, 7.33, 4),
                                      LineSpec::units(2003, "Cornichons", 1, 2.35, 2)})));
        // Amounts without VAT: the lines add up to the base.
        TicketSpec exclusive = ticket(503, 59, "2021-04-02 08:00:00.000",
                                      {LineSpec::units(3001, "Olives", 1, 5), LineSpec::units(3002, "Tapenade", 2, 1.25)});
        exclusive.taxes = QVector<TaxSpec>{{2, 7.5, 0.41}};
        QVERIFY(pos.addTicket(exclusive));
        QCOMPARE(EnsureInvoiceStore(state), StoreCheck::Created);
        answers = std::make_unique<DialogAnswerer>();
        window = std::make_unique<FrmExterno>(state);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->Load();
        closer = std::make_unique<PreviewCloser>(*window);
        clearChosen();
    }

    QTreeWidget *tickets() const { return window->TreeClient[1]; }
    void click(QTreeWidget *tree, int index)
    {
        QTreeWidgetItem *item = nodes::node(tree, index);
        QVERIFY(item);
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    }
    void clearChosen()
    {
        for (int i = 2; i <= nodes::nodeCount(tickets()); ++i)
            if (nodes::image(nodes::node(tickets(), i)) == 5)
                click(tickets(), i);
    }
    void choose(const QStringList &numbers)
    {
        for (const QString &n : numbers) {
            int index = -1;
            for (int i = 2; i <= nodes::nodeCount(tickets()); ++i)
                if (QString::number(posdata::ParseTicketNode(nodes::node(tickets(), i)->text(0))->number) == n)
                    index = i;
            QVERIFY(index >= 2);
            click(tickets(), index);
        }
    }
    void toDocumentView()
    {
        QTest::mouseClick(window->CmdFacturas, Qt::LeftButton);
    }
    void pickDocument(const QString &id)
    {
        QTreeWidget *docs = window->TreeClient[2];
        for (int i = 2; i <= nodes::nodeCount(docs); ++i)
            if (nodes::node(docs, i)->text(0).trimmed() == id)
                click(docs, i);
        QCOMPARE(window->TxtFacAlb->text(), id);
    }

    QString storeFile() const
    {
        const sql::ConnectionTarget t = sql::parseConnectionString(sql::invoiceStoreConnectionString());
        return state.engine.catalogFile(t.server, t.catalog);
    }
    QVariantList storeRow(const QString &sql) const
    {
        QVariantList row;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(storeFile());
            db.open();
            QSqlQuery q(db);
            if (!q.exec(sql))
                qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
            if (q.next())
                for (int c = 0; c < q.record().count(); ++c)
                    row << q.value(c);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        return row;
    }
    QString archived(const QString &id) const { return folder.path() + "/archive/2021/" + id + ".pdf"; }
};

qint64 cents(const QVariant &v)
{
    return std::llround(v.toDouble() * 100);
}

QString run(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

// The embedded file as qpdf and poppler see it from outside.
void checkWithOutsideTools(const QString &pdf, const QString &relationship)
{
    QVERIFY2(run("qpdf", {"--list-attachments", pdf}).contains("factur-x.xml"), qPrintable(pdf));
    int code = 0;
    const QString json = run("qpdf", {"--json", "--json-key=attachments", pdf}, &code);
    QCOMPARE(code, 0);
    const QJsonObject attachments = QJsonDocument::fromJson(json.toUtf8()).object().value("attachments").toObject();
    QVERIFY(attachments.contains("factur-x.xml"));
    QCOMPARE(attachments.value("factur-x.xml").toObject().value("filespec").toString().isEmpty(), false);
    // The relationship lies in the file spec: read it with qpdf's object dump.
    const QString spec = attachments.value("factur-x.xml").toObject().value("filespec").toString();
    const QString object = run("qpdf", {"--show-object=" + spec.section(' ', 0, 0), pdf});
    QVERIFY2(object.contains("/AFRelationship /" + relationship), qPrintable(object));
    QVERIFY(run("pdfdetach", {"-list", pdf}).contains("factur-x.xml"));
    const QString info = run("pdfinfo", {pdf});
    QVERIFY2(info.contains(QRegularExpression("PDF version:\\s+1\\.7")) && info.contains(QRegularExpression("Metadata Stream:\\s+yes")),
             qPrintable(info));
    // Every font embedded: pdffonts' "emb" column says yes on every row.
    const QStringList fonts = run("pdffonts", {pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(!fonts.isEmpty());
    for (const QString &font : fonts)
        QVERIFY2(font.contains(QRegularExpression("\\s+yes\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+$")), qPrintable(font));
}

} // namespace

class TstArchiveWorkflow : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void issuedInvoiceIsArchivedWithItsData_data()
    {
        QTest::addColumn<QStringList>("tickets");
        QTest::addColumn<bool>("fromDeliveryNote");
        QTest::addColumn<int>("earlierInvoices");   // highest running number already stored
        QTest::addColumn<QString>("id");
        QTest::addColumn<QStringList>("lineNets");  // the lines' amounts without VAT, in order
        QTest::addColumn<QStringList>("rates");
        // 6.45 + 1.05 with VAT -> base 7.11: 611.46 and 99.54 cents, the
        // larger remainder takes the cent left over.
        QTest::newRow("one rate, VAT included") << QStringList{"57"} << false << 0 << "F012100150001"
                                                << QStringList{"6.11", "1.00"} << QStringList{"S 5.50"};
        // In list order (ticket 58, then 57). 20 %: 10.00 and 7.33 share
        // 14.44; 5.5 %: 2.35, 6.45 and 1.05 share 9.34 (222.83, 611.60 and
        // 99.56 cents: the two cents left go to the first two).
        QTest::newRow("two rates") << QStringList{"57", "58"} << false << 0 << "F012100150001"
                                   << QStringList{"8.33", "6.11", "2.23", "6.12", "0.99"}
                                   << QStringList{"S 20.00", "S 5.50"};
        QTest::newRow("VAT excluded: the amounts are the nets") << QStringList{"59"} << false << 0 << "F012100150001"
                                                                << QStringList{"5.00", "2.50"} << QStringList{"S 5.50"};
        QTest::newRow("from a delivery note") << QStringList{"58"} << true << 0 << "F012100150001"
                                              << QStringList{"8.33", "6.11", "2.23"} << QStringList{"S 20.00", "S 5.50"};
        QTest::newRow("numbering past 9999") << QStringList{"59"} << false << 9999 << "F0121001510000"
                                             << QStringList{"5.00", "2.50"} << QStringList{"S 5.50"};
    }

    void issuedInvoiceIsArchivedWithItsData()
    {
        QFETCH(QStringList, tickets);
        QFETCH(bool, fromDeliveryNote);
        QFETCH(int, earlierInvoices);
        QFETCH(QString, id);
        QFETCH(QStringList, lineNets);
        QFETCH(QStringList, rates);
        Shop shop;
        shop.open();
        if (earlierInvoices) {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "seed");
            db.setDatabaseName(shop.storeFile());
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY2(q.exec(QString("INSERT INTO facturas (IdDocumento, TipoDocumento, IdSerie, NumCopia, IdEmpresa, "
                                    "IdFiscal, IdCliente, IdFiscalCliente, MonedaDes, MonedaDec, MonedaSim, Correlativo) "
                                    "VALUES ('F01210015%1', 1, 1210015, 0, 1, 'x', 15, 'x', 'Euro', 2, '€', %1)")
                                .arg(earlierInvoices)),
                     qPrintable(q.lastError().text()));
            db.close();
        }
        QSqlDatabase::removeDatabase("seed");

        QString note;
        QByteArray noteBytes;
        shop.choose(tickets);
        if (fromDeliveryNote) {
            QTest::mouseClick(shop.window->CmdAlbaranImprime, Qt::LeftButton);
            note = "A012100150001";
            // A delivery note is archived as plain PDF/A: no invoice data.
            const archive::ArchiveCheck plain = archive::CheckArchiveFile(shop.archived(note), kXsdFolder, false);
            QVERIFY2(plain.ok(), qPrintable(plain.failed.join('\n')));
            QVERIFY(plain.xml.isEmpty());
            QFile f(shop.archived(note));
            QVERIFY(f.open(QIODevice::ReadOnly));
            noteBytes = f.readAll();
            shop.toDocumentView();
            shop.pickDocument(note);
        }
        QTest::mouseClick(shop.window->CmdFacturaImprime, Qt::LeftButton);
        QCOMPARE(shop.closer->shown, fromDeliveryNote ? 2 : 1);

        const QString pdf = shop.archived(id);
        const archive::ArchiveCheck check = archive::CheckArchiveFile(pdf, kXsdFolder);
        QVERIFY2(check.ok(), qPrintable(check.failed.join('\n')));
        QVERIFY(check.passed.join('\n').contains("XML valid against Factur-X_1.07.3_EN16931.xsd"));
        QCOMPARE(check.relationship, QString("Alternative"));
        checkWithOutsideTools(pdf, "Alternative");

        // The XML states the stored document: number, totals, delivery note.
        const QVariantList stored = shop.storeRow("SELECT totalbruto, totalimpuestos, TotalNeto FROM facturas "
                                                  "WHERE IdDocumento='" + id + "'");
        QCOMPARE(stored.size(), 3);
        QCOMPARE(check.totals.number, id);
        QCOMPARE(check.totals.taxBasisTotal, cents(stored[0]));
        QCOMPARE(check.totals.lineTotal, cents(stored[0]));
        QCOMPARE(check.totals.taxTotal, cents(stored[1]));
        QCOMPARE(check.totals.grandTotal, cents(stored[2]));
        QCOMPARE(check.totals.duePayable, cents(stored[2]));
        QCOMPARE(check.totals.despatchAdvice, note);
        QCOMPARE(check.totals.basisByRate.keys(), rates);
        QStringList nets;
        for (const QRegularExpressionMatch &m :
             QRegularExpression("<ram:SpecifiedTradeSettlementLineMonetarySummation>\\s*<ram:LineTotalAmount>([-0-9.]+)<")
                 .globalMatch(QString::fromUtf8(check.xml)))
            nets << m.captured(1);
        QCOMPARE(nets, lineNets);

        // The page is the report's: the number and a line read back.
        const QVector<PdfWord> words = pdfWords(pdf, 1);
        QVERIFY(!findText(words, id).isEmpty());
        QVERIFY(!findText(words, "Original").isEmpty());
        const QImage page = pdfPageImage(pdf, 1, 50);
        QVERIFY(!page.isNull());
        QVERIFY(darkPixels(page, QRect(0, 0, 11340, 3000), 50) > 500);

        // Issuing the invoice did not touch the delivery note's archive.
        if (fromDeliveryNote) {
            QFile f(shop.archived(note));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), noteBytes);
        }
        QVERIFY(shop.answers->messages().join('\n').indexOf("archive") < 0);
    }

    void invoiceWhoseLineRatesCannotBeToldIsArchivedWithoutData()
    {
        Shop shop;
        shop.open();
        // Ticket 58 has two rates and, from an older scale, no rate on its lines.
        QVERIFY(shop.pos.exec("UPDATE lineadocumento SET idtipoimpuesto=NULL WHERE iddocumento=502"));
        shop.choose({"58"});
        QTest::mouseClick(shop.window->CmdFacturaImprime, Qt::LeftButton);
        QCOMPARE(shop.closer->shown, 1);
        const QString pdf = shop.archived("F012100150001");
        const archive::ArchiveCheck plain = archive::CheckArchiveFile(pdf, kXsdFolder, false);
        QVERIFY2(plain.ok(), qPrintable(plain.failed.join('\n')));
        QVERIFY(plain.xml.isEmpty());
        // Not a Factur-X file, and the checker says so.
        const archive::ArchiveCheck asInvoice = archive::CheckArchiveFile(pdf, kXsdFolder, true);
        QCOMPARE(asInvoice.failed, QStringList{"factur-x.xml embedded"});
        QCOMPARE(shop.answers->messages().size(), 1);   // the confirmation only
    }

    void archiveFailureKeepsTheInvoiceAndItIsArchivedLater()
    {
        Shop shop;
        shop.open();
        // A file where the archive folder should be: no folder can be made
        // (whoever runs the test, root included).
        QVERIFY(shop.folder.writeFile("archive", "not a folder"));
        shop.choose({"57", "58"});
        QTest::mouseClick(shop.window->CmdFacturaImprime, Qt::LeftButton);

        // Issued, shown and the operator told.
        QCOMPARE(shop.closer->shown, 1);
        QCOMPARE(shop.storeRow("SELECT count(*) FROM facturas WHERE IdDocumento='F012100150001'").value(0).toInt(), 1);
        QCOMPARE(shop.pos.scalar("SELECT fecha FROM documento WHERE iddocumento=501").toString(),
                 QString("2021-03-05 09:00:00.863"));
        const QStringList messages = shop.answers->messages();
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages[1].startsWith("Le document F012100150001 est bien enregistré, mais son archive PDF n'a pas "
                                       "pu être écrite"));
        QVERIFY(messages[1].endsWith("Elle pourra être écrite plus tard."));
        QVERIFY(shop.window->CmdFacturaImprime->isEnabled());

        // Later, from the stored document, by the command.
        QVERIFY(QFile::remove(shop.folder.file("archive")));
        int code = -1;
        const QString tool = QStringLiteral(ZD_PROGRAM_DIR "/zd_facturx");
        QString out = run(tool, {"archive", "F012100150001", "--folder", shop.folder.path()}, &code);
        QVERIFY2(code == 0 && out.contains("with its invoice data"), qPrintable(out));
        out = run(tool, {"check", shop.archived("F012100150001")}, &code);
        QVERIFY2(code == 0, qPrintable(out));
        QVERIFY(out.contains("sums add up (5 lines, total 27.18)"));
        // The page is the original's: issue date, "Original", the totals.
        const QVector<PdfWord> words = pdfWords(shop.archived("F012100150001"), 1);
        QVERIFY(!findText(words, "15/06/2021").isEmpty());
        QVERIFY(!findText(words, "Original").isEmpty());
        // Never rewritten.
        const QDateTime written = QFileInfo(shop.archived("F012100150001")).lastModified();
        out = run(tool, {"archive", "F012100150001", "--folder", shop.folder.path()}, &code);
        QVERIFY2(code == 0 && out.contains("already archived"), qPrintable(out));
        QCOMPARE(QFileInfo(shop.archived("F012100150001")).lastModified(), written);
    }

    // The check after each start writes every archive that is missing,
    // from the stored document, behind the usable window.
    void missingArchiveIsWrittenAfterTheNextStart()
    {
        Shop shop;
        shop.open();
        QVERIFY(shop.folder.writeFile("archive", "not a folder"));
        shop.choose({"57"});
        QTest::mouseClick(shop.window->CmdFacturaImprime, Qt::LeftButton);
        QCOMPARE(shop.closer->shown, 1);
        QVERIFY(QFile::remove(shop.folder.file("archive")));

        shop.answers->clear();
        shop.window->startBooksCheck();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(shop.archived("F012100150001")), 20000);
        int code = -1;
        const QString out = run(QStringLiteral(ZD_PROGRAM_DIR "/zd_facturx"), {"check", shop.archived("F012100150001")},
                                &code);
        QVERIFY2(code == 0, qPrintable(out));
        QVERIFY(shop.answers->messages().isEmpty());
    }
};

QTEST_MAIN(TstArchiveWorkflow)
#include "tst_archiveworkflow.moc"
