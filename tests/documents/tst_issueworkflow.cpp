// The road of a document through the real main window: tickets chosen,
// an invoice or delivery note issued and shown in the preview, copies,
// invoicing a delivery note, cancelling one, refusals and failures, and a
// real print job. The preview is closed through its panel like the
// operator does; messages are answered through their buttons.
#include "report_helpers.h"

#include "externo/documents/DataReport1.h"
#include "externo/documents/FrmReportControl.h"
#include "externo/documents/PanelButton.h"
#include "externo/documents/ReportExport.h"
#include "externo/documents/ReportPreview.h"
#include "externo/mainwindow/FrmExterno.h"
#include "externo/mainwindow/TreeNodes.h"
#include "externo/posdata/TicketNodes.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/store/StoreSetup.h"

#include "support/BusyDatabase.h"
#include "support/DialogAnswerer.h"
#include "support/PosFixture.h"
#include "support/StatementCapture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QFileInfo>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <memory>

using namespace zd;
using namespace zd::test;
using documents::DataReport1;
using documents::FrmReportControl;

namespace {

// Customer 15's tickets: numbers 57 and 58 at 5.5 % and 20 %, 59 at 5.5 %.
constexpr qint32 kTicket57 = 501, kTicket58 = 502, kTicket59 = 503;
// Company 1, year 2021, customer 15.
const QString kFirstInvoice = QStringLiteral("F012100150001");
const QString kSecondInvoice = QStringLiteral("F012100150002");
const QString kFirstNote = QStringLiteral("A012100150001");

// What the preview showed, taken while it was open.
struct Shown {
    QMap<QString, QString> captions;
    double titleSize = 0;
    QColor titleColor;
    bool logoVisible = false;
    int detailRows = 0;
    bool markerPresent = false;
    bool printButtonsEnabled = true;
    QString documentTitle;
    QStringList pdfText;   // words of page 1 of an export of the preview
};

const QStringList kCaptions = {
    "LblEmpresa0", "LblEmpresa1", "LblEmpresa2", "LblEmpresa3", "LblCliente0", "LblCliente1",
    "LblCliente2", "LblCliente3", "LblIdCliente", "LblFecha", "LblNFactura", "Etiqueta11",
    "Etiqueta13", "LblFacturaLiteral", "LblTotBruto", "LblImpuestos", "LblTotal", "EtqLote",
    "LblBase1", "LblPor1", "LblIva1", "LblBase2", "LblPor2", "LblIva2", "LblBase3"};

// Watches for the report's control panel; when one opens it records what
// the preview shows, runs `during` (if set) and closes it with "Quitter".
class PreviewOperator : public QObject {
public:
    PreviewOperator(FrmExterno &window, const QString &programFolder)
        : m_window(window)
        , m_folder(programFolder)
    {
        connect(&m_timer, &QTimer::timeout, this, &PreviewOperator::poll);
        m_timer.start(20);
    }
    std::function<void(FrmReportControl *)> during;
    QString exportDir;           // when set, page 1 is exported and read back
    QVector<Shown> shown;

private:
    void poll()
    {
        FrmReportControl *panel = m_window.currentReportControl();
        if (!panel || !panel->isVisible() || !m_window.currentPreview() || !m_window.currentPreview()->isVisible())
            return;
        m_timer.stop();
        Shown s;
        const DataReport1 *report = m_window.currentReport();
        if (report) {
            for (const QString &name : kCaptions)
                s.captions.insert(name, report->caption(name));
            s.titleSize = report->fontSize("LblFacturaLiteral");
            s.titleColor = report->foreColor("LblFacturaLiteral");
            s.logoVisible = report->logoVisible();
            s.detailRows = report->detailRows().size();
            if (!exportDir.isEmpty()) {
                const QString pdf = QDir(exportDir).filePath(QString("shown%1.pdf").arg(shown.size()));
                if (m_window.currentPreview()->exportPdfTo(pdf))
                    for (const PdfWord &w : pdfWords(pdf, 1))
                        s.pdfText << w.text;
            }
        }
        s.markerPresent = QFile::exists(m_folder + "/notrs_teclado");
        s.printButtonsEnabled = m_window.CmdFacturaImprime->isEnabled() || m_window.CmdAlbaranImprime->isEnabled();
        s.documentTitle = m_window.currentPreview()->documentTitle();
        shown << s;
        if (during)
            during(panel);
        QTest::mouseClick(panel->CmdFin, Qt::LeftButton);
        m_timer.start(20);
    }

    FrmExterno &m_window;
    QString m_folder;
    QTimer m_timer;
};

QVector<QVariantList> fileRows(const QString &file, const QString &sql)
{
    QVector<QVariantList> result;
    const QString name = QStringLiteral("check");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (!db.open())
            qWarning("%s", qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        if (!q.exec(sql))
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        while (q.next()) {
            QVariantList row;
            for (int c = 0; c < q.record().count(); ++c)
                row << q.value(c);
            result << row;
        }
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

TicketSpec ticket(qint32 id, qint32 numero, const QString &fecha, QVector<LineSpec> lines)
{
    TicketSpec t;
    t.iddocumento = id;
    t.numero = numero;
    t.idcontacto = 15;
    t.fecha = fecha;
    t.lines = std::move(lines);
    return t;
}

// A shop with customers 12 and 15, three open tickets of customer 15 (the
// latest, so it is chosen at start), the invoice store, and the main window
// loaded and shown.
struct Shop {
    ProgramFolder folder;
    PosFixture pos{folder.path()};
    AppState state{sql::EngineConfig::fromProgramFolder(folder.path())};
    std::unique_ptr<FrmExterno> window;
    std::unique_ptr<DialogAnswerer> answers;
    std::unique_ptr<PreviewOperator> operatorAtPreview;
    int ended = 0;
    std::function<void(PosFixture &)> beforeLoad; // changes to the point-of-sale data

    void open()
    {
        state.EndProgram = [this](int) { ++ended; };
        state.Now = [] { return QDateTime(QDate(2021, 6, 15), QTime(10, 0)); };
        QVERIFY(pos.addShopDefaults());
        QVERIFY(pos.addCustomer({.idcliente = 12, .codigo = "00012", .nombre = "BOULANGERIE"}));
        QVERIFY(pos.addCustomer({.idcliente = 15, .codigo = "15", .nombre = "CHARCUTERIE DU PORT "}));
        QVERIFY(pos.addTicket(ticket(kTicket57, 57, "2021-03-05 09:00:00.000",
                                     {LineSpec::units(1001, "Pain de campagne", 2, 3.10),
                                      LineSpec::units(1002, "Croissant", 4, 1.05)})));
        QVERIFY(pos.addTicket(ticket(kTicket58, 58, "2021-03-20 11:00:00.000",
                                     {LineSpec::units(2001, "Jambon blanc", 1, 10, 4)})));
        QVERIFY(pos.addTicket(ticket(kTicket59, 59, "2021-04-02 08:00:00.000",
                                     {LineSpec::units(3001, "Olives", 1, 5)})));
        if (beforeLoad)
            beforeLoad(pos);
        QCOMPARE(EnsureInvoiceStore(state), StoreCheck::Created);
        answers = std::make_unique<DialogAnswerer>();
        window = std::make_unique<FrmExterno>(state);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->Load();
        QCOMPARE(ended, 0);
        operatorAtPreview = std::make_unique<PreviewOperator>(*window, folder.path());
        // The start chose customer 15; no ticket is chosen yet.
        QCOMPARE(ticketNumbers(), (QStringList{"59", "58", "57"}));
        clearChosen();
    }

    QTreeWidget *tickets() const { return window->TreeClient[1]; }
    QTreeWidget *documents() const { return window->TreeClient[2]; }

    QStringList ticketNumbers() const
    {
        QStringList numbers;
        for (int i = 2; i <= nodes::nodeCount(tickets()); ++i)
            numbers << QString::number(posdata::ParseTicketNode(nodes::node(tickets(), i)->text(0))->number);
        return numbers;
    }
    QStringList documentIds() const
    {
        QStringList ids;
        for (int i = 2; i <= nodes::nodeCount(documents()); ++i)
            ids << nodes::node(documents(), i)->text(0).trimmed();
        return ids;
    }
    void clickNode(QTreeWidget *tree, int index)
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
                clickNode(tickets(), i);
    }
    // Chooses the tickets with these numbers by clicking their nodes.
    void choose(const QStringList &numbers)
    {
        const QStringList listed = ticketNumbers();
        for (const QString &n : numbers) {
            const int index = listed.indexOf(n) + 2;
            QVERIFY(index >= 2);
            clickNode(tickets(), index);
            QCOMPARE(nodes::image(nodes::node(tickets(), index)), 5);
        }
    }
    // The switch to the ticket view chooses the first ticket: the tests
    // choose their own.
    void switchView()
    {
        QTest::mouseClick(window->CmdFacturas, Qt::LeftButton);
        clearChosen();
    }
    // Shows a stored document in the document view.
    void pickDocument(const QString &id)
    {
        const int index = documentIds().indexOf(id) + 2;
        QVERIFY(index >= 2);
        clickNode(documents(), index);
        QCOMPARE(window->TxtFacAlb->text(), id);
    }
    void pressInvoice() { QTest::mouseClick(window->CmdFacturaImprime, Qt::LeftButton); }
    void pressDeliveryNote() { QTest::mouseClick(window->CmdAlbaranImprime, Qt::LeftButton); }
    void pressCancel() { QTest::mouseClick(window->CmdAnularAlb, Qt::LeftButton); }

    QString storeFile() const
    {
        const sql::ConnectionTarget t = sql::parseConnectionString(sql::invoiceStoreConnectionString());
        return state.engine.catalogFile(t.server, t.catalog);
    }
    QVector<QVariantList> store(const QString &sql) const { return fileRows(storeFile(), sql); }
    QString fecha(qint32 ticketId) { return pos.scalar(QString("SELECT fecha FROM documento WHERE iddocumento=%1").arg(ticketId)).toString(); }
    bool marker() const { return QFile::exists(folder.file("notrs_teclado")); }
};

// Issues a document of the tickets `numbers` through the window.
void issueFromTickets(Shop &shop, const QStringList &numbers, bool invoice)
{
    shop.choose(numbers);
    invoice ? shop.pressInvoice() : shop.pressDeliveryNote();
}

} // namespace

class TstIssueWorkflow : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void invoiceFromChosenTicketsIsStoredShownAndTicketsLeave()
    {
        Shop shop;
        shop.open();
        QTemporaryDir exports;
        shop.operatorAtPreview->exportDir = exports.path();
        shop.window->TxtLote->setText("  LOT-0615  ");
        shop.choose({"58", "57"});
        const QString total = shop.window->TxtTotal->text();
        const QString base = shop.window->TxtTotalBruto->text();
        QStringList listed;   // the lines as the list shows them: stored in that order
        for (int r = 0; r < shop.window->ListView1->topLevelItemCount(); ++r)
            listed << shop.window->ListView1->topLevelItem(r)->text(1) + " " + shop.window->ListView1->topLevelItem(r)->text(3);
        QCOMPARE(listed.size(), 3);
        int pagesSeen = -1;
        shop.operatorAtPreview->during = [&](FrmReportControl *panel) {
            // The operator pages, scrolls and zooms before closing.
            QTest::mouseClick(panel->CmdLast, Qt::LeftButton);
            QTest::mouseClick(panel->CmdDn, Qt::LeftButton);
            QTest::mouseClick(panel->CmdZoom, Qt::LeftButton);
            pagesSeen = shop.window->currentPreview()->pageCount();
        };

        shop.pressInvoice();

        QCOMPARE(shop.answers->messages(),
                 QStringList{"Confirmer l'édition d'une facture. Une fois l'édition acceptée, les tickets "
                             "sélectionnés seront inclus dans la facture et ne seront plus visualisés."});
        QCOMPARE(shop.operatorAtPreview->shown.size(), 1);
        const Shown &s = shop.operatorAtPreview->shown.first();
        QVERIFY(s.markerPresent);
        QVERIFY(!s.printButtonsEnabled);
        QCOMPARE(pagesSeen, 1);
        QCOMPARE(s.documentTitle, kFirstInvoice);
        QCOMPARE(s.captions["LblNFactura"], kFirstInvoice);
        QCOMPARE(s.captions["Etiqueta11"], QString("  Original"));
        QCOMPARE(s.captions["LblFacturaLiteral"], QString("   FACTURE"));
        QCOMPARE(s.captions["Etiqueta13"], QString("Nº Facture"));
        QCOMPARE(s.captions["LblEmpresa0"], QString("MAISON AUBERTIN - BOUCHERIE CHARCUTERIE"));
        QCOMPARE(s.captions["LblEmpresa1"], QString("Id.Fiscal:FR 11 512384975"));
        QCOMPARE(s.captions["LblEmpresa2"], QString("18 rue des Halles Télép.:"));
        QCOMPARE(s.captions["LblEmpresa3"], QString("Angers (49100) Maine-et-Loire"));
        QCOMPARE(s.captions["LblCliente0"], QString("CHARCUTERIE DU PORT"));
        QCOMPARE(s.captions["LblCliente1"], QString("Id.Fiscal:443 061 841 00013"));
        QCOMPARE(s.captions["LblCliente2"], QString("3 rue Saint-Aubin Télép.:02 41 00 00 00"));
        QCOMPARE(s.captions["LblCliente3"], QString("Angers (49000) Maine-et-Loire"));
        QCOMPARE(s.captions["LblIdCliente"], QString("443 061 841 00013"));
        QCOMPARE(s.captions["LblFecha"], QString("15/06/2021"));
        QCOMPARE(s.captions["LblTotal"], total);
        QCOMPARE(s.captions["LblTotBruto"], base);
        QCOMPARE(s.captions["EtqLote"], QString("LOT-0615"));
        // Two rates in use: 5.5 % then 20 %, the third row blank.
        QCOMPARE(s.captions["LblPor1"], QString("5,5"));
        QCOMPARE(s.captions["LblPor2"], QString("20"));
        QCOMPARE(s.captions["LblBase3"], QString());
        QVERIFY(s.logoVisible);
        QCOMPARE(s.detailRows, 3);
        QVERIFY(s.pdfText.contains(kFirstInvoice));
        QVERIFY(s.pdfText.contains("Croissant"));

        // After the close: marker gone, the two tickets gone, totals cleared.
        QVERIFY(!shop.marker());
        QCOMPARE(shop.ticketNumbers(), QStringList{"59"});
        QCOMPARE(shop.window->ListView1->topLevelItemCount(), 0);
        QCOMPARE(shop.window->TxtTotal->text(), QString("0"));
        QCOMPARE(shop.state.SelectionBase, 0.0);
        QVERIFY(shop.window->CmdFacturaImprime->isEnabled());
        QVERIFY(shop.window->CmdAlbaranImprime->isEnabled());
        QVERIFY(!shop.window->currentReport());

        const auto header = shop.store("SELECT IdDocumento, TipoDocumento, NumCopia, ProcedeAlbaran, IdCliente, "
                                       "totalbruto FROM facturas");
        QCOMPARE(header.size(), 1);
        QCOMPARE(header[0][0].toString(), kFirstInvoice);
        QCOMPARE(header[0][1].toInt(), 1);
        QCOMPARE(header[0][2].toInt(), 0);
        QVERIFY(header[0][3].isNull());
        QCOMPARE(header[0][4].toInt(), 15);
        QCOMPARE(QLocale().toString(header[0][5].toDouble()), base);
        QStringList stored;
        for (const QVariantList &line : shop.store("SELECT numerodetique, descripcion, IdExterno FROM documento "
                                                   "WHERE IdDocumento='" + kFirstInvoice + "' ORDER BY rowid")) {
            stored << line[0].toString() + " " + line[1].toString();
            QCOMPARE(line[2].toInt(), line[0].toInt() == 57 ? kTicket57 : kTicket58);
        }
        QCOMPARE(stored, listed);
        QCOMPARE(shop.fecha(kTicket57), QString("2021-03-05 09:00:00.863"));
        QCOMPARE(shop.fecha(kTicket58), QString("2021-03-20 11:00:00.863"));
        QCOMPARE(shop.fecha(kTicket59), QString("2021-04-02 08:00:00.000"));
    }

    void textsAsLongAsTheirColumnsPrintWhole()
    {
        // Each text of the shop and of the customer as long as its column in
        // the point-of-sale database allows.
        auto text = [](QString start, int size) {
            for (int i = 0; start.size() < size; ++i)
                start += QStringLiteral(" MOT%1").arg(QChar('A' + i % 26));
            start.truncate(size);
            if (start.endsWith(' '))
                start[size - 1] = 'Z';
            return start;
        };
        const QList<QPair<QString, int>> columns = {
            {"nombre", 100}, {"direccion", 100}, {"codigopostal", 10},
            {"poblacion", 50}, {"provincia", 50}, {"telefono", 20}};
        QStringList values;
        QString setShop, setCustomer;
        for (const auto &[column, size] : columns) {
            const QString shopValue = text("FROMAGERIE ET CREMERIE DES HALLES CENTRALES " + column.toUpper(), size);
            const QString customerValue = text("RESTAURANT DU MARCHE COUVERT " + column.toUpper(), size);
            setShop += QString("%1 = '%2', ").arg(column, shopValue);
            setCustomer += QString("%1 = '%2', ").arg(column, customerValue);
            values << shopValue << customerValue;
        }
        const QString shopFiscal = text("FR 47 512384976 ID", 20), customerFiscal = text("512 384 976 00011 N", 20);
        values << shopFiscal << customerFiscal;

        Shop shop;
        shop.beforeLoad = [&](PosFixture &pos) {
            QVERIFY(pos.exec(QString("UPDATE empresa SET %1idfiscal = '%2'").arg(setShop, shopFiscal)));
            QVERIFY(pos.exec(QString("UPDATE cliente SET %1nif = '%2' WHERE idcliente = 15").arg(setCustomer, customerFiscal)));
        };
        shop.open();
        QTemporaryDir exports;
        shop.operatorAtPreview->exportDir = exports.path();
        shop.choose({"58"});
        shop.pressInvoice();
        QCOMPARE(shop.operatorAtPreview->shown.size(), 1);

        // Every word of every value, in order, in the text of the page.
        const QString page = shop.operatorAtPreview->shown.first().pdfText.join(' ');
        for (const QString &value : values) {
            qsizetype at = 0;
            for (const QString &word : value.split(' ', Qt::SkipEmptyParts)) {
                at = page.indexOf(word, at);
                QVERIFY2(at >= 0, qPrintable(QString("\"%1\" is not whole on the page:\n%2").arg(value, page)));
                at += word.size();
            }
        }
    }

    void zeroAmountOrDeclinedConfirmationChangesNothing()
    {
        Shop shop;
        shop.open();
        QVERIFY(shop.folder.writeFile("a.tmp", "x"));
        QVERIFY(shop.folder.writeFile("spool.TMP", "x"));
        QVERIFY(shop.folder.writeFile("keep.txt", "x"));

        shop.pressInvoice();
        shop.pressDeliveryNote();
        QCOMPARE(shop.answers->messages(), (QStringList{"Le montant à facturer est nul.", "Le montant est nul."}));
        // Left-overs of print jobs go before every print, other files stay.
        QVERIFY(!QFile::exists(shop.folder.file("a.tmp")));
        QVERIFY(!QFile::exists(shop.folder.file("spool.TMP")));
        QVERIFY(QFile::exists(shop.folder.file("keep.txt")));

        shop.choose({"57"});
        const QString total = shop.window->TxtTotal->text();
        shop.answers->cancelConfirmations(true);
        shop.answers->clear();
        shop.pressDeliveryNote();
        shop.pressInvoice();
        QCOMPARE(shop.answers->messages().size(), 2);
        QVERIFY(shop.answers->messages()[0].startsWith("Confirmer l'édition d'un bon de livraison."));
        QVERIFY(shop.answers->messages()[1].startsWith("Confirmer l'édition d'une facture."));
        QVERIFY(shop.operatorAtPreview->shown.isEmpty());
        QVERIFY(shop.store("SELECT * FROM facturas").isEmpty());
        QCOMPARE(shop.fecha(kTicket57), QString("2021-03-05 09:00:00.000"));
        // The choice stands as it was.
        QCOMPARE(nodes::image(nodes::node(shop.tickets(), 4)), 5);
        QCOMPARE(shop.window->ListView1->topLevelItemCount(), 2);
        QCOMPARE(shop.window->TxtTotal->text(), total);
        QVERIFY(shop.window->CmdFacturaImprime->isEnabled() && shop.window->CmdAlbaranImprime->isEnabled());
        QVERIFY(!shop.marker());
    }

    void invoiceCopiesCountUpAndDeliveryNoteCopiesKeepTheirNumber()
    {
        Shop shop;
        shop.open();
        issueFromTickets(shop, {"57"}, true);
        issueFromTickets(shop, {"58"}, false);
        QCOMPARE(shop.operatorAtPreview->shown.size(), 2);
        QCOMPARE(shop.operatorAtPreview->shown[1].captions["LblNFactura"], kFirstNote);
        QCOMPARE(shop.operatorAtPreview->shown[1].captions["LblFacturaLiteral"], QString("BON LIVRAISON"));
        QCOMPARE(shop.operatorAtPreview->shown[1].captions["Etiqueta13"], QString("NºBon Liv."));
        shop.switchView();
        QVERIFY(shop.documentIds().contains(kFirstInvoice) && shop.documentIds().contains(kFirstNote));
        shop.answers->clear();
        shop.operatorAtPreview->shown.clear();

        for (int round = 0; round < 2; ++round) {
            shop.pickDocument(kFirstInvoice);
            shop.pressInvoice();
            shop.pickDocument(kFirstNote);
            shop.pressDeliveryNote();
        }
        QVERIFY(shop.answers->messages().isEmpty());   // copies ask nothing
        const auto &shown = shop.operatorAtPreview->shown;
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown[0].captions["Etiqueta11"], QString("       1"));
        QCOMPARE(shown[0].captions["LblNFactura"], kFirstInvoice);
        QCOMPARE(shown[0].captions["LblFacturaLiteral"], QString("   FACTURE"));
        QCOMPARE(shown[0].captions["LblFecha"], QString("15/06/2021"));
        QCOMPARE(shown[0].detailRows, 2);
        QCOMPARE(shown[1].captions["Etiqueta11"], QString("       1"));
        QCOMPARE(shown[1].captions["LblNFactura"], kFirstNote);
        QCOMPARE(shown[2].captions["Etiqueta11"], QString("       2"));
        QCOMPARE(shown[3].captions["Etiqueta11"], QString("       1"));
        QCOMPARE(shop.store("SELECT NumCopia FROM facturas WHERE IdDocumento='" + kFirstInvoice + "'")[0][0].toInt(), 2);
        QCOMPARE(shop.store("SELECT NumCopia FROM facturas WHERE IdDocumento='" + kFirstNote + "'")[0][0].toInt(), 0);

        // After a print nothing is selected any more; a note from an invoice is refused.
        shop.pressInvoice();
        shop.pickDocument(kFirstInvoice);
        shop.pressDeliveryNote();
        QCOMPARE(shop.answers->messages(),
                 (QStringList{"PAS DE FACTURE OU DE BON DE LIVRAISON SELECTIONNE.",
                              "IMPOSSIBLE DE GÉNÉRER UN BON DE LIVRAISON À PARTIR D'UNE FACTURE"}));
        QCOMPARE(shown.size(), 4);
        QVERIFY(shop.window->CmdFacturaImprime->isEnabled() && shop.window->CmdAlbaranImprime->isEnabled());
    }

    void deliveryNoteIsInvoicedOnceAndThenCannotBeCancelled()
    {
        Shop shop;
        shop.open();
        issueFromTickets(shop, {"57", "58"}, false);
        shop.switchView();
        shop.answers->clear();
        shop.operatorAtPreview->shown.clear();

        shop.pickDocument(kFirstNote);
        shop.pressInvoice();
        QVERIFY(shop.answers->messages().isEmpty());   // no confirmation
        QCOMPARE(shop.operatorAtPreview->shown.size(), 1);
        const Shown &s = shop.operatorAtPreview->shown.first();
        QCOMPARE(s.captions["LblNFactura"], kFirstInvoice);
        QCOMPARE(s.captions["Etiqueta11"], QString("  Original"));
        QCOMPARE(s.captions["LblFacturaLiteral"], QString("   FACTURE"));
        QCOMPARE(s.detailRows, 3);
        QVERIFY(shop.window->TxtFacAlb->text().isEmpty());
        QCOMPARE(shop.store("SELECT ProcedeAlbaran FROM facturas WHERE IdDocumento='" + kFirstInvoice + "'")[0][0]
                     .toString(),
                 kFirstNote);
        QCOMPARE(shop.store("SELECT count(*) FROM documento WHERE IdDocumento='" + kFirstInvoice + "'")[0][0].toInt(), 3);
        QCOMPARE(shop.documentIds().size(), 2);
        QCOMPARE(shop.fecha(kTicket57), QString("2021-03-05 09:00:00.863"));

        // Twice: refused with the invoice's id, and the next issue from
        // tickets asks for confirmation again.
        shop.pickDocument(kFirstNote);
        shop.pressInvoice();
        QCOMPARE(shop.answers->messages(), QStringList{"Bon de livraison déjà facturé. Facture:" + kFirstInvoice});
        QCOMPARE(shop.operatorAtPreview->shown.size(), 1);
        QVERIFY(shop.state.SourceDeliveryNote.isEmpty());
        QCOMPARE(shop.store("SELECT count(*) FROM facturas")[0][0].toInt(), 2);

        // Cancellation: refused for the invoiced note, for an invoice, for nothing.
        shop.answers->clear();
        shop.pickDocument(kFirstNote);
        shop.pressCancel();
        shop.pickDocument(kFirstInvoice);
        shop.pressCancel();
        shop.window->TxtFacAlb->clear();
        shop.pressCancel();
        QCOMPARE(shop.answers->messages(),
                 (QStringList{"Bon de livraison facture. Facture:" + kFirstInvoice + "\r\nImpossible de l'annuler...",
                              "Le Document sélectionné est une FACTURE.", "PAS DE DOCUMENT SELECTIONNE."}));
        QCOMPARE(shop.operatorAtPreview->shown.size(), 1);
        QCOMPARE(shop.store("SELECT count(*) FROM facturas")[0][0].toInt(), 2);

        shop.switchView();
        shop.answers->clear();
        issueFromTickets(shop, {"59"}, true);
        QCOMPARE(shop.answers->messages().size(), 1);
        QVERIFY(shop.answers->messages()[0].startsWith("Confirmer l'édition d'une facture."));
        QCOMPARE(shop.operatorAtPreview->shown.last().captions["LblNFactura"], kSecondInvoice);
        QVERIFY(shop.store("SELECT ProcedeAlbaran FROM facturas WHERE IdDocumento='" + kSecondInvoice + "'")[0][0]
                    .isNull());
    }

    void cancellationPrintsInRedDeletesTheNoteAndReopensItsTickets()
    {
        Shop shop;
        shop.open();
        issueFromTickets(shop, {"57", "58"}, false);
        QCOMPARE(shop.ticketNumbers(), QStringList{"59"});
        shop.switchView();
        shop.pickDocument(kFirstNote);
        shop.operatorAtPreview->shown.clear();
        shop.answers->clear();
        StatementCapture capture;

        shop.pressCancel();

        QVERIFY(shop.answers->messages().isEmpty());
        QCOMPARE(shop.operatorAtPreview->shown.size(), 1);
        const Shown &s = shop.operatorAtPreview->shown.first();
        QCOMPARE(s.captions["LblFacturaLiteral"], QString("BON LIVRA.ANNUL"));
        QCOMPARE(s.titleSize, 12.0);
        QCOMPARE(s.titleColor, QColor(255, 0, 0));
        QCOMPARE(s.captions["LblNFactura"], kFirstNote);
        QCOMPARE(s.captions["Etiqueta11"], QString("       1"));
        QVERIFY(s.markerPresent);
        QVERIFY(!shop.marker());
        QVERIFY(!shop.window->CancellationPrint);
        QVERIFY(shop.window->isEnabled());
        QVERIFY(shop.window->TxtFacAlb->text().isEmpty());
        QVERIFY(!shop.documentIds().contains(kFirstNote));
        QVERIFY(shop.store("SELECT * FROM facturas").isEmpty());
        QVERIFY(shop.store("SELECT * FROM documento").isEmpty());
        QCOMPARE(capture.startingWith("delete from dbo.facturas"),
                 QStringList{"delete from dbo.facturas where iddocumento='" + kFirstNote + "'"});
        QCOMPARE(shop.fecha(kTicket57), QString("2021-03-05 09:00:00.000"));
        QCOMPARE(shop.fecha(kTicket58), QString("2021-03-20 11:00:00.000"));
        QCOMPARE(shop.window->TxtTotal->text(), QString("0"));

        shop.switchView();
        QCOMPARE(shop.ticketNumbers(), (QStringList{"59", "58", "57"}));
        // A normal delivery note afterwards has the designed title look.
        issueFromTickets(shop, {"57"}, false);
        const Shown &next = shop.operatorAtPreview->shown.last();
        QCOMPARE(next.captions["LblFacturaLiteral"], QString("BON LIVRAISON"));
        QCOMPARE(next.titleSize, DataReport1().fontSize("LblFacturaLiteral"));
        QCOMPARE(next.titleColor, DataReport1().foreColor("LblFacturaLiteral"));
        // The cancelled note keeps its number and its archive: the next one
        // is numbered after it and archived beside it.
        const QString second = next.captions["LblNFactura"];
        QCOMPARE(second.left(second.size() - 4) + "0002", second);
        QCOMPARE(kFirstNote.left(kFirstNote.size() - 4), second.left(second.size() - 4));
        QCOMPARE(shop.store("SELECT IdDocumento FROM FacturasAnuladas"), (QVector<QVariantList>{{kFirstNote}}));
        QFile first(shop.folder.path() + "/archive/2021/" + kFirstNote + ".pdf");
        QFile later(shop.folder.path() + "/archive/2021/" + second + ".pdf");
        QVERIFY(first.open(QIODevice::ReadOnly) && later.open(QIODevice::ReadOnly));
        QVERIFY(first.readAll() != later.readAll());
    }

    void cancellationReleasesTheStoredLinesEvenWhenTheListIsEmpty()
    {
        Shop shop;
        shop.open();
        issueFromTickets(shop, {"57", "58"}, false);
        shop.switchView();
        shop.pickDocument(kFirstNote);
        shop.pressDeliveryNote();                       // a copy: clears the list and totals
        QCOMPARE(shop.window->ListView1->topLevelItemCount(), 0);
        shop.pickDocument(kFirstNote);
        shop.window->ListView1->clear();                // whatever the list shows
        shop.state.SelectionBase = 0;
        shop.answers->clear();
        const int previews = shop.operatorAtPreview->shown.size();

        shop.pressCancel();

        // The print refuses (nothing loaded), the cancellation goes on.
        QCOMPARE(shop.answers->messages(), QStringList{"PAS DE FACTURE OU DE BON DE LIVRAISON SELECTIONNE."});
        QCOMPARE(shop.operatorAtPreview->shown.size(), previews);
        QVERIFY(shop.store("SELECT * FROM facturas").isEmpty());
        QCOMPARE(shop.fecha(kTicket57), QString("2021-03-05 09:00:00.000"));
        QCOMPARE(shop.fecha(kTicket58), QString("2021-03-20 11:00:00.000"));
    }

    void cancellationThatCannotReleaseTheTicketsKeepsTheNote()
    {
        Shop shop;
        shop.open();
        issueFromTickets(shop, {"57"}, false);
        shop.switchView();
        shop.pickDocument(kFirstNote);
        // The point-of-sale server refuses the update of the ticket.
        QVERIFY(shop.pos.exec("CREATE TRIGGER refuse BEFORE UPDATE ON documento "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        shop.answers->clear();

        shop.pressCancel();

        QCOMPARE(shop.answers->messages(),
                 QStringList{"Le bon de livraison " + kFirstNote
                             + " n'a pas pu être annulé. Il reste enregistré, ses tickets aussi."});
        QCOMPARE(shop.store("SELECT count(*) FROM facturas")[0][0].toInt(), 1);
        QCOMPARE(shop.store("SELECT count(*) FROM documento")[0][0].toInt(), 2);
        QCOMPARE(shop.fecha(kTicket57), QString("2021-03-05 09:00:00.863"));
        QVERIFY(shop.documentIds().contains(kFirstNote));
        QVERIFY(shop.window->isEnabled());
    }

    void cancellationDeletesOnlyADocumentTheTreeShows()
    {
        Shop shop;
        shop.open();
        issueFromTickets(shop, {"57"}, false);
        shop.switchView();
        shop.pickDocument(kFirstNote);
        StatementCapture capture;
        shop.answers->clear();
        for (const QString &typed : {QString("A' or 1=1 --"), QString("A012100150009")}) {
            shop.window->TxtFacAlb->setText(typed);
            shop.pressCancel();
        }
        QCOMPARE(shop.answers->messages(),
                 (QStringList{"PAS DE DOCUMENT SELECTIONNE.", "PAS DE DOCUMENT SELECTIONNE."}));
        QVERIFY(capture.startingWith("delete").isEmpty());
        QCOMPARE(shop.store("SELECT count(*) FROM facturas")[0][0].toInt(), 1);
    }

    void failedIssueShowsNothingAndRefreshes()
    {
        Shop shop;
        shop.open();
        fileRows(shop.storeFile(), "CREATE TRIGGER refuse BEFORE INSERT ON documento "
                                   "BEGIN SELECT RAISE(ABORT, 'refused'); END");
        shop.choose({"57"});
        shop.pressInvoice();
        QCOMPARE(shop.answers->messages().size(), 2);
        QCOMPARE(shop.answers->messages()[1],
                 QString("La facture n'a pas pu être générée. Aucun ticket n'a été facturé."));
        QVERIFY(shop.operatorAtPreview->shown.isEmpty());
        QVERIFY(shop.store("SELECT * FROM facturas").isEmpty());
        QCOMPARE(shop.fecha(kTicket57), QString("2021-03-05 09:00:00.000"));
        // Lists and totals refreshed: the ticket is offered again, unchosen.
        QCOMPARE(shop.ticketNumbers(), (QStringList{"59", "58", "57"}));
        QCOMPARE(nodes::image(nodes::node(shop.tickets(), 4)), 4);
        QCOMPARE(shop.window->ListView1->topLevelItemCount(), 0);
        QCOMPARE(shop.window->TxtTotal->text(), QString("0"));
        QVERIFY(shop.window->CmdFacturaImprime->isEnabled() && shop.window->CmdAlbaranImprime->isEnabled());
        QVERIFY(!shop.marker());
    }

    // Another back office invoiced one of the chosen tickets meanwhile (its
    // second moved): nothing is stored, the operator is told which ticket,
    // and the refreshed list no longer offers it.
    void ticketInvoicedElsewhereIsRefusedAndNamed()
    {
        Shop shop;
        shop.open();
        shop.choose({"57", "58"});
        QVERIFY(shop.pos.exec(QString("UPDATE documento SET fecha='2021-03-20 11:00:00.863' WHERE iddocumento=%1")
                                  .arg(kTicket58)));
        shop.pressInvoice();
        QCOMPARE(shop.answers->messages().size(), 2);
        QCOMPARE(shop.answers->messages()[1],
                 QString("Le ticket 58 a déjà été facturé sur un autre poste. La facture n'a pas été générée."));
        QVERIFY(shop.operatorAtPreview->shown.isEmpty());
        QVERIFY(shop.store("SELECT * FROM facturas").isEmpty());
        QVERIFY(shop.store("SELECT * FROM MarcasPendientes").isEmpty());
        QCOMPARE(shop.fecha(kTicket57), QString("2021-03-05 09:00:00.000"));
        QCOMPARE(shop.fecha(kTicket58), QString("2021-03-20 11:00:00.863"));
        QCOMPARE(shop.ticketNumbers(), (QStringList{"59", "57"}));
        QCOMPARE(shop.window->TxtTotal->text(), QString("0"));
    }

    // The point of sale stays busy at its commit and the store at the
    // take-back: the invoice stays stored, is not printed, and the operator
    // is told so. The next issue makes its marks first; the invoice is then
    // archived and named for printing.
    void invoiceStoredWithMarksOwedIsToldAndCompletedLater()
    {
        Shop shop;
        shop.open();
        shop.choose({"57"});
        {
            ReadLock pos(shop.pos.file());
            LockAtCommit store(shop.storeFile(), 2);
            shop.pressInvoice();
        }
        const QVector<QVariantList> stored = shop.store("SELECT IdDocumento, FechaDocumento FROM facturas");
        QCOMPARE(stored.size(), 1);
        const QString id = stored[0][0].toString();
        QCOMPARE(shop.answers->messages().size(), 2);
        QCOMPARE(shop.answers->messages()[1],
                 QString("La facture %1 est enregistrée, mais ses tickets n'ont pas pu être marqués comme facturés "
                         "dans Tillvane. Ils le seront avant le prochain document. Elle n'a pas été imprimée : "
                         "imprimez-la depuis la vue des documents.").arg(id));
        QVERIFY(shop.operatorAtPreview->shown.isEmpty());
        QCOMPARE(shop.fecha(kTicket57), QString("2021-03-05 09:00:00.000"));
        const QString archived = shop.folder.path() + "/archive/2021/" + id + ".pdf";
        QVERIFY(QFileInfo::exists(archived));

        shop.choose({"59"});
        shop.pressDeliveryNote();
        QCOMPARE(shop.fecha(kTicket57), QString("2021-03-05 09:00:00.863"));
        QVERIFY(shop.store("SELECT * FROM MarcasPendientes").isEmpty());
        QCOMPARE(shop.answers->messages().last(),
                 QString("Le document %1 était en attente : ses tickets sont maintenant marqués comme facturés dans "
                         "Tillvane. Il n'a pas encore été imprimé : imprimez-le depuis la vue des documents.").arg(id));
        QCOMPARE(shop.ticketNumbers(), QStringList{"58"});
    }

    void storeErrorInACopyEndsTheCommandInOrder()
    {
        Shop shop;
        shop.open();
        issueFromTickets(shop, {"57"}, true);
        shop.switchView();
        shop.pickDocument(kFirstInvoice);
        fileRows(shop.storeFile(), "CREATE TRIGGER refuse BEFORE UPDATE ON facturas "
                                   "BEGIN SELECT RAISE(ABORT, 'refused'); END");
        QVERIFY(shop.folder.writeFile("notrs_teclado", ""));
        shop.answers->clear();
        const int previews = shop.operatorAtPreview->shown.size();

        shop.pressInvoice();

        QCOMPARE(shop.answers->messages(),
                 QStringList{"Le numéro de copie de " + kFirstInvoice
                             + " n'a pas pu être enregistré. La copie n'est pas imprimée."});
        QCOMPARE(shop.operatorAtPreview->shown.size(), previews);
        QVERIFY(shop.window->CmdFacturaImprime->isEnabled() && shop.window->CmdAlbaranImprime->isEnabled());
        QVERIFY(!shop.marker());
        QCOMPARE(shop.state.CopyNumber, 0);
        QCOMPARE(shop.store("SELECT NumCopia FROM facturas")[0][0].toInt(), 0);
    }

    void reportErrorInThePreviewEndsTheCommandInOrder()
    {
        Shop shop;
        shop.open();
        bool previewOpenAfterError = true;
        shop.operatorAtPreview->during = [&](FrmReportControl *) {
            shop.window->currentPreview()->exportPdfTo(shop.folder.file("no/such/folder/x.pdf"));
            previewOpenAfterError = shop.window->currentPreview()->isVisible();
        };
        issueFromTickets(shop, {"57"}, true);
        QCOMPARE(shop.answers->messages().size(), 2);   // confirmation, then the error
        QVERIFY(!previewOpenAfterError);
        QVERIFY(!shop.marker());
        QVERIFY(shop.window->CmdFacturaImprime->isEnabled() && shop.window->CmdAlbaranImprime->isEnabled());
        // The document was issued before it was shown: it stays issued.
        QCOMPARE(shop.store("SELECT count(*) FROM facturas")[0][0].toInt(), 1);
        QCOMPARE(shop.ticketNumbers(), (QStringList{"59", "58"}));
    }

    void printsOnceIntoARealQueue()
    {
        const QString queue = QStringLiteral("zedorev-pdf");
        const QString why = ensureCupsQueue(queue, true);
        if (!why.isEmpty())
            QSKIP(qPrintable("CUPS not usable here: " + why));
        Shop shop;
        shop.open();
        shop.window->setPrinterQueue(queue);
        // cups-pdf names its file after the job title, the document's id.
        const QDir out(QDir::home().filePath("PDF"));
        for (const QString &old : out.entryList({kFirstInvoice + "*.pdf"}, QDir::Files))
            QFile::remove(out.filePath(old));
        bool disabledAfterPress = false;
        QString job;
        int outcome = -1;
        shop.operatorAtPreview->during = [&](FrmReportControl *panel) {
            QSignalSpy done(panel, &FrmReportControl::printFinished);
            QTest::mouseClick(panel->CmdPrint, Qt::LeftButton);
            disabledAfterPress = !panel->CmdPrint->isEnabled();
            if (panel->printJob())
                job = panel->printJob()->jobId();
            QTest::mouseClick(panel->CmdPrint, Qt::LeftButton);   // no second job
            if (done.wait(30000))
                outcome = int(done.at(0).at(0).value<documents::PrintJobWatcher::Outcome>());
            if (done.size() != 1)
                outcome = -2;
        };

        issueFromTickets(shop, {"57", "58"}, true);

        QCOMPARE(shop.operatorAtPreview->shown.size(), 1);
        QVERIFY(disabledAfterPress);
        QVERIFY(job.startsWith(queue + "-"));
        QCOMPARE(outcome, int(documents::PrintJobWatcher::Completed));
        QStringList files;
        QTRY_VERIFY_WITH_TIMEOUT(!(files = out.entryList({kFirstInvoice + "*.pdf"}, QDir::Files)).isEmpty(), 20000);
        QCOMPARE(files.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(pdfPageCount(out.filePath(files[0])), 1, 10000);
        QFile::remove(out.filePath(files[0]));
    }
};

QTEST_MAIN(TstIssueWorkflow)
#include "tst_issueworkflow.moc"
