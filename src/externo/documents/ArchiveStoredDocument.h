#pragma once
#include "externo/archive/ArchiveDocument.h"

#include <QString>

namespace zd {
struct AppState;
}

namespace zd::documents {

// Writes the missing archive of a stored document, as it was printed when
// issued, on a state of its own made like `like` (engine, point-of-sale
// server and catalog, clock): the point-of-sale connection is opened, the
// shop, customers, currency and tax types are read, the document is loaded
// back, and its report is filled as the original ("Original", dated the day
// of issue) and archived. An archive already there is left untouched.
// `like` itself is not changed (the running window's state stays as it is).
archive::ArchiveResult ArchiveStoredDocument(const AppState &like, const QString &documentId);

} // namespace zd::facturx
