#include "StoreSetup.h"

#include "StoreSchema.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

namespace zd {

StoreCheck EnsureInvoiceStore(AppState &state)
{
    {
        auto store = state.newConnection();
        if (store->open(sql::invoiceStoreConnectionString()))
            return StoreCheck::Existing;
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
    store->execute(CreateDocumentoStatement());
    return StoreCheck::Created;
}

} // namespace zd
