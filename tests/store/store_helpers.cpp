#include "store_helpers.h"

#include "externo/sql/ConnectionStrings.h"
#include "externo/store/StoreSetup.h"
#include "posdemo/PosSchema.h"
#include "posdemo/SqliteDb.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace zd::test {

namespace {

template <typename Fn>
void withDatabase(const QString &file, Fn fn)
{
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (!db.open())
            qFatal("cannot open %s: %s", qPrintable(file), qPrintable(db.lastError().text()));
        fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

StoreFixture::StoreFixture(const QString &subfolder)
{
    QString program = m_dir.path();
    if (!subfolder.isEmpty()) {
        program += QLatin1Char('/') + subfolder;
        QDir().mkpath(program);
    }
    m_state = std::make_unique<AppState>(sql::EngineConfig::fromProgramFolder(program));
    AppState &s = *m_state;
    s.EndProgram = [](int) { qFatal("the program was ended"); };
    s.Now = [] { return QDateTime(QDate(2013, 5, 14), QTime(11, 30, 5)); };
    s.Company.idempresa = 1;
    s.Company.idfiscal = QStringLiteral("B12345678");
    s.Customers.resize(5);
    s.Customers[2].idcliente = 25;
    s.Customers[2].nif = QStringLiteral("X1234567L");
    s.Customers[3].idcliente = 26;
    s.Customers[3].nif = QStringLiteral("Y7654321K");
    s.SelectedCustomerIndex = 2;
    s.CurrencyInfo.descripcion = QStringLiteral("Euro");
    s.CurrencyInfo.decimales = 2;
    s.CurrencyInfo.iniciales = QStringLiteral("EUR");
    setTaxTypes(2);
}

StoreFixture::~StoreFixture()
{
    if (m_state->PosConnection)
        m_state->PosConnection->close();
}

QString StoreFixture::storeFile() const
{
    return m_state->engine.catalogFile(QStringLiteral("127.0.0.1"), QStringLiteral("TRS_FAC"));
}

QString StoreFixture::posFile() const
{
    return m_state->engine.catalogFile(m_state->PosServer, m_state->PosCatalog);
}

void StoreFixture::createStore()
{
    if (EnsureInvoiceStore(*m_state) != StoreCheck::Created)
        qFatal("the invoice store was not created");
}

void StoreFixture::createPos()
{
    QString error;
    if (!posdemo::createPosDatabase(posFile(), &error))
        qFatal("cannot create the point-of-sale file: %s", qPrintable(error));
    m_state->PosConnection = m_state->newConnection();
    if (!m_state->PosConnection->open(sql::posConnectionString(m_state->PosCatalog, m_state->PosServer)))
        qFatal("cannot open the point-of-sale file: %s", qPrintable(m_state->PosConnection->lastError()));
}

void StoreFixture::addTicket(qint32 id, const QString &fecha)
{
    exec(posFile(), QStringLiteral("INSERT INTO documento (iddocumento, numero, fecha, isfinalizado, "
                                   "idcontacto) VALUES (%1, %2, '%3', 1, 25)")
                        .arg(id).arg(id % 1000 + 1).arg(fecha));
}

QString StoreFixture::ticketFecha(qint32 id)
{
    const auto r = rows(posFile(), QStringLiteral("SELECT fecha FROM documento WHERE iddocumento=%1").arg(id));
    return r.isEmpty() ? QString() : r.first().first().toString();
}

QVector<QVariantList> StoreFixture::rows(const QString &file, const QString &sql)
{
    QVector<QVariantList> result;
    withDatabase(file, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        while (q.next()) {
            QVariantList row;
            for (int c = 0; c < q.record().count(); ++c)
                row.append(q.value(c));
            result.append(row);
        }
    });
    return result;
}

void StoreFixture::exec(const QString &file, const QString &sql)
{
    withDatabase(file, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    });
}

QVariantMap StoreFixture::firstRow(const QString &file, const QString &sql)
{
    QVariantMap result;
    withDatabase(file, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        if (q.next()) {
            const QSqlRecord record = q.record();
            for (int c = 0; c < record.count(); ++c)
                result.insert(record.fieldName(c), q.value(c));
        }
    });
    return result;
}

void StoreFixture::setTaxTypes(int n)
{
    AppState &s = *m_state;
    s.TaxRates.resize(n);
    s.TaxRateCount = qint16(n);
    s.SelectionBase = 0;
    s.SelectionTax = 0;
    for (int i = 0; i < n; ++i) {
        TaxRateEntry &t = s.TaxRates[i];
        t.Description = QStringLiteral("TVA %1").arg(i + 1);
        t.Percentage = (i + 1) * 5;
        t.BaseTotal = 10.0 * (i + 1);
        t.TaxTotal = i + 1;
        t.TaxTypeId = i + 1;
        s.SelectionBase += t.BaseTotal;
        s.SelectionTax += t.TaxTotal;
    }
}

LineRecordSet oneLinePerTicket(const QVector<int> &ticketIds)
{
    LineRecordSet lines;
    for (const int t : ticketIds)
        lines << line(lines.size() + 1, t - 100, 1001, QStringLiteral("Pommes"), QStringLiteral("1.500"),
                      QStringLiteral("2.10"), QStringLiteral("0.00"), QStringLiteral("3.15"), t);
    return lines;
}

QStringList line(int n, int ticket, int code, const QString &description, const QString &quantity,
                 const QString &price, const QString &discount, const QString &amount, int ticketId)
{
    return {QString::number(n), QString::number(ticket), QString::number(code), description,
            quantity, price, discount, amount, QString::number(ticketId)};
}

} // namespace zd::test
