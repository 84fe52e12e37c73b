#include "Catalogues.h"

#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>

Q_LOGGING_CATEGORY(zdCatalogue, "zedorev.catalogue")

namespace zd {
namespace {

QString text(const sql::RecordSet &rs, int row, const char *column)
{
    return rs.value(row, QLatin1String(column)).toString();
}

// Column positions of dbo.cliente, looked up once per result.
struct CustomerColumns {
    explicit CustomerColumns(const sql::RecordSet &rs)
        : idcliente(rs.columnIndex(QStringLiteral("idcliente")))
        , codigo(rs.columnIndex(QStringLiteral("codigo")))
        , nombre(rs.columnIndex(QStringLiteral("nombre")))
        , nif(rs.columnIndex(QStringLiteral("nif")))
        , direccion(rs.columnIndex(QStringLiteral("direccion")))
        , codigopostal(rs.columnIndex(QStringLiteral("codigopostal")))
        , poblacion(rs.columnIndex(QStringLiteral("poblacion")))
        , provincia(rs.columnIndex(QStringLiteral("provincia")))
        , telefono(rs.columnIndex(QStringLiteral("telefono")))
        , email(rs.columnIndex(QStringLiteral("email")))
    {
    }
    int idcliente, codigo, nombre, nif, direccion, codigopostal, poblacion, provincia, telefono, email;
};

// The text of a cell; an absent column or a NULL gives an empty text.
QString cell(const sql::RecordSet &rs, int row, int column)
{
    return column < 0 ? QString() : rs.value(row, column).toString();
}

CustomerRecord customerFrom(const sql::RecordSet &rs, const CustomerColumns &c, int row)
{
    CustomerRecord r;
    r.idcliente = c.idcliente < 0 ? 0 : rs.value(row, c.idcliente).toInt();
    r.codigo = cell(rs, row, c.codigo).trimmed();
    r.nombre = cell(rs, row, c.nombre).trimmed();
    r.nif = cell(rs, row, c.nif).trimmed();
    r.direccion = cell(rs, row, c.direccion).trimmed();
    r.codigopostal = cell(rs, row, c.codigopostal).trimmed();
    r.poblacion = cell(rs, row, c.poblacion).trimmed();
    r.provincia = cell(rs, row, c.provincia).trimmed();
    r.telefono = cell(rs, row, c.telefono).trimmed();
    r.email = cell(rs, row, c.email).trimmed();
    return r;
}

// Writes the logo bytes; the file is replaced only by a complete copy. A
// file that already holds exactly these bytes is left as it is (no write,
// no sync at every start).
bool writeLogo(const QString &path, const QByteArray &bytes)
{
    QFile existing(path);
    if (existing.size() == bytes.size() && existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
        return true;
    existing.close();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

void loadCompany(AppState &state)
{
    CompanyRecord &company = state.Company;
    company.idfiscal.clear();
    bool ok = false;
    const sql::RecordSet rs = state.PosConnection->query(QStringLiteral("Select * from dbo.empresa"), &ok);
    if (!ok) {
        qCWarning(zdCatalogue) << "shop data not read:" << state.PosConnection->lastError();
        return;
    }
    QVariant logo;
    if (!rs.isEmpty()) {
        company.idempresa = rs.value(0, QStringLiteral("idempresa")).toInt();
        // Printed on every document: kept whole (the report fits long texts
        // into their boxes), never cut to a fixed length.
        company.nombre = text(rs, 0, "nombre").trimmed();
        company.idfiscal = text(rs, 0, "idfiscal").trimmed();
        company.direccion = text(rs, 0, "direccion").trimmed();
        company.codigopostal = text(rs, 0, "codigopostal");
        company.poblacion = text(rs, 0, "poblacion").trimmed();
        company.provincia = text(rs, 0, "provincia").trimmed();
        company.mail = text(rs, 0, "mail").trimmed().left(40);
        logo = rs.value(0, QStringLiteral("Logo"));
    }
    const QString path = logoFile(state);
    if (logo.isValid() && !logo.isNull()) {
        state.LogoAvailable = writeLogo(path, logo.toByteArray()) || QFile::exists(path);
        if (!state.LogoAvailable)
            qCWarning(zdCatalogue) << "logo not written to" << path;
    } else {
        state.LogoAvailable = QFile::exists(path);
    }
}

void loadCurrency(AppState &state)
{
    bool ok = false;
    const sql::RecordSet rs = state.PosConnection->query(QStringLiteral("Select * from dbo.moneda"), &ok);
    if (!ok || rs.isEmpty())
        return;
    state.CurrencyInfo.decimales = rs.value(0, QStringLiteral("decimales")).toInt();
    state.CurrencyInfo.descripcion = text(rs, 0, "descripcion").trimmed();
    state.CurrencyInfo.iniciales = text(rs, 0, "iniciales").trimmed();
}

} // namespace

QString logoFile(const AppState &state)
{
    return state.programFile(QStringLiteral("/logo"));
}

CatalogueLoad LoadCatalogues(AppState &state)
{
    CatalogueLoad result;
    bool ok = false;
    const sql::RecordSet rs =
        state.PosConnection->query(QStringLiteral("Select * from dbo.cliente order by idcliente"), &ok);
    if (ok && rs.isEmpty()) {
        result.outcome = CatalogueLoad::Outcome::NoCustomers;
        return result;
    }
    // Entries 0 and 1 stay empty, entry k belongs to node k, one spare at the end.
    state.Customers = QVector<CustomerRecord>(ok ? rs.rowCount() + 3 : 3);
    if (ok) {
        const CustomerColumns columns(rs);
        result.customerNodeTexts.reserve(rs.rowCount());
        for (int row = 0; row < rs.rowCount(); ++row) {
            // A null code or name shows as an empty text; node and entry stay paired.
            result.customerNodeTexts << cell(rs, row, columns.codigo) + QLatin1Char('-')
                                            + cell(rs, row, columns.nombre);
            state.Customers[row + 2] = customerFrom(rs, columns, row);
        }
    } else {
        qCWarning(zdCatalogue) << "customers not read:" << state.PosConnection->lastError();
    }
    state.Company.idempresa = 0;

    loadCompany(state);
    if (state.Company.idfiscal.isEmpty() || state.Company.idempresa == 0) {
        result.outcome = CatalogueLoad::Outcome::NoCompanyData;
        return result;
    }
    loadCurrency(state);
    return result;
}

} // namespace zd
