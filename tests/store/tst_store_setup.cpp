#include "store_helpers.h"

#include "externo/store/StoreSchema.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/store/StoreSetup.h"
#include "externo/store/Facturas.h"
#include "externo/store/PendingMarks.h"

#include <QFile>
#include <QTest>

using namespace zd;
using namespace zd::test;

class TestStoreSetup : public QObject {
    Q_OBJECT

private:
    static QStringList columnsOf(const QString &file, const QString &table)
    {
        QStringList names;
        for (const QVariantList &row : StoreFixture::rows(file, QStringLiteral("PRAGMA table_info(%1)").arg(table)))
            names.append(row.at(1).toString());
        return names;
    }

private slots:
    void statementTexts()
    {
        QCOMPARE(CreateDatabaseStatement(), QStringLiteral("CREATE DATABASE TRS_FAC"));
        QCOMPARE(CreateFacturasStatement(), QStringLiteral(
            "CREATE TABLE facturas (     IdDocumento     NVARCHAR(15) NOT NULL, TipoDocumento INTEGER NOT NULL,"
            "IdSerie         INTEGER NOT NULL,      NumCopia      INTEGER NOT NULL,IdEmpresa       SMALLINT NOT NULL,"
            "     IdFiscal      NVARCHAR(35) NOT NULL,IdCliente       INTEGER NOT NULL,      IdFiscalCliente NVARCHAR(35) "
            "NOT NULL,MonedaDes       NVARCHAR(40) NOT NULL, MonedaDec       SMALLINT NOT NULL,MonedaSim       "
            "NVARCHAR(10) NOT NULL, timestamp       DATETIME,Correlativo     INTEGER NOT NULL,ProcedeAlbaran  "
            "NVARCHAR(15) NULL,Capturado       NVARCHAR(1) NULL,anulada         NVARCHAR(1) NULL,var1            "
            "NVARCHAR(1) NULL,var15           NVARCHAR(15) NULL,FechaDocumento  DATETIME, totalbruto       MONEY NULL,"
            "totaldescuentos MONEY NULL, totalimpuestos MONEY NULL,Impuesto1Des    NVARCHAR(35) NULL, Impuesto1Por "
            "DECIMAL(14,4) NULL,TotalImpuesto1  MONEY NULL, totalbase1 MONEY NULL,Impuesto2Des    NVARCHAR(35) NULL, "
            "Impuesto2Por DECIMAL(14,4) NULL,TotalImpuesto2  MONEY NULL, totalbase2 MONEY NULL,Impuesto3Des    "
            "NVARCHAR(35) NULL, Impuesto3Por DECIMAL(14,4) NULL,TotalImpuesto3  MONEY NULL, totalbase3 MONEY NULL,"
            "Impuesto4Des    NVARCHAR(35) NULL, Impuesto4Por DECIMAL(14,4) NULL,TotalImpuesto4  MONEY NULL, totalbase4 "
            "MONEY NULL,Impuesto5Des    NVARCHAR(35) NULL, Impuesto5Por DECIMAL(14,4) NULL,TotalImpuesto5  MONEY NULL, "
            "totalbase5 MONEY NULL, TotalNeto MONEY NULL,CONSTRAINT PK_FACTURA_IdDocumento PRIMARY KEY(idDocumento))"));
        QCOMPARE(CreateDocumentoStatement(), QStringLiteral(
            "CREATE TABLE Documento (    IdDocumento NVARCHAR(15) NOT NULL, TipoDocumento INTEGER NOT NULL,IdSerie "
            "        INTEGER NOT NULL,Correlativo     INTEGER NOT NULL,IdExterno       INTEGER NOT NULL,numerodetique "
            "  INTEGER NOT NULL, codigo INTEGER NOT NULL,descripcion     NVARCHAR(35) NULL, cantidad DECIMAL(14,4) "
            "NULL,precio          MONEY NULL, descuento MONEY NULL,importe         MONEY NULL, CONSTRAINT "
            "FK_DOCUMENTO_idDocumento FOREIGN KEY (idDocumento) REFERENCES facturas(idDocumento) ON DELETE CASCADE)"));
    }

    // First run creates database and tables; the next run sends no CREATE.
    void createdOnceThenLeftAlone()
    {
        StoreFixture f;
        StatementCapture log;
        QCOMPARE(EnsureInvoiceStore(f.state()), StoreCheck::Created);
        QVERIFY(QFile::exists(f.storeFile()));
        const QStringList sent = log.statements();
        QCOMPARE(sent.filter(QStringLiteral("CREATE")),
                 (QStringList{CreateDatabaseStatement(), CreateFacturasStatement(), CreateDocumentoStatement()}
                  + AddedTableStatements() + QStringList{CreateDocumentoIndexStatement()}));

        QCOMPARE(columnsOf(f.storeFile(), QStringLiteral("facturas")), (QStringList{
            "IdDocumento", "TipoDocumento", "IdSerie", "NumCopia", "IdEmpresa", "IdFiscal", "IdCliente",
            "IdFiscalCliente", "MonedaDes", "MonedaDec", "MonedaSim", "timestamp", "Correlativo",
            "ProcedeAlbaran", "Capturado", "anulada", "var1", "var15", "FechaDocumento", "totalbruto",
            "totaldescuentos", "totalimpuestos", "Impuesto1Des", "Impuesto1Por", "TotalImpuesto1",
            "totalbase1", "Impuesto2Des", "Impuesto2Por", "TotalImpuesto2", "totalbase2", "Impuesto3Des",
            "Impuesto3Por", "TotalImpuesto3", "totalbase3", "Impuesto4Des", "Impuesto4Por",
            "TotalImpuesto4", "totalbase4", "Impuesto5Des", "Impuesto5Por", "TotalImpuesto5", "totalbase5",
            "TotalNeto", "FacturaRectificada"}));
        QCOMPARE(columnsOf(f.storeFile(), QStringLiteral("Documento")), (QStringList{
            "IdDocumento", "TipoDocumento", "IdSerie", "Correlativo", "IdExterno", "numerodetique", "codigo",
            "descripcion", "cantidad", "precio", "descuento", "importe"}));

        log.clear();
        QCOMPARE(EnsureInvoiceStore(f.state()), StoreCheck::Existing);
        QVERIFY(log.statements().filter(QStringLiteral("CREATE"), Qt::CaseInsensitive).isEmpty());
    }

    // A store made before the journal existed gets it at start, in place:
    // its documents stay, and it issues and replays like a new one.
    void storeWithoutJournalIsUpgraded()
    {
        StoreFixture f;
        auto server = f.state().newConnection();
        QVERIFY(server->open(sql::serverConnectionString()));
        QVERIFY(server->execute(CreateDatabaseStatement()));
        server->close();
        auto store = f.state().newConnection();
        QVERIFY(store->open(sql::invoiceStoreConnectionString()));
        QVERIFY(store->execute(CreateFacturasStatement()));
        QVERIFY(store->execute(CreateDocumentoStatement()));
        store->close();
        f.createPos();
        f.addTicket(101);
        f.addTicket(102);
        const LineRecordSet one{line(1, 57, 1001, QStringLiteral("Pommes"), QStringLiteral("1.000"),
                                     QStringLiteral("2.00"), QStringLiteral("0.00"), QStringLiteral("2.00"), 101)};
        // Issued by a program without the journal.
        StoreFixture::exec(f.storeFile(), QStringLiteral(
            "INSERT INTO facturas (IdDocumento, TipoDocumento, IdSerie, NumCopia, IdEmpresa, IdFiscal, IdCliente, "
            "IdFiscalCliente, MonedaDes, MonedaDec, MonedaSim, Correlativo) VALUES "
            "('F011300250001', 1, 1130025, 3, 1, 'B', 25, 'X', 'Euro', 2, 'EUR', 1)"));
        StoreFixture::exec(f.storeFile(), QStringLiteral(
            "INSERT INTO documento (IdDocumento, TipoDocumento, IdSerie, Correlativo, IdExterno, numerodetique, codigo) "
            "VALUES ('F011300250001', 1, 1130025, 1, 100, 56, 1001)"));
        QVERIFY(!SettlePendingMarks(f.state()));   // no journal yet: nothing may be issued

        StatementCapture log;
        QCOMPARE(EnsureInvoiceStore(f.state()), StoreCheck::Existing);
        // The journal, the tables of cancelled notes and the books' chain
        // (with the lines' index) are added; the rest stays.
        QCOMPARE(log.statements().filter(QStringLiteral("CREATE")),
                 AddedTableStatements() + QStringList{CreateDocumentoIndexStatement()});
        // What the store held is sealed as the chain's first record.
        QVERIFY(StoreFixture::firstRow(f.storeFile(), QStringLiteral("SELECT Texto FROM Registro WHERE Secuencia=1"))
                    .value(QStringLiteral("Texto")).toString()
                    .startsWith(QStringLiteral("documents=1\ncancelled=0\ndocument.F011300250001=")));
        QCOMPARE(columnsOf(f.storeFile(), QStringLiteral("FacturasAnuladas")),
                 columnsOf(f.storeFile(), QStringLiteral("facturas")));
        QCOMPARE(columnsOf(f.storeFile(), QStringLiteral("DocumentoAnulado")),
                 columnsOf(f.storeFile(), QStringLiteral("Documento")));
        QCOMPARE(columnsOf(f.storeFile(), QStringLiteral("MarcasPendientes")),
                 (QStringList{"IdDocumento", "IdExterno", "Accion"}));
        QCOMPARE(StoreFixture::rows(f.storeFile(), QStringLiteral("SELECT IdDocumento, NumCopia FROM facturas")),
                 (QVector<QVariantList>{{"F011300250001", 3}}));
        QCOMPARE(StoreFixture::rows(f.storeFile(), QStringLiteral("SELECT count(*) FROM documento")).first().first(),
                 QVariant(1));
        QVERIFY(SettlePendingMarks(f.state()));
        QCOMPARE(IssueDocument(f.state(), one, 1, {101}), QStringLiteral("F011300250002"));
        QCOMPARE(f.ticketFecha(101), QStringLiteral("2013-05-14 10:15:42.863"));
        QVERIFY(StoreFixture::rows(f.storeFile(), QStringLiteral("SELECT * FROM MarcasPendientes")).isEmpty());

        log.clear();
        QCOMPARE(EnsureInvoiceStore(f.state()), StoreCheck::Existing);
        QVERIFY(log.statements().filter(QStringLiteral("CREATE"), Qt::CaseInsensitive).isEmpty());
    }

    // A store that exists without its tables is not repaired.
    void existingStoreWithoutTablesIsNotTouched()
    {
        StoreFixture f;
        auto server = f.state().newConnection();
        QVERIFY(server->open(sql::serverConnectionString()));
        QVERIFY(server->execute(CreateDatabaseStatement()));
        server->close();
        StatementCapture log;
        QCOMPARE(EnsureInvoiceStore(f.state()), StoreCheck::Existing);
        QVERIFY(log.statements().filter(QStringLiteral("CREATE"), Qt::CaseInsensitive).isEmpty());
        QVERIFY(columnsOf(f.storeFile(), QStringLiteral("facturas")).isEmpty());
    }

    // The local server cannot be reached (its data folder cannot exist):
    // nothing is created and the caller is told.
    void unreachableServerCannotCreate()
    {
        StoreFixture f;
        QFile blocker(f.folder() + QStringLiteral("/data"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QCOMPARE(EnsureInvoiceStore(f.state()), StoreCheck::CannotCreate);
        QVERIFY(!QFile::exists(f.storeFile()));
    }
};

QTEST_GUILESS_MAIN(TestStoreSetup)
#include "tst_store_setup.moc"
