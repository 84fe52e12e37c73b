// The search boxes of the main window on a real X server: keys typed
// through XTest (xdotool) while a list reloads behind the wait window, the
// customer code shown after a choice and replaced by the first key, and the
// yellow of a found node read back from the screen.
#include "choosing_helpers.h"

#include "externo/mainwindow/TreeNodes.h"
#include "externo/store/Facturas.h"
#include "externo/store/StoreSetup.h"

#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

using namespace zd;
using namespace zd::choosing;
using zd::test::LineSpec;
using zd::test::TicketSpec;

namespace {

// Customers in tree order: 3-BOULANGERIE, 12-BOUCHERIE, 15-EPICERIE; the
// tickets 12, 120 and 7 of BOUCHERIE (listed 120, 12, 7), chosen at start.
void addShop(Shop &shop)
{
    QVERIFY(shop.pos.addShopDefaults());
    QVERIFY(shop.pos.addCustomer({.idcliente = 3, .nombre = "BOULANGERIE"}));
    QVERIFY(shop.pos.addCustomer({.idcliente = 12, .nombre = "BOUCHERIE"}));
    QVERIFY(shop.pos.addCustomer({.idcliente = 15, .nombre = "EPICERIE"}));
    const int numbers[] = {12, 120, 7};
    for (int i = 0; i < 3; ++i) {
        TicketSpec t;
        t.iddocumento = 800 + i;
        t.numero = numbers[i];
        t.idcontacto = 12;
        t.fecha = QStringLiteral("2021-03-0%1 09:00:00.000").arg(i + 1);
        t.lines = {LineSpec::units(1, "Baguette", 1, 1)};
        QVERIFY(shop.pos.addTicket(t));
    }
}

// An invoice of customer `idcliente` in the invoice store, as the issue
// workflow stores it.
QString issueInvoice(Shop &shop, qint32 idcliente)
{
    AppState issuer(sql::EngineConfig::fromProgramFolder(shop.folder.path()));
    issuer.Customers.resize(4);
    issuer.Customers[2].idcliente = idcliente;
    issuer.SelectedCustomerIndex = 2;
    issuer.Company.idempresa = 1;
    issuer.Company.idfiscal = QStringLiteral("FR 47 512384976");
    issuer.CurrencyInfo = {QStringLiteral("Euro"), 2, QStringLiteral("€")};
    TaxRateEntry rate;
    rate.TaxTypeId = 1;
    rate.Percentage = 5.5;
    rate.Description = QStringLiteral("TVA 5.5%");
    rate.BaseTotal = 10;
    rate.TaxTotal = 0.55;
    issuer.TaxRates = {rate};
    issuer.TaxRateCount = 1;
    issuer.SelectionBase = 10;
    issuer.SelectionTax = 0.55;
    const LineRecordSet lines{{"1", "12", "1", "Baguette", "1.000", "10.00", "0.00", "10.00", "800"}};
    return IssueDocument(issuer, lines, 1, {});
}

// The window as the program opens it: loaded, then shown and active.
std::unique_ptr<FrmExterno> startWindow(Shop &shop)
{
    auto window = std::make_unique<FrmExterno>(shop.state);
    window->Load();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("main window not active");
    QTest::qWait(100);
    return window;
}

// Runs xdotool with `args` and waits for it while the window keeps
// handling its events.
bool xdotool(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), args);
    if (!process.waitForStarted())
        return false;
    QElapsedTimer timer;
    timer.start();
    while (process.state() != QProcess::NotRunning && timer.elapsed() < 20000)
        QTest::qWait(10);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Typing at an operator's pace, a key every 40 ms.
bool typeText(const QString &text)
{
    return xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text});
}

// A machine where the wait window is slow to come up: the keys typed
// meanwhile reach the window while the wait window has it disabled.
class SlowWaitWindow : public QObject {
public:
    SlowWaitWindow() { qApp->installEventFilter(this); }
    ~SlowWaitWindow() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == QLatin1String("FrmEspera"))
            QThread::msleep(300);
        return false;
    }
};

// The colour on screen in the middle of the right half of node `index`,
// away from its text.
QColor onScreen(QTreeWidget *tree, int index)
{
    const QRect row = tree->visualItemRect(nodes::node(tree, index));
    const QPoint at = tree->viewport()->mapToGlobal(QPoint(row.left() + row.width() * 3 / 4, row.center().y()));
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage();
    return shot.pixelColor(0, 0);
}

bool isYellow(const QColor &c)
{
    return c.red() > 240 && c.green() > 240 && c.blue() < 40;
}

} // namespace

class TstSearchEntryX11 : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void keysTypedWhileAListReloadsAreApplied_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("code");         // TxtCodCli afterwards
        QTest::addColumn<int>("ticketSelected");   // ticket node selected afterwards

        QTest::newRow("customer name") << "TxtCliente" << "boucherie" << "12" << 0;
        // The reload unchooses the tickets: 120, listed first, is found.
        QTest::newRow("ticket number") << "TxtTique" << "120" << "12" << 2;
    }

    void keysTypedWhileAListReloadsAreApplied()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, code);
        QFETCH(int, ticketSelected);
        Shop shop;
        addShop(shop);
        auto w = startWindow(shop);
        QCOMPARE(w->TxtCodCli->text(), QString("12"));
        QLineEdit *entry = w->findChild<QLineEdit *>(box);
        entry->setFocus();
        SlowWaitWindow slow;
        int reloads = 0;
        if (entry == w->TxtTique) {
            // The chosen customer's list reloads as the typing starts.
            QTimer::singleShot(0, w.get(), [&] {
                ++reloads;
                w->TreeClient_Click(0);
            });
        }
        QVERIFY(typeText(typed));
        QTRY_COMPARE(entry->text(), typed);
        QCOMPARE(w->TxtCodCli->text(), code);
        QCOMPARE(nodes::node(w->TreeClient[1], 1)->text(0), QString("12-BOUCHERIE"));
        if (ticketSelected)
            QCOMPARE(nodes::selectedIndex(w->TreeClient[1]), ticketSelected);
        QVERIFY(w->isEnabled());
        if (entry == w->TxtTique)
            QCOMPARE(reloads, 1);
    }

    void theCodeShownAfterAChoiceIsReplacedByTheFirstKey_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("codeShown");
        QTest::newRow("at start") << "start" << "12";
        QTest::newRow("click in the tree") << "click" << "15";
        QTest::newRow("click on the chosen customer") << "click again" << "12";
        QTest::newRow("Enter") << "enter" << "3";
    }

    void theCodeShownAfterAChoiceIsReplacedByTheFirstKey()
    {
        QFETCH(QString, choice);
        QFETCH(QString, codeShown);
        Shop shop;
        addShop(shop);
        auto w = startWindow(shop);
        QTreeWidget *customers = w->TreeClient[0];
        if (choice.startsWith("click")) {
            const int node = choice == "click" ? 4 : 3;
            const QRect row = customers->visualItemRect(nodes::node(customers, node));
            const QPoint at = customers->viewport()->mapToGlobal(row.center());
            QVERIFY(xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"}));
        } else if (choice == "enter") {
            QVERIFY(typeText("3"));
            QVERIFY(xdotool({"key", "Return"}));
        }
        QTRY_COMPARE(w->TxtCliente->text(), codeShown);
        QCOMPARE(w->TxtCliente->selectedText(), codeShown);
        QCOMPARE(w->TxtCodCli->text(), codeShown);

        QVERIFY(typeText("b"));
        QTRY_COMPARE(w->TxtCliente->text(), QString("b"));
        QCOMPARE(w->TxtCodCli->text(), QString("3"));
        QCOMPARE(nodes::node(w->TreeClient[1], 1)->text(0), QString("3-BOULANGERIE"));
    }

    void foundNodesShowYellowOnScreen_data()
    {
        QTest::addColumn<int>("tree");
        QTest::addColumn<bool>("focusInTree");
        QTest::newRow("customer") << 0 << false;
        QTest::newRow("customer, focus in the tree") << 0 << true;
        QTest::newRow("ticket") << 1 << false;
        QTest::newRow("document") << 2 << false;
        QTest::newRow("document, focus in the tree") << 2 << true;
    }

    void foundNodesShowYellowOnScreen()
    {
        QFETCH(int, tree);
        QFETCH(bool, focusInTree);
        Shop shop;
        addShop(shop);
        QCOMPARE(EnsureInvoiceStore(shop.state), StoreCheck::Created);
        const QString invoice = issueInvoice(shop, 12);
        QVERIFY(!invoice.isEmpty());
        auto w = startWindow(shop);
        QTreeWidget *nodesTree = w->TreeClient[tree];
        int found = 0;
        if (tree == 0) {
            w->TxtCliente->setFocus();
            QTest::keyClicks(w->TxtCliente, "epi");
            found = 4;
        } else {
            if (tree == 2)
                QTest::mouseClick(w->CmdFacturas, Qt::LeftButton);
            w->TxtTique->setFocus();
            QTest::keyClicks(w->TxtTique, tree == 1 ? QString("7") : invoice.left(4));
            found = tree == 1 ? 4 : 2;
        }
        QCOMPARE(nodes::selectedIndex(nodesTree), found);
        QCOMPARE(nodes::background(nodes::node(nodesTree, found)), QColor(255, 255, 0));
        if (focusInTree)
            nodesTree->setFocus();
        QTest::qWait(300);

        const QColor seen = onScreen(nodesTree, found);
        if (const QByteArray to = qgetenv("ZD_SCREENSHOT"); !to.isEmpty())
            QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(to) + QTest::currentDataTag()
                                                                 + ".png");
        QVERIFY2(isYellow(seen), qPrintable(QStringLiteral("the found node shows %1").arg(seen.name())));
        // The root next to it keeps its own colours.
        QVERIFY(!isYellow(onScreen(nodesTree, 1)));
    }
};

QTEST_MAIN(TstSearchEntryX11)
#include "tst_searchentry_x11.moc"
