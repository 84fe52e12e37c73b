#include "Connection.h"
#include "EmbeddedDatabase.h"
#include "SqlServerDate.h"
#include "StatementLog.h"
#include "TSqlTranslator.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <QRegularExpression>

#include <cmath>

namespace zd::sql {

struct Connection::Impl {
    QString name; // unique QSqlDatabase connection name
    QSqlDatabase db;
    bool serverOnly = false; // embedded: connected to the server, no catalog
    // Embedded: declared column types per table (lower-case names), read once.
    QHash<QString, QHash<QString, QString>> columnTypes;
    // Prepared INSERTs by statement text: a document's lines are appended
    // one row at a time, and preparing once keeps that fast.
    QHash<QString, QSqlQuery> inserts;
};

Connection::Connection(EngineConfig config)
    : m_config(std::move(config))
    , d(std::make_unique<Impl>())
{
}

Connection::~Connection()
{
    close();
}

namespace {
QString driverText(const QSqlError &e)
{
    QString text = e.text().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("unknown error");
    return text;
}

// The name a table has on the embedded engine ("dbo.facturas" -> "facturas").
QString plainTable(const QString &table)
{
    QString t = table.trimmed();
    if (t.startsWith(QLatin1String("dbo."), Qt::CaseInsensitive))
        t = t.mid(4);
    return t;
}

// MONEY and DECIMAL(p,4) keep four decimals; halves go away from zero, as
// the server rounds a float into MONEY.
double roundToFour(double v)
{
    const long double scaled = static_cast<long double>(v) * 10000.0L;
    return static_cast<double>(std::round(scaled) / 10000.0L);
}
} // namespace

bool Connection::open(const QString &connectionString)
{
    close();
    m_lastError.clear();
    m_target = parseConnectionString(connectionString);
    d->name = QStringLiteral("zd_sql_") + QUuid::createUuid().toString(QUuid::WithoutBraces);

    if (m_config.kind == EngineKind::SqlServer) {
        d->db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), d->name);
        d->db.setDatabaseName(odbcConnectionString(m_target, m_config.odbcDriver));
        const int timeout = std::max(1, m_config.loginTimeoutSeconds);
        d->db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1").arg(timeout));
        if (!d->db.open()) {
            const QString where = QStringLiteral("server %1,%2").arg(m_target.server, m_target.port);
            m_lastError = QStringLiteral("[odbc] cannot reach %1: %2")
                              .arg(m_target.catalog.isEmpty() ? where
                                                              : QStringLiteral("catalog %1 on %2").arg(m_target.catalog, where),
                                   driverText(d->db.lastError()));
            qCWarning(zdSql).noquote() << m_lastError;
            close();
            return false;
        }
        return true;
    }

    QString file;
    if (m_target.catalog.isEmpty()) {
        // The server itself: an in-memory database answers plain queries;
        // CREATE DATABASE and BACKUP DATABASE work on the server's folder.
        d->serverOnly = true;
        if (!QDir().mkpath(m_config.serverFolder(m_target.server))) {
            m_lastError = QStringLiteral("[embedded] cannot reach server %1").arg(m_target.server);
            qCWarning(zdSql).noquote() << m_lastError;
            close();
            return false;
        }
        file = QStringLiteral(":memory:");
    } else {
        file = m_config.catalogFile(m_target.server, m_target.catalog);
        if (!QFileInfo(file).isFile()) {
            m_lastError = QStringLiteral("[embedded] cannot reach catalog %1 on server %2")
                              .arg(m_target.catalog, m_target.server);
            qCWarning(zdSql).noquote() << m_lastError;
            close();
            return false;
        }
    }
    d->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->name);
    d->db.setDatabaseName(file);
    QString error;
    if (!d->db.open()) {
        m_lastError = QStringLiteral("[embedded] cannot open %1: %2").arg(file, driverText(d->db.lastError()));
    } else if (!embedded::prepareConnection(d->db, &error)) {
        m_lastError = error;
    }
    if (!m_lastError.isEmpty()) {
        qCWarning(zdSql).noquote() << m_lastError;
        close();
        return false;
    }
    return true;
}

void Connection::close()
{
    if (d->name.isEmpty())
        return;
    d->inserts.clear();
    if (d->db.isOpen())
        d->db.close();
    d->db = QSqlDatabase();
    QSqlDatabase::removeDatabase(d->name);
    d->name.clear();
    d->serverOnly = false;
    d->columnTypes.clear();
}

bool Connection::isOpen() const
{
    return d->db.isValid() && d->db.isOpen();
}

QSqlDatabase Connection::database() const
{
    return d->db;
}

// Runs one statement (after logging it); rows are read into *rows when given.
// "... order by a,b DESC" -> "... order by a DESC,b ASC limit 1": the first
// row of the reversed order is the last row of the original one (rows that
// tie on every sort column have no defined order either way). Empty when the
// ORDER BY is not a plain list of columns.
static QString reversedForLastRow(const QString &sql)
{
    static const QRegularExpression tail(
        QStringLiteral("^(.*\\border\\s+by\\s+)([A-Za-z_][\\w.]*(?:\\s+(?:asc|desc))?"
                       "(?:\\s*,\\s*[A-Za-z_][\\w.]*(?:\\s+(?:asc|desc))?)*)\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = tail.match(sql);
    if (!m.hasMatch())
        return {};
    QStringList keys;
    for (const QString &item : m.captured(2).split(QLatin1Char(','))) {
        QStringList words = item.simplified().split(QLatin1Char(' '));
        const bool descending = words.size() > 1 && words.last().compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
        keys << words.first() + (descending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
    }
    return m.captured(1) + keys.join(QLatin1Char(',')) + QStringLiteral(" limit 1");
}

static bool run(const QString &tsql, const EngineConfig &config, const ConnectionTarget &target,
                QSqlDatabase &db, RecordSet *rows, QString &lastError, bool lastRowOnly = false)
{
    // Printf form: the text arrives exactly, trailing blanks included.
    qCDebug(zdSql, "%s", qUtf8Printable(tsql));
    lastError.clear();
    auto fail = [&](const QString &why) {
        lastError = QStringLiteral("%1\nStatement: %2").arg(why, tsql);
        qCWarning(zdSql).noquote() << "failed:" << lastError;
        return false;
    };
    if (!db.isOpen())
        return fail(QStringLiteral("the connection is not open"));

    QString sql = tsql;
    if (config.kind == EngineKind::Embedded) {
        const Translation tr = translateTSql(tsql);
        QString error;
        switch (tr.kind) {
        case Translation::Kind::CreateDatabase:
            return embedded::createCatalog(config.catalogFile(target.server, tr.database), tr.database, &error)
                   || fail(error);
        case Translation::Kind::BackupDatabase:
            return embedded::backupCatalog(config.catalogFile(target.server, tr.database), tr.database,
                                           tr.diskPath, &error)
                   || fail(error);
        case Translation::Kind::Sql:
            sql = tr.sql;
            if (lastRowOnly) {
                const QString reversed = reversedForLastRow(sql);
                if (!reversed.isEmpty())
                    sql = reversed;
            }
            break;
        }
    }

    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        return fail(driverText(q.lastError()));
    if (rows && q.isSelect()) {
        const QSqlRecord rec = q.record();
        const int n = rec.count();
        QStringList columns;
        columns.reserve(n);
        for (int i = 0; i < n; ++i)
            columns << rec.fieldName(i);
        QVector<QVector<QVariant>> data;
        data.reserve(256);
        const bool odbc = config.kind == EngineKind::SqlServer;
        while (q.next()) {
            QVector<QVariant> row;
            row.reserve(n);
            for (int i = 0; i < n; ++i) {
                QVariant v = q.value(i);
                // Both engines hand DATETIME values out as style-121 text.
                if (odbc && v.typeId() == QMetaType::QDateTime && !v.isNull())
                    v = datetime::toStyle121(datetime::fromQDateTime(v.toDateTime()));
                row.push_back(std::move(v));
            }
            // Only the last row is wanted: keep one.
            if (lastRowOnly && !data.isEmpty())
                data.back() = std::move(row);
            else
                data.push_back(std::move(row));
        }
        if (q.lastError().isValid())
            return fail(driverText(q.lastError()));
        *rows = RecordSet(std::move(columns), std::move(data));
    }
    return true;
}

RecordSet Connection::queryLastRow(const QString &tsql, bool *ok)
{
    RecordSet rows;
    const bool success = run(tsql, m_config, m_target, d->db, &rows, m_lastError, true);
    if (ok)
        *ok = success;
    return rows;
}

bool Connection::execute(const QString &tsql)
{
    return run(tsql, m_config, m_target, d->db, nullptr, m_lastError);
}

RecordSet Connection::query(const QString &tsql, bool *ok)
{
    RecordSet rows;
    const bool success = run(tsql, m_config, m_target, d->db, &rows, m_lastError);
    if (ok)
        *ok = success;
    return rows;
}

bool Connection::insert(const QString &table, const QVariantMap &values)
{
    QStringList columns;
    QStringList marks;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        columns << it.key();
        marks << QStringLiteral("?");
    }
    const QString tsql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                             .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    // Printf form: the text arrives exactly, trailing blanks included.
    qCDebug(zdSql, "%s", qUtf8Printable(tsql));
    m_lastError.clear();
    auto fail = [&](const QString &why) {
        m_lastError = QStringLiteral("%1\nStatement: %2").arg(why, tsql);
        qCWarning(zdSql).noquote() << "failed:" << m_lastError;
        return false;
    };
    if (!isOpen())
        return fail(QStringLiteral("the connection is not open"));

    const bool embeddedEngine = m_config.kind == EngineKind::Embedded;
    QHash<QString, QString> types;
    if (embeddedEngine) {
        const QString key = plainTable(table).toLower();
        auto found = d->columnTypes.constFind(key);
        if (found == d->columnTypes.cend()) {
            QSqlQuery info(d->db);
            if (!info.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(plainTable(table).replace(QLatin1Char('"'), QLatin1String("\"\"")))))
                return fail(driverText(info.lastError()));
            QHash<QString, QString> read;
            while (info.next())
                read.insert(info.value(1).toString().toLower(), info.value(2).toString().toUpper());
            found = d->columnTypes.insert(key, read);
        }
        types = found.value();
    }

    auto cached = d->inserts.find(tsql);
    if (cached == d->inserts.end()) {
        const QString sql = embeddedEngine ? translateTSql(tsql).sql : tsql;
        QSqlQuery prepared(d->db);
        if (!prepared.prepare(sql))
            return fail(driverText(prepared.lastError()));
        cached = d->inserts.insert(tsql, prepared);
    }
    QSqlQuery &q = cached.value();
    QVariantList bound;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        QVariant v = it.value();
        if (embeddedEngine && !v.isNull()) {
            const QString type = types.value(it.key().toLower());
            if (v.typeId() == QMetaType::QDateTime) {
                v = datetime::toStyle121(datetime::fromQDateTime(v.toDateTime()));
            } else if (v.typeId() == QMetaType::QDate) {
                v = datetime::toStyle121(datetime::fromQDateTime(QDateTime(v.toDate(), QTime(0, 0))));
            } else if (type.startsWith(QLatin1String("MONEY")) || type.startsWith(QLatin1String("DECIMAL"))
                       || type.startsWith(QLatin1String("NUMERIC"))) {
                bool isNumber = false;
                const double number = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&isNumber)
                                                                       : v.toDouble(&isNumber);
                if (isNumber)
                    v = roundToFour(number);
            }
        }
        q.addBindValue(v);
        if (zdSqlValues().isDebugEnabled())
            bound << v;
    }
    qCDebug(zdSqlValues) << bound;
    const bool done = q.exec();
    const QString error = done ? QString() : driverText(q.lastError());
    q.finish();
    if (!done)
        return fail(error);
    return true;
}

bool Connection::beginTransaction()
{
    m_lastError.clear();
    if (d->db.transaction())
        return true;
    m_lastError = QStringLiteral("BEGIN TRANSACTION: ") + driverText(d->db.lastError());
    qCWarning(zdSql).noquote() << "failed:" << m_lastError;
    return false;
}

bool Connection::commit()
{
    m_lastError.clear();
    if (d->db.commit())
        return true;
    m_lastError = QStringLiteral("COMMIT: ") + driverText(d->db.lastError());
    qCWarning(zdSql).noquote() << "failed:" << m_lastError;
    return false;
}

bool Connection::rollback()
{
    m_lastError.clear();
    if (d->db.rollback())
        return true;
    m_lastError = QStringLiteral("ROLLBACK: ") + driverText(d->db.lastError());
    qCWarning(zdSql).noquote() << "failed:" << m_lastError;
    return false;
}

} // namespace zd::sql
