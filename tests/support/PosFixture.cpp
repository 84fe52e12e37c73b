#include "PosFixture.h"

#include "posdemo/PosSchema.h"
#include "posdemo/ShopLogo.h"
#include "posdemo/TicketLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtDebug>

#include <cmath>
#include <map>
#include <sqlite3.h>

namespace zd::test {

using posdemo::SqliteStatement;

ProgramFolder::ProgramFolder()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("data"));
}

QString ProgramFolder::file(const QString &name) const
{
    return m_dir.path() + QLatin1Char('/') + name;
}

bool ProgramFolder::writeFile(const QString &name, const QByteArray &content) const
{
    QSaveFile out(file(name));
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
        return false;
    return out.commit();
}

namespace {

qint64 toCents(double amount)
{
    return std::llround(amount * 100.0);
}

} // namespace

LineSpec LineSpec::units(int idarticulo, const QString &descripcion, double unidades, double precio,
                         int idtipoimpuesto)
{
    LineSpec line;
    line.idarticulo = idarticulo;
    line.descripcion = descripcion;
    line.unidades = unidades;
    line.precio = precio;
    line.importe = double(toCents(unidades * precio)) / 100.0;
    line.idtipoimpuesto = idtipoimpuesto;
    return line;
}

LineSpec LineSpec::weighed(int idarticulo, const QString &descripcion, double kg, double precioKg,
                           int idtipoimpuesto)
{
    LineSpec line;
    line.idarticulo = idarticulo;
    line.descripcion = descripcion;
    line.isventaporpeso = true;
    line.peso = double(std::llround(kg * 1000.0)) / 1000.0;
    line.unidades = 0;
    line.precio = precioKg;
    line.importe = double(toCents(line.peso * precioKg)) / 100.0;
    line.idtipoimpuesto = idtipoimpuesto;
    return line;
}

PosFixture::PosFixture(const QString &programFolder, const QString &server, const QString &catalog)
    : m_file(programFolder + QStringLiteral("/data/") + server + QLatin1Char('/') + catalog
             + QStringLiteral(".sqlite"))
{
    if (QFileInfo::exists(m_file) && !QFile::remove(m_file)) {
        fail(QStringLiteral("cannot replace %1").arg(m_file));
        return;
    }
    if (!posdemo::createPosDatabase(m_file, &m_error) || !m_db.open(m_file, false, &m_error)) {
        fail(QStringLiteral("cannot create the point-of-sale file"));
        return;
    }
    // Test data needs no durability; without syncs fixtures build quickly.
    m_db.exec("PRAGMA synchronous=OFF", &m_error);
}

bool PosFixture::fail(const QString &what)
{
    if (m_error.isEmpty() && m_db.isOpen())
        m_error = m_db.lastError();
    qWarning().noquote() << "PosFixture:" << what << "-" << m_error;
    return false;
}

bool PosFixture::addShopDefaults()
{
    CompanySpec company;
    company.logo = posdemo::ShopLogo::png(QStringLiteral("MAISON AUBERTIN"), QStringLiteral("ANGERS"), 64);
    return setCompany(company) && setCurrency(QStringLiteral("Euro"), 2, QStringLiteral("€"))
           && addTaxType(1, 2.1, QStringLiteral("TVA 2,1%")) && addTaxType(2, 5.5, QStringLiteral("TVA 5,5%"))
           && addTaxType(3, 10, QStringLiteral("TVA 10%")) && addTaxType(4, 20, QStringLiteral("TVA 20%"));
}

bool PosFixture::setCompany(const CompanySpec &c)
{
    m_error.clear();
    SqliteStatement s;
    if (!m_db.exec("DELETE FROM empresa", &m_error)
        || !s.prepare(m_db, "INSERT INTO empresa (idempresa, nombre, idfiscal, direccion, codigopostal, poblacion,"
                            " provincia, telefono, mail, Logo) VALUES (?,?,?,?,?,?,?,?,?,?)", &m_error))
        return fail(QStringLiteral("setCompany"));
    s.bindInt(1, c.idempresa);
    s.bindText(2, c.nombre);
    s.bindText(3, c.idfiscal);
    s.bindText(4, c.direccion);
    s.bindText(5, c.codigopostal);
    s.bindText(6, c.poblacion);
    s.bindText(7, c.provincia);
    s.bindText(8, c.telefono);
    s.bindText(9, c.mail);
    s.bindBlob(10, c.logo);
    return s.run(&m_error) || fail(QStringLiteral("setCompany"));
}

bool PosFixture::setCurrency(const QString &descripcion, int decimales, const QString &iniciales)
{
    m_error.clear();
    SqliteStatement s;
    if (!s.prepare(m_db, "INSERT INTO moneda (descripcion, decimales, iniciales) VALUES (?,?,?)", &m_error))
        return fail(QStringLiteral("setCurrency"));
    s.bindText(1, descripcion);
    s.bindInt(2, decimales);
    s.bindText(3, iniciales);
    return s.run(&m_error) || fail(QStringLiteral("setCurrency"));
}

bool PosFixture::addTaxType(int id, double porcentaje, const QString &descripcion)
{
    m_error.clear();
    SqliteStatement s;
    if (!s.prepare(m_db, "INSERT INTO TipoImpuesto (IdTipoImpuesto, porcentaje, descripcion) VALUES (?,?,?)",
                   &m_error))
        return fail(QStringLiteral("addTaxType"));
    s.bindInt(1, id);
    s.bindDouble(2, porcentaje);
    s.bindText(3, descripcion);
    return s.run(&m_error) || fail(QStringLiteral("addTaxType %1").arg(id));
}

bool PosFixture::addCustomer(const CustomerSpec &c)
{
    m_error.clear();
    SqliteStatement s;
    if (!s.prepare(m_db, "INSERT INTO cliente (idcliente, codigo, nombre, nif, direccion, codigopostal,"
                         " poblacion, provincia, telefono, email) VALUES (?,?,?,?,?,?,?,?,?,?)", &m_error))
        return fail(QStringLiteral("addCustomer"));
    s.bindInt(1, c.idcliente);
    s.bindText(2, c.codigo.isNull() ? QString::number(c.idcliente) : c.codigo);
    s.bindText(3, c.nombre);
    s.bindText(4, c.nif);
    s.bindText(5, c.direccion);
    s.bindText(6, c.codigopostal);
    s.bindText(7, c.poblacion);
    s.bindText(8, c.provincia);
    s.bindText(9, c.telefono);
    s.bindText(10, c.email);
    return s.run(&m_error) || fail(QStringLiteral("addCustomer %1").arg(c.idcliente));
}

QVector<TaxSpec> PosFixture::taxRowsFor(const QVector<LineSpec> &lines)
{
    std::map<int, qint64> grossByType;
    for (const LineSpec &line : lines)
        grossByType[line.idtipoimpuesto] += toCents(line.importe) - toCents(line.dtoscabecera);
    QVector<TaxSpec> taxes;
    for (const auto &[type, gross] : grossByType) {
        const double rate = scalar(QStringLiteral("SELECT porcentaje FROM TipoImpuesto WHERE IdTipoImpuesto=%1")
                                       .arg(type)).toDouble();
        const qint64 base = posdemo::TicketLines::baseOf(gross, int(std::llround(rate * 10)));
        taxes.append({type, double(base) / 100.0, double(gross - base) / 100.0});
    }
    return taxes;
}

qint32 PosFixture::addTicket(const TicketSpec &t)
{
    m_error.clear();
    qint32 id = t.iddocumento;
    if (id == 0)
        id = scalar(QStringLiteral("SELECT COALESCE(MAX(iddocumento), 0) + 1 FROM documento")).toInt();
    const QVector<TaxSpec> taxes = t.taxes ? *t.taxes : taxRowsFor(t.lines);
    qint64 totalCents = 0;
    for (const TaxSpec &tax : taxes)
        totalCents += toCents(tax.baseimponible) + toCents(tax.importe);
    const double total = t.totalneto ? *t.totalneto : double(totalCents) / 100.0;
    const QString hora = t.hora.isEmpty() ? t.fecha.left(19) + QStringLiteral(".000") : t.hora;

    if (!m_db.exec("BEGIN", &m_error)) {
        fail(QStringLiteral("addTicket"));
        return 0;
    }
    auto rollback = [this](const QString &what) {
        const QString error = m_error;
        m_db.exec("ROLLBACK", nullptr);
        m_error = error;
        fail(what);
        return 0;
    };
    SqliteStatement s;
    if (!s.prepare(m_db, "INSERT INTO documento (iddocumento, numero, fecha, hora, tipodocumento, isfinalizado,"
                         " idcontacto, iddocumentoabono, idusuario, numeroterminal, totalneto)"
                         " VALUES (?,?,?,?,?,?,?,?,?,?,?)", &m_error))
        return rollback(QStringLiteral("addTicket"));
    s.bindInt(1, id);
    s.bindInt(2, t.numero);
    s.bindText(3, t.fecha);
    s.bindText(4, hora);
    s.bindInt(5, t.tipodocumento);
    s.bindInt(6, t.isfinalizado);
    s.bindInt(7, t.idcontacto);
    s.bindInt(8, t.iddocumentoabono);
    s.bindInt(9, t.idusuario);
    s.bindInt(10, t.numeroterminal);
    s.bindDouble(11, total);
    if (!s.run(&m_error))
        return rollback(QStringLiteral("addTicket %1").arg(id));

    if (!s.prepare(m_db, "INSERT INTO lineadocumento (iddocumento, idarticulo, descripcion, isventaporpeso, peso,"
                         " unidades, precio, dtoslinea, importe, dtoscabecera, idtipoimpuesto)"
                         " VALUES (?,?,?,?,?,?,?,?,?,?,?)", &m_error))
        return rollback(QStringLiteral("addTicket lines"));
    for (const LineSpec &l : t.lines) {
        s.bindInt(1, id);
        if (l.idarticulo.isNull())
            s.bindNull(2);
        else
            s.bindInt(2, l.idarticulo.toLongLong());
        s.bindText(3, l.descripcion);
        s.bindInt(4, l.isventaporpeso ? 1 : 0);
        s.bindDouble(5, l.peso);
        s.bindDouble(6, l.unidades);
        s.bindDouble(7, l.precio);
        s.bindDouble(8, l.dtoslinea);
        s.bindDouble(9, l.importe);
        s.bindDouble(10, l.dtoscabecera);
        s.bindInt(11, l.idtipoimpuesto);
        if (!s.run(&m_error))
            return rollback(QStringLiteral("addTicket %1 line").arg(id));
    }

    if (!s.prepare(m_db, "INSERT INTO impuestodocumento (iddocumento, idtipoimpuesto, baseimponible, importe)"
                         " VALUES (?,?,?,?)", &m_error))
        return rollback(QStringLiteral("addTicket taxes"));
    for (const TaxSpec &tax : taxes) {
        s.bindInt(1, id);
        s.bindInt(2, tax.idtipoimpuesto);
        s.bindDouble(3, tax.baseimponible);
        s.bindDouble(4, tax.importe);
        if (!s.run(&m_error))
            return rollback(QStringLiteral("addTicket %1 tax row").arg(id));
    }
    if (!m_db.exec("COMMIT", &m_error))
        return rollback(QStringLiteral("addTicket %1 commit").arg(id));
    return id;
}

bool PosFixture::exec(const QString &sql)
{
    m_error.clear();
    return m_db.exec(sql.toUtf8(), &m_error) || fail(QStringLiteral("exec"));
}

QVector<QVariantList> PosFixture::rows(const QString &sql)
{
    m_error.clear();
    QVector<QVariantList> result;
    SqliteStatement s;
    if (!s.prepare(m_db, sql.toUtf8(), &m_error)) {
        fail(QStringLiteral("query"));
        return result;
    }
    sqlite3_stmt *st = s.handle();
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        QVariantList row;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                row.append(qint64(sqlite3_column_int64(st, c)));
                break;
            case SQLITE_FLOAT:
                row.append(sqlite3_column_double(st, c));
                break;
            case SQLITE_TEXT:
                row.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)),
                                             sqlite3_column_bytes(st, c)));
                break;
            case SQLITE_BLOB:
                row.append(QByteArray(static_cast<const char *>(sqlite3_column_blob(st, c)),
                                      sqlite3_column_bytes(st, c)));
                break;
            default:
                row.append(QVariant());
            }
        }
        result.append(row);
    }
    if (rc != SQLITE_DONE) {
        m_error = m_db.lastError();
        fail(QStringLiteral("query"));
    }
    sqlite3_reset(st);
    return result;
}

QVariant PosFixture::scalar(const QString &sql)
{
    const QVector<QVariantList> result = rows(sql);
    return result.isEmpty() || result.first().isEmpty() ? QVariant() : result.first().first();
}

} // namespace zd::test
