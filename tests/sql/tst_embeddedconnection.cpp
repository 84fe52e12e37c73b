#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/sql/TSqlTranslator.h"
#include "support/StatementCapture.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

using namespace zd::sql;

namespace {
// The invoice store tables, exactly as the program creates them.
const char kCreateFacturas[] =
    "CREATE TABLE facturas (     IdDocumento     NVARCHAR(15) NOT NULL, TipoDocumento INTEGER NOT NULL,"
    "IdSerie         INTEGER NOT NULL,      NumCopia      INTEGER NOT NULL,"
    "IdEmpresa       SMALLINT NOT NULL,     IdFiscal      NVARCHAR(35) NOT NULL,"
    "IdCliente       INTEGER NOT NULL,      IdFiscalCliente NVARCHAR(35) NOT NULL,"
    "MonedaDes       NVARCHAR(40) NOT NULL, MonedaDec       SMALLINT NOT NULL,"
    "MonedaSim       NVARCHAR(10) NOT NULL, timestamp       DATETIME,"
    "Correlativo     INTEGER NOT NULL,"
    "ProcedeAlbaran  NVARCHAR(15) NULL,"
    "Capturado       NVARCHAR(1) NULL,"
    "anulada         NVARCHAR(1) NULL,"
    "var1            NVARCHAR(1) NULL,"
    "var15           NVARCHAR(15) NULL,"
    "FechaDocumento  DATETIME, totalbruto       MONEY NULL,"
    "totaldescuentos MONEY NULL, totalimpuestos MONEY NULL,"
    "Impuesto1Des    NVARCHAR(35) NULL, Impuesto1Por DECIMAL(14,4) NULL,"
    "TotalImpuesto1  MONEY NULL, totalbase1 MONEY NULL,"
    "Impuesto2Des    NVARCHAR(35) NULL, Impuesto2Por DECIMAL(14,4) NULL,"
    "TotalImpuesto2  MONEY NULL, totalbase2 MONEY NULL,"
    "Impuesto3Des    NVARCHAR(35) NULL, Impuesto3Por DECIMAL(14,4) NULL,"
    "TotalImpuesto3  MONEY NULL, totalbase3 MONEY NULL,"
    "Impuesto4Des    NVARCHAR(35) NULL, Impuesto4Por DECIMAL(14,4) NULL,"
    "TotalImpuesto4  MONEY NULL, totalbase4 MONEY NULL,"
    "Impuesto5Des    NVARCHAR(35) NULL, Impuesto5Por DECIMAL(14,4) NULL,"
    "TotalImpuesto5  MONEY NULL, totalbase5 MONEY NULL, TotalNeto MONEY NULL,CONSTRAINT PK_FACTURA_IdDocumento PRIMARY KEY(idDocumento))";
const char kCreateDocumento[] =
    "CREATE TABLE Documento (    IdDocumento NVARCHAR(15) NOT NULL, TipoDocumento INTEGER NOT NULL,"
    "IdSerie         INTEGER NOT NULL,"
    "Correlativo     INTEGER NOT NULL,"
    "IdExterno       INTEGER NOT NULL,"
    "numerodetique   INTEGER NOT NULL, codigo INTEGER NOT NULL,"
    "descripcion     NVARCHAR(35) NULL, cantidad DECIMAL(14,4) NULL,"
    "precio          MONEY NULL, descuento MONEY NULL,"
    "importe         MONEY NULL, CONSTRAINT FK_DOCUMENTO_idDocumento FOREIGN KEY (idDocumento) REFERENCES facturas(idDocumento) ON DELETE CASCADE)";

const char kOpenTickets[] =
    "select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) and isfinalizado=1 "
    "and numero <> 0 and idcontacto=12 and iddocumentoabono=0 order by tipodocumento,numero DESC,fecha";

QVariantMap header(const QString &id)
{
    return {{"IdDocumento", id},     {"TipoDocumento", 0},        {"IdSerie", 12021012}, {"NumCopia", 0},
            {"IdEmpresa", 1},        {"IdFiscal", "B12345678"},   {"IdCliente", 12},     {"IdFiscalCliente", "X1"},
            {"MonedaDes", "EURO"},   {"MonedaDec", 2},            {"MonedaSim", "EUR"},  {"Correlativo", 1}};
}

QVariantMap line(const QString &id, int ticket)
{
    return {{"IdDocumento", id}, {"TipoDocumento", 0}, {"IdSerie", 12021012}, {"Correlativo", 1},
            {"IdExterno", ticket}, {"numerodetique", 57}, {"codigo", 3}, {"descripcion", "PAN"},
            {"cantidad", 1.5}, {"precio", 2.1}, {"descuento", 0}, {"importe", 3.15}};
}
} // namespace

class TstEmbeddedConnection : public QObject {
    Q_OBJECT
private slots:
    void init();
    void connectionTexts();
    void engineChoiceAndFiles();
    void missingCatalogIsUnreachable();
    void createDatabaseOnce();
    void invoiceStoreKeysAndCascade();
    void moneyAndDatesAsTheServerKeepsThem();
    void markAndUnmarkTicket();
    void periodBoundsCompareAsDates();
    void statementLogHasExactTexts();
    void failedStatementReportsDriverTextAndStatement();
    void backupWritesCompleteFile();
    void backupFailureKeepsNothingHalfWritten();
    void thousandsOfRowsAreQuick();
    void shapedStatementsReadAsTheDriverDoes_data();
    void shapedStatementsReadAsTheDriverDoes();
    void preparedShapesFollowChangesAndCountRows();
    void insertBindsAsTheDriverDoes();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    EngineConfig m_config;
    // A connection to the named catalog on 127.0.0.1, created if needed.
    std::unique_ptr<Connection> catalog(const QString &name);
    std::unique_ptr<Connection> invoiceStore();
    std::unique_ptr<Connection> posWithTickets();
};

void TstEmbeddedConnection::init()
{
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zd sql XXXXXX"));
    QVERIFY(m_dir->isValid());
    m_config = EngineConfig::fromProgramFolder(m_dir->path());
}

std::unique_ptr<Connection> TstEmbeddedConnection::catalog(const QString &name)
{
    if (!QFile::exists(m_config.catalogFile(QStringLiteral("127.0.0.1"), name))) {
        Connection server(m_config);
        if (!server.open(serverConnectionString()) || !server.execute(QStringLiteral("CREATE DATABASE ") + name))
            qWarning() << server.lastError();
    }
    auto c = std::make_unique<Connection>(m_config);
    if (!c->open(posConnectionString(name, QStringLiteral("127.0.0.1"))))
        qWarning() << c->lastError();
    return c;
}

std::unique_ptr<Connection> TstEmbeddedConnection::invoiceStore()
{
    auto c = catalog(QStringLiteral("TRS_FAC"));
    if (!c->execute(QString::fromLatin1(kCreateFacturas)) || !c->execute(QString::fromLatin1(kCreateDocumento)))
        qWarning() << c->lastError();
    return c;
}

// dbo.documento of a point-of-sale catalog with three tickets of customer 12.
std::unique_ptr<Connection> TstEmbeddedConnection::posWithTickets()
{
    auto c = catalog(QStringLiteral("Tillvane"));
    const bool ok = c->execute(QStringLiteral(
        "CREATE TABLE documento (iddocumento INTEGER PRIMARY KEY, numero INTEGER, fecha DATETIME, hora DATETIME, "
        "tipodocumento INTEGER, isfinalizado INTEGER, idcontacto INTEGER, iddocumentoabono INTEGER)"));
    if (!ok)
        qWarning() << c->lastError();
    const QList<QVariantList> rows = {{1234, 57, "2021-03-05 10:15:42.000"},
                                      {1235, 58, "2021-03-05 00:00:00.000"},
                                      {1236, 12, "2021-03-06 09:00:00.000"}};
    for (const QVariantList &r : rows) {
        c->insert(QStringLiteral("dbo.documento"),
                  {{"iddocumento", r[0]}, {"numero", r[1]}, {"fecha", r[2]}, {"hora", r[2]},
                   {"tipodocumento", 1}, {"isfinalizado", 1}, {"idcontacto", 12}, {"iddocumentoabono", 0}});
    }
    return c;
}

void TstEmbeddedConnection::connectionTexts()
{
    QCOMPARE(invoiceStoreConnectionString(),
             QStringLiteral("Provider=SQLOLEDB;Uid=tessaronuser;password=pinewharf.42;Initial Catalog=TRS_FAC;"
                            "Data Source=127.0.0.1,1433"));
    QCOMPARE(serverConnectionString(),
             QStringLiteral("Provider=SQLOLEDB;Uid=tessaronuser;password=pinewharf.42;Data Source=127.0.0.1,1433"));
    const QString pos = posConnectionString(QStringLiteral("Tillvane03"), QStringLiteral("10.0.0.5"));
    QVERIFY(pos.endsWith(QLatin1String("Initial Catalog=Tillvane03;Data Source=10.0.0.5,1433")));
    const ConnectionTarget t = parseConnectionString(pos);
    QCOMPARE(t.server, QStringLiteral("10.0.0.5"));
    QCOMPARE(t.port, QStringLiteral("1433"));
    QCOMPARE(t.catalog, QStringLiteral("Tillvane03"));
    QCOMPARE(t.login, QStringLiteral("tessaronuser"));
    QCOMPARE(t.password, QStringLiteral("pinewharf.42"));
    QVERIFY(parseConnectionString(serverConnectionString()).catalog.isEmpty());
}

void TstEmbeddedConnection::engineChoiceAndFiles()
{
    QCOMPARE(m_config.kind, EngineKind::Embedded);
    QCOMPARE(m_config.catalogFile("10.0.0.5", "Tillvane03"), m_dir->path() + "/data/10.0.0.5/Tillvane03.sqlite");
    // An address read from a file never leads outside the data folder.
    QCOMPARE(m_config.catalogFile("../../etc", "x/y"), m_dir->path() + "/data/_._.._etc/x_y.sqlite");

    QFile marker(m_dir->filePath("sqlserver.txt"));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.write("ODBC Driver 18 for SQL Server\nignored\n");
    marker.close();
    const EngineConfig server = EngineConfig::fromProgramFolder(m_dir->path() + "/");
    QCOMPARE(server.kind, EngineKind::SqlServer);
    QCOMPARE(server.odbcDriver, QStringLiteral("ODBC Driver 18 for SQL Server"));
    QCOMPARE(server.programFolder, m_dir->path());
    QVERIFY(marker.open(QIODevice::WriteOnly | QIODevice::Truncate));
    marker.close();
    QCOMPARE(EngineConfig::fromProgramFolder(m_dir->path()).odbcDriver, QStringLiteral("FreeTDS"));
}

void TstEmbeddedConnection::missingCatalogIsUnreachable()
{
    Connection c(m_config);
    QVERIFY(!c.open(posConnectionString("Tillvane03", "10.0.0.5")));
    QVERIFY(!c.isOpen());
    QCOMPARE(c.lastError(), QStringLiteral("[embedded] cannot reach catalog Tillvane03 on server 10.0.0.5"));
    QVERIFY(!QFile::exists(m_config.catalogFile("10.0.0.5", "Tillvane03")));
}

void TstEmbeddedConnection::createDatabaseOnce()
{
    Connection server(m_config);
    QVERIFY2(server.open(serverConnectionString()), qPrintable(server.lastError()));
    QVERIFY2(server.execute("CREATE DATABASE TRS_FAC"), qPrintable(server.lastError()));
    QVERIFY(QFileInfo(m_config.catalogFile("127.0.0.1", "TRS_FAC")).size() > 0);
    QVERIFY(!server.execute("CREATE DATABASE TRS_FAC"));
    QVERIFY2(server.lastError().contains("Database 'TRS_FAC' already exists"), qPrintable(server.lastError()));

    Connection store(m_config);
    QVERIFY2(store.open(invoiceStoreConnectionString()), qPrintable(store.lastError()));
    bool ok = false;
    const RecordSet rs = store.query("select count(*) as n from sqlite_master", &ok);
    QVERIFY(ok);
    QCOMPARE(rs.value(0, "N").toInt(), 0);
}

void TstEmbeddedConnection::invoiceStoreKeysAndCascade()
{
    auto store = invoiceStore();
    QVERIFY(store->isOpen());
    for (const QString id : {"A000120210001", "A000120210002"}) {
        QVERIFY2(store->insert("dbo.facturas", header(id)), qPrintable(store->lastError()));
        for (int ticket : {1234, 1235})
            QVERIFY2(store->insert("dbo.documento", line(id, ticket)), qPrintable(store->lastError()));
    }
    // Primary key and foreign key are enforced.
    QVERIFY(!store->insert("dbo.facturas", header("A000120210001")));
    QVERIFY(!store->insert("dbo.documento", line("F999", 1)));

    QVERIFY2(store->execute("delete from dbo.facturas where iddocumento='A000120210001'"), qPrintable(store->lastError()));
    bool ok = false;
    const RecordSet left = store->query("Select * from dbo.documento", &ok);
    QVERIFY(ok);
    QCOMPARE(left.rowCount(), 2);
    QCOMPARE(left.value(0, "iddocumento").toString(), QStringLiteral("A000120210002"));
    QCOMPARE(left.value(1, "IDEXTERNO").toInt(), 1235);

    QVERIFY(store->execute("update dbo.facturas set numcopia=2 where iddocumento='A000120210002'"));
    const RecordSet head = store->query("Select * from dbo.facturas where iddocumento='A000120210002'");
    QCOMPARE(head.rowCount(), 1);
    QCOMPARE(head.value(0, "NumCopia").toInt(), 2);
    QVERIFY(head.value(0, "ProcedeAlbaran").isNull());
    QVERIFY(!head.value(0, "nosuchcolumn").isValid());
}

void TstEmbeddedConnection::moneyAndDatesAsTheServerKeepsThem()
{
    auto store = invoiceStore();
    QVariantMap h = header("F000120210001");
    h.insert("totalbruto", 10.123456789);
    h.insert("totalimpuestos", -0.00005);
    h.insert("Impuesto1Por", 21.00004);
    h.insert("Impuesto1Des", "IVA 21.123456");   // text column: untouched
    h.insert("TotalNeto", QStringLiteral("7.77777"));
    h.insert("timestamp", QDateTime(QDate(2021, 3, 5), QTime(10, 15, 42, 5)));
    h.insert("FechaDocumento", QDateTime(QDate(2021, 3, 5), QTime(10, 15, 42)));
    QVERIFY2(store->insert("dbo.facturas", h), qPrintable(store->lastError()));
    const RecordSet rs = store->query("Select * from dbo.facturas");
    QCOMPARE(rs.value(0, "totalbruto").toDouble(), 10.1235);
    QCOMPARE(rs.value(0, "totalimpuestos").toDouble(), -0.0001);
    QCOMPARE(rs.value(0, "Impuesto1Por").toDouble(), 21.0);
    QCOMPARE(rs.value(0, "Impuesto1Des").toString(), QStringLiteral("IVA 21.123456"));
    QCOMPARE(rs.value(0, "TotalNeto").toDouble(), 7.7778);
    QCOMPARE(rs.value(0, "timestamp").toString(), QStringLiteral("2021-03-05 10:15:42.007"));
    QCOMPARE(rs.value(0, "FechaDocumento").toString(), QStringLiteral("2021-03-05 10:15:42.000"));
}

void TstEmbeddedConnection::markAndUnmarkTicket()
{
    auto pos = posWithTickets();
    auto openTickets = [&] {
        bool ok = false;
        const RecordSet rs = pos->query(QString::fromLatin1(kOpenTickets), &ok);
        if (!ok)
            qWarning() << pos->lastError();
        QList<int> ids;
        for (int r = 0; r < rs.rowCount(); ++r)
            ids << rs.value(r, "iddocumento").toInt();
        return ids;
    };
    QCOMPARE(openTickets(), (QList<int>{1235, 1234, 1236})); // numero DESC within tipodocumento

    QVERIFY2(pos->execute("update dbo.documento set fecha=(fecha+0.00001) where iddocumento=1234"),
             qPrintable(pos->lastError()));
    QCOMPARE(pos->query("Select * from dbo.documento where iddocumento=1234").value(0, "fecha").toString(),
             QStringLiteral("2021-03-05 10:15:42.863"));
    QCOMPARE(openTickets(), (QList<int>{1235, 1236}));

    const QString unmark = QStringLiteral(
        "update dbo.documento set fecha=convert(DateTime, SUBSTRING(convert(VarChar(23), Fecha, 121), 1, 19), 121) "
        "Where iddocumento = 1234 and SUBSTRING(convert(varchar(23),fecha,121),21,3)<>'000'");
    QVERIFY2(pos->execute(unmark), qPrintable(pos->lastError()));
    QCOMPARE(pos->query("Select * from dbo.documento where iddocumento=1234").value(0, "fecha").toString(),
             QStringLiteral("2021-03-05 10:15:42.000"));
    QVERIFY(pos->execute(unmark)); // a second reset changes nothing
    QCOMPARE(openTickets(), (QList<int>{1235, 1234, 1236}));

    const RecordSet latest = pos->query(
        "select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) and isfinalizado=1 "
        "and numero <> 0 and idcontacto<>0 and iddocumentoabono=0 order by fecha,hora");
    QCOMPARE(latest.rowCount(), 3);
    QCOMPARE(latest.value(2, "iddocumento").toInt(), 1236);
}

void TstEmbeddedConnection::periodBoundsCompareAsDates()
{
    auto pos = posWithTickets();
    auto inPeriod = [&](const QString &from, const QString &to) {
        bool ok = false;
        const RecordSet rs = pos->query(
            QStringLiteral("select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) "
                           "and isfinalizado=1 and numero <> 0 and idcontacto=12 and iddocumentoabono=0 and fecha "
                           "between '%1' and '%2' order by tipodocumento,numero ASC,fecha")
                .arg(from, to),
            &ok);
        if (!ok)
            qWarning() << pos->lastError();
        QList<int> ids;
        for (int r = 0; r < rs.rowCount(); ++r)
            ids << rs.value(r, "iddocumento").toInt();
        return ids;
    };
    // A date-only bound is midnight of that day, inclusive, as on the server.
    QCOMPARE(inPeriod("2021-03-01", "2021-03-05"), (QList<int>{1235}));
    QCOMPARE(inPeriod("2021-03-05", "2021-03-06"), (QList<int>{1234, 1235}));
    QCOMPARE(inPeriod("2021-03-05", "2021-03-06 23:59:59.997"), (QList<int>{1236, 1234, 1235}));
}

void TstEmbeddedConnection::statementLogHasExactTexts()
{
    auto pos = posWithTickets();
    zd::test::StatementCapture capture;
    const QString trailing = QStringLiteral("Select * from dbo.documento where iddocumento=1234 ");
    pos->query(QString::fromLatin1(kOpenTickets));
    pos->execute("update dbo.documento set fecha=(fecha+0.00001) where iddocumento=1234");
    pos->query(trailing);
    pos->insert("dbo.documento", {{"iddocumento", 9}, {"fecha", "2021-03-05 10:15:42.000"}});
    QCOMPARE(capture.statements(),
             (QStringList{QString::fromLatin1(kOpenTickets),
                          "update dbo.documento set fecha=(fecha+0.00001) where iddocumento=1234", trailing,
                          "INSERT INTO dbo.documento (fecha, iddocumento) VALUES (?, ?)"}));
    QCOMPARE(capture.startingWith("UPDATE").size(), 1);
    capture.clear();
    QVERIFY(capture.statements().isEmpty());
}

void TstEmbeddedConnection::failedStatementReportsDriverTextAndStatement()
{
    auto pos = posWithTickets();
    bool ok = true;
    const RecordSet rs = pos->query("select * from dbo.nosuchtable", &ok);
    QVERIFY(!ok);
    QVERIFY(rs.isEmpty());
    QVERIFY2(pos->lastError().contains("no such table"), qPrintable(pos->lastError()));
    QVERIFY(pos->lastError().contains("Statement: select * from dbo.nosuchtable"));
    // A bad date literal fails as the server's conversion would.
    QVERIFY(!pos->execute("update dbo.documento set fecha=convert(DateTime, '05/03/2021', 121) where iddocumento=1234"));
    QVERIFY2(pos->lastError().contains("Conversion failed"), qPrintable(pos->lastError()));
    QVERIFY(pos->query("select 1 as one", &ok).value(0, "one").toInt() == 1 && ok);
    QVERIFY(pos->lastError().isEmpty());
}

void TstEmbeddedConnection::backupWritesCompleteFile()
{
    {
        auto store = invoiceStore();
        QVERIFY(store->insert("dbo.facturas", header("A000120210001")));
        QVERIFY(store->insert("dbo.documento", line("A000120210001", 1234)));
    }
    const QString folder = m_dir->filePath("TRS_seguridad");
    QVERIFY(QDir().mkpath(folder));
    const QString target = folder + "/TRS_FAC_back";
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older backup");
    old.close();

    Connection server(m_config);
    QVERIFY(server.open(serverConnectionString()));
    const QString statement = "BACKUP DATABASE TRS_FAC TO DISK = N'" + target
                              + "' WITH NOFORMAT, NOINIT, NAME =N'TRS_FAC'";
    QVERIFY(target.contains(' '));
    QVERIFY2(server.execute(statement), qPrintable(server.lastError()));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"TRS_FAC_back"});

    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "backupcheck");
        db.setDatabaseName(target);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec("PRAGMA integrity_check") && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
        QVERIFY(q.exec("select count(*) from Documento") && q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase("backupcheck");
}

void TstEmbeddedConnection::backupFailureKeepsNothingHalfWritten()
{
    invoiceStore();
    Connection server(m_config);
    QVERIFY(server.open(serverConnectionString()));
    // No such folder: refused, as the server refuses a missing backup folder.
    QVERIFY(!server.execute("BACKUP DATABASE TRS_FAC TO DISK = N'" + m_dir->filePath("missing/x") + "'"));
    QVERIFY(!QFile::exists(m_dir->filePath("missing")));
    // No such database: the earlier file stays as it was, with no leftovers.
    const QString target = m_dir->filePath("keep");
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("older");
    old.close();
    QVERIFY(!server.execute("BACKUP DATABASE NOPE TO DISK = N'" + target + "'"));
    QVERIFY2(server.lastError().contains("Database 'NOPE' does not exist"), qPrintable(server.lastError()));
    QFile kept(target);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("older"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep"});
}

void TstEmbeddedConnection::thousandsOfRowsAreQuick()
{
    auto pos = posWithTickets();
    QElapsedTimer timer;
    timer.start();
    QVERIFY(pos->beginTransaction());
    for (int i = 0; i < 5000; ++i) {
        pos->insert("dbo.documento", {{"iddocumento", 10000 + i}, {"numero", i + 1},
                                      {"fecha", QDateTime(QDate(2021, 4, 1), QTime(8, 0)).addSecs(i)},
                                      {"tipodocumento", 1}, {"isfinalizado", 1}, {"idcontacto", 12},
                                      {"iddocumentoabono", 0}});
    }
    QVERIFY(pos->commit());
    bool ok = false;
    const RecordSet rs = pos->query(QString::fromLatin1(kOpenTickets), &ok);
    QVERIFY(ok);
    QCOMPARE(rs.rowCount(), 5003);
    QCOMPARE(rs.value(0, "numero").toInt(), 5000);
    qInfo() << "5000 inserts and one query of 5003 rows:" << timer.elapsed() << "ms";
    QVERIFY2(timer.elapsed() < 10000, "far too slow");
}

void TstEmbeddedConnection::shapedStatementsReadAsTheDriverDoes_data()
{
    QTest::addColumn<QStringList>("statements");
    QTest::newRow("one shape, several ids")
        << QStringList{"select * from dbo.t where id=1", "select * from dbo.t where id=2", "select * from dbo.t where id=3",
                       "select * from dbo.t where id=1", "select * from dbo.t where id=5"};
    QTest::newRow("texts with quotes and accents")
        << QStringList{QString::fromUtf8("select * from dbo.t where name='Cr\u00e8me ''br\u00fbl\u00e9e'''"),
                       "select * from dbo.t where name='x'", "select * from dbo.t where name=''"};
    QTest::newRow("dates compared with bound texts")
        << QStringList{"select * from dbo.t where fecha >= '2021-03-05 10:15:42' order by id",
                       "select * from dbo.t where fecha >= '2021-03-05 10:15:42.001' order by id",
                       "select * from dbo.t where fecha < '2021-03-05' order by id"};
    QTest::newRow("open tickets, translated constructs")
        << QStringList{"select * from dbo.t where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) and id<>0 "
                       "order by id DESC",
                       "select * from dbo.t where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='863')) and id<>0 "
                       "order by id DESC",
                       "select convert(varchar(23), fecha+0.00001, 121) as later from dbo.t where id=1"};
    QTest::newRow("integers compared with reals and texts")
        << QStringList{"select * from dbo.t where amount > 2", "select * from dbo.t where amount > 1 order by 1",
                       "select * from dbo.t where amount = '2.5'", "select * from dbo.t where id = '2'"};
    QTest::newRow("names as the driver gives them")
        << QStringList{"select id as \"a\"\"b\", id + 1, null as blank from dbo.t where id=2"};
}

// Every statement reads as the Qt driver reads its translated text: the
// same names, the same value types, the same values; twice, so that the
// second run comes from the prepared shape.
void TstEmbeddedConnection::shapedStatementsReadAsTheDriverDoes()
{
    QFETCH(QStringList, statements);
    auto c = catalog(QStringLiteral("Tillvane"));
    QVERIFY(c->execute("CREATE TABLE t (id INTEGER, name NVARCHAR(40), amount MONEY, fecha DATETIME, picture BLOB, "
                       "flag BIT)"));
    QVERIFY(c->insert("dbo.t", {{"id", 1}, {"name", QString::fromUtf8("Cr\u00e8me 'br\u00fbl\u00e9e'")}, {"amount", 2.5},
                                {"fecha", "2021-03-05 10:15:42.000"}, {"picture", QByteArray("\x00\x01", 2)}, {"flag", 1}}));
    QVERIFY(c->insert("dbo.t", {{"id", 2}, {"name", "x"}, {"amount", 3}, {"fecha", "2021-03-05 10:15:42.863"},
                                {"picture", QByteArray("")}, {"flag", 0}}));
    QVERIFY(c->insert("dbo.t", {{"id", 4}, {"name", QStringLiteral("")}, {"amount", 1}, {"fecha", "2021-03-06"},
                                {"picture", QByteArray("x")}, {"flag", 1}}));
    QVERIFY(c->insert("dbo.t", {{"id", 3}, {"name", QVariant()}, {"amount", QVariant()},
                                {"fecha", "2021-03-04 23:59:59.997"}, {"picture", QVariant()}, {"flag", QVariant()}}));
    // Text that is not well-formed UTF-8, as another program might store it.
    QVERIFY(c->execute("insert into t (id, name) values (5, cast(x'41c328ff' as text))"));
    for (int round = 0; round < 2; ++round) {
        for (const QString &tsql : statements) {
            bool ok = false;
            const RecordSet shaped = c->query(tsql, &ok);
            QVERIFY2(ok, qPrintable(c->lastError()));
            QSqlQuery plain(c->database());
            QVERIFY2(plain.exec(translateTSql(tsql).sql), qPrintable(plain.lastError().text()));
            QStringList names;
            for (int i = 0; i < plain.record().count(); ++i)
                names << plain.record().fieldName(i);
            QCOMPARE(shaped.columns(), names);
            int row = 0;
            while (plain.next()) {
                QVERIFY2(row < shaped.rowCount(), qPrintable(tsql));
                for (int i = 0; i < names.size(); ++i) {
                    const QVariant mine = shaped.value(row, i);
                    const QVariant theirs = plain.value(i);
                    QCOMPARE(mine.typeId(), theirs.typeId());
                    QCOMPARE(mine.isNull(), theirs.isNull());
                    QCOMPARE(mine, theirs);
                }
                ++row;
            }
            QCOMPARE(shaped.rowCount(), row);

            // Row by row, the same rows: values, texts and shared texts.
            int handed = 0;
            QVERIFY2(c->queryRows(tsql,
                                  [&](const RowView &view) {
                                      QCOMPARE(view.columns(), names);
                                      for (int i = 0; i < names.size(); ++i) {
                                          const QVariant whole = shaped.value(handed, i);
                                          QCOMPARE(view.value(i).typeId(), whole.typeId());
                                          QCOMPARE(view.value(i), whole);
                                          QCOMPARE(view.text(i), whole.toString());
                                          QCOMPARE(view.text(i).isNull(), whole.toString().isNull());
                                          QCOMPARE(view.repeatedText(i), whole.toString());
                                      }
                                      QCOMPARE(view.value(names.size()), QVariant());
                                      ++handed;
                                  }),
                     qPrintable(c->lastError()));
            QCOMPARE(handed, shaped.rowCount());
        }
    }
    // A failing statement hands out nothing and says why.
    int handed = 0;
    QVERIFY(!c->queryRows("select * from dbo.missing", [&](const RowView &) { ++handed; }));
    QCOMPARE(handed, 0);
    QVERIFY(c->lastError().contains("missing"));

    // Shared texts of a column whose values repeat, more of them than are
    // kept at once: each row still reads its own text.
    QVERIFY(c->execute("CREATE TABLE towns (id INTEGER, town NVARCHAR(40))"));
    QVERIFY(c->beginTransaction());
    for (int i = 0; i < 600; ++i)
        QVERIFY(c->insert("dbo.towns", {{"id", i}, {"town", QString::fromUtf8("Saint-\u00c9tienne %1 ").arg(i % 150)}}));
    QVERIFY(c->commit());
    int rows = 0;
    QVERIFY(c->queryRows("select * from dbo.towns order by id", [&](const RowView &view) {
        QCOMPARE(view.repeatedText(1), QString::fromUtf8("Saint-\u00c9tienne %1 ").arg(view.value(0).toInt() % 150));
        ++rows;
    }));
    QCOMPARE(rows, 600);
}

void TstEmbeddedConnection::preparedShapesFollowChangesAndCountRows()
{
    auto pos = posWithTickets();
    int changed = -1;
    QVERIFY(pos->execute("update dbo.documento set numero=5 where idcontacto=12", &changed));
    QCOMPARE(changed, 3);
    QVERIFY(pos->execute("update dbo.documento set numero=5 where idcontacto=13", &changed));
    QCOMPARE(changed, 0);
    QVERIFY(pos->execute("update dbo.documento set fecha=(fecha+0.00001) where iddocumento=1234", &changed));
    QCOMPARE(changed, 1);

    // A table changed under a prepared shape: its rows show the new column.
    bool ok = false;
    QCOMPARE(pos->query("select * from dbo.documento where iddocumento=1234", &ok).columnCount(), 8);
    QVERIFY(pos->execute("alter table documento add column extra integer default 7"));
    const RecordSet after = pos->query("select * from dbo.documento where iddocumento=1235", &ok);
    QVERIFY(ok);
    QCOMPARE(after.columnCount(), 9);
    QCOMPARE(after.value(0, "extra").toInt(), 7);
    QCOMPARE(after.value(0, "iddocumento").toInt(), 1235);

    // Many more shapes than are kept prepared: each still answers for itself.
    for (int k = 0; k < 300; ++k) {
        const RecordSet rs = pos->query(QStringLiteral("select %1 as v from dbo.documento where iddocumento=%2")
                                            .arg(k)
                                            .arg(1234 + k % 3),
                                        &ok);
        QVERIFY2(ok, qPrintable(pos->lastError()));
        QCOMPARE(rs.value(0, "v").toInt(), k);
    }
    // A table dropped under a prepared shape fails as a new text would.
    QVERIFY(pos->execute("create table gone (k integer)"));
    QVERIFY(pos->query("select * from dbo.gone where k=1", &ok).isEmpty() && ok);
    QVERIFY(pos->execute("drop table gone"));
    pos->query("select * from dbo.gone where k=2", &ok);
    QVERIFY(!ok);
    QVERIFY2(pos->lastError().startsWith("no such table: gone Unable to execute statement"), qPrintable(pos->lastError()));

    // A failed statement leaves its shape usable, inside a transaction too.
    QVERIFY(pos->beginTransaction());
    QVERIFY(!pos->execute("update dbo.documento set numero=1 where iddocumento=1236 and nosuchcolumn=1"));
    QVERIFY(!pos->execute("update dbo.documento set iddocumento=1235 where iddocumento=1236"));
    QVERIFY2(pos->lastError().contains("UNIQUE"), qPrintable(pos->lastError()));
    QVERIFY(pos->execute("update dbo.documento set numero=6 where iddocumento=1236", &changed));
    QCOMPARE(changed, 1);
    QVERIFY(pos->rollback());
    QCOMPARE(pos->query("select numero from dbo.documento where iddocumento=1236", &ok).value(0, 0).toInt(), 5);
}

// Values appended by insert() are stored as the Qt driver stores them bound:
// the same storage class and the same value, whatever the C++ type.
void TstEmbeddedConnection::insertBindsAsTheDriverDoes()
{
    auto c = catalog(QStringLiteral("Tillvane"));
    for (const char *table : {"mine", "theirs"})
        QVERIFY(c->execute(QStringLiteral("CREATE TABLE %1 (n INTEGER, v)").arg(QLatin1String(table))));
    const QVariantList values = {QVariant(7), QVariant(true), QVariant(2.5), QVariant(uint(4000000000u)),
                                 QVariant(qlonglong(1) << 40), QVariant(qulonglong(9)), QVariant(1.25f),
                                 QVariant(QStringLiteral("Pâté")), QVariant(QString()), QVariant(QStringLiteral("")),
                                 QVariant(QByteArray("\x00\x01", 2)), QVariant(QByteArray()), QVariant(),
                                 QVariant(QMetaType::fromType<int>()), QVariant(QTime(10, 15))};
    QSqlQuery theirs(c->database());
    QVERIFY(theirs.prepare("INSERT INTO theirs (n, v) VALUES (?, ?)"));
    for (int i = 0; i < values.size(); ++i) {
        QVERIFY2(c->insert("dbo.mine", {{"n", i}, {"v", values.at(i)}}), qPrintable(c->lastError()));
        theirs.addBindValue(i);
        theirs.addBindValue(values.at(i));
        QVERIFY2(theirs.exec(), qPrintable(theirs.lastError().text()));
    }
    auto stored = [&](const char *table) {
        QStringList rows;
        QSqlQuery q(c->database());
        if (!q.exec(QStringLiteral("select n, typeof(v), quote(v) from %1 order by n").arg(QLatin1String(table))))
            return QStringList{q.lastError().text()};
        while (q.next())
            rows << q.value(0).toString() + ' ' + q.value(1).toString() + ' ' + q.value(2).toString();
        return rows;
    };
    QCOMPARE(stored("mine").size(), values.size());
    QCOMPARE(stored("mine"), stored("theirs"));
}

QTEST_GUILESS_MAIN(TstEmbeddedConnection)
#include "tst_embeddedconnection.moc"
