// The fixture other tests build their point-of-sale databases with.
#include "tools_helpers.h"

#include "support/PosFixture.h"

#include <QFile>
#include <QImage>
#include <QtTest>

using namespace zd::test;

class TestPosFixture : public QObject {
    Q_OBJECT

private slots:
    void fileLivesWhereTheEngineLooks()
    {
        ProgramFolder folder;
        QVERIFY(folder.isValid());
        PosFixture pos(folder.path());
        QVERIFY2(pos.isValid(), qPrintable(pos.lastError()));
        QCOMPARE(pos.file(), folder.path() + QStringLiteral("/data/127.0.0.1/Tillvane.sqlite"));
        QVERIFY(QFile::exists(pos.file()));

        PosFixture shop(folder.path(), QStringLiteral("10.0.0.5"), QStringLiteral("Tillvane3"));
        QCOMPARE(shop.file(), folder.path() + QStringLiteral("/data/10.0.0.5/Tillvane3.sqlite"));
        QVERIFY(shop.isValid());

        QVERIFY(folder.writeFile(QStringLiteral("balanzaip.txt"), "127.0.0.1\r\n"));
        QFile written(folder.file(QStringLiteral("balanzaip.txt")));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray("127.0.0.1\r\n"));
    }

    void aNewFixtureStartsEmpty()
    {
        ProgramFolder folder;
        {
            PosFixture first(folder.path());
            QVERIFY(first.addCustomer({.idcliente = 3, .nombre = QStringLiteral("A")}));
        }
        PosFixture second(folder.path());
        QCOMPARE(second.scalar(QStringLiteral("select count(*) from cliente")).toInt(), 0);
    }

    void shopDefaults()
    {
        ProgramFolder folder;
        PosFixture pos(folder.path());
        QVERIFY(pos.addShopDefaults());
        const auto company = pos.rows(QStringLiteral("select idempresa, idfiscal, Logo from empresa"));
        QCOMPARE(company.size(), 1);
        QCOMPARE(company[0][0].toInt(), 1);
        QVERIFY(!QImage::fromData(company[0][2].toByteArray(), "PNG").isNull());
        QCOMPARE(pos.rows(QStringLiteral("select descripcion, decimales, iniciales from moneda")),
                 (QVector<QVariantList>{{QStringLiteral("Euro"), qint64(2), QStringLiteral("€")}}));
        QCOMPARE(pos.scalar(QStringLiteral("select group_concat(porcentaje, ';') from"
                                           " (select porcentaje from TipoImpuesto order by IdTipoImpuesto)")).toString(),
                 QStringLiteral("2.1;5.5;10;20"));

        // A company without logo or with id 0, as the start-up checks need.
        CompanySpec broken;
        broken.idempresa = 0;
        QVERIFY(pos.setCompany(broken));
        QCOMPARE(pos.rows(QStringLiteral("select idempresa, Logo from empresa")),
                 (QVector<QVariantList>{{qint64(0), QVariant()}}));
    }

    void customersKeepTheirTextsAsGiven()
    {
        ProgramFolder folder;
        PosFixture pos(folder.path());
        QVERIFY(pos.addCustomer({.idcliente = 12, .codigo = QStringLiteral("00012"),
                                 .nombre = QStringLiteral("BOULANGERIE ")}));
        QVERIFY(pos.addCustomer({.idcliente = 7, .nombre = QStringLiteral("SEPT")}));
        CustomerSpec nameless;
        nameless.idcliente = 9;
        QVERIFY(pos.addCustomer(nameless));
        QCOMPARE(pos.rows(QStringLiteral("select idcliente, codigo, nombre from cliente order by idcliente")),
                 (QVector<QVariantList>{{qint64(7), QStringLiteral("7"), QStringLiteral("SEPT")},
                                        {qint64(9), QStringLiteral("9"), QVariant()},
                                        {qint64(12), QStringLiteral("00012"), QStringLiteral("BOULANGERIE ")}}));
        // A duplicate id fails and says why.
        QVERIFY(!pos.addCustomer({.idcliente = 7, .nombre = QStringLiteral("AGAIN")}));
        QVERIFY(pos.lastError().contains(QStringLiteral("UNIQUE")));
    }

    void ticketTaxesAreDerivedFromLines()
    {
        ProgramFolder folder;
        PosFixture pos(folder.path());
        QVERIFY(pos.addShopDefaults());
        TicketSpec t;
        t.numero = 57;
        t.idcontacto = 12;
        t.fecha = QStringLiteral("2021-03-05 10:15:42.863");
        LineSpec ham = LineSpec::weighed(2001, QStringLiteral("Jambon blanc à l'os"), 1.25, 24.90);
        LineSpec wine = LineSpec::units(6001, QStringLiteral("Côtes-du-Rhône"), 2, 8.90, 4);
        wine.dtoscabecera = 0.80;
        t.lines = {ham, wine};
        const qint32 id = pos.addTicket(t);
        QCOMPARE(id, 1);

        // 1.25 kg at 24.90 is 31.125, kept as 31.13; the wine nets 17.80 - 0.80.
        QCOMPARE(pos.rows(QStringLiteral("select idarticulo, isventaporpeso, peso, unidades, importe, dtoscabecera"
                                         " from lineadocumento where iddocumento=1 order by idlineadocumento")),
                 (QVector<QVariantList>{{qint64(2001), qint64(1), 1.25, qint64(0), 31.13, qint64(0)},
                                        {qint64(6001), qint64(0), qint64(0), qint64(2), 17.8, 0.8}}));
        // 31.13 / 1.055 = 29.507 and 17.00 / 1.20 = 14.1667.
        QCOMPARE(pos.rows(QStringLiteral("select idtipoimpuesto, baseimponible, importe from impuestodocumento"
                                         " where iddocumento=1 order by idtipoimpuesto")),
                 (QVector<QVariantList>{{qint64(2), 29.51, 1.62}, {qint64(4), 14.17, 2.83}}));
        QCOMPARE(pos.rows(QStringLiteral("select numero, fecha, hora, idcontacto, totalneto from documento")),
                 (QVector<QVariantList>{{qint64(57), QStringLiteral("2021-03-05 10:15:42.863"),
                                         QStringLiteral("2021-03-05 10:15:42.000"), qint64(12), 48.13}}));

        // The next ticket takes the next id.
        QCOMPARE(pos.addTicket(TicketSpec{}), 2);
        QCOMPARE(pos.scalar(QStringLiteral("select count(*) from impuestodocumento where iddocumento=2")).toInt(), 0);
    }

    void explicitValuesWin()
    {
        ProgramFolder folder;
        PosFixture pos(folder.path());
        QVERIFY(pos.addShopDefaults());
        TicketSpec t;
        t.iddocumento = 1234;
        t.hora = QStringLiteral("1899-12-30 10:15:42.000");
        t.totalneto = 99.5;
        LineSpec nullArticle;
        nullArticle.idarticulo = QVariant();
        nullArticle.descripcion = QString();
        t.lines = {nullArticle};
        t.taxes = QVector<TaxSpec>{{9, 10.0, 0.55}};   // a type missing from TipoImpuesto
        QCOMPARE(pos.addTicket(t), 1234);
        QCOMPARE(pos.rows(QStringLiteral("select hora, totalneto from documento")),
                 (QVector<QVariantList>{{QStringLiteral("1899-12-30 10:15:42.000"), 99.5}}));
        QCOMPARE(pos.rows(QStringLiteral("select idarticulo, descripcion from lineadocumento")),
                 (QVector<QVariantList>{{QVariant(), QVariant()}}));
        QCOMPARE(pos.rows(QStringLiteral("select idtipoimpuesto, baseimponible, importe from impuestodocumento")),
                 (QVector<QVariantList>{{qint64(9), qint64(10), 0.55}}));
    }

    void aFailedTicketLeavesNothingBehind()
    {
        ProgramFolder folder;
        PosFixture pos(folder.path());
        TicketSpec t;
        t.iddocumento = 5;
        t.lines = {LineSpec::units(1, QStringLiteral("x"), 1, 1.0)};
        QCOMPARE(pos.addTicket(t), 5);
        QCOMPARE(pos.addTicket(t), 0);
        QVERIFY(!pos.lastError().isEmpty());
        QCOMPARE(pos.scalar(QStringLiteral("select count(*) from lineadocumento")).toInt(), 1);
        QCOMPARE(pos.scalar(QStringLiteral("select count(*) from impuestodocumento")).toInt(), 1);
        // The connection is usable afterwards (no transaction left open).
        QVERIFY(pos.exec(QStringLiteral("update documento set fecha='2021-03-05 10:15:42.863' where iddocumento=5")));
        QCOMPARE(scalarFromFile(pos.file(), QStringLiteral("select fecha from documento")).toString(),
                 QStringLiteral("2021-03-05 10:15:42.863"));
    }
};

QTEST_MAIN(TestPosFixture)
#include "tst_posfixture.moc"
