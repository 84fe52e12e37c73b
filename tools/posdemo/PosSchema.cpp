#include "PosSchema.h"
#include "SqliteDb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zd::posdemo::PosSchema {

// Types are those of the scales' server; SQLite keeps them as declared names
// (NVARCHAR -> text affinity, INTEGER/SMALLINT -> integer, MONEY, DECIMAL,
// BIT and DATETIME -> numeric, which leaves style-121 text as text).
QByteArray tables()
{
    return QByteArrayLiteral(R"sql(
CREATE TABLE cliente (
    idcliente      INTEGER NOT NULL PRIMARY KEY,
    codigo         NVARCHAR(15),
    nombre         NVARCHAR(100),
    nif            NVARCHAR(20),
    direccion      NVARCHAR(100),
    codigopostal   NVARCHAR(10),
    poblacion      NVARCHAR(50),
    provincia      NVARCHAR(50),
    telefono       NVARCHAR(20),
    email          NVARCHAR(100)
);
CREATE TABLE empresa (
    idempresa      INTEGER NOT NULL PRIMARY KEY,
    nombre         NVARCHAR(100),
    idfiscal       NVARCHAR(20),
    direccion      NVARCHAR(100),
    codigopostal   NVARCHAR(10),
    poblacion      NVARCHAR(50),
    provincia      NVARCHAR(50),
    telefono       NVARCHAR(20),
    mail           NVARCHAR(100),
    Logo           IMAGE
);
CREATE TABLE moneda (
    idmoneda       INTEGER NOT NULL PRIMARY KEY,
    descripcion    NVARCHAR(30),
    decimales      SMALLINT,
    iniciales      NVARCHAR(5)
);
CREATE TABLE TipoImpuesto (
    IdTipoImpuesto INTEGER NOT NULL PRIMARY KEY,
    porcentaje     DECIMAL(5,2) NOT NULL DEFAULT 0,
    descripcion    NVARCHAR(30)
);
CREATE TABLE documento (
    iddocumento      INTEGER NOT NULL PRIMARY KEY,
    numero           INTEGER NOT NULL DEFAULT 0,
    fecha            DATETIME NOT NULL,
    hora             DATETIME,
    tipodocumento    SMALLINT NOT NULL DEFAULT 1,
    isfinalizado     BIT NOT NULL DEFAULT 0,
    idcontacto       INTEGER NOT NULL DEFAULT 0,
    iddocumentoabono INTEGER NOT NULL DEFAULT 0,
    idusuario        INTEGER,
    numeroterminal   INTEGER,
    totalneto        MONEY NOT NULL DEFAULT 0
);
CREATE TABLE lineadocumento (
    idlineadocumento INTEGER NOT NULL PRIMARY KEY,
    iddocumento      INTEGER NOT NULL,
    idarticulo       INTEGER,
    descripcion      NVARCHAR(60),
    isventaporpeso   BIT,
    peso             DECIMAL(10,3),
    unidades         DECIMAL(10,3),
    precio           MONEY,
    dtoslinea        MONEY,
    importe          MONEY,
    dtoscabecera     MONEY,
    idtipoimpuesto   INTEGER
);
CREATE TABLE impuestodocumento (
    idimpuestodocumento INTEGER NOT NULL PRIMARY KEY,
    iddocumento         INTEGER NOT NULL,
    idtipoimpuesto      INTEGER NOT NULL,
    baseimponible       MONEY NOT NULL DEFAULT 0,
    importe             MONEY NOT NULL DEFAULT 0
);
)sql");
}

QByteArray indexes()
{
    return QByteArrayLiteral(R"sql(
CREATE INDEX ix_documento_idcontacto ON documento (idcontacto);
CREATE INDEX ix_documento_fecha ON documento (fecha, hora);
CREATE INDEX ix_lineadocumento_iddocumento ON lineadocumento (iddocumento);
CREATE INDEX ix_impuestodocumento_iddocumento ON impuestodocumento (iddocumento);
CREATE INDEX ix_cliente_codigo ON cliente (codigo);
)sql");
}

bool create(SqliteDb &db, QString *error)
{
    return db.exec("BEGIN", error) && db.exec(tables(), error) && db.exec(indexes(), error)
           && db.exec("COMMIT", error);
}

} // namespace zd::posdemo::PosSchema

namespace zd::posdemo {

bool createPosDatabase(const QString &path, QString *error)
{
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 exists already").arg(path);
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    SqliteDb db;
    if (db.open(path, true, error) && PosSchema::create(db, error))
        return true;
    // No half-made catalog: a file that exists means a usable one to the engine.
    db.close();
    QFile::remove(path);
    return false;
}

} // namespace zd::posdemo
