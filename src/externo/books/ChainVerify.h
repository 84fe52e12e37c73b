#pragma once
#include <QString>
#include <QStringList>

namespace zd::sql {
class Connection;
}

namespace zd::books {

struct Verification {
    bool read = false;       // the store could be read to its end
    QString error;           // !read: why
    qint64 records = 0;      // records in the chain
    QString headHash;
    qint64 documents = 0;    // stored documents compared
    qint64 archives = 0;     // archive files compared
    QStringList findings;    // each names what differs; empty: the books verify
};

// The whole check of the books: recomputes the chain from its first record
// (the first broken record is named, with how), compares every stored
// document, line, cancelled document and copy number with its record
// (document, field, stored and recorded value), names documents and lines
// with no record, documents gone without a record saying why, archives
// whose bytes or anchored head no longer match, and a chain that is shorter
// than, or differs from, its marker. `programFolder` holds the archives and
// the marker.
Verification VerifyBooks(sql::Connection &store, const QString &programFolder);

// The head an archive file carries in its metadata ("SEQ:HASH"), or "".
QString ArchiveAnchor(const QString &path);

} // namespace zd::books
