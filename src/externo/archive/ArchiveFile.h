#pragma once
#include <QByteArray>
#include <QString>

namespace zd::archive {

// <program folder>/archive/<year>/<document id>.pdf
QString ArchivePath(const QString &programFolder, int year, const QString &documentId);

enum class WriteOutcome { Written, AlreadyThere, Failed };

// Writes the file once: into a temporary file beside it, flushed to disk,
// then linked under its name, which fails rather than replace a file that
// is there already (an archived document is never rewritten). Creates the
// folders. On failure nothing is left under the name; *error says why.
WriteOutcome WriteArchiveFile(const QString &path, const QByteArray &bytes, QString *error);

} // namespace zd::archive
