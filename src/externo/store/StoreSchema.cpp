#include "StoreSchema.h"

#include "externo/books/Chain.h"

#include <QStringList>

namespace zd {

QString CreateDatabaseStatement()
{
    return QStringLiteral("CREATE DATABASE TRS_FAC");
}

QString CreateFacturasStatement()
{
    // The spacing inside each piece is part of the text the server receives.
    static const char *const pieces[] = {
        "CREATE TABLE facturas (     IdDocumento     NVARCHAR(15) NOT NULL, TipoDocumento INTEGER NOT NULL,",
        "IdSerie         INTEGER NOT NULL,      NumCopia      INTEGER NOT NULL,",
        "IdEmpresa       SMALLINT NOT NULL,     IdFiscal      NVARCHAR(35) NOT NULL,",
        "IdCliente       INTEGER NOT NULL,      IdFiscalCliente NVARCHAR(35) NOT NULL,",
        "MonedaDes       NVARCHAR(40) NOT NULL, MonedaDec       SMALLINT NOT NULL,",
        "MonedaSim       NVARCHAR(10) NOT NULL, timestamp       DATETIME,",
        "Correlativo     INTEGER NOT NULL,",
        "ProcedeAlbaran  NVARCHAR(15) NULL,",
        "Capturado       NVARCHAR(1) NULL,",
        "anulada         NVARCHAR(1) NULL,",
        "var1            NVARCHAR(1) NULL,",
        "var15           NVARCHAR(15) NULL,",
        "FechaDocumento  DATETIME, totalbruto       MONEY NULL,",
        "totaldescuentos MONEY NULL, totalimpuestos MONEY NULL,",
        "Impuesto1Des    NVARCHAR(35) NULL, Impuesto1Por DECIMAL(14,4) NULL,",
        "TotalImpuesto1  MONEY NULL, totalbase1 MONEY NULL,",
        "Impuesto2Des    NVARCHAR(35) NULL, Impuesto2Por DECIMAL(14,4) NULL,",
        "TotalImpuesto2  MONEY NULL, totalbase2 MONEY NULL,",
        "Impuesto3Des    NVARCHAR(35) NULL, Impuesto3Por DECIMAL(14,4) NULL,",
        "TotalImpuesto3  MONEY NULL, totalbase3 MONEY NULL,",
        "Impuesto4Des    NVARCHAR(35) NULL, Impuesto4Por DECIMAL(14,4) NULL,",
        "TotalImpuesto4  MONEY NULL, totalbase4 MONEY NULL,",
        "Impuesto5Des    NVARCHAR(35) NULL, Impuesto5Por DECIMAL(14,4) NULL,",
        "TotalImpuesto5  MONEY NULL, totalbase5 MONEY NULL, TotalNeto MONEY NULL,"
        "CONSTRAINT PK_FACTURA_IdDocumento PRIMARY KEY(idDocumento))",
    };
    QString text;
    for (const char *piece : pieces)
        text += QLatin1String(piece);
    return text;
}

QString CreateDocumentoStatement()
{
    static const char *const pieces[] = {
        "CREATE TABLE Documento (    IdDocumento NVARCHAR(15) NOT NULL, TipoDocumento INTEGER NOT NULL,",
        "IdSerie         INTEGER NOT NULL,",
        "Correlativo     INTEGER NOT NULL,",
        "IdExterno       INTEGER NOT NULL,",
        "numerodetique   INTEGER NOT NULL, codigo INTEGER NOT NULL,",
        "descripcion     NVARCHAR(35) NULL, cantidad DECIMAL(14,4) NULL,",
        "precio          MONEY NULL, descuento MONEY NULL,",
        "importe         MONEY NULL, CONSTRAINT FK_DOCUMENTO_idDocumento FOREIGN KEY (idDocumento) "
        "REFERENCES facturas(idDocumento) ON DELETE CASCADE)",
    };
    QString text;
    for (const char *piece : pieces)
        text += QLatin1String(piece);
    return text;
}

QString CreateFacturasAnuladasStatement()
{
    // The same columns as facturas, so that a cancelled note's header is
    // moved as it stands.
    return CreateFacturasStatement()
        .replace(QLatin1String("CREATE TABLE facturas ("), QLatin1String("CREATE TABLE FacturasAnuladas ("))
        .replace(QLatin1String("PK_FACTURA_IdDocumento"), QLatin1String("PK_ANULADA_IdDocumento"));
}

QString CreateDocumentoAnuladoStatement()
{
    QString text = CreateDocumentoStatement().replace(QLatin1String("CREATE TABLE Documento ("),
                                                      QLatin1String("CREATE TABLE DocumentoAnulado ("));
    // Its header is in FacturasAnuladas: no reference to facturas.
    return text.left(text.indexOf(QLatin1String(", CONSTRAINT FK_DOCUMENTO_idDocumento"))) + QLatin1Char(')');
}

QString CreateMarcasPendientesStatement()
{
    return QStringLiteral("CREATE TABLE MarcasPendientes (IdDocumento NVARCHAR(15) NOT NULL, "
                          "IdExterno INTEGER NOT NULL, Accion NVARCHAR(1) NOT NULL)");
}

QString CreateDocumentoIndexStatement()
{
    return QStringLiteral("CREATE INDEX IX_DOCUMENTO_IdDocumento ON Documento (IdDocumento)");
}

QStringList AddedTableStatements()
{
    return {CreateMarcasPendientesStatement(), CreateFacturasAnuladasStatement(), CreateDocumentoAnuladoStatement(),
            books::CreateChainStatement()};
}

QStringList AddedColumnStatements()
{
    return {QStringLiteral("ALTER TABLE facturas ADD FacturaRectificada NVARCHAR(15) NULL"),
            QStringLiteral("ALTER TABLE FacturasAnuladas ADD FacturaRectificada NVARCHAR(15) NULL")};
}

QString AddedColumnOf(const QString &statement)
{
    return statement.section(QLatin1Char(' '), 2, 2) + QLatin1Char('.') + statement.section(QLatin1Char(' '), 4, 4);
}

} // namespace zd
