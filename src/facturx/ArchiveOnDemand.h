#pragma once
#include "externo/archive/ArchiveDocument.h"

#include <QString>

namespace zd {
struct AppState;
}

namespace zd::facturx {

// Writes the missing archive of a stored document, as it was printed when
// issued: the point-of-sale connection is opened on the state's server and
// catalog, the shop, customers, currency and tax types are read, the
// document is loaded back, and its report is filled as the original
// ("Original", dated the day of issue) and archived. An archive already
// there is left untouched.
archive::ArchiveResult ArchiveStoredDocument(AppState &state, const QString &documentId);

} // namespace zd::facturx
