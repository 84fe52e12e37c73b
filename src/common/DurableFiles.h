#pragma once
#include <QByteArray>
#include <QString>

namespace zd::common {

// Flushes a file's contents to the disk.
bool syncFile(const QString &path);

// Flushes a folder's entries (a file created, renamed or removed in it) to
// the disk.
bool syncFolder(const QString &folder);

// Puts a complete file in place of another, as one step that survives a
// crash or a power cut at any instant: the file under `target` is either the
// earlier one or the whole of `source`. `source` must sit in the same folder
// (one file system); it is flushed, renamed over `target`, and the folder is
// flushed. On failure `source` is left for the caller and `*error` says why.
bool replaceFile(const QString &source, const QString &target, QString *error);

// Writes a whole file in the same way: the bytes go to a temporary file
// beside `target`, are flushed, and replace `target` (see replaceFile).
bool writeFileDurably(const QString &target, const QByteArray &bytes, QString *error);

} // namespace zd::common
