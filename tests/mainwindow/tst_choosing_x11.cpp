// The main window on a real X server with a customer and three of its
// tickets chosen: what the operator sees of the lines, the amounts and the
// tax rows. With ZD_SCREENSHOT set, the window is also saved there (PNG).
#include "choosing_helpers.h"

#include "externo/mainwindow/TreeNodes.h"

#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QTreeWidget>

using namespace zd;
using namespace zd::choosing;
using zd::test::LineSpec;
using zd::test::TicketSpec;

namespace {

// The columns, left to right, in which `image` has dark (text) pixels
// within `area`.
QPair<int, int> inkColumns(const QImage &image, const QRect &area)
{
    int left = -1, right = -1;
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (qGray(image.pixel(x, y)) < 110) {
                if (left < 0)
                    left = x;
                right = x;
                break;
            }
        }
    }
    return {left, right};
}

} // namespace

class TstChoosingX11 : public QObject {
    Q_OBJECT
private slots:
    void threeTicketsChosenOnScreen()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        Shop shop;
        QVERIFY(shop.pos.addShopDefaults());
        QVERIFY(shop.pos.addCustomer({.idcliente = 3, .nombre = "BOULANGERIE DU CHATEAU"}));
        QVERIFY(shop.pos.addCustomer({.idcliente = 12, .codigo = "00012", .nombre = "BOUCHERIE MARTIN"}));
        QVERIFY(shop.pos.addCustomer({.idcliente = 15, .nombre = "EPICERIE FINE"}));
        const QVector<QVector<LineSpec>> tickets{
            {LineSpec::weighed(2001, "Jambon blanc", 1.25, 24.90), LineSpec::units(3001, "Baguette", 3, 1.10)},
            {LineSpec::weighed(2002, "Rôti de porc", 0.842, 18.50, 3),
             LineSpec::units(4001, "Vin rouge AOC", 2, 8.90, 4)},
            {LineSpec::weighed(2003, "Pâté de campagne", 0.315, 21.00), LineSpec::units(3002, "Croissant", 6, 1.05),
             LineSpec::units(5001, "Jus de pomme", 1, 3.20, 4)},
        };
        for (int i = 0; i < tickets.size(); ++i) {
            TicketSpec t;
            t.iddocumento = 4100 + i;
            t.numero = 57 + i;
            t.idcontacto = 12;
            t.fecha = QString("2021-03-0%1 10:15:42.000").arg(i + 3);
            t.lines = tickets.at(i);
            QVERIFY(shop.pos.addTicket(t));
        }
        auto w = openWindow(shop);
        QTreeWidget *list = w->TreeClient[1];
        QCOMPARE(childImages(list), (QVector<int>{5, 4, 4}));   // the first, chosen at start
        clickNode(list, 3);
        clickNode(list, 4);
        QCOMPARE(childImages(list), (QVector<int>{5, 5, 5}));
        QCOMPARE(w->ListView1->topLevelItemCount(), 7);
        QVERIFY(w->TxtBase[0]->isVisible() && w->TxtBase[1]->isVisible() && w->TxtBase[2]->isVisible());
        QTest::qWait(200);

        const QImage shot = w->grab().toImage();
        if (const QByteArray to = qgetenv("ZD_SCREENSHOT"); !to.isEmpty())
            QVERIFY(shot.save(QString::fromLocal8Bit(to)));

        // "Montant" is right-aligned: its figures end at the column's right
        // edge; "Prix" is left-aligned: its figures start at its left edge.
        QHeaderView *header = w->ListView1->header();
        const QRect row = w->ListView1->visualItemRect(w->ListView1->topLevelItem(0));
        auto cell = [&](int column) {
            const QRect r(header->sectionViewportPosition(column), row.top(), header->sectionSize(column),
                          row.height());
            return QRect(w->ListView1->viewport()->mapTo(w.get(), r.topLeft()), r.size());
        };
        const QRect amount = cell(7);
        const QRect price = cell(5);
        const auto amountInk = inkColumns(shot, amount);
        const auto priceInk = inkColumns(shot, price);
        QVERIFY(amountInk.first >= 0 && priceInk.first >= 0);
        QVERIFY2(amount.right() - amountInk.second < 12, "Montant figures do not end at the right");
        QVERIFY2(amountInk.first - amount.left() > 12, "Montant figures start at the left");
        QVERIFY2(priceInk.first - price.left() < 12, "Prix figures do not start at the left");
    }
};

QTEST_MAIN(TstChoosingX11)
#include "tst_choosing_x11.moc"
