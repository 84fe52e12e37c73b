#include "StoredDocument.h"

#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

namespace zd {

std::optional<StoredDocument> ReadStoredDocument(AppState &state, const QString &id, QString *error)
{
    auto fail = [error](const QString &why) -> std::optional<StoredDocument> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    // Ids are letters and digits (document numbers); anything else is no id.
    for (const QChar c : id) {
        if (!c.isLetterOrNumber())
            return fail(QStringLiteral("not a document number: %1").arg(id));
    }
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return fail(QStringLiteral("invoice store unreachable: %1").arg(store->lastError()));
    bool ok = false;
    StoredDocument doc;
    doc.header = store->query(
        QStringLiteral("Select * from dbo.facturas where iddocumento='%1'").arg(id), &ok);
    if (!ok)
        return fail(store->lastError());
    if (doc.header.isEmpty())
        return fail(QStringLiteral("no stored document %1").arg(id));
    doc.lines = store->query(
        QStringLiteral("Select * from dbo.documento where iddocumento='%1'").arg(id), &ok);
    if (!ok)
        return fail(store->lastError());
    return doc;
}

} // namespace zd
