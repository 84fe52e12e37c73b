#pragma once

namespace zd {

struct AppState;

enum class StoreCheck {
    Existing,      // the invoice store opened: nothing was sent to create it
    Created,       // this run created the database (and, as far as possible, its tables)
    CannotCreate   // neither opened nor created: start-up tells the operator and stops
};

// The start-up check of the invoice store. Opens TRS_FAC; when it does not
// open, creates the database on the local server and then its two tables.
// Tables are created only in the run that creates the database, so a store
// that exists is never touched. Shows nothing: the caller decides.
StoreCheck EnsureInvoiceStore(AppState &state);

} // namespace zd
