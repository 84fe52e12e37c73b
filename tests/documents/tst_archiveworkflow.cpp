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
#include "support/RuleSets.h"

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
#include <cstring>
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
    CustomerSpec customer{.idcliente = 15, .codigo = "15", .nombre = "CHARCUTERIE DU PORT "};
    double reducedRate = 5.5;   // tax type 2
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
        QVERIFY(pos.exec(QString("UPDATE TipoImpuesto SET porcentaje=%1 WHERE IdTipoImpuesto=2").arg(reducedRate)));
        QVERIFY(pos.addCustomer(customer));
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

QString caseName(const char *tag)
{
    QString name = QString::fromUtf8(tag);
    name.replace(QRegularExpression("[^A-Za-z0-9]+"), "_");
    return name;
}

} // namespace

class TstArchiveWorkflow : public QObject {
    Q_OBJECT
    // The factur-x.xml of every archive the tests below make, by case: the
    // platforms' rule sets judge them all at the end, in one run each.
    QMap<QString, QByteArray> m_archivedXml;

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
        m_archivedXml.insert(caseName(QTest::currentDataTag()), check.xml);

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
        // With the legal mentions at its foot; the delivery note had none.
        QVERIFY(!findText(words, "Catégorie de l'opération : Livraison de biens").isEmpty());
        QVERIFY(!findText(words, "SIREN du client : 443061841").isEmpty());
        if (fromDeliveryNote)
            QVERIFY(findText(pdfWords(shop.archived(note), 1), "Livraison de biens").isEmpty());
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
        m_archivedXml.insert("archived_later_by_the_command",
                             archive::CheckArchiveFile(shop.archived("F012100150001"), kXsdFolder).xml);
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

    void buyersAndPaymentsInTheData_data()
    {
        QTest::addColumn<QString>("nif");
        QTest::addColumn<QString>("email");
        QTest::addColumn<bool>("paidAtTill");
        QTest::addColumn<QStringList>("inXml");
        QTest::addColumn<QString>("told");   // the operator's notice, empty: none
        QTest::newRow("paid at the till (B2)")
            << "443 061 841 00013" << "" << true
            << QStringList{"<ram:ID>B2</ram:ID>", "<ram:TotalPrepaidAmount>7.50</ram:TotalPrepaidAmount>",
                           "<ram:DuePayableAmount>0.00</ram:DuePayableAmount>",
                           "<udt:DateTimeString format=\"102\">20210305</udt:DateTimeString>",
                           "<ram:URIID schemeID=\"0225\">443061841</ram:URIID>"}
            << "";
        QTest::newRow("buyer without SIREN, with e-mail")
            << "" << "compta@charcuterie-du-port.fr" << false
            << QStringList{"<ram:ID>B1</ram:ID>", "<ram:URIID schemeID=\"EM\">compta@charcuterie-du-port.fr</ram:URIID>"}
            << "";
        QTest::newRow("foreign buyer")
            << "BE 0123.456.789" << "achats@port-anvers.be" << false
            << QStringList{"<ram:ID schemeID=\"VA\">BE0123456789</ram:ID>", "<ram:CountryID>BE</ram:CountryID>",
                           "<ram:URIID schemeID=\"EM\">achats@port-anvers.be</ram:URIID>"}
            << "";
        QTest::newRow("buyer with neither")
            << "512 384 976" << "" << false << QStringList{"<ram:ID>512384976</ram:ID>"}
            << "Facture émise et archivée, mais le client CHARCUTERIE DU PORT ne peut pas la recevoir par une "
               "plateforme de facturation électronique : le SIREN 512384976 est faux (chiffre de contrôle), et il "
               "n'a pas d'adresse e-mail.";
    }
    void buyersAndPaymentsInTheData()
    {
        QFETCH(QString, nif);
        QFETCH(QString, email);
        QFETCH(bool, paidAtTill);
        QFETCH(QStringList, inXml);
        QFETCH(QString, told);
        Shop shop;
        shop.customer.nif = nif;
        shop.customer.email = email;
        shop.state.Settings.PaidAtTill = paidAtTill;
        shop.open();
        shop.choose({"57"});
        QTest::mouseClick(shop.window->CmdFacturaImprime, Qt::LeftButton);
        QCOMPARE(shop.closer->shown, 1);
        const archive::ArchiveCheck check = archive::CheckArchiveFile(shop.archived("F012100150001"), kXsdFolder);
        QVERIFY2(check.ok(), qPrintable(check.failed.join('\n')));
        for (const QString &piece : inXml)
            QVERIFY2(check.xml.contains(piece.toUtf8()), qPrintable(piece + "\n" + check.xml));
        m_archivedXml.insert(caseName(QTest::currentDataTag()), check.xml);

        // Told once, after the confirmation; the invoice is issued all the same.
        QStringList expected{shop.answers->messages().value(0)};
        if (!told.isEmpty())
            expected << told;
        QCOMPARE(shop.answers->messages(), expected);
        // The next invoice to the same customer: not told again.
        shop.choose({"58"});
        QTest::mouseClick(shop.window->CmdFacturaImprime, Qt::LeftButton);
        QCOMPARE(shop.closer->shown, 2);
        QVERIFY(QFile::exists(shop.archived("F012100150002")));
        QCOMPARE(shop.answers->messages().size(), expected.size() + 1);
    }

    void rateTheFrenchPlatformsRefuseIsNamedAtIssue()
    {
        Shop shop;
        shop.reducedRate = 4.5;
        shop.open();
        shop.choose({"57"});
        QTest::mouseClick(shop.window->CmdFacturaImprime, Qt::LeftButton);
        QCOMPARE(shop.closer->shown, 1);
        const archive::ArchiveCheck check = archive::CheckArchiveFile(shop.archived("F012100150001"), kXsdFolder);
        QVERIFY2(check.ok(), qPrintable(check.failed.join('\n')));
        QVERIFY(check.xml.contains("<ram:RateApplicablePercent>4.50</ram:RateApplicablePercent>"));
        QCOMPARE(shop.answers->messages().size(), 2);
        QCOMPARE(shop.answers->messages().at(1),
                 QString("Facture F012100150001 : taux de TVA non reconnu par les plateformes françaises : 4.50 %."));
    }

    // An invoice issued in error, corrected from the document view: the
    // operator confirms, the credit note is printed with its title and the
    // invoice it corrects, archived as a Factur-X credit note (381, BT-25,
    // BT-26), and both show their own picture in the document tree.
    void creditNoteIsPrintedArchivedAndShown()
    {
        Shop shop;
        shop.open();
        shop.choose({"57", "58"});
        QTest::mouseClick(shop.window->CmdFacturaImprime, Qt::LeftButton);
        shop.toDocumentView();
        QVERIFY(shop.window->CmdAvoir->isVisible());
        shop.pickDocument("F012100150001");
        shop.answers->clear();
        QTest::mouseClick(shop.window->CmdAvoir, Qt::LeftButton);

        const QStringList told = shop.answers->messages();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].startsWith("Émettre un avoir pour toute la facture F012100150001 du 15/06/2021, d'un montant "
                                    "de 27,18 €"),
                 qPrintable(told[0]));
        QCOMPARE(shop.closer->shown, 2);
        QCOMPARE(shop.storeRow("SELECT FacturaRectificada, TotalNeto FROM facturas WHERE IdDocumento='V012100150001'"),
                 (QVariantList{"F012100150001", 27.18}));
        QCOMPARE(shop.pos.scalar("SELECT fecha FROM documento WHERE iddocumento=501").toString(),
                 QString("2021-03-05 09:00:00.000"));

        const archive::ArchiveCheck check = archive::CheckArchiveFile(shop.archived("V012100150001"), kXsdFolder);
        QVERIFY2(check.ok(), qPrintable(check.failed.join('\n')));
        QVERIFY(check.xml.contains("<ram:TypeCode>381</ram:TypeCode>"));
        QVERIFY(check.xml.contains("<ram:IssuerAssignedID>F012100150001</ram:IssuerAssignedID>"));
        m_archivedXml.insert("credit_note", check.xml);
        // The title, and beside it the invoice it corrects, whole.
        const QVector<PdfWord> words = pdfWords(shop.archived("V012100150001"), 1);
        const QRectF title = findText(words, "AVOIR");
        QVERIFY(!title.isEmpty());
        const QRectF reference = findText(words, "Avoir sur facture F012100150001 du 15/06/2021");
        QVERIFY(!reference.isEmpty());
        QVERIFY(!title.intersects(reference));
        QVERIFY(findText(words, "FACTURE").isEmpty());

        QTreeWidget *docs = shop.window->TreeClient[2];
        QMap<QString, int> pictures;
        for (int i = 2; i <= nodes::nodeCount(docs); ++i)
            pictures.insert(nodes::node(docs, i)->text(0).trimmed(), nodes::image(nodes::node(docs, i)));
        QCOMPARE(pictures, (QMap<QString, int>{{"F012100150001", 9}, {"V012100150001", 8}}));

        // Crediting it again, or crediting the credit note, changes nothing.
        for (const QString &id : {QString("F012100150001"), QString("V012100150001")}) {
            shop.pickDocument(id);
            shop.answers->clear();
            QTest::mouseClick(shop.window->CmdAvoir, Qt::LeftButton);
            QCOMPARE(shop.answers->messages(),
                     QStringList{id.startsWith('F')
                                     ? QString("La facture F012100150001 est déjà corrigée par l'avoir V012100150001.")
                                     : QString("Le Document sélectionné est un AVOIR. Seule une facture peut être "
                                               "corrigée par un avoir.")});
        }
        QCOMPARE(shop.closer->shown, 2);
    }

    // Every archive made above, judged by the EN 16931 rules and the French
    // platforms' rules: no fatal rule (the buyer with neither address lacks
    // only its address). The validators first prove they refuse spoilt copies.
    void everyArchiveIsAcceptedByThePlatformRules()
    {
        QMap<QString, QByteArray> docs = m_archivedXml;
        QVERIFY2(docs.size() >= 9, qPrintable(docs.keys().join(' ')));
        QByteArray spoilt = docs.first();
        const QRegularExpression lineAmount("<ram:LineTotalAmount>([0-9]+)\\.([0-9]{2})<");
        const QRegularExpressionMatch m = lineAmount.match(QString::fromUtf8(spoilt));
        QVERIFY(m.hasMatch());
        spoilt.replace(m.captured(0).toUtf8(), QString("<ram:LineTotalAmount>%1.%2<").arg(m.captured(1).toInt() + 1)
                                                   .arg(m.captured(2)).toUtf8());
        docs.insert("spoilt_line_amount", spoilt);
        spoilt = docs.first();
        const int siren = spoilt.indexOf("<ram:SpecifiedLegalOrganization>");
        QVERIFY(siren > 0);
        spoilt.remove(siren, spoilt.indexOf("</ram:SpecifiedLegalOrganization>") + int(strlen("</ram:SpecifiedLegalOrganization>")) - siren);
        docs.insert("spoilt_without_seller_siren", spoilt);

        const QMap<QString, zd::test::BothReports> reports = zd::test::RunBothRuleSets(docs);
        QVERIFY2(reports["spoilt_line_amount"].en16931.failedIds.contains("BR-CO-10"),
                 qPrintable(reports["spoilt_line_amount"].en16931.describe()));
        QVERIFY2(reports["spoilt_without_seller_siren"].french.failedIds.contains("BR-FR-10_BT-30"),
                 qPrintable(reports["spoilt_without_seller_siren"].french.describe()));
        for (auto it = reports.cbegin(); it != reports.cend(); ++it) {
            if (it.key().startsWith("spoilt"))
                continue;
            const zd::test::BothReports &r = it.value();
            QVERIFY2(r.en16931.passed() && r.en16931.warnings.isEmpty(),
                     qPrintable(it.key() + "\n" + r.en16931.describe()));
            if (it.key() == "buyer_with_neither")
                QVERIFY2(r.french.rootRulesFired > 0 && r.french.failedIds == QStringList{"BR-FR-12_BT-49"},
                         qPrintable(it.key() + "\n" + r.french.describe()));
            else
                QVERIFY2(r.french.passed(), qPrintable(it.key() + "\n" + r.french.describe()));
        }
    }
};

QTEST_MAIN(TstArchiveWorkflow)
#include "tst_archiveworkflow.moc"
