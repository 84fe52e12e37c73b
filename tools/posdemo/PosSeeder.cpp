#include "PosSeeder.h"
#include "DatabaseFile.h"
#include "DemoCatalogue.h"
#include "DemoRandom.h"
#include "ShopLogo.h"
#include "SqliteDb.h"
#include "TicketLines.h"
#include "TicketPlanner.h"

#include <cstdio>

namespace zd::posdemo {

SeedOptions SeedOptions::demo()
{
    return SeedOptions{};
}

SeedOptions SeedOptions::scale()
{
    SeedOptions o;
    o.customers = 10000;
    o.tickets = 1000000;
    o.maxLinesPerTicket = 5;
    o.firstCustomerOpenTickets = 2000;
    return o;
}

PosSeeder::PosSeeder(SeedOptions options) : m_options(std::move(options))
{
    if (!m_options.today.isValid())
        m_options.today = QDate::currentDate();
}

namespace {

bool insertShop(SqliteDb &db, QString *error)
{
    SqliteStatement company;
    if (!company.prepare(db, "INSERT INTO empresa (idempresa, nombre, idfiscal, direccion, codigopostal,"
                             " poblacion, provincia, telefono, mail, Logo) VALUES (?,?,?,?,?,?,?,?,?,?)",
                         error))
        return false;
    company.bindInt(1, 1);
    company.bindText(2, QStringLiteral("MAISON AUBERTIN - BOUCHERIE CHARCUTERIE"));
    company.bindText(3, QStringLiteral("FR 11 512384975"));
    company.bindText(4, QStringLiteral("18 rue des Halles"));
    company.bindText(5, QStringLiteral("49100"));
    company.bindText(6, QStringLiteral("Angers"));
    company.bindText(7, QStringLiteral("Maine-et-Loire"));
    company.bindText(8, QStringLiteral("02 41 87 52 10"));
    company.bindText(9, QStringLiteral("contact@maison-aubertin.fr"));
    company.bindBlob(10, ShopLogo::png(QStringLiteral("MAISON AUBERTIN"),
                                       QStringLiteral("ÉPICERIE FINE · ANGERS")));
    if (!company.run(error))
        return false;

    SqliteStatement currency;
    if (!currency.prepare(db, "INSERT INTO moneda (idmoneda, descripcion, decimales, iniciales)"
                              " VALUES (1, 'Euro', 2, '€')", error)
        || !currency.run(error))
        return false;

    SqliteStatement tax;
    if (!tax.prepare(db, "INSERT INTO TipoImpuesto (IdTipoImpuesto, porcentaje, descripcion) VALUES (?,?,?)",
                     error))
        return false;
    for (const DemoTaxType &type : DemoCatalogue::taxTypes()) {
        tax.bindInt(1, type.id);
        tax.bindDouble(2, type.rateTenths / 10.0);
        tax.bindStaticText(3, type.descripcion);
        if (!tax.run(error))
            return false;
    }
    return true;
}

// "yyyy-mm-dd hh:mi:ss.mmm" into out (24 bytes with the terminator).
void formatMoment(const QByteArray &dayText, int second, int millis, char *out)
{
    std::snprintf(out, 24, "%s %02d:%02d:%02d.%03d", dayText.constData(), second / 3600,
                  second / 60 % 60, second % 60, millis);
}

} // namespace

bool PosSeeder::seed(SqliteDb &db, QString *error)
{
    m_counts = {};
    if (!db.exec("BEGIN", error))
        return false;
    auto fail = [&db] {
        db.exec("ROLLBACK", nullptr);
        return false;
    };
    if (!insertShop(db, error))
        return fail();

    // Customers; businesses buy about four times as often as private people.
    SqliteStatement customer;
    if (!customer.prepare(db, "INSERT INTO cliente (idcliente, codigo, nombre, nif, direccion, codigopostal,"
                              " poblacion, provincia, telefono, email) VALUES (?,?,?,?,?,?,?,?,?,?)",
                          error))
        return fail();
    QVector<qint32> contacts;
    QVector<int> weights;
    DemoRandom customerRandom(m_options.seed ^ 0xC1E47ull);
    for (qint32 id = 1; id <= m_options.customers; ++id) {
        const DemoCustomer c = DemoCatalogue::customer(id, customerRandom);
        customer.bindInt(1, c.idcliente);
        customer.bindText(2, c.codigo);
        customer.bindText(3, c.nombre);
        customer.bindText(4, c.nif);
        customer.bindText(5, c.direccion);
        customer.bindText(6, c.codigopostal);
        customer.bindText(7, c.poblacion);
        customer.bindText(8, c.provincia);
        customer.bindText(9, c.telefono);
        customer.bindText(10, c.email);
        if (!customer.run(error))
            return fail();
        contacts.append(c.contact);
        const bool reserved = id == 1 && m_options.firstCustomerOpenTickets > 0;
        weights.append(reserved ? 0 : c.business ? 4 : 1);
        ++m_counts.customers;
    }

    TicketPlanner planner(m_options, m_options.today);
    std::vector<TicketHead> tickets;
    if (!planner.plan(contacts, weights, tickets, error))
        return fail();

    SqliteStatement ticket, line, taxRow;
    if (!ticket.prepare(db, "INSERT INTO documento (iddocumento, numero, fecha, hora, tipodocumento,"
                            " isfinalizado, idcontacto, iddocumentoabono, idusuario, numeroterminal, totalneto)"
                            " VALUES (?,?,?,?,?,?,?,?,?,?,?)", error)
        || !line.prepare(db, "INSERT INTO lineadocumento (iddocumento, idarticulo, descripcion, isventaporpeso,"
                             " peso, unidades, precio, dtoslinea, importe, dtoscabecera, idtipoimpuesto)"
                             " VALUES (?,?,?,?,?,?,?,?,?,?,?)", error)
        || !taxRow.prepare(db, "INSERT INTO impuestodocumento (iddocumento, idtipoimpuesto, baseimponible, importe)"
                               " VALUES (?,?,?,?)", error))
        return fail();

    QVector<QByteArray> dayTexts(planner.dayCount());
    for (int d = 0; d < planner.dayCount(); ++d)
        dayTexts[d] = planner.firstDay().addDays(d).toString(QStringLiteral("yyyy-MM-dd")).toLatin1();

    std::vector<DemoLine> lines;
    std::vector<DemoTaxRow> taxes;
    char fecha[24], hora[24];
    for (size_t i = 0; i < tickets.size(); ++i) {
        const TicketHead &t = tickets[i];
        const qint64 id = qint64(i) + 1;
        TicketLines::make(m_options.seed, t.lineSource, m_options.maxLinesPerTicket, t.tipo == 2 ? -1 : 1,
                          lines);
        TicketLines::taxRows(lines, taxes);
        qint64 totalCents = 0;
        for (const DemoTaxRow &row : taxes)
            totalCents += row.grossCents;

        // hora carries the same moment; the invoiced mark moves fecha only.
        formatMoment(dayTexts[t.day], t.second, t.millis, fecha);
        formatMoment(dayTexts[t.day], t.second, 0, hora);
        ticket.bindInt(1, id);
        ticket.bindInt(2, t.numero);
        ticket.bindStaticText(3, fecha);
        ticket.bindStaticText(4, hora);
        ticket.bindInt(5, t.tipo);
        ticket.bindInt(6, t.finalizado);
        ticket.bindInt(7, t.contact);
        ticket.bindInt(8, t.abono);
        ticket.bindInt(9, t.usuario);
        ticket.bindInt(10, t.terminal);
        ticket.bindDouble(11, totalCents / 100.0);
        if (!ticket.run(error))
            return fail();

        for (const DemoLine &l : lines) {
            line.bindInt(1, id);
            line.bindInt(2, l.article->idarticulo);
            line.bindStaticText(3, l.article->descripcion);
            line.bindInt(4, l.article->weighed ? 1 : 0);
            line.bindDouble(5, l.grams / 1000.0);
            line.bindDouble(6, l.units);
            line.bindDouble(7, l.priceCents / 100.0);
            line.bindDouble(8, l.lineDiscountCents / 100.0);
            line.bindDouble(9, l.amountCents / 100.0);
            line.bindDouble(10, l.headerDiscountCents / 100.0);
            line.bindInt(11, l.article->taxTypeId);
            if (!line.run(error))
                return fail();
            ++m_counts.lines;
        }
        for (const DemoTaxRow &row : taxes) {
            taxRow.bindInt(1, id);
            taxRow.bindInt(2, row.taxTypeId);
            taxRow.bindDouble(3, row.baseCents / 100.0);
            taxRow.bindDouble(4, row.taxCents() / 100.0);
            if (!taxRow.run(error))
                return fail();
            ++m_counts.taxRows;
        }
        ++m_counts.tickets;
    }
    if (!db.exec(PosSchema::indexes(), error) || !db.exec("COMMIT", error))
        return fail();
    return true;
}

bool PosSeeder::writeFile(const QString &path, QString *error)
{
    return buildDatabaseFile(
        path,
        [this](SqliteDb &db, QString *e) { return db.exec(PosSchema::tables(), e) && seed(db, e); },
        error);
}

} // namespace zd::posdemo
