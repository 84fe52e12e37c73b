#pragma once
#include "posdemo/SqliteDb.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <QVector>
#include <optional>

namespace zd::test {

// A program folder for one test: a temporary directory (removed with the
// object) in which the embedded engine finds data/<server>/<catalog>.sqlite.
class ProgramFolder {
public:
    ProgramFolder();
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }            // no trailing separator
    QString file(const QString &name) const;                 // path() + "/" + name
    // Writes a file of the program folder through QSaveFile; false on failure.
    bool writeFile(const QString &name, const QByteArray &content) const;

private:
    QTemporaryDir m_dir;
};

// The shop's own data (dbo.empresa). A null logo is stored as NULL.
struct CompanySpec {
    qint32 idempresa = 1;
    QString nombre = QStringLiteral("MAISON AUBERTIN - BOUCHERIE CHARCUTERIE");
    QString idfiscal = QStringLiteral("FR 11 512384975");
    QString direccion = QStringLiteral("18 rue des Halles");
    QString codigopostal = QStringLiteral("49100");
    QString poblacion = QStringLiteral("Angers");
    QString provincia = QStringLiteral("Maine-et-Loire");
    QString telefono = QStringLiteral("02 41 87 52 10");
    QString mail = QStringLiteral("contact@maison-aubertin.fr");
    QByteArray logo;
};

// A customer (dbo.cliente). Null QStrings are stored as NULL.
struct CustomerSpec {
    qint32 idcliente = 0;
    QString codigo;             // null: the idcliente in decimal
    QString nombre;
    QString nif = QStringLiteral("443 061 841 00013");
    QString direccion = QStringLiteral("3 rue Saint-Aubin");
    QString codigopostal = QStringLiteral("49000");
    QString poblacion = QStringLiteral("Angers");
    QString provincia = QStringLiteral("Maine-et-Loire");
    QString telefono = QStringLiteral("02 41 00 00 00");
    QString email = QStringLiteral("client@example.fr");
};

// One ticket line (dbo.lineadocumento). importe is after the line discount;
// the program shows importe - dtoscabecera as the line's amount.
struct LineSpec {
    QVariant idarticulo = 1001;          // QVariant() stores NULL
    QString descripcion = QStringLiteral("Article");
    bool isventaporpeso = false;
    double peso = 0;
    double unidades = 1;
    double precio = 0;
    double dtoslinea = 0;
    double importe = 0;
    double dtoscabecera = 0;
    int idtipoimpuesto = 2;              // VAT type of the line (2: 5.5 % with addShopDefaults)

    // units x price, importe rounded to the cent.
    static LineSpec units(int idarticulo, const QString &descripcion, double unidades, double precio,
                          int idtipoimpuesto = 2);
    // kg x price per kg (peso keeps three decimals), importe rounded to the cent.
    static LineSpec weighed(int idarticulo, const QString &descripcion, double kg, double precioKg,
                            int idtipoimpuesto = 2);
};

// One tax row of a ticket (dbo.impuestodocumento).
struct TaxSpec {
    int idtipoimpuesto = 0;
    double baseimponible = 0;
    double importe = 0;
};

// One ticket (dbo.documento) with its lines and tax rows. The defaults make
// an open ticket (finished, numbered, not credited, whole second).
struct TicketSpec {
    qint32 iddocumento = 0;              // 0: one more than the highest so far
    qint32 numero = 1;
    QString fecha = QStringLiteral("2021-03-05 10:15:42.000");   // style 121
    QString hora;                        // empty: fecha's second with ".000"
    qint32 idcontacto = 0;               // the customer's codigo as a number; 0 walk-in
    int tipodocumento = 1;
    int isfinalizado = 1;
    qint32 iddocumentoabono = 0;
    int idusuario = 1;
    int numeroterminal = 1;
    std::optional<double> totalneto;     // unset: sum of base + tax over the tax rows
    QVector<LineSpec> lines;
    // Unset: one row per idtipoimpuesto of the lines, from their
    // importe - dtoscabecera: base = amount / (1 + rate), tax = amount - base,
    // to the cent, the rate read from TipoImpuesto (0 when missing).
    std::optional<QVector<TaxSpec>> taxes;
};

// A point-of-sale database for tests, made from the same schema as the demo:
// <programFolder>/data/<server>/<catalog>.sqlite, replaced if present.
// Rows are written at once (autocommit), so the program's own connection
// sees them. Every writer returns false (addTicket 0) on failure and logs
// the SQLite error; check it with QVERIFY.
//
//   zd::test::ProgramFolder folder;
//   zd::test::PosFixture pos(folder.path());
//   pos.addShopDefaults();
//   pos.addCustomer({.idcliente = 12, .codigo = "00012", .nombre = "BOULANGERIE "});
//   TicketSpec t; t.numero = 57; t.idcontacto = 12;
//   t.lines = {LineSpec::weighed(2001, "Jambon blanc", 1.25, 24.90)};
//   const qint32 id = pos.addTicket(t);
class PosFixture {
public:
    explicit PosFixture(const QString &programFolder, const QString &server = QStringLiteral("127.0.0.1"),
                        const QString &catalog = QStringLiteral("Tillvane"));

    bool isValid() const { return m_db.isOpen(); }
    QString file() const { return m_file; }
    QString lastError() const { return m_error; }

    // Company 1 with a small PNG logo, the euro ("Euro", 2, "€") and the
    // VAT types 1..4: 2.1, 5.5, 10 and 20 % ("TVA 2,1%", ...).
    bool addShopDefaults();
    bool setCompany(const CompanySpec &company);     // replaces every empresa row
    bool setCurrency(const QString &descripcion, int decimales, const QString &iniciales);
    bool addTaxType(int id, double porcentaje, const QString &descripcion);
    bool addCustomer(const CustomerSpec &customer);
    // Returns the ticket's iddocumento, 0 on failure.
    qint32 addTicket(const TicketSpec &ticket);
    // The tax rows addTicket derives from lines when the TicketSpec gives none.
    QVector<TaxSpec> taxRowsFor(const QVector<LineSpec> &lines);

    // Any statement, and reads for checks (NULL gives a null QVariant).
    bool exec(const QString &sql);
    QVariant scalar(const QString &sql);
    QVector<QVariantList> rows(const QString &sql);
    // Releases the file (e.g. before a test removes or replaces it).
    void close() { m_db.close(); }

private:
    bool fail(const QString &what);

    QString m_file;
    QString m_error;
    posdemo::SqliteDb m_db;
};

} // namespace zd::test
