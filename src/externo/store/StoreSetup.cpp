#include "StoreSetup.h"

#include "StoreSchema.h"
#include "externo/books/ChainEvents.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

namespace zd {

namespace {

bool answers(sql::Connection &store, const QString &table)
{
    bool ok = false;
    store.query(QStringLiteral("Select * from dbo.") + table + QStringLiteral(" where 1=0"), &ok);
    return ok;
}

bool hasColumn(sql::Connection &store, const QString &tableDotColumn)
{
    bool ok = false;
    store.query(QStringLiteral("Select ") + tableDotColumn.section(QLatin1Char('.'), 1)
                    + QStringLiteral(" from dbo.") + tableDotColumn.section(QLatin1Char('.'), 0, 0)
                    + QStringLiteral(" where 1=0"),
                &ok);
    return ok;
}

// The table a CREATE TABLE statement makes.
QString tableOf(const QString &statement)
{
    return statement.section(QLatin1Char(' '), 2, 2);
}

// A store made by an earlier version gets the tables added since, and a
// chain of the books sealed on what it holds. A store without its document
// tables is left as it is, as before.
StoreCheck upgraded(AppState &state, sql::Connection &store)
{
    if (!answers(store, QStringLiteral("facturas")))
        return StoreCheck::Existing;
    const bool chainNew = !answers(store, QStringLiteral("Registro"));
    for (const QString &statement : AddedTableStatements()) {
        if (!answers(store, tableOf(statement)) && !store.execute(statement))
            return StoreCheck::CannotCreate;
    }
    for (const QString &statement : AddedColumnStatements()) {
        if (!hasColumn(store, AddedColumnOf(statement)) && !store.execute(statement))
            return StoreCheck::CannotCreate;
    }
    // Only a speed-up: a store that refuses it works as before.
    if (chainNew)
        store.execute(CreateDocumentoIndexStatement());
    if (!books::SealStore(state, store))
        return StoreCheck::CannotCreate;
    return StoreCheck::Existing;
}

} // namespace

StoreCheck EnsureInvoiceStore(AppState &state)
{
    {
        auto store = state.newConnection();
        if (store->open(sql::invoiceStoreConnectionString()))
            return upgraded(state, *store);
    }

    // The local server itself must answer, or nothing can be created.
    bool created = false;
    {
        auto server = state.newConnection();
        if (!server->open(sql::serverConnectionString()))
            return StoreCheck::CannotCreate;
        created = server->execute(CreateDatabaseStatement());
    }

    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return StoreCheck::CannotCreate;
    // Someone else created it between our two opens: it is theirs to fill.
    if (!created)
        return StoreCheck::Existing;

    if (!store->execute(CreateFacturasStatement()))
        return StoreCheck::Created;   // Documento would refer to a missing table
    store->close();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return StoreCheck::Created;
    if (store->execute(CreateDocumentoStatement())) {
        for (const QString &statement : AddedTableStatements() + AddedColumnStatements())
            store->execute(statement);
        store->execute(CreateDocumentoIndexStatement());
        books::SealStore(state, *store);
    }
    return StoreCheck::Created;
}

} // namespace zd
