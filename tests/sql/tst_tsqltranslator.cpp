#include "externo/sql/TSqlTranslator.h"

#include <QtTest>

using zd::sql::Translation;
using zd::sql::translateTSql;

class TstTSqlTranslator : public QObject {
    Q_OBJECT
private slots:
    void translatesStatements_data();
    void translatesStatements();
    void engineActions_data();
    void engineActions();
};

void TstTSqlTranslator::translatesStatements_data()
{
    QTest::addColumn<QString>("tsql");
    QTest::addColumn<QString>("sqlite");

    QTest::newRow("open tickets")
        << "select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) and isfinalizado=1 "
           "and numero <> 0 and idcontacto=12 and iddocumentoabono=0 order by tipodocumento,numero DESC,fecha"
        << "select * from documento where ((substr(zd_dt121(fecha),21,3)='000')) and isfinalizado=1 "
           "and numero <> 0 and idcontacto=12 and iddocumentoabono=0 order by tipodocumento,numero DESC,fecha";
    QTest::newRow("open tickets in period")
        << "select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) and isfinalizado=1 "
           "and numero <> 0 and idcontacto=12 and iddocumentoabono=0 and fecha between '2021-03-01' and '2021-03-15' "
           "order by tipodocumento,numero ASC,fecha"
        << "select * from documento where ((substr(zd_dt121(fecha),21,3)='000')) and isfinalizado=1 "
           "and numero <> 0 and idcontacto=12 and iddocumentoabono=0 and fecha between zd_dtparse('2021-03-01') and "
           "zd_dtparse('2021-03-15') order by tipodocumento,numero ASC,fecha";
    QTest::newRow("documents in period, end of day")
        << "Select * from dbo.facturas where idcliente=12 and FechaDocumento between '2021-03-01' and "
           "'2021-03-15 23:59:59.997' order by iddocumento DESC"
        << "Select * from facturas where idcliente=12 and FechaDocumento between zd_dtparse('2021-03-01') and "
           "zd_dtparse('2021-03-15 23:59:59.997') order by iddocumento DESC";
    QTest::newRow("latest open ticket customer")
        << "select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) and isfinalizado=1 "
           "and numero <> 0 and idcontacto<>0 and iddocumentoabono=0 order by fecha,hora"
        << "select * from documento where ((substr(zd_dt121(fecha),21,3)='000')) and isfinalizado=1 "
           "and numero <> 0 and idcontacto<>0 and iddocumentoabono=0 order by fecha,hora";
    QTest::newRow("mark")
        << "update dbo.documento set fecha=(fecha+0.00001) where iddocumento=1234"
        << "update documento set fecha=(zd_dtadd(fecha, 0.00001)) where iddocumento=1234";
    QTest::newRow("unmark")
        << "update dbo.documento set fecha=convert(DateTime, SUBSTRING(convert(VarChar(23), Fecha, 121), 1, 19), 121) "
           "Where iddocumento = 1234 and SUBSTRING(convert(varchar(23),fecha,121),21,3)<>'000'"
        << "update documento set fecha=zd_dtparse(substr(zd_dt121(Fecha), 1, 19)) "
           "Where iddocumento = 1234 and substr(zd_dt121(fecha),21,3)<>'000'";
    QTest::newRow("day arithmetic, minus and spaces")
        << "select fecha - 1.5 from dbo.documento"
        << "select zd_dtadd(fecha, -1.5) from documento";
    QTest::newRow("qualified date column left alone")
        << "select d.fecha + 1 from dbo.documento d"
        << "select d.fecha + 1 from documento d";
    QTest::newRow("comparison with a literal")
        << "select * from dbo.documento where fecha >= '2021-03-01' and timestamp<'2021-04-01'"
        << "select * from documento where fecha >= zd_dtparse('2021-03-01') and timestamp<zd_dtparse('2021-04-01')";
    QTest::newRow("copy counter")
        << "update dbo.facturas set numcopia=2 where iddocumento='F000120210001'"
        << "update facturas set numcopia=2 where iddocumento='F000120210001'";
    QTest::newRow("cancellation")
        << "delete from dbo.facturas where iddocumento='A000120210003'"
        << "delete from facturas where iddocumento='A000120210003'";
    QTest::newRow("tax types") << "select * from dbo.TipoImpuesto order by IdTipoImpuesto"
                               << "select * from TipoImpuesto order by IdTipoImpuesto";
    QTest::newRow("customers") << "Select * from dbo.cliente order by idcliente"
                               << "Select * from cliente order by idcliente";
    QTest::newRow("keywords in any case") << "SELECT * FROM DBO.Documento WHERE Fecha+1 > 0"
                                          << "SELECT * FROM Documento WHERE zd_dtadd(Fecha, 1) > 0";
    QTest::newRow("quoted text never changes")
        << "select 'dbo.x convert(varchar(23),fecha,121) fecha+1 SUBSTRING(''it''''s'')' , \"dbo\".y from dbo.t where a=N'dbo.z'"
        << "select 'dbo.x convert(varchar(23),fecha,121) fecha+1 SUBSTRING(''it''''s'')' , \"dbo\".y from t where a='dbo.z'";
    QTest::newRow("other convert untouched") << "select convert(int, numero) from dbo.documento"
                                             << "select convert(int, numero) from documento";

    const QString facturas = QStringLiteral(
        "CREATE TABLE facturas (     IdDocumento     NVARCHAR(15) NOT NULL, TipoDocumento INTEGER NOT NULL,"
        "IdSerie         INTEGER NOT NULL,      NumCopia      INTEGER NOT NULL,"
        "MonedaSim       NVARCHAR(10) NOT NULL, timestamp       DATETIME,"
        "FechaDocumento  DATETIME, totalbruto       MONEY NULL,"
        "Impuesto1Des    NVARCHAR(35) NULL, Impuesto1Por DECIMAL(14,4) NULL,"
        "TotalImpuesto5  MONEY NULL, totalbase5 MONEY NULL, TotalNeto MONEY NULL,CONSTRAINT PK_FACTURA_IdDocumento PRIMARY KEY(idDocumento))");
    QTest::newRow("create table unchanged") << facturas << facturas;
}

void TstTSqlTranslator::translatesStatements()
{
    QFETCH(QString, tsql);
    QFETCH(QString, sqlite);
    const Translation tr = translateTSql(tsql);
    QCOMPARE(tr.kind, Translation::Kind::Sql);
    QCOMPARE(tr.sql, sqlite);
}

void TstTSqlTranslator::engineActions_data()
{
    QTest::addColumn<QString>("tsql");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("path");

    const int create = int(Translation::Kind::CreateDatabase);
    const int backup = int(Translation::Kind::BackupDatabase);
    QTest::newRow("create") << "CREATE DATABASE TRS_FAC" << create << "TRS_FAC" << "";
    QTest::newRow("create lower case") << "create database [Other];" << create << "Other" << "";
    QTest::newRow("backup with space in path")
        << "BACKUP DATABASE TRS_FAC TO DISK = N'/path with space/TRS_seguridad/TRS_FAC_back' WITH NOFORMAT, NOINIT, NAME =N'TRS_FAC'"
        << backup << "TRS_FAC" << "/path with space/TRS_seguridad/TRS_FAC_back";
    QTest::newRow("backup, quote doubled in path")
        << "backup database TRS_FAC to disk='/tmp/o''brien/x'" << backup << "TRS_FAC" << "/tmp/o'brien/x";
    QTest::newRow("create with options is sent as text")
        << "CREATE DATABASE x ON PRIMARY" << int(Translation::Kind::Sql) << "" << "";
}

void TstTSqlTranslator::engineActions()
{
    QFETCH(QString, tsql);
    QFETCH(int, kind);
    QFETCH(QString, database);
    QFETCH(QString, path);
    const Translation tr = translateTSql(tsql);
    QCOMPARE(int(tr.kind), kind);
    QCOMPARE(tr.database, database);
    QCOMPARE(tr.diskPath, path);
}

QTEST_GUILESS_MAIN(TstTSqlTranslator)
#include "tst_tsqltranslator.moc"
