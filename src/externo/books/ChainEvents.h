#pragma once
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace zd {
struct AppState;
namespace sql {
class Connection;
}
} // namespace zd

namespace zd::books {

// The records of the events that change the books. Those that take a
// connection are written on it inside the caller's transaction, with what
// they record; false on an error (the caller rolls back). Those that take
// the state open their own connection, append in a transaction of their own
// and move the marker; false when nothing was recorded.

// A document just written: its header and every line, as stored.
bool RecordIssue(sql::Connection &store, const QDateTime &now, const QString &id);
// A document just written and taken back before anything else was issued
// (its tickets could not be marked): why it is gone.
bool RecordWithdrawal(sql::Connection &store, const QDateTime &now, const QString &id);
// A copy printed: its number (NumCopia).
bool RecordCopy(sql::Connection &store, const QDateTime &now, const QString &id, int copyNumber);
// A delivery note about to be deleted (and kept among the cancelled
// documents): its full content. Called before the deletion.
bool RecordCancellation(sql::Connection &store, const QDateTime &now, const QString &id);

// An archive written: its path under the program folder and its SHA-256.
bool RecordArchive(AppState &state, const QString &id, const QString &path);
// A backup made: its file and SHA-256.
bool RecordBackup(AppState &state, const QString &backupFile);
// Any other event with its text (start, stop, journal settled, export).
bool RecordEvent(AppState &state, const QString &eventName, const QString &text);

// The canonical text of a stored document (facturas/Documento), or of a
// cancelled one (FacturasAnuladas/DocumentoAnulado). Nothing on an error
// or when there is no such document.
std::optional<QString> StoredDocumentText(sql::Connection &store, const QString &id, bool cancelled = false);

// The canonical texts of several stored documents, read together (two
// queries for up to 200 documents); a document not stored is left out.
// Nothing on an error.
std::optional<QHash<QString, QString>> StoredDocumentTexts(sql::Connection &store, const QStringList &ids);

// SHA-256 of a file's bytes; nothing when it cannot be read.
std::optional<QString> FileSha256(const QString &path);

// The archive path relative to the program folder, as records hold it.
QString RelativeToFolder(const QString &programFolder, const QString &path);

// A store without a chain is sealed by a first record listing every
// document there with the hash of its canonical text and its copy number,
// every cancelled document, and every archive file with its SHA-256.
// Nothing is done when the chain has records. false on an error.
bool SealStore(AppState &state, sql::Connection &store);

} // namespace zd::books
