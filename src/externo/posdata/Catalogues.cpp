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

CustomerRecord customerFrom(const sql::RecordSet &rs, int row)
{
    CustomerRecord c;
    c.idcliente = rs.value(row, QStringLiteral("idcliente")).toInt();
    c.codigo = text(rs, row, "codigo").trimmed();
    c.nombre = text(rs, row, "nombre").trimmed();
    c.nif = text(rs, row, "nif").trimmed();
    c.direccion = text(rs, row, "direccion").trimmed();
    c.codigopostal = text(rs, row, "codigopostal").trimmed();
    c.poblacion = text(rs, row, "poblacion").trimmed();
    c.provincia = text(rs, row, "provincia").trimmed();
    c.telefono = text(rs, row, "telefono").trimmed();
    c.email = text(rs, row, "email").trimmed();
    return c;
}

// Writes the logo bytes; the file is replaced only by a complete copy.
bool writeLogo(const QString &path, const QByteArray &bytes)
{
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
        company.nombre = text(rs, 0, "nombre").trimmed().left(40);
        company.idfiscal = text(rs, 0, "idfiscal").trimmed();
        company.direccion = text(rs, 0, "direccion").trimmed().left(40);
        company.codigopostal = text(rs, 0, "codigopostal");
        company.poblacion = text(rs, 0, "poblacion").trimmed().left(40);
        company.provincia = text(rs, 0, "provincia").trimmed().left(40);
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
    state.Customers = QVector<CustomerRecord>(3);
    if (ok) {
        state.Customers.reserve(rs.rowCount() + 3);
        result.customerNodeTexts.reserve(rs.rowCount());
        for (int row = 0; row < rs.rowCount(); ++row) {
            // A null code or name shows as an empty text; node and entry stay paired.
            result.customerNodeTexts << text(rs, row, "codigo") + QLatin1Char('-') + text(rs, row, "nombre");
            state.Customers[row + 2] = customerFrom(rs, row);
            state.Customers.append(CustomerRecord{});
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
