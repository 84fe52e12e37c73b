#pragma once
#include "externo/sql/RecordSet.h"

#include <QString>
#include <optional>

namespace zd {

struct AppState;

// A stored document as its rows hold it: the facturas row and its
// Documento rows in stored order. Read-only; the state is not touched.
struct StoredDocument {
    sql::RecordSet header;  // one row
    sql::RecordSet lines;
};

// Nothing when the store cannot be read or the document does not exist
// (*error says which).
std::optional<StoredDocument> ReadStoredDocument(AppState &state, const QString &id,
                                                 QString *error = nullptr);

} // namespace zd
