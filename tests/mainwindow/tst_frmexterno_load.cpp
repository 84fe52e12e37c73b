// The main window's load on fixture point-of-sale databases: catalogues,
// the customer tree, the shop data and logo, the controls' initial state,
// and the three conditions that end the program.
#include "externo/mainwindow/FrmExterno.h"
#include "externo/mainwindow/TreeNodes.h"

#include "support/DialogAnswerer.h"
#include "support/PosFixture.h"
#include "support/StatementCapture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace zd;
using namespace zd::test;

namespace {

// One program folder with a point-of-sale database and a state that records
// how the program would have ended.
struct Shop {
    ProgramFolder folder;
    PosFixture pos{folder.path()};
    AppState state{sql::EngineConfig::fromProgramFolder(folder.path())};
    int endCode = -1;
    int endCalls = 0;

    Shop()
    {
        state.EndProgram = [this](int code) {
            endCode = code;
            ++endCalls;
        };
    }
};

QByteArray pngBytes()
{
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TstFrmExternoLoad : public QObject {
    Q_OBJECT
private slots:
    void customersInIdOrderWithUntrimmedNodeTexts()
    {
        Shop shop;
        QVERIFY(shop.pos.addShopDefaults());
        QVERIFY(shop.pos.addCustomer({.idcliente = 7, .nombre = "SEPT"}));
        QVERIFY(shop.pos.addCustomer({.idcliente = 3, .nombre = "TROIS"}));
        QVERIFY(shop.pos.addCustomer({.idcliente = 12, .codigo = "00012", .nombre = "BOULANGERIE ",
                                      .nif = "  FR123  "}));
        FrmExterno w(shop.state);
        w.Load();
        QCOMPARE(shop.endCalls, 0);

        QTreeWidget *tree = w.TreeClient[0];
        QCOMPARE(nodes::nodeCount(tree), 4);
        QCOMPARE(nodes::node(tree, 1)->text(0), QString("Clients"));
        QCOMPARE(nodes::key(nodes::node(tree, 1)), QString("Clientes"));
        QCOMPARE(nodes::image(nodes::node(tree, 1)), 1);
        QVERIFY(nodes::node(tree, 1)->isExpanded());
        QCOMPARE(nodes::node(tree, 2)->text(0), QString("3-TROIS"));
        QCOMPARE(nodes::node(tree, 3)->text(0), QString("7-SEPT"));
        QCOMPARE(nodes::node(tree, 4)->text(0), QString("00012-BOULANGERIE "));
        for (int k = 2; k <= 4; ++k)
            QCOMPARE(nodes::image(nodes::node(tree, k)), 2);

        // Entry k belongs to node k; 0 and 1 stay empty; one spare entry.
        const auto &customers = shop.state.Customers;
        QCOMPARE(customers.size(), 6);
        QCOMPARE(customers[0].idcliente, 0);
        QCOMPARE(customers[1].idcliente, 0);
        QCOMPARE(customers[2].idcliente, 3);
        QCOMPARE(customers[3].idcliente, 7);
        QCOMPARE(customers[4].idcliente, 12);
        QCOMPARE(customers[4].codigo, QString("00012"));
        QCOMPARE(customers[4].nombre, QString("BOULANGERIE"));
        QCOMPARE(customers[4].nif, QString("FR123"));
        QCOMPARE(customers[5].idcliente, 0);
    }

    void nullNameKeepsNodeAndEntryPaired()
    {
        Shop shop;
        QVERIFY(shop.pos.addShopDefaults());
        QVERIFY(shop.pos.addCustomer({.idcliente = 1, .nombre = "UN"}));
        QVERIFY(shop.pos.addCustomer({.idcliente = 2, .nombre = QString()}));
        QVERIFY(shop.pos.addCustomer({.idcliente = 3, .nombre = "TROIS"}));
        FrmExterno w(shop.state);
        w.Load();
        QCOMPARE(nodes::node(w.TreeClient[0], 3)->text(0), QString("2-"));
        QCOMPARE(nodes::node(w.TreeClient[0], 4)->text(0), QString("3-TROIS"));
        QCOMPARE(shop.state.Customers[4].nombre, QString("TROIS"));
    }

    void shopDataTrimmedNotCutAndCurrency()
    {
        Shop shop;
        QVERIFY(shop.pos.addShopDefaults());
        CompanySpec company;
        company.nombre = "  " + QString(50, 'N') + "  ";
        company.codigopostal = " 49100 ";
        company.direccion = QString(45, 'D');
        company.mail = "  shop@example.fr ";
        company.idfiscal = " FR 99 ";
        QVERIFY(shop.pos.setCompany(company));
        QVERIFY(shop.pos.setCurrency("  Euro  ", 2, " € "));
        QVERIFY(shop.pos.addCustomer({.idcliente = 1, .nombre = "UN"}));
        FrmExterno w(shop.state);
        w.Load();
        const CompanyRecord &c = shop.state.Company;
        QCOMPARE(c.idempresa, 1);
        // Printed whole on the documents: not cut to 40 characters.
        QCOMPARE(c.nombre, QString(50, 'N'));
        QCOMPARE(c.direccion, QString(45, 'D'));
        QCOMPARE(c.codigopostal, QString(" 49100 "));
        QCOMPARE(c.mail, QString("shop@example.fr"));
        QCOMPARE(c.idfiscal, QString("FR 99"));
        QVERIFY(c.telefono.isEmpty());
        QCOMPARE(shop.state.CurrencyInfo.descripcion, QString("Euro"));
        QCOMPARE(shop.state.CurrencyInfo.decimales, 2);
        QCOMPARE(shop.state.CurrencyInfo.iniciales, QString("€"));
    }

    void logo_data()
    {
        QTest::addColumn<bool>("storedLogo");
        QTest::addColumn<bool>("fileLeftOver");
        QTest::addColumn<bool>("available");
        QTest::addColumn<bool>("sameLeftOver");   // the file left over holds the same logo
        QTest::newRow("logo in the database") << true << false << true << false;
        QTest::newRow("logo replaces an old file") << true << true << true << false;
        QTest::newRow("logo already there") << true << true << true << true;
        QTest::newRow("no logo, no file") << false << false << false << false;
        QTest::newRow("no logo, file from an earlier run") << false << true << true << false;
    }
    void logo()
    {
        QFETCH(bool, storedLogo);
        QFETCH(bool, fileLeftOver);
        QFETCH(bool, available);
        QFETCH(bool, sameLeftOver);
        Shop shop;
        QVERIFY(shop.pos.addShopDefaults());
        CompanySpec company;
        company.logo = storedLogo ? pngBytes() : QByteArray();
        QVERIFY(shop.pos.setCompany(company));
        QVERIFY(shop.pos.addCustomer({.idcliente = 1, .nombre = "UN"}));
        if (fileLeftOver)
            QVERIFY(shop.folder.writeFile("logo", sameLeftOver ? pngBytes() : QByteArray("old")));
        FrmExterno w(shop.state);
        w.Load();
        QCOMPARE(shop.state.LogoAvailable, available);
        QFile file(shop.folder.file("logo"));
        if (storedLogo) {
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), company.logo);
        }
    }

    void controlsAfterLoad()
    {
        Shop shop;
        QVERIFY(shop.pos.addShopDefaults());
        QVERIFY(shop.pos.addCustomer({.idcliente = 1, .nombre = "UN"}));
        StatementCapture capture;
        FrmExterno w(shop.state);
        w.Load();

        QCOMPARE(capture.statements(),
                 QStringList({"Select * from dbo.cliente order by idcliente", "Select * from dbo.empresa",
                              "Select * from dbo.moneda",
                              "select * from dbo.TipoImpuesto order by IdTipoImpuesto",
                              // the preselection: no open ticket, so nothing more
                              "select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) "
                              "and isfinalizado=1 and numero <> 0 and idcontacto<>0 and iddocumentoabono=0 "
                              "order by fecha,hora"}));
        QCOMPARE(w.windowTitle(), QString("Tiques de Clientes."));
        QVERIFY(!w.TreeClient[2]->isEnabled());
        QVERIFY(w.TreeClient[2]->isHidden());
        QVERIFY(w.TxtFacAlb->isHidden());
        QVERIFY(!w.CmdAnularAlb->isEnabled());
        QCOMPARE(w.CmdFacturas->text(), QString("AFFICHAGE FACTURES/BLs"));
        QCOMPARE(shop.state.SortDirection, QString("DESC"));
        QVERIFY(!shop.state.DocumentViewActive);
        QCOMPARE(shop.state.TaxRateCount, qint16(4));

        const QStringList headers{"Id", "N°Ticket", "Cod.Art.", "Descriptif", "Quantité",
                                  "Prix", "Remise", "Montant", "IdExterno"};
        QCOMPARE(w.ListView1->columnCount(), 9);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(w.ListView1->headerItem()->text(i), headers[i]);
        QVERIFY(w.ListView1->headerItem()->textAlignment(7) & Qt::AlignRight);
        QVERIFY(!(w.ListView1->headerItem()->textAlignment(3) & Qt::AlignRight));
        QCOMPARE(w.ListView1->header()->sectionSize(8), 0);
        // 40 mm for "Descriptif" at 96 dpi.
        QCOMPARE(w.ListView1->columnWidth(3), 151);

        for (QLineEdit *box : {w.TxtTotalBruto, w.TxtTotalImpuestos, w.TxtTotal})
            QCOMPARE(box->text(), QString("0"));
        for (int k = 0; k < 5; ++k)
            QVERIFY(w.TxtBase[k]->isHidden());
        // Design positions: twips / 15.
        QCOMPARE(w.ListView1->geometry(), QRect(384, 248, 609, 169));
        QCOMPARE(w.TxtCliente->geometry(), QRect(80, 8, 281, 33));
        QCOMPARE(w.TxtCliente->maxLength(), 25);
        QCOMPARE(w.MaskDesde->displayText(), QString("__/__/____"));
    }

    void noCustomersEndsTheProgram()
    {
        Shop shop;
        QVERIFY(shop.pos.addShopDefaults());
        DialogAnswerer answerer;
        QWidget loading;
        loading.show();
        FrmExterno w(shop.state);
        w.Load(&loading);
        QCOMPARE(answerer.messages(), QStringList{"PAS DE CLIENTS..."});
        QCOMPARE(shop.endCalls, 1);
        QCOMPARE(shop.endCode, 0);
        QVERIFY(!shop.state.PosConnection);
        QVERIFY(loading.isVisible());   // not closed on this path
    }

    void missingShopDataEndsTheProgram_data()
    {
        QTest::addColumn<int>("idempresa");
        QTest::addColumn<QString>("idfiscal");
        QTest::addColumn<bool>("row");
        QTest::newRow("no shop row") << 1 << "FR 1" << false;
        QTest::newRow("company 0") << 0 << "FR 1" << true;
        QTest::newRow("empty fiscal id") << 1 << "   " << true;
    }
    void missingShopDataEndsTheProgram()
    {
        QFETCH(int, idempresa);
        QFETCH(QString, idfiscal);
        QFETCH(bool, row);
        Shop shop;
        QVERIFY(shop.pos.addShopDefaults());
        if (row)
            QVERIFY(shop.pos.setCompany({.idempresa = idempresa, .idfiscal = idfiscal}));
        else
            QVERIFY(shop.pos.exec("delete from empresa"));
        QVERIFY(shop.pos.addCustomer({.idcliente = 1, .nombre = "UN"}));
        DialogAnswerer answerer;
        QWidget loading;
        loading.show();
        FrmExterno w(shop.state);
        w.Load(&loading);
        QCOMPARE(answerer.messages(),
                 QStringList{"DONNEES DE L'ENTREPRISE NON PROGRAMMEES.SAISIR LES DONNES DANS LE MENU "
                             "PROGRAMMATIONS."});
        QCOMPARE(shop.endCalls, 1);
        QVERIFY(!loading.isVisible());
    }

    void unreachablePointOfSaleTakesTheOfflinePath()
    {
        Shop shop;
        shop.pos.close();
        QVERIFY(QFile::remove(shop.pos.file()));
        DialogAnswerer answerer;
        QWidget loading;
        loading.show();
        FrmExterno w(shop.state);
        w.Load(&loading);
        QCOMPARE(answerer.messages(), QStringList{"Hors Ligne avec Tillvane..."});
        QCOMPARE(shop.endCalls, 1);
        QVERIFY(!loading.isVisible());
    }

    void missingCurrencyKeepsItEmpty()
    {
        Shop shop;
        QVERIFY(shop.pos.addShopDefaults());
        QVERIFY(shop.pos.exec("delete from moneda"));
        QVERIFY(shop.pos.addCustomer({.idcliente = 1, .nombre = "UN"}));
        FrmExterno w(shop.state);
        w.Load();
        QCOMPARE(shop.endCalls, 0);
        QVERIFY(shop.state.CurrencyInfo.descripcion.isEmpty());
        QCOMPARE(nodes::nodeCount(w.TreeClient[0]), 2);
    }
};

QTEST_MAIN(TstFrmExternoLoad)
#include "tst_frmexterno_load.moc"
