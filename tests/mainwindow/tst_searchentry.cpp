// Typing in the main window's search boxes: a customer found by name or
// anywhere in its node text, a ticket found by the start of its number,
// the ticket summary line, the customer panel, and keys or clicks that
// find nothing to act on.
#include "choosing_helpers.h"

#include "externo/mainwindow/TreeNodes.h"
#include "externo/store/StoreSetup.h"
#include "support/StatementCapture.h"

#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace zd;
using namespace zd::choosing;
using zd::test::LineSpec;
using zd::test::TicketSpec;

namespace {

const QColor kYellow(255, 255, 0);

// Customers in tree order: 15-EPICERIE, 3-BOULANGERIE, 12-BOUCHERIE, 5-CAVE.
void addCustomers(Shop &shop)
{
    QVERIFY(shop.pos.addShopDefaults());
    QVERIFY(shop.pos.addCustomer({.idcliente = 1, .codigo = "15", .nombre = "EPICERIE"}));
    QVERIFY(shop.pos.addCustomer({.idcliente = 2, .codigo = "3", .nombre = "BOULANGERIE", .telefono = "02 41 33 33 33"}));
    QVERIFY(shop.pos.addCustomer({.idcliente = 4, .codigo = "12", .nombre = "BOUCHERIE"}));
    QVERIFY(shop.pos.addCustomer({.idcliente = 6, .codigo = "5", .nombre = "CAVE"}));
}

TicketSpec ticket(qint32 id, qint32 numero, int tipodocumento, const QString &fecha)
{
    TicketSpec t;
    t.iddocumento = id;
    t.numero = numero;
    t.idcontacto = 3;
    t.tipodocumento = tipodocumento;
    t.fecha = fecha;
    t.idusuario = 3;
    t.numeroterminal = 2;
    t.lines = {LineSpec::units(1, "Baguette", 1, 1)};
    return t;
}

QColor background(QTreeWidget *tree, int index)
{
    return nodes::background(nodes::node(tree, index));
}

} // namespace

class TstSearchEntry : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void customerFoundByTheWholeTypedText_data()
    {
        QTest::addColumn<QString>("typed");   // "\b" for Backspace
        QTest::addColumn<int>("node");        // the customer chosen afterwards
        QTest::addColumn<int>("reloads");     // ticket lists read meanwhile

        QTest::newRow("first letter, first in tree order") << "b" << 3 << 1;
        QTest::newRow("name prefix") << "bouc" << 4 << 2;
        QTest::newRow("no name starts with it: anywhere") << "pi" << 2 << 1;
        QTest::newRow("code") << "12" << 4 << 2;
        QTest::newRow("Backspace searches what is left") << "bouc\b\b" << 3 << 3;
        QTest::newRow("an emptied box searches nothing") << "bouc\b\b\b\b" << 3 << 3;
        QTest::newRow("space") << "cave " << 5 << 1;
    }

    void customerFoundByTheWholeTypedText()
    {
        QFETCH(QString, typed);
        QFETCH(int, node);
        QFETCH(int, reloads);
        Shop shop;
        addCustomers(shop);
        auto w = openWindow(shop);
        QTreeWidget *customers = w->TreeClient[0];
        QCOMPARE(shop.state.SelectedCustomerIndex, qint16(0));
        w->TxtCliente->setFocus();

        test::StatementCapture capture;
        for (const QChar c : typed) {
            if (c == u'\b')
                QTest::keyClick(w->TxtCliente, Qt::Key_Backspace);
            else
                QTest::keyClick(w->TxtCliente, c.toLatin1());
        }
        // The box keeps what was typed; the customer found is chosen.
        QString left = typed;
        while (left.contains(u'\b'))
            left.remove(left.indexOf(u'\b') - 1, 2);
        QCOMPARE(w->TxtCliente->text(), left);
        QCOMPARE(shop.state.SelectedCustomerIndex, qint16(node));
        QCOMPARE(nodes::selectedIndex(customers), node);
        QCOMPARE(w->TxtCodCli->text(), shop.state.Customers.at(node).codigo);
        QCOMPARE(w->TxtNomCli->text(), shop.state.Customers.at(node).nombre);
        QCOMPARE(nodes::node(w->TreeClient[1], 1)->text(0), nodes::node(customers, node)->text(0));
        for (int i = 2; i <= nodes::nodeCount(customers); ++i) {
            QCOMPARE(background(customers, i), i == node ? kYellow : QColor(Qt::white));
            QCOMPARE(nodes::image(nodes::node(customers, i)), i == node ? 3 : 2);
        }
        // A key that finds the customer already chosen does not read its list again.
        QCOMPARE(capture.startingWith("select * from dbo.documento where ((").size(), reloads);
    }

    void customerChosenOnEnter()
    {
        Shop shop;
        addCustomers(shop);
        auto w = openWindow(shop);
        w->TxtCliente->setFocus();
        // Not a code: the name pass finds nothing, the first text containing it is chosen.
        w->TxtCliente->setText("ERIE");
        QTest::keyClick(w->TxtCliente, Qt::Key_Return);
        QCOMPARE(shop.state.SelectedCustomerIndex, qint16(2));
        // The code shown, selected, and the focus kept in the box.
        QCOMPARE(w->TxtCliente->text(), QString("15"));
        QCOMPARE(w->TxtCliente->selectedText(), QString("15"));
        QCOMPARE(w->focusWidget(), w->TxtCliente);
    }

    // Customers in tree order: 3-CAVE 1515, 5-EPICERIE BOUCHARD, 00012-BOULANGERIE,
    // 15-BOUCHERIE MARTIN, A7-TRAITEUR; one open ticket, of customer `latest`.
    void theCustomerMeantIsChosen_data()
    {
        QTest::addColumn<int>("latest");
        QTest::addColumn<QString>("action");   // "start", "enter", "switch", "type" then Enter or switch
        QTest::addColumn<QString>("box");      // TxtCliente before the action ("keep": as it is)
        QTest::addColumn<QString>("chosen");   // code of the customer chosen, empty for none

        QTest::newRow("start: the ticket's customer") << 15 << "start" << "keep" << "15";
        QTest::newRow("start: code with leading zeros") << 12 << "start" << "keep" << "00012";
        QTest::newRow("start: no such customer") << 99 << "start" << "keep" << "";
        QTest::newRow("Enter: code") << 99 << "enter" << "5" << "5";
        QTest::newRow("Enter: code as a number") << 99 << "enter" << " 12 " << "00012";
        QTest::newRow("Enter: code in another case") << 99 << "enter" << "a7" << "A7";
        QTest::newRow("Enter: code listed after a name containing it") << 99 << "enter" << "15" << "15";
        QTest::newRow("Enter: a name") << 99 << "enter" << "cave" << "3";
        QTest::newRow("switch: empty box") << 15 << "switch" << "" << "15";
        QTest::newRow("switch: the chosen code shown") << 15 << "switch" << "keep" << "15";
        // "bouch" starts the name of 15 but is contained in 5's, listed first.
        QTest::newRow("Enter after typing a name") << 99 << "type enter" << "bouch" << "15";
        QTest::newRow("switch after typing a name") << 99 << "type switch" << "bouch" << "15";
    }

    void theCustomerMeantIsChosen()
    {
        QFETCH(int, latest);
        QFETCH(QString, action);
        QFETCH(QString, box);
        QFETCH(QString, chosen);
        Shop shop;
        QVERIFY(shop.pos.addShopDefaults());
        QVERIFY(shop.pos.addCustomer({.idcliente = 3, .nombre = "CAVE 1515"}));
        QVERIFY(shop.pos.addCustomer({.idcliente = 5, .nombre = "EPICERIE BOUCHARD"}));
        QVERIFY(shop.pos.addCustomer({.idcliente = 12, .codigo = "00012", .nombre = "BOULANGERIE"}));
        QVERIFY(shop.pos.addCustomer({.idcliente = 15, .nombre = "BOUCHERIE MARTIN"}));
        QVERIFY(shop.pos.addCustomer({.idcliente = 20, .codigo = "A7", .nombre = "TRAITEUR"}));
        TicketSpec t = ticket(901, 1, 1, "2021-03-01 09:00:00.000");
        t.idcontacto = latest;
        QVERIFY(shop.pos.addTicket(t));
        QCOMPARE(EnsureInvoiceStore(shop.state), StoreCheck::Created);
        auto w = openWindow(shop);
        w->TxtCliente->setFocus();
        if (action.startsWith("type")) {
            QTest::keyClicks(w->TxtCliente, box);
        } else if (box != "keep") {
            w->TxtCliente->setText(box);
        }
        if (action.endsWith("enter")) {
            QTest::keyClick(w->TxtCliente, Qt::Key_Return);
        } else if (action.endsWith("switch")) {
            QTest::mouseClick(w->CmdFacturas, Qt::LeftButton);
            QVERIFY(shop.state.DocumentViewActive);
        }

        const int index = shop.state.SelectedCustomerIndex;
        QCOMPARE(index >= 2 ? shop.state.Customers.at(index).codigo : QString(), chosen);
        if (chosen.isEmpty())
            return;
        QCOMPARE(w->TxtCodCli->text(), chosen);
        QCOMPARE(w->TxtCliente->selectedText(), chosen);
        QCOMPARE(nodes::selectedIndex(w->TreeClient[0]), index);
        QTreeWidget *list = w->TreeClient[shop.state.DocumentViewActive ? 2 : 1];
        // A code that is no number lists no tickets (no root).
        if (const QTreeWidgetItem *root = nodes::node(list, 1); root || chosen != "A7")
            QCOMPARE(root ? root->text(0) : QString(), nodes::node(w->TreeClient[0], index)->text(0));
        if (action.endsWith("switch")) {
            // And back: still the same customer, its ticket chosen.
            QTest::mouseClick(w->CmdFacturas, Qt::LeftButton);
            QCOMPARE(shop.state.SelectedCustomerIndex, qint16(index));
            QCOMPARE(childImages(w->TreeClient[1]).value(0), latest == chosen.toInt() ? 5 : 0);
        }
    }

    void ticketFoundByTheStartOfItsNumber()
    {
        Shop shop;
        addCustomers(shop);
        QVERIFY(shop.pos.addTicket(ticket(812, 12, 1, "2021-03-01 09:00:00.000")));
        QVERIFY(shop.pos.addTicket(ticket(820, 120, 2, "2021-03-02 09:00:00.000")));
        QVERIFY(shop.pos.addTicket(ticket(807, 7, 3, "2021-03-05 10:15:42.000")));
        auto w = openWindow(shop);
        QTreeWidget *tickets = w->TreeClient[1];
        clickNode(w->TreeClient[0], 3);   // nothing chosen
        QCOMPARE(childImages(tickets), (QVector<int>{4, 4, 4}));
        w->TxtTique->setFocus();

        QTest::keyClick(w->TxtTique, '1');
        QCOMPARE(nodes::selectedIndex(tickets), 2);
        QCOMPARE(background(tickets, 2), kYellow);
        QCOMPARE(w->TxtInfoTique->toPlainText(),
                 QString("N°Ticket: 12 Date : 01/03/2021 Vendeur: 3 Balance: 2 Montant: 1"));
        QTest::keyClick(w->TxtTique, '2');
        QCOMPARE(nodes::selectedIndex(tickets), 2);
        QTest::keyClick(w->TxtTique, '0');
        QCOMPARE(nodes::selectedIndex(tickets), 3);
        QCOMPARE(background(tickets, 2), QColor(Qt::white));
        QCOMPARE(background(tickets, 3), kYellow);
        QCOMPARE(w->TxtTique->text(), QString("120"));

        // Letters are discarded.
        QTest::keyClick(w->TxtTique, 'a');
        QTest::keyClick(w->TxtTique, ' ');
        QCOMPARE(w->TxtTique->text(), QString("120"));

        // Backspace searches the shortened text.
        QTest::keyClick(w->TxtTique, Qt::Key_Backspace);
        QCOMPARE(w->TxtTique->text(), QString("12"));
        QCOMPARE(nodes::selectedIndex(tickets), 2);

        // Enter chooses the highlighted ticket and empties the customer box.
        test::StatementCapture capture;
        QTest::keyClick(w->TxtTique, Qt::Key_Return);
        QCOMPARE(childImages(tickets), (QVector<int>{5, 4, 4}));
        QVERIFY(w->TxtCliente->text().isEmpty());
        QCOMPARE(capture.startingWith("Select * from dbo.lineadocumento"),
                 QStringList{"Select * from dbo.lineadocumento where iddocumento=812"});

        // A chosen ticket is passed over, by typing and by Backspace.
        w->TxtTique->clear();
        QTest::keyClick(w->TxtTique, '1');
        QCOMPARE(nodes::selectedIndex(tickets), 3);
        QTest::keyClick(w->TxtTique, Qt::Key_Backspace);
        QVERIFY(w->TxtTique->text().isEmpty());
        QCOMPARE(nodes::selectedIndex(tickets), 3);   // empty text: the first one not chosen
        QTest::keyClick(w->TxtTique, Qt::Key_Backspace);   // empty box: nothing searched
        QCOMPARE(nodes::selectedIndex(tickets), 3);

        // No match: the summary is emptied.
        QTest::keyClick(w->TxtTique, '9');
        QVERIFY(w->TxtInfoTique->toPlainText().isEmpty());
    }

    void ticketSummaryFollowsTheArrowKeys()
    {
        Shop shop;
        addCustomers(shop);
        TicketSpec t = ticket(1234, 57, 1, "2021-03-05 10:15:42.000");
        t.totalneto = 12.5;
        QVERIFY(shop.pos.addTicket(t));
        QVERIFY(shop.pos.addTicket(ticket(1235, 58, 1, "2021-03-06 10:15:42.000")));
        auto w = openWindow(shop);
        QTreeWidget *tickets = w->TreeClient[1];
        tickets->setFocus();
        nodes::select(tickets, 2);   // 58, chosen at start
        test::StatementCapture capture;
        QTest::keyClick(tickets, Qt::Key_Down);
        QCOMPARE(nodes::selectedIndex(tickets), 3);
        QCOMPARE(w->TxtInfoTique->toPlainText(),
                 QString("N°Ticket: 57 Date : 05/03/2021 Vendeur: 3 Balance: 2 Montant: 12,5"));
        QCOMPARE(capture.statements(), QStringList{"Select * from dbo.documento where iddocumento=1234"});

        // A ticket gone from the point of sale keeps the line shown.
        QVERIFY(shop.pos.exec("delete from documento where iddocumento=1235"));
        QTest::keyClick(tickets, Qt::Key_Up);
        QCOMPARE(nodes::selectedIndex(tickets), 2);
        QVERIFY(w->TxtInfoTique->toPlainText().startsWith("N°Ticket: 57 "));

        // The root: empty, without a query.
        capture.clear();
        QTest::keyClick(tickets, Qt::Key_Up);
        QCOMPARE(nodes::selectedIndex(tickets), 1);
        QVERIFY(w->TxtInfoTique->toPlainText().isEmpty());
        QVERIFY(capture.statements().isEmpty());
    }

    void theCustomersRootHandsTheFocusToTheTicketTree()
    {
        Shop shop;
        addCustomers(shop);
        QVERIFY(shop.pos.addTicket(ticket(901, 1, 1, "2021-03-01 09:00:00.000")));
        auto w = openWindow(shop);
        w->TxtTique->setText("1");
        nodes::setBackground(nodes::node(w->TreeClient[1], 2), kYellow);
        nodes::select(w->TreeClient[1], 2);
        clickNode(w->TreeClient[0], 1);
        QVERIFY(w->TreeClient[1]->hasFocus());
        // Getting the focus unpaints the ticket and empties the ticket box.
        QCOMPARE(background(w->TreeClient[1], 2), QColor(Qt::white));
        QVERIFY(w->TxtTique->text().isEmpty());
        // With the root selected in the customer tree, tickets do not act.
        clickNode(w->TreeClient[1], 2);
        QCOMPARE(childImages(w->TreeClient[1]), QVector<int>{5});
    }

    void clickingTheChosenCustomerAgainReloadsWithoutThePanel()
    {
        Shop shop;
        addCustomers(shop);
        QVERIFY(shop.pos.addTicket(ticket(901, 1, 1, "2021-03-01 09:00:00.000")));
        auto w = openWindow(shop);
        QCOMPARE(childImages(w->TreeClient[1]), QVector<int>{5});
        w->TxtNomCli->setText("changed by hand");
        clickNode(w->TreeClient[0], 3);
        QCOMPARE(childImages(w->TreeClient[1]), QVector<int>{4});
        QCOMPARE(w->ListView1->topLevelItemCount(), 0);
        QCOMPARE(w->TxtTotal->text(), QString("0"));
        QCOMPARE(w->TxtNomCli->text(), QString("changed by hand"));
    }

    void strayEventsOnEmptyTreesDoNothing()
    {
        Shop shop;
        addCustomers(shop);
        auto w = openWindow(shop);   // no ticket anywhere: no customer chosen
        for (int index = 0; index < 3; ++index) {
            w->TreeClient_Click(index);
            w->TreeClient_NodeClick(index);
            int enter = 13;
            w->TreeClient_KeyPress(index, enter);
            w->TreeClient_KeyUp(index, 40);
            w->TreeClient_GotFocus(index);
            w->TreeClient_LostFocus(index);
        }
        w->TxtTique->setFocus();
        QTest::keyClicks(w->TxtTique, "12");
        QTest::keyClick(w->TxtTique, Qt::Key_Backspace);
        QTest::keyClick(w->TxtTique, Qt::Key_Return);
        QCOMPARE(w->TxtTique->text(), QString("1"));
        w->HighlightListNode(7);
        w->ShowTicketInfo();
        QCOMPARE(shop.state.SelectedCustomerIndex, qint16(0));
        QCOMPARE(nodes::nodeCount(w->TreeClient[1]), 0);

        // A window whose customer tree holds no customer: keys do nothing.
        FrmExterno bare(shop.state);
        int key = 'a';
        bare.TxtCliente_KeyPress(key);
        key = 13;
        bare.TxtCliente_KeyPress(key);
        QCOMPARE(key, 13);
        QCOMPARE(shop.state.SelectedCustomerIndex, qint16(0));
    }
};

QTEST_MAIN(TstSearchEntry)
#include "tst_searchentry.moc"
