#include "Catalogues.h"

#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStringBuilder>

#include <optional>

Q_LOGGING_CATEGORY(zdCatalogue, "zedorev.catalogue")

namespace zd {
namespace {

QString text(const sql::RecordSet &rs, int row, const char *column)
{
    return rs.value(row, QLatin1String(column)).toString();
}

// Column positions of dbo.cliente, looked up once per result.
struct CustomerColumns {
    explicit CustomerColumns(const sql::RowView &row)
        : idcliente(row.columnIndex(QStringLiteral("idcliente")))
        , codigo(row.columnIndex(QStringLiteral("codigo")))
        , nombre(row.columnIndex(QStringLiteral("nombre")))
        , nif(row.columnIndex(QStringLiteral("nif")))
        , direccion(row.columnIndex(QStringLiteral("direccion")))
        , codigopostal(row.columnIndex(QStringLiteral("codigopostal")))
        , poblacion(row.columnIndex(QStringLiteral("poblacion")))
        , provincia(row.columnIndex(QStringLiteral("provincia")))
        , telefono(row.columnIndex(QStringLiteral("telefono")))
        , email(row.columnIndex(QStringLiteral("email")))
    {
    }
    int idcliente, codigo, nombre, nif, direccion, codigopostal, poblacion, provincia, telefono, email;
};

// The text of a cell; an absent column or a NULL gives an empty text.
QString cell(const sql::RowView &row, int column)
{
    return column < 0 ? QString() : row.text(column);
}

QString repeatedCell(const sql::RowView &row, int column)
{
    return column < 0 ? QString() : row.repeatedText(column);
}

// text.trimmed(), without the call for the many texts that have nothing to trim.
inline QString trimmedText(QString &&text)
{
    if (text.isEmpty() || (!text.at(0).isSpace() && !text.at(text.size() - 1).isSpace()))
        return std::move(text);
    return std::move(text).trimmed();
}

inline QString trimmedText(const QString &text)
{
    if (text.isEmpty() || (!text.at(0).isSpace() && !text.at(text.size() - 1).isSpace()))
        return text;
    return text.trimmed();
}

// Fills one customer's record; code and name are read by the caller, as stored. Towns,
// provinces and postcodes repeat from customer to customer: customers of
// one town share its text.
void readCustomer(CustomerRecord &r, const sql::RowView &row, const CustomerColumns &c, const QString &codigo,
                  const QString &nombre)
{
    r.idcliente = c.idcliente < 0 ? 0 : row.value(c.idcliente).toInt();
    r.codigo = trimmedText(codigo);
    r.nombre = trimmedText(nombre);
    r.nif = trimmedText(cell(row, c.nif));
    r.direccion = trimmedText(cell(row, c.direccion));
    r.codigopostal = trimmedText(repeatedCell(row, c.codigopostal));
    r.poblacion = trimmedText(repeatedCell(row, c.poblacion));
    r.provincia = trimmedText(repeatedCell(row, c.provincia));
    r.telefono = trimmedText(cell(row, c.telefono));
    r.email = trimmedText(cell(row, c.email));
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
    // Read row by row straight into the records and node texts: 10,000
    // customers are not first kept as a whole result.
    QVector<CustomerRecord> customers(2); // entries 0 and 1 stay empty
    QStringList nodeTexts;
    std::optional<CustomerColumns> columns;
    const bool ok = state.PosConnection->queryRows(
        QStringLiteral("Select * from dbo.cliente order by idcliente"), [&](const sql::RowView &row) {
            if (!columns)
                columns.emplace(row);
            // A null code or name shows as an empty text; node and entry stay paired.
            const QString codigo = cell(row, columns->codigo);
            const QString nombre = cell(row, columns->nombre);
            nodeTexts.append(codigo % QLatin1Char('-') % nombre);
            readCustomer(customers.emplaceBack(), row, *columns, codigo, nombre);
        });
    if (ok && nodeTexts.isEmpty()) {
        result.outcome = CatalogueLoad::Outcome::NoCustomers;
        return result;
    }
    if (ok) {
        // Entry k belongs to node k, one spare at the end.
        customers.append(CustomerRecord());
        state.Customers = std::move(customers);
        result.customerNodeTexts = std::move(nodeTexts);
    } else {
        // What was read before the failure is dropped, as a failed query gives no rows.
        state.Customers = QVector<CustomerRecord>(3);
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
