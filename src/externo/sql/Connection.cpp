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
#include <cstring>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace zd::sql {

struct Connection::Impl {
    QString name; // unique QSqlDatabase connection name
    QSqlDatabase db;
    bool serverOnly = false; // embedded: connected to the server, no catalog
    // Embedded: declared column types per table (lower-case names), read once.
    QHash<QString, QHash<QString, QString>> columnTypes;
    // Prepared INSERTs by statement text: a document's lines are appended
    // one row at a time, and preparing once keeps that fast. The embedded
    // engine binds through SQLite directly (stmt) and keeps the Qt query for
    // values of other types; fourDecimals marks the MONEY/DECIMAL columns.
    struct PreparedInsert {
        sqlite3_stmt *stmt = nullptr;
        std::optional<QSqlQuery> query;
        QVector<bool> fourDecimals;
    };
    QHash<QString, PreparedInsert> inserts;
    // The text of the last INSERT and what it was made from.
    QString lastInsertTable;
    QStringList lastInsertColumns;
    QString lastInsertText;
    PreparedInsert *lastInsertPrepared = nullptr; // its entry in inserts (stable until the next insertion)

    // Embedded: the SQLite handle behind db, and one prepared statement per
    // statement shape (see shapeOf), with its column names as last read.
    struct Prepared {
        sqlite3_stmt *stmt = nullptr;
        QList<QByteArray> rawNames;
        QStringList names;
    };
    sqlite3 *handle = nullptr;
    QHash<QString, Prepared> shapes;

    void dropShapes()
    {
        for (const Prepared &p : std::as_const(shapes))
            sqlite3_finalize(p.stmt);
        shapes.clear();
    }
    void dropInserts()
    {
        for (const PreparedInsert &p : std::as_const(inserts))
            sqlite3_finalize(p.stmt);
        inserts.clear();
    }

    using RowSink = std::function<void(const RowView &)>;
    // rows (or, for queryRows, sink) receives what the statement returns.
    bool run(const QString &tsql, const EngineConfig &config, const ConnectionTarget &target, RecordSet *rows,
             QString &lastError, bool lastRowOnly = false, int *rowsAffected = nullptr,
             const RowSink *sink = nullptr);
    // The embedded engine through a prepared shape. false when the statement
    // is not run that way (*handled false) or when it failed (*handled true).
    bool runShaped(const QString &tsql, RecordSet *rows, QString &lastError, bool lastRowOnly,
                   int *rowsAffected, bool *handled, const RowSink *sink = nullptr);
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
    } else if (m_target.catalog.compare(QLatin1String(kInvoiceStoreCatalog), Qt::CaseInsensitive) == 0
               && !embedded::makeCommitsDurable(d->db, &error)) {
        m_lastError = error;
    }
    if (!m_lastError.isEmpty()) {
        qCWarning(zdSql).noquote() << m_lastError;
        close();
        return false;
    }
    d->handle = embedded::handle(d->db);
    return true;
}

void Connection::close()
{
    if (d->name.isEmpty())
        return;
    d->dropInserts();
    d->dropShapes();
    d->lastInsertTable.clear();
    d->lastInsertColumns.clear();
    d->lastInsertPrepared = nullptr;
    d->handle = nullptr;
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

namespace {
QString sqliteText(const void *utf16)
{
    return utf16 ? QString(reinterpret_cast<const QChar *>(utf16)) : QString();
}

// A cell of the current row. Each cell is fetched once and read through
// the value: one call into the statement instead of one per question.
// The statement and its values stay on the thread that runs them.
sqlite3_value *cellOf(sqlite3_stmt *stmt, int i)
{
    return sqlite3_column_value(stmt, i);
}

// A TEXT cell as the Qt SQLite driver reads it. Plain ASCII text reads
// the same either way and is taken as it is stored; anything else not
// well-formed goes through SQLite's own UTF-16 conversion, as the driver
// reads it.
QString cellText(sqlite3_value *cell)
{
    const auto *bytes = sqlite3_value_text(cell);
    const int size = sqlite3_value_bytes(cell);
    bool ascii = bytes && size > 0;
    if (ascii) {
        // Eight bytes at a time, then the rest.
        int k = 0;
        for (; k + 8 <= size; k += 8) {
            quint64 word;
            std::memcpy(&word, bytes + k, sizeof word);
            if (word & 0x8080808080808080ULL) {
                ascii = false;
                break;
            }
        }
        for (; ascii && k < size; ++k)
            ascii = bytes[k] < 0x80;
    }
    if (ascii)
        return QString::fromLatin1(reinterpret_cast<const char *>(bytes), size);
    // Well-formed UTF-8 decodes to the same UTF-16 either way.
    const QByteArrayView utf8(reinterpret_cast<const char *>(bytes), size);
    if (size > 0 && utf8.isValidUtf8())
        return QString::fromUtf8(utf8);
    const void *text = sqlite3_value_text16(cell);
    return QString(reinterpret_cast<const QChar *>(text), sqlite3_value_bytes16(cell) / qsizetype(sizeof(QChar)));
}

// A cell as the Qt SQLite driver reads it, so that both ways of reading
// give the same values: integers as qlonglong, reals as double, text as
// QString, blobs as QByteArray, NULL as a null QString.
QVariant cellValue(sqlite3_value *cell)
{
    switch (sqlite3_value_type(cell)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_value_int64(cell)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(cell));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_value_blob(cell)), sqlite3_value_bytes(cell)));
    default:
        return QVariant(cellText(cell));
    }
}

QVariant columnValue(sqlite3_stmt *stmt, int i)
{
    return cellValue(cellOf(stmt, i));
}

// The current row of a prepared statement, read cell by cell on demand.
class StatementRow final : public RowView {
public:
    StatementRow(sqlite3_stmt *stmt, const QStringList &names)
        : m_stmt(stmt)
        , m_names(names)
    {
    }
    const QStringList &columns() const override { return m_names; }
    QVariant value(int column) const override
    {
        return column >= 0 && column < m_names.size() ? columnValue(m_stmt, column) : QVariant();
    }
    QString text(int column) const override
    {
        if (column < 0 || column >= m_names.size())
            return {};
        sqlite3_value *cell = cellOf(m_stmt, column);
        switch (sqlite3_value_type(cell)) {
        case SQLITE_TEXT:
            return cellText(cell);
        case SQLITE_NULL:
            return {};
        default:
            return cellValue(cell).toString();
        }
    }

    QString repeatedText(int column) const override
    {
        if (column < 0 || column >= m_names.size())
            return {};
        sqlite3_value *cell = cellOf(m_stmt, column);
        if (sqlite3_value_type(cell) != SQLITE_TEXT)
            return text(column);
        const auto *bytes = reinterpret_cast<const char *>(sqlite3_value_text(cell));
        const QByteArrayView stored(bytes, sqlite3_value_bytes(cell));
        if (m_seen.size() <= size_t(column))
            m_seen.resize(m_names.size());
        std::vector<SeenText> &seen = m_seen[column];
        if (seen.empty())
            seen.resize(kSeenSlots);
        // FNV-1a: short texts, a cheap hash.
        quint32 hash = 2166136261u;
        for (const char c : stored)
            hash = (hash ^ quint8(c)) * 16777619u;
        SeenText &entry = seen[hash % kSeenSlots];
        if (!entry.filled || entry.stored.size() != stored.size()
            || std::memcmp(entry.stored.constData(), stored.data(), size_t(stored.size())) != 0) {
            entry.text = cellText(cell);
            entry.stored = stored.toByteArray();
            entry.filled = true;
        }
        return entry.text;
    }

private:
    // The last texts seen of a repeating column, by the hash of their bytes.
    struct SeenText {
        QByteArray stored;
        QString text;
        bool filled = false;
    };
    static constexpr size_t kSeenSlots = 64;

    sqlite3_stmt *m_stmt;
    const QStringList &m_names;
    mutable std::vector<std::vector<SeenText>> m_seen;
};

// A row of a result read whole (the engines without prepared shapes).
class RecordSetRow final : public RowView {
public:
    RecordSetRow(const RecordSet &rows, int row)
        : m_rows(rows)
        , m_row(row)
    {
    }
    const QStringList &columns() const override { return m_rows.columns(); }
    QVariant value(int column) const override { return m_rows.value(m_row, column); }

private:
    const RecordSet &m_rows;
    int m_row;
};

constexpr int kMaxShapes = 128;
} // namespace

bool Connection::Impl::runShaped(const QString &tsql, RecordSet *rows, QString &lastError, bool lastRowOnly,
                                 int *rowsAffected, bool *handled, const RowSink *sink)
{
    *handled = false;
    const StatementShape shape = shapeOf(tsql);
    if (!shape.shaped)
        return false;
    const QString key = lastRowOnly ? QStringLiteral("last|") + shape.key : shape.key;
    auto found = shapes.find(key);
    const bool fromCache = found != shapes.end();
    if (!fromCache) {
        const Translation tr = translateShape(tsql);
        if (tr.kind != Translation::Kind::Sql)
            return false;
        QString sql = tr.sql;
        if (lastRowOnly) {
            const QString reversed = reversedForLastRow(sql);
            if (!reversed.isEmpty())
                sql = reversed;
        }
        sqlite3_stmt *stmt = nullptr;
        const void *tail = nullptr;
        const int rc = sqlite3_prepare16_v3(handle, sql.utf16(), int((sql.size() + 1) * sizeof(QChar)),
                                            SQLITE_PREPARE_PERSISTENT, &stmt, &tail);
        // Errors, several statements in one text and parameters that are not
        // the shape's own go the plain way, which reports them as it always has.
        if (rc != SQLITE_OK || !stmt || !sqliteText(tail).trimmed().isEmpty()
            || sqlite3_bind_parameter_count(stmt) != shape.literals.size()) {
            sqlite3_finalize(stmt);
            return false;
        }
        for (int i = 1; i <= shape.literals.size(); ++i) {
            if (sqlite3_bind_parameter_name(stmt, i)) {
                sqlite3_finalize(stmt);
                return false;
            }
        }
        if (shapes.size() >= kMaxShapes)
            dropShapes();
        found = shapes.insert(key, Prepared{stmt, {}, {}});
    }
    *handled = true;
    Prepared &p = found.value();
    sqlite3_stmt *stmt = p.stmt;
    for (int i = 0; i < shape.literals.size(); ++i) {
        const Literal &literal = shape.literals.at(i);
        if (literal.kind == Literal::Kind::Integer)
            sqlite3_bind_int64(stmt, i + 1, literal.integer);
        else
            sqlite3_bind_text16(stmt, i + 1, literal.text.utf16(), int(literal.text.size() * sizeof(QChar)),
                                SQLITE_TRANSIENT);
    }
    auto fail = [&](const char *what) {
        const QString why = sqliteText(sqlite3_errmsg16(handle)) + QLatin1Char(' ') + QLatin1String(what);
        sqlite3_reset(stmt);
        lastError = QStringLiteral("%1\nStatement: %2").arg(why, tsql);
        qCWarning(zdSql).noquote() << "failed:" << lastError;
        return false;
    };
    int rc = sqlite3_step(stmt);
    if (fromCache && (rc == SQLITE_ERROR || rc == SQLITE_SCHEMA)) {
        // A kept statement that no longer fits its tables (one was dropped
        // or changed): prepared afresh, it fails the way a new text fails.
        // A failed statement changed nothing, so it may run again.
        sqlite3_reset(stmt);
        sqlite3_finalize(stmt);
        shapes.erase(found);
        return runShaped(tsql, rows, lastError, lastRowOnly, rowsAffected, handled, sink);
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return fail("Unable to fetch row");
    if (rowsAffected)
        *rowsAffected = sqlite3_changes(handle);
    const int n = sqlite3_column_count(stmt);
    if ((rows || sink) && n > 0) {
        // A schema change re-prepares the statement: names are checked per run.
        bool same = p.rawNames.size() == n;
        for (int i = 0; same && i < n; ++i)
            same = std::strcmp(p.rawNames.at(i).constData(), sqlite3_column_name(stmt, i)) == 0;
        if (!same) {
            p.rawNames.clear();
            p.names.clear();
            for (int i = 0; i < n; ++i) {
                p.rawNames << QByteArray(sqlite3_column_name(stmt, i));
                p.names << sqliteText(sqlite3_column_name16(stmt, i)).remove(QLatin1Char('"'));
            }
        }
        if (sink) {
            const QStringList names = p.names;
            const StatementRow view(stmt, names);
            while (rc == SQLITE_ROW) {
                (*sink)(view);
                rc = sqlite3_step(stmt);
            }
            if (rc != SQLITE_DONE)
                return fail("Unable to fetch row");
            sqlite3_reset(stmt);
            return true;
        }
        QVector<QVector<QVariant>> data;
        data.reserve(256);
        while (rc == SQLITE_ROW) {
            QVector<QVariant> row;
            row.reserve(n);
            for (int i = 0; i < n; ++i)
                row.push_back(columnValue(stmt, i));
            // Only the last row is wanted: keep one.
            if (lastRowOnly && !data.isEmpty())
                data.back() = std::move(row);
            else
                data.push_back(std::move(row));
            rc = sqlite3_step(stmt);
        }
        if (rc != SQLITE_DONE)
            return fail("Unable to fetch row");
        *rows = RecordSet(p.names, std::move(data));
    }
    sqlite3_reset(stmt);
    return true;
}

bool Connection::Impl::run(const QString &tsql, const EngineConfig &config, const ConnectionTarget &target,
                           RecordSet *rows, QString &lastError, bool lastRowOnly, int *rowsAffected,
                           const RowSink *sink)
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
    if (config.kind == EngineKind::Embedded && handle) {
        bool handled = false;
        const bool done = runShaped(tsql, rows, lastError, lastRowOnly, rowsAffected, &handled, sink);
        if (handled)
            return done;
    }

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
    if (rowsAffected)
        *rowsAffected = q.numRowsAffected();
    if ((rows || sink) && q.isSelect()) {
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
        if (!sink) {
            *rows = RecordSet(std::move(columns), std::move(data));
        } else {
            // Read whole on this way, then handed out row by row.
            const RecordSet whole(std::move(columns), std::move(data));
            for (int r = 0; r < whole.rowCount(); ++r)
                (*sink)(RecordSetRow(whole, r));
        }
    }
    return true;
}

RecordSet Connection::queryLastRow(const QString &tsql, bool *ok)
{
    RecordSet rows;
    const bool success = d->run(tsql, m_config, m_target, &rows, m_lastError, true);
    if (ok)
        *ok = success;
    return rows;
}

bool Connection::queryRows(const QString &tsql, const std::function<void(const RowView &)> &onRow)
{
    return d->run(tsql, m_config, m_target, nullptr, m_lastError, false, nullptr, &onRow);
}

bool Connection::execute(const QString &tsql, int *rowsAffected)
{
    return d->run(tsql, m_config, m_target, nullptr, m_lastError, false, rowsAffected);
}

bool Connection::executeCounted(const QString &tsql, int *rowsChanged)
{
    if (m_config.kind == EngineKind::Embedded)
        return execute(tsql, rowsChanged);   // sqlite3_changes: the statement's own rows
    // The server's count message is missing under SET NOCOUNT ON and may be
    // a trigger's: the statement's own count is read back in its batch.
    bool ok = false;
    const RecordSet rs = query(CountedBatch(tsql), &ok);
    if (!ok)
        return false;
    bool isNumber = false;
    const int n = rs.isEmpty() ? -1 : rs.value(0, 0).toInt(&isNumber);
    if (!isNumber || n < 0) {
        m_lastError = QStringLiteral("no row count came back\nStatement: ") + tsql;
        qCWarning(zdSql).noquote() << "failed:" << m_lastError;
        return false;
    }
    if (rowsChanged)
        *rowsChanged = n;
    return true;
}

bool Connection::commitOutcomeKnown() const
{
    // SQLite's COMMIT either succeeds or leaves the transaction undone; a
    // server may commit and lose the connection before it says so.
    return m_config.kind == EngineKind::Embedded;
}

QString CountedBatch(const QString &tsql)
{
    return QStringLiteral("SET NOCOUNT ON; ") + tsql + QStringLiteral("; SELECT @@ROWCOUNT");
}

RecordSet Connection::query(const QString &tsql, bool *ok)
{
    RecordSet rows;
    const bool success = d->run(tsql, m_config, m_target, &rows, m_lastError);
    if (ok)
        *ok = success;
    return rows;
}

namespace {
// MONEY and DECIMAL columns keep four decimals; DATETIME values are style-121
// text. The value as the embedded engine stores it.
QVariant storedValue(QVariant v, bool fourDecimals)
{
    if (v.isNull())
        return v;
    if (v.typeId() == QMetaType::QDateTime) {
        v = datetime::toStyle121(datetime::fromQDateTime(v.toDateTime()));
    } else if (v.typeId() == QMetaType::QDate) {
        v = datetime::toStyle121(datetime::fromQDateTime(QDateTime(v.toDate(), QTime(0, 0))));
    } else if (fourDecimals) {
        bool isNumber = false;
        const double number = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&isNumber)
                                                               : v.toDouble(&isNumber);
        if (isNumber)
            v = roundToFour(number);
    }
    return v;
}

// Binds v the way the Qt SQLite driver binds it; false for a type this
// does not cover (the row then goes through the driver).
bool bindLikeTheDriver(sqlite3_stmt *stmt, int n, const QVariant &v)
{
    if (v.isNull() || (v.typeId() == QMetaType::QString && static_cast<const QString *>(v.constData())->isNull())
        || (v.typeId() == QMetaType::QByteArray && static_cast<const QByteArray *>(v.constData())->isNull()))
        return sqlite3_bind_null(stmt, n) == SQLITE_OK;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::Bool:
        return sqlite3_bind_int(stmt, n, v.toInt()) == SQLITE_OK;
    case QMetaType::Double:
        return sqlite3_bind_double(stmt, n, v.toDouble()) == SQLITE_OK;
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(stmt, n, v.toLongLong()) == SQLITE_OK;
    case QMetaType::QByteArray: {
        const auto *bytes = static_cast<const QByteArray *>(v.constData());
        return sqlite3_bind_blob(stmt, n, bytes->constData(), int(bytes->size()), SQLITE_TRANSIENT) == SQLITE_OK;
    }
    case QMetaType::QString: {
        const auto *text = static_cast<const QString *>(v.constData());
        return sqlite3_bind_text16(stmt, n, text->utf16(), int(text->size() * sizeof(QChar)), SQLITE_TRANSIENT)
               == SQLITE_OK;
    }
    default:
        return false;
    }
}
} // namespace

bool Connection::insert(const QString &table, const QVariantMap &values)
{
    // The statement text is made once for a run of rows with the same columns.
    bool sameColumns = d->lastInsertTable == table && d->lastInsertColumns.size() == values.size();
    if (sameColumns) {
        int i = 0;
        for (auto it = values.cbegin(); sameColumns && it != values.cend(); ++it, ++i)
            sameColumns = it.key() == d->lastInsertColumns.at(i);
    }
    if (!sameColumns) {
        QStringList columns;
        QStringList marks;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            columns << it.key();
            marks << QStringLiteral("?");
        }
        d->lastInsertText = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        d->lastInsertTable = table;
        d->lastInsertColumns = columns;
        d->lastInsertPrepared = nullptr;
    }
    const QString tsql = d->lastInsertText;
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
    auto cached = d->lastInsertPrepared ? d->inserts.end() : d->inserts.find(tsql);
    if (!d->lastInsertPrepared && cached == d->inserts.end()) {
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
        Impl::PreparedInsert prepared;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            const QString type = types.value(it.key().toLower());
            prepared.fourDecimals << (type.startsWith(QLatin1String("MONEY")) || type.startsWith(QLatin1String("DECIMAL"))
                                      || type.startsWith(QLatin1String("NUMERIC")));
        }
        const QString sql = embeddedEngine ? translateTSql(tsql).sql : tsql;
        if (embeddedEngine && d->handle) {
            const int rc = sqlite3_prepare16_v3(d->handle, sql.utf16(), int((sql.size() + 1) * sizeof(QChar)),
                                                SQLITE_PREPARE_PERSISTENT, &prepared.stmt, nullptr);
            if (rc != SQLITE_OK) {
                sqlite3_finalize(prepared.stmt);
                prepared.stmt = nullptr;
            }
        }
        if (!prepared.stmt) {
            QSqlQuery query(d->db);
            if (!query.prepare(sql))
                return fail(driverText(query.lastError()));
            prepared.query = query;
        }
        cached = d->inserts.insert(tsql, prepared);
    }
    if (!d->lastInsertPrepared)
        d->lastInsertPrepared = &cached.value();
    Impl::PreparedInsert &prepared = *d->lastInsertPrepared;
    const bool logValues = zdSqlValues().isDebugEnabled();
    QVariantList bound;
    auto valueAt = [&](auto it, int column) {
        return embeddedEngine ? storedValue(it.value(), prepared.fourDecimals.value(column)) : it.value();
    };

    if (prepared.stmt) {
        // Straight to SQLite, bound as the Qt driver binds.
        sqlite3_stmt *stmt = prepared.stmt;
        bool direct = true;
        int column = 0;
        for (auto it = values.cbegin(); direct && it != values.cend(); ++it, ++column) {
            const QVariant v = valueAt(it, column);
            direct = bindLikeTheDriver(stmt, column + 1, v);
            if (logValues)
                bound << v;
        }
        if (direct) {
            qCDebug(zdSqlValues) << bound;
            const int rc = sqlite3_step(stmt);
            const QString error = rc == SQLITE_DONE || rc == SQLITE_ROW
                ? QString()
                : sqliteText(sqlite3_errmsg16(d->handle)) + QStringLiteral(" Unable to fetch row");
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
            return error.isEmpty() || fail(error);
        }
        sqlite3_clear_bindings(stmt);
        bound.clear();
    }

    // Through the Qt driver: the SQL Server engine, or a value of a type
    // the direct binding does not cover.
    if (!prepared.query) {
        QSqlQuery query(d->db);
        if (!query.prepare(embeddedEngine ? translateTSql(tsql).sql : tsql))
            return fail(driverText(query.lastError()));
        prepared.query = query;
    }
    QSqlQuery &q = *prepared.query;
    int column = 0;
    for (auto it = values.cbegin(); it != values.cend(); ++it, ++column) {
        const QVariant v = valueAt(it, column);
        q.addBindValue(v);
        if (logValues)
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
    qCDebug(zdSqlTransactions, "BEGIN TRANSACTION");
    m_lastError.clear();
    if (d->db.transaction())
        return true;
    m_lastError = QStringLiteral("BEGIN TRANSACTION: ") + driverText(d->db.lastError());
    qCWarning(zdSql).noquote() << "failed:" << m_lastError;
    return false;
}

bool Connection::commit()
{
    qCDebug(zdSqlTransactions, "COMMIT");
    m_lastError.clear();
    if (d->db.commit())
        return true;
    m_lastError = QStringLiteral("COMMIT: ") + driverText(d->db.lastError());
    qCWarning(zdSql).noquote() << "failed:" << m_lastError;
    return false;
}

bool Connection::rollback()
{
    qCDebug(zdSqlTransactions, "ROLLBACK");
    m_lastError.clear();
    if (d->db.rollback())
        return true;
    m_lastError = QStringLiteral("ROLLBACK: ") + driverText(d->db.lastError());
    qCWarning(zdSql).noquote() << "failed:" << m_lastError;
    return false;
}

} // namespace zd::sql
