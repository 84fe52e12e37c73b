// The demo and scale point-of-sale databases: reproducible, and holding what
// the program's queries rely on (open and excluded tickets, consistent taxes).
#include "tools_helpers.h"

#include "posdemo/DatabaseFile.h"
#include "posdemo/PosSeeder.h"
#include "externo/archive/FrenchIds.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using namespace zd::posdemo;

namespace {

SeedOptions demoOn(QDate today, quint64 seed)
{
    SeedOptions o = SeedOptions::demo();
    o.today = today;
    o.seed = seed;
    return o;
}

const char kOpenRule[] = "substr(fecha,21,3)='000' and isfinalizado=1 and numero<>0 and iddocumentoabono=0";

} // namespace

class TestPosSeeder : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_demo;
    const QDate m_today{2024, 6, 15};

    qint64 count(const QString &sql) { return scalarFromFile(m_demo, sql).toLongLong(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_demo = m_dir.filePath(QStringLiteral("data/127.0.0.1/Tillvane.sqlite"));
        PosSeeder seeder(demoOn(m_today, 7));
        QString error;
        QVERIFY2(seeder.writeFile(m_demo, &error), qPrintable(error));
        QVERIFY(!QFile::exists(m_demo + QStringLiteral(".tmp")));
        QCOMPARE(seeder.counts().customers, 60);
        QCOMPARE(seeder.counts().tickets, 3000);
        QCOMPARE(seeder.counts().lines, count(QStringLiteral("select count(*) from lineadocumento")));
        QCOMPARE(seeder.counts().taxRows, count(QStringLiteral("select count(*) from impuestodocumento")));
    }

    void sameOptionsGiveSameRows()
    {
        const QString again = m_dir.filePath(QStringLiteral("again.sqlite"));
        const QString other = m_dir.filePath(QStringLiteral("other.sqlite"));
        QString error;
        QVERIFY2(PosSeeder(demoOn(m_today, 7)).writeFile(again, &error), qPrintable(error));
        QVERIFY2(PosSeeder(demoOn(m_today, 8)).writeFile(other, &error), qPrintable(error));
        QCOMPARE(contentHash(again), contentHash(m_demo));
        QVERIFY(contentHash(other) != contentHash(m_demo));
    }

    void shopCatalogues()
    {
        const auto company = queryFile(m_demo, QStringLiteral("select idempresa, idfiscal, Logo from empresa"));
        QCOMPARE(company.size(), 1);
        QCOMPARE(company[0][0].toInt(), 1);
        QVERIFY(!company[0][1].toString().trimmed().isEmpty());
        const QImage logo = QImage::fromData(company[0][2].toByteArray(), "PNG");
        QVERIFY(!logo.isNull());
        QCOMPARE(logo.size(), QSize(256, 256));

        const auto currency = queryFile(m_demo, QStringLiteral("select descripcion, decimales, iniciales from moneda"));
        QCOMPARE(currency.size(), 1);
        QCOMPARE(currency[0][1].toInt(), 2);

        const auto taxes = queryFile(m_demo, QStringLiteral("select IdTipoImpuesto, porcentaje, descripcion"
                                                            " from TipoImpuesto order by IdTipoImpuesto"));
        QCOMPARE(taxes.size(), 4);
        const double rates[] = {2.1, 5.5, 10, 20};
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(taxes[k][0].toInt(), k + 1);
            QCOMPARE(taxes[k][1].toDouble(), rates[k]);
        }
        QCOMPARE(taxes[1][2].toString(), QStringLiteral("TVA 5,5%"));
    }

    // The shop's and the customers' ids pass the SIREN, SIRET and VAT key
    // checks (the same customer maker serves the scale seeder).
    void identifiersAreValid()
    {
        const QString shop = scalarFromFile(m_demo, QStringLiteral("select idfiscal from empresa")).toString();
        const auto reg = zd::archive::ReadFrenchRegistration(shop);
        QVERIFY2(reg.hasSiren() && !reg.vatNumber.isEmpty(), qPrintable(shop + ": " + reg.problem));
        const auto ids = queryFile(m_demo, QStringLiteral("select nif from cliente where trim(coalesce(nif,'')) <> ''"));
        QVERIFY(ids.size() > 10);
        int sirets = 0;
        for (const auto &row : ids) {
            const auto customer = zd::archive::ReadFrenchRegistration(row[0].toString());
            QVERIFY2(customer.hasSiren(), qPrintable(row[0].toString() + ": " + customer.problem));
            sirets += customer.siret.isEmpty() ? 0 : 1;
        }
        QVERIFY(sirets > 0 && sirets < ids.size());
    }

    void irregularCustomers()
    {
        QCOMPARE(count(QStringLiteral("select count(*) from cliente")), 60);
        QCOMPARE(scalarFromFile(m_demo, QStringLiteral("select codigo from cliente where idcliente=12")).toString(),
                 QStringLiteral("00012"));
        QVERIFY(scalarFromFile(m_demo, QStringLiteral("select nombre from cliente where idcliente=7"))
                    .toString().endsWith(u' '));
        QVERIFY(count(QStringLiteral("select count(*) from cliente where cast(codigo as integer)<>idcliente")) >= 2);
        // Every customer ticket names an existing customer code.
        QCOMPARE(count(QStringLiteral("select count(*) from documento where idcontacto<>0 and idcontacto not in"
                                      " (select cast(codigo as integer) from cliente)")), 0);
        // Customers whose code differs from their id do buy.
        QVERIFY(count(QStringLiteral("select count(*) from documento where idcontacto in (800025, 800040)")) > 0);
    }

    void everyTicketKindIsPresent()
    {
        const QString customer = QStringLiteral(" and idcontacto<>0");
        QVERIFY(count(QStringLiteral("select count(*) from documento where isfinalizado=0") + customer) > 0);
        QVERIFY(count(QStringLiteral("select count(*) from documento where numero=0") + customer) > 0);
        QVERIFY(count(QStringLiteral("select count(*) from documento where iddocumentoabono<>0") + customer) > 0);
        QVERIFY(count(QStringLiteral("select count(*) from documento where substr(fecha,21,3)='863'")) > 100);
        QVERIFY(count(QStringLiteral("select count(*) from documento where tipodocumento<>1")) > 0);
        // Walk-in sales are the bulk of a shop's tickets.
        QVERIFY(count(QStringLiteral("select count(*) from documento where idcontacto=0")) > 1500);
        // And many customers have tickets left to invoice.
        QVERIFY(count(QStringLiteral("select count(distinct idcontacto) from documento where idcontacto<>0 and ")
                      + QLatin1String(kOpenRule)) >= 20);
    }

    void timestampsAreWholeSecondsInOpeningHours()
    {
        QCOMPARE(count(QStringLiteral("select count(*) from documento where fecha not glob"
                                      " '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9].[08][06][03]'"
                                      " or substr(fecha,21,3) not in ('000','863')")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from documento where hora <> substr(fecha,1,19)||'.000'")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from documento where strftime('%w', substr(fecha,1,10))='1'"
                                      " or substr(fecha,12,5) < '08:00' or substr(fecha,12,5) >= '19:30'"
                                      " or (substr(fecha,12,5) >= '12:30' and substr(fecha,12,5) < '14:30')")), 0);
        QCOMPARE(scalarFromFile(m_demo, QStringLiteral("select min(fecha) >= '2022-12-15' and max(fecha) < '2024-06-15'"
                                                       " from documento")).toInt(), 1);
        // Ids follow the time of sale; numbers run up per terminal and type.
        QCOMPARE(count(QStringLiteral("select count(*) from (select substr(fecha,1,19) f, lag(substr(fecha,1,19))"
                                      " over (order by iddocumento) p from documento) where f < p")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from (select numero, lag(numero) over (partition by"
                                      " numeroterminal, tipodocumento order by iddocumento) p from documento"
                                      " where numero<>0) where p is not null and numero <> p + 1")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from documento where numeroterminal not between 1 and 3"
                                      " or idusuario not between 1 and 4")), 0);
    }

    void linesAreConsistent()
    {
        QCOMPARE(count(QStringLiteral("select count(*) from documento d where (select count(*) from lineadocumento l"
                                      " where l.iddocumento=d.iddocumento) not between 1 and 12")), 0);
        QVERIFY(count(QStringLiteral("select count(*) from documento d where (select count(*) from lineadocumento l"
                                     " where l.iddocumento=d.iddocumento) >= 8")) > 0);
        // Weighed: grams in kg, no units; pieces: whole units, no weight.
        QCOMPARE(count(QStringLiteral("select count(*) from lineadocumento where isventaporpeso=1 and"
                                      " (unidades<>0 or abs(peso*1000 - round(peso*1000)) > 1e-6 or peso = 0)")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from lineadocumento where isventaporpeso=0 and"
                                      " (peso<>0 or unidades <> round(unidades) or unidades = 0)")), 0);
        QVERIFY(count(QStringLiteral("select count(*) from lineadocumento where isventaporpeso=1")) > 1000);
        // importe = price x quantity less the line discount, to the cent.
        QCOMPARE(count(QStringLiteral("select count(*) from lineadocumento where abs(importe -"
                                      " (round(precio * (peso + unidades), 2) - dtoslinea)) > 0.0051")), 0);
        QVERIFY(count(QStringLiteral("select count(*) from lineadocumento where dtoslinea<>0")) > 0);
        QVERIFY(count(QStringLiteral("select count(*) from lineadocumento where dtoscabecera<>0")) > 0);
    }

    void taxRowsAgreeWithLines()
    {
        // One row per tax type of the lines, holding their net amount ...
        QCOMPARE(count(QStringLiteral("select count(*) from impuestodocumento")),
                 count(QStringLiteral("select count(*) from (select distinct iddocumento, idtipoimpuesto"
                                      " from lineadocumento)")));
        QCOMPARE(count(QStringLiteral(
                     "select count(*) from (select iddocumento, idtipoimpuesto, sum(importe - dtoscabecera) g"
                     " from lineadocumento group by 1, 2) x left join impuestodocumento i"
                     " on i.iddocumento=x.iddocumento and i.idtipoimpuesto=x.idtipoimpuesto"
                     " where i.iddocumento is null or abs(i.baseimponible + i.importe - x.g) > 0.005")), 0);
        // ... split into base and VAT at the type's rate, to the cent ...
        QCOMPARE(count(QStringLiteral(
                     "select count(*) from impuestodocumento i join TipoImpuesto t on t.IdTipoImpuesto=i.idtipoimpuesto"
                     " where abs(i.baseimponible - (i.baseimponible + i.importe) / (1 + t.porcentaje / 100.0)) > 0.0051")),
                 0);
        // ... and the ticket's total is their sum.
        QCOMPARE(count(QStringLiteral(
                     "select count(*) from documento d where abs(d.totalneto - (select coalesce(sum(baseimponible"
                     " + importe), 0) from impuestodocumento i where i.iddocumento=d.iddocumento)) > 0.005")), 0);
    }

    void creditNotesPairWithTheirSale()
    {
        const auto pairs = queryFile(m_demo, QStringLiteral(
            "select a.tipodocumento, b.tipodocumento, a.totalneto + b.totalneto, b.iddocumentoabono = a.iddocumento,"
            " a.idcontacto = b.idcontacto from documento a left join documento b on b.iddocumento = a.iddocumentoabono"
            " where a.iddocumentoabono<>0"));
        QVERIFY(!pairs.isEmpty());
        for (const QVariantList &p : pairs) {
            QVERIFY(p[0].toInt() == 2 || p[1].toInt() == 2);
            QVERIFY(qAbs(p[2].toDouble()) < 0.005);
            QCOMPARE(p[3].toInt(), 1);
            QCOMPARE(p[4].toInt(), 1);
        }
    }

    void firstCustomerGetsExactlyItsOpenTickets()
    {
        SeedOptions o = SeedOptions::scale();
        o.customers = 300;
        o.tickets = 20000;
        o.today = m_today;
        const QString file = m_dir.filePath(QStringLiteral("big.sqlite"));
        QString error;
        QVERIFY2(PosSeeder(o).writeFile(file, &error), qPrintable(error));
        const QString open = QStringLiteral("select count(*) from documento where idcontacto=1 and ") + kOpenRule;
        QCOMPARE(scalarFromFile(file, open).toInt(), 2000);
        QVERIFY(scalarFromFile(file, QStringLiteral("select count(*) from documento where idcontacto=1"
                                                    " and substr(fecha,21,3)<>'000'")).toInt() > 0);
        // Spread over the whole period, not bunched at one end.
        QVERIFY(scalarFromFile(file, QStringLiteral("select count(*) from documento where idcontacto=1"
                                                    " and fecha < '2023-06-01'")).toInt() > 500);
        QCOMPARE(scalarFromFile(file, QStringLiteral("select max(c) from (select count(*) c from lineadocumento"
                                                     " group by iddocumento)")).toInt(), 5);
        QVERIFY(scalarFromFile(file, QStringLiteral("select count(*) from sqlite_master where type='index'"
                                                     " and tbl_name='lineadocumento'")).toInt() > 0);
    }

    void failedSeedKeepsTheEarlierFile()
    {
        const QString file = m_dir.filePath(QStringLiteral("kept.sqlite"));
        QString error;
        QVERIFY2(writeEmptyPosDatabase(file, &error), qPrintable(error));
        QCOMPARE(scalarFromFile(file, QStringLiteral("select count(*) from documento")).toInt(), 0);

        SeedOptions impossible = demoOn(m_today, 1);
        impossible.tickets = 100;
        impossible.firstCustomerOpenTickets = 2000;
        QVERIFY(!PosSeeder(impossible).writeFile(file, &error));
        QVERIFY(error.contains(QStringLiteral("customer 1")));
        QVERIFY(!QFile::exists(file + QStringLiteral(".tmp")));
        QCOMPARE(scalarFromFile(file, QStringLiteral("select count(*) from sqlite_master where name='documento'"))
                     .toInt(), 1);

        // A successful seed replaces it.
        SeedOptions small = demoOn(m_today, 1);
        small.tickets = 50;
        QVERIFY2(PosSeeder(small).writeFile(file, &error), qPrintable(error));
        QCOMPARE(scalarFromFile(file, QStringLiteral("select count(*) from documento")).toInt(), 50);
    }
};

QTEST_MAIN(TestPosSeeder)
#include "tst_posseeder.moc"
