#pragma once
#include <QByteArray>
#include <QString>
#include <QVector>

namespace zd::posdemo {

class DemoRandom;

// One article of the shop's scales. Prices are in cents: per kilogram for
// weighed articles, per piece otherwise.
struct DemoArticle {
    int idarticulo;
    const char *descripcion;    // UTF-8
    bool weighed;
    int priceCents;
    int taxTypeId;              // 1: 2.1 %, 2: 5.5 %, 3: 10 %, 4: 20 %
    int low;                    // weighed: grams; pieces: at least 1
    int high;                   // weighed: grams; pieces: at most
    int popularity;             // relative chance of being sold
};

// One tax type of the shop (French VAT), rate in tenths of a percent.
struct DemoTaxType {
    int id;
    int rateTenths;
    const char *descripcion;
};

struct DemoCustomer {
    qint32 idcliente = 0;
    qint32 contact = 0;         // the number tickets carry in idcontacto
    QString codigo, nombre, nif, direccion, codigopostal, poblacion, provincia, telefono, email;
    bool business = false;
};

// The shop's fixed data and the material customers are made of.
namespace DemoCatalogue {

const QVector<DemoArticle> &articles();
const QVector<DemoTaxType> &taxTypes();

// Customer idcliente (1-based) of a shop with the given random stream.
// Most customers have codigo == idcliente; a few do not (see the .cpp).
DemoCustomer customer(qint32 idcliente, DemoRandom &random);

} // namespace DemoCatalogue
} // namespace zd::posdemo
