#pragma once

namespace zd {

struct AppState;

enum class StoreCheck {
    Existing,      // the invoice store opened: nothing was sent to create it
    Created,       // this run created the database (and, as far as possible, its tables)
    CannotCreate   // neither opened nor created: start-up tells the operator and stops
};

// The start-up check of the invoice store. Opens TRS_FAC; when it does not
// open, creates the database on the local server and then its tables.
// The document tables are created only in the run that creates the
// database; a store that holds them but not yet the journal of owed
// point-of-sale changes gets the journal added in place (nothing else is
// touched); when that fails the store cannot be worked with: CannotCreate.
// Shows nothing: the caller decides.
StoreCheck EnsureInvoiceStore(AppState &state);

} // namespace zd
