#include "externo/sql/TSqlTranslator.h"

#include <QtTest>

using zd::sql::Translation;
using zd::sql::translateTSql;
using zd::sql::Literal;
using zd::sql::shapeOf;
using zd::sql::translateShape;

class TstTSqlTranslator : public QObject {
    Q_OBJECT
private slots:
    void translatesStatements_data();
    void translatesStatements();
    void engineActions_data();
    void engineActions();
    void shapes_data();
    void shapes();
    void textsWithMarkersOfTheirOwnHaveNoShape_data();
    void textsWithMarkersOfTheirOwnHaveNoShape();
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

void TstTSqlTranslator::shapes_data()
{
    QTest::addColumn<QString>("tsql");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariantList>("literals");
    QTest::addColumn<QString>("sqlite");

    QTest::newRow("ticket lines")
        << "Select * from dbo.lineadocumento where iddocumento=1234"
        << "i|Select * from dbo.lineadocumento where iddocumento=?" << QVariantList{1234LL}
        << "Select * from lineadocumento where iddocumento=?";
    QTest::newRow("open tickets: convert, substring positions and ORDER BY stay")
        << "select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) and isfinalizado=1 "
           "and numero <> 0 and idcontacto=12 and iddocumentoabono=0 order by tipodocumento,numero DESC,fecha"
        << "tiiii|select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)=?)) and isfinalizado=? "
           "and numero <> ? and idcontacto=? and iddocumentoabono=? order by tipodocumento,numero DESC,fecha"
        << QVariantList{QStringLiteral("000"), 1LL, 0LL, 12LL, 0LL}
        << "select * from documento where ((substr(zd_dt121(fecha),21,3)=?)) and isfinalizado=? "
           "and numero <> ? and idcontacto=? and iddocumentoabono=? order by tipodocumento,numero DESC,fecha";
    QTest::newRow("day arithmetic keeps its number")
        << "update dbo.documento set fecha=(fecha+0.00001) where iddocumento=1234"
        << "i|update dbo.documento set fecha=(fecha+0.00001) where iddocumento=?" << QVariantList{1234LL}
        << "update documento set fecha=(zd_dtadd(fecha, 0.00001)) where iddocumento=?";
    QTest::newRow("unmark: convert arguments stay, comparisons are bound")
        << "update dbo.documento set fecha=convert(DateTime, SUBSTRING(convert(VarChar(23), Fecha, 121), 1, 19), 121) "
           "Where iddocumento = 1234 and SUBSTRING(convert(varchar(23),fecha,121),21,3)<>'000'"
        << "it|update dbo.documento set fecha=convert(DateTime, SUBSTRING(convert(VarChar(23), Fecha, 121), 1, 19), 121) "
           "Where iddocumento = ? and SUBSTRING(convert(varchar(23),fecha,121),21,3)<>?"
        << QVariantList{1234LL, QStringLiteral("000")}
        << "update documento set fecha=zd_dtparse(substr(zd_dt121(Fecha), 1, 19)) "
           "Where iddocumento = ? and substr(zd_dt121(fecha),21,3)<>?";
    QTest::newRow("a date compared with a bound text is still parsed as a date")
        << "select * from dbo.documento where fecha >= '2021-03-01' and timestamp<'2021-04-01'"
        << "tt|select * from dbo.documento where fecha >= ? and timestamp<?"
        << QVariantList{QStringLiteral("2021-03-01"), QStringLiteral("2021-04-01")}
        << "select * from documento where fecha >= zd_dtparse(?) and timestamp<zd_dtparse(?)";
    QTest::newRow("a date compared with a number is not")
        << "select * from dbo.documento where fecha >= 5" << "i|select * from dbo.documento where fecha >= ?"
        << QVariantList{5LL} << "select * from documento where fecha >= ?";
    QTest::newRow("period bounds stay")
        << "Select * from dbo.facturas where idcliente=12 and FechaDocumento between '2021-03-01' and "
           "'2021-03-15 23:59:59.997' order by iddocumento DESC"
        << "i|Select * from dbo.facturas where idcliente=? and FechaDocumento between '2021-03-01' and "
           "'2021-03-15 23:59:59.997' order by iddocumento DESC"
        << QVariantList{12LL}
        << "Select * from facturas where idcliente=? and FechaDocumento between zd_dtparse('2021-03-01') and "
           "zd_dtparse('2021-03-15 23:59:59.997') order by iddocumento DESC";
    QTest::newRow("copy counter, text with a doubled quote")
        << "update dbo.facturas set numcopia=2 where iddocumento='F0001''2021'"
        << "it|update dbo.facturas set numcopia=? where iddocumento=?"
        << QVariantList{2LL, QStringLiteral("F0001'2021")}
        << "update facturas set numcopia=? where iddocumento=?";
    QTest::newRow("TOP, LIKE, IN, positions, reals, signs, N'' and big numbers stay")
        << "select top 10 a from dbo.t where b like 'A%' and c in (1,2) and d = 1.5 and e = -3 and f = N'x' "
           "and g = 99999999999999999999 and h = 1e3 order by 2"
        << "|select top 10 a from dbo.t where b like 'A%' and c in (1,2) and d = 1.5 and e = -3 and f = N'x' "
           "and g = 99999999999999999999 and h = 1e3 order by 2"
        << QVariantList{}
        << "select top 10 a from t where b like 'A%' and c in (1,2) and d = 1.5 and e = -3 and f = 'x' "
           "and g = 99999999999999999999 and h = 1e3 order by 2";
    QTest::newRow("numbers run together with a word, unclosed texts stay")
        << "select * from t where a = 0x10 and b = 'open" << "|select * from t where a = 0x10 and b = 'open"
        << QVariantList{} << "select * from t where a = 0x10 and b = 'open";
    QTest::newRow("quoted text and comments are not literals to bind")
        << "select 'a=1' from t where \"x=1\" = 7 -- = 8\n" << "i|select 'a=1' from t where \"x=1\" = ? -- = 8\n"
        << QVariantList{7LL} << "select 'a=1' from t where \"x=1\" = ? -- = 8\n";
    QTest::newRow("leading zeros read as SQLite reads them")
        << "select * from t where a=007" << "i|select * from t where a=?" << QVariantList{7LL}
        << "select * from t where a=?";
}

void TstTSqlTranslator::shapes()
{
    QFETCH(QString, tsql);
    QFETCH(QString, key);
    QFETCH(QVariantList, literals);
    QFETCH(QString, sqlite);
    const zd::sql::StatementShape shape = shapeOf(tsql);
    QVERIFY(shape.shaped);
    QCOMPARE(shape.key, key);
    QVariantList values;
    for (const Literal &l : shape.literals)
        values << (l.kind == Literal::Kind::Integer ? QVariant(qlonglong(l.integer)) : QVariant(l.text));
    QCOMPARE(values, literals);
    const Translation tr = translateShape(tsql);
    QCOMPARE(tr.kind, Translation::Kind::Sql);
    QCOMPARE(tr.sql, sqlite);
}

void TstTSqlTranslator::textsWithMarkersOfTheirOwnHaveNoShape_data()
{
    QTest::addColumn<QString>("tsql");
    QTest::newRow("?") << "select * from t where a = ? and b = 1";
    QTest::newRow(":name") << "select * from t where a = :a and b = 1";
    QTest::newRow("@name") << "select * from t where a = @a and b = 1";
    QTest::newRow("$name") << "select * from t where a = $a and b = 1";
}

void TstTSqlTranslator::textsWithMarkersOfTheirOwnHaveNoShape()
{
    QFETCH(QString, tsql);
    QVERIFY(!shapeOf(tsql).shaped);
    QCOMPARE(translateShape(tsql).sql, translateTSql(tsql).sql);
}

QTEST_GUILESS_MAIN(TstTSqlTranslator)
#include "tst_tsqltranslator.moc"
