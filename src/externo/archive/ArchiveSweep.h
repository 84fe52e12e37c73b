#pragma once
#include <QString>
#include <QStringList>
#include <optional>

namespace zd::sql {
class Connection;
}

namespace zd::archive {

// The stored documents that have no archive file yet (an issue whose
// archive could not be written, a document completed by a replay, a store
// of an earlier version), oldest first. Nothing when the store does not answer.
std::optional<QStringList> DocumentsWithoutArchive(sql::Connection &store, const QString &programFolder);

} // namespace zd::archive
