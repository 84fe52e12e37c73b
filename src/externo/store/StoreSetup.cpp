#include "StoreSetup.h"

#include "StoreSchema.h"
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

// A store made before the journal existed gets it now. A store without its
// document tables is left as it is, as before.
StoreCheck upgraded(sql::Connection &store)
{
    if (answers(store, QStringLiteral("MarcasPendientes")) || !answers(store, QStringLiteral("facturas")))
        return StoreCheck::Existing;
    return store.execute(CreateMarcasPendientesStatement()) ? StoreCheck::Existing : StoreCheck::CannotCreate;
}

} // namespace

StoreCheck EnsureInvoiceStore(AppState &state)
{
    {
        auto store = state.newConnection();
        if (store->open(sql::invoiceStoreConnectionString()))
            return upgraded(*store);
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
    if (store->execute(CreateDocumentoStatement()))
        store->execute(CreateMarcasPendientesStatement());
    return StoreCheck::Created;
}

} // namespace zd
