#pragma once
#include "externo/state/AppState.h"
#include "support/BusyDatabase.h"
#include "support/StatementCapture.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>
#include <QVariantMap>
#include <QVector>
#include <memory>

namespace zd::posdemo {
class SqliteDb;
}

namespace zd::test {

// A program folder in a temporary directory with the embedded engine, a
// state describing company 1 / customer 25 (node 2) and, on demand, the
// invoice store and a point-of-sale database with tickets.
class StoreFixture {
public:
    // subfolder: the program folder inside the temporary directory.
    explicit StoreFixture(const QString &subfolder = QString());
    ~StoreFixture();

    QString folder() const { return m_state->programFolder(); }
    AppState &state() { return *m_state; }

    QString storeFile() const;
    QString posFile() const;

    // Creates TRS_FAC with its two tables (through EnsureInvoiceStore).
    void createStore();
    // Creates the point-of-sale file and opens state().PosConnection on it.
    void createPos();
    // One open ticket (whole-second fecha) per id.
    void addTicket(qint32 id, const QString &fecha = QStringLiteral("2013-05-14 10:15:42.000"));
    // fecha of a ticket as stored ("" when absent).
    QString ticketFecha(qint32 id);

    // Rows of a query run directly on a file (no translation).
    static QVector<QVariantList> rows(const QString &file, const QString &sql);
    static void exec(const QString &file, const QString &sql);
    // The first row of a query by column name (empty when there is none).
    static QVariantMap firstRow(const QString &file, const QString &sql);

    // Sets n tax types: "TVA i", rate i*5, base 10*i, tax i.
    void setTaxTypes(int n);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<AppState> m_state;
};

// One line of ListView1 per point-of-sale ticket id (ticket number id - 100,
// 1.500 at 2.10, 3.15), as the window lists chosen tickets.
LineRecordSet oneLinePerTicket(const QVector<int> &ticketIds);

// A line of ListView1: Id, ticket, code, description, quantity, price,
// discount, amount, point-of-sale ticket id.
QStringList line(int n, int ticket, int code, const QString &description, const QString &quantity,
                 const QString &price, const QString &discount, const QString &amount, int ticketId);

} // namespace zd::test
