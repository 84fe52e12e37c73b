#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

namespace zd {

// One customer of dbo.cliente, texts trimmed.
struct CustomerRecord {
    qint32 idcliente = 0;
    QString codigo;
    QString nombre;
    QString nif;
    QString direccion;
    QString codigopostal;
    QString poblacion;
    QString provincia;
    QString telefono;
    QString email;
};

// The shop's own data (first row of dbo.empresa).
struct CompanyRecord {
    qint32 idempresa = 0;
    QString nombre;        // trimmed
    QString idfiscal;      // trimmed
    QString direccion;     // trimmed
    QString codigopostal;  // as stored
    QString poblacion;     // trimmed
    QString provincia;     // trimmed
    QString telefono;      // not filled by the catalogue load
    QString mail;          // trimmed, first 40
};

// First row of dbo.moneda.
struct CurrencyRecord {
    QString descripcion;
    qint32 decimales = 0;
    QString iniciales;
};

// One tax type and the sums of the chosen tickets' rows of that type.
struct TaxRateEntry {
    double Percentage = 0;
    double BaseTotal = 0;
    double TaxTotal = 0;
    QString Description;
    qint32 TaxTypeId = 0;
};

// Captions of the report's tax table (page footer rows 1 to 3, index 0 to 2):
// base, rate and tax amount of the first three rates in use.
struct ReportTaxLabels {
    QString base[3];
    QString por[3];
    QString iva[3];
};

// ListView1 copied into rows of text fields: field 0 the item text ("Id"),
// fields 1..8 the sub-items (N°Ticket, Cod.Art., Descriptif, Quantité, Prix,
// Remise, Montant, IdExterno).
using LineRecordSet = QVector<QStringList>;

} // namespace zd

// Plain values: moved in memory as they are when a vector of them grows.
Q_DECLARE_TYPEINFO(zd::CustomerRecord, Q_RELOCATABLE_TYPE);
