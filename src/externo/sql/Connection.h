#pragma once
#include "ConnectionStrings.h"
#include "EngineConfig.h"
#include "RecordSet.h"
#include "RowView.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>

namespace zd::sql {

// One database connection on either engine. Statements are T-SQL texts as
// the program builds them; the embedded engine translates them (see
// TSqlTranslator), the SQL Server engine sends them unchanged. Every
// statement is logged under zdSql before it is sent.
//
// open() takes the program's OLE DB-style connection text. On the embedded
// engine a catalog whose file does not exist fails like an unreachable
// server; a connection without catalog (the server itself) succeeds when
// the server's folder can be created, and understands "CREATE DATABASE x"
// and "BACKUP DATABASE x TO DISK = N'path' ...".
//
// The embedded engine prepares each statement shape once per connection
// (the text with the literals that can be bound taken out, see shapeOf)
// and binds the literals; the log shows the statement as sent.
// The SQL Server batch executeCounted sends: "SET NOCOUNT ON; " + tsql +
// "; SELECT @@ROWCOUNT".
QString CountedBatch(const QString &tsql);

class Connection {
public:
    explicit Connection(EngineConfig config);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool open(const QString &connectionString);
    void close();
    bool isOpen() const;
    const EngineConfig &config() const { return m_config; }
    const ConnectionTarget &target() const { return m_target; }

    // Last error text of open/execute/query/insert; empty after a success.
    QString lastError() const { return m_lastError; }

    // Runs a statement that returns no rows. false on error. *rowsAffected
    // (when given) receives the number of rows it changed.
    bool execute(const QString &tsql, int *rowsAffected = nullptr);
    // Runs a statement that changes rows and tells how many rows the
    // statement itself changed, whatever the server's NOCOUNT setting and
    // whatever triggers did: on SQL Server the statement goes in a batch
    // that reads @@ROWCOUNT (see CountedBatch). false on error.
    bool executeCounted(const QString &tsql, int *rowsChanged);
    // Runs a query; *ok (when given) tells whether it succeeded. DATETIME
    // values come back as style-121 text on both engines.
    RecordSet query(const QString &tsql, bool *ok = nullptr);
    // The same query when only its last row is wanted: returns at most that
    // row. The embedded engine reads it through the reversed ORDER BY
    // (an index walk instead of every row); the statement logged is tsql.
    RecordSet queryLastRow(const QString &tsql, bool *ok = nullptr);
    // The same query with its rows handed to onRow one at a time, as they
    // are read, instead of kept: each row holds the values query() would
    // give. false on error; the rows handed out before it was met were
    // handed out, so a caller keeps what it built only on success. onRow
    // must not run statements on this connection.
    bool queryRows(const QString &tsql, const std::function<void(const RowView &)> &onRow);
    // Appends one row: the values are bound, never spliced into the text.
    // The statement logged is "INSERT INTO <table> (<columns>) VALUES (?, ...)"
    // with the columns in the map's (alphabetical) order; the values go to
    // zdSqlValues. On the embedded engine MONEY and DECIMAL(14,4) columns are
    // rounded to four decimals, as SQL Server stores them, and QDateTime/QDate
    // values are stored as style-121 text on the 1/300 s grid.
    bool insert(const QString &table, const QVariantMap &values);

    bool beginTransaction();
    bool commit();
    bool rollback();
    // After a failed commit(): true when the transaction surely did not
    // commit (embedded engine); false when it may have (a server can commit
    // and lose the connection before it answers).
    bool commitOutcomeKnown() const;

    // The underlying Qt connection, for driver-level checks. Do not keep the
    // copy beyond this Connection: close() removes the Qt connection.
    QSqlDatabase database() const;

private:
    struct Impl;
    EngineConfig m_config;
    ConnectionTarget m_target;
    QString m_lastError;
    std::unique_ptr<Impl> d;
};

} // namespace zd::sql
