#pragma once
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

namespace zd::sql {
class Connection;
}

namespace zd::books {

// The chain of the books: table Registro of the invoice store, one row per
// event, never updated or deleted. Each record has a sequence number
// without gaps (1, 2, ...), the version of its text's format, its moment
// (text, to the second), its event and its canonical text. Its hash is the
// SHA-256 of the previous record's hash (empty before the first) followed by
// the record itself: "\n" seq "\n" version "\n" moment "\n" event "\n" text.
// A record is appended in the transaction of what it records: the change
// and its record commit together or not at all.
struct ChainRecord {
    qint64 seq = 0;
    int version = 0;
    QString moment;   // "yyyy-MM-dd HH:mm:ss"
    QString event;
    QString text;
    QString hash;     // lower-case hexadecimal
};

inline constexpr int kRecordVersion = 1;

// The event names.
namespace event {
inline constexpr char kSeal[] = "seal";
inline constexpr char kIssue[] = "issue";
inline constexpr char kWithdrawal[] = "withdrawal";
inline constexpr char kCopy[] = "copy";
inline constexpr char kCancel[] = "cancel";
inline constexpr char kArchive[] = "archive";
inline constexpr char kBackup[] = "backup";
inline constexpr char kJournal[] = "journal";
inline constexpr char kStart[] = "start";
inline constexpr char kStop[] = "stop";
inline constexpr char kClosing[] = "closing";
inline constexpr char kExport[] = "export";
} // namespace event

QString CreateChainStatement();
inline constexpr char kChainTable[] = "dbo.Registro";

// The hash a record must carry after `previousHash`.
QString RecordHash(const QString &previousHash, const ChainRecord &record);

QString MomentText(const QDateTime &moment);

// The last record (seq 0 when the chain is empty); nothing on an error.
std::optional<ChainRecord> ReadHead(sql::Connection &store);

// Appends a record after the head, on `store` inside the caller's
// transaction (or alone). Nothing on an error: the caller rolls back.
std::optional<ChainRecord> AppendRecord(sql::Connection &store, const QDateTime &moment, const QString &eventName,
                                        const QString &text);

// Every record from seq `from` on, in order. false on an error.
bool ReadRecords(sql::Connection &store, qint64 from, const std::function<void(const ChainRecord &)> &onRecord);
// The same up to seq `to` included.
bool ReadRecords(sql::Connection &store, qint64 from, qint64 to,
                 const std::function<void(const ChainRecord &)> &onRecord);

} // namespace zd::books
