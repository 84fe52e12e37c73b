#include "ChainVerify.h"

#include "CanonicalText.h"
#include "Chain.h"
#include "ChainEvents.h"
#include "ChainMarker.h"
#include "externo/sql/Connection.h"

#include <QFile>
#include <QHash>
#include <QSet>

namespace zd::books {

namespace {

struct Recorded {
    QString text;       // issue record's text; empty for a sealed document
    QString sealedHash; // sealed document: hash of its text
    qint64 seq = 0;
};

struct ArchiveRecord {
    QString id;
    QString path;
    QString sha;
    qint64 seq = 0;
};

// What the records say the books hold, replayed in order.
struct Books {
    QHash<QString, Recorded> live;
    QHash<QString, Recorded> cancelled;
    QHash<QString, qint64> withdrawn;
    QHash<QString, int> copies;
    QHash<QString, ArchiveRecord> archives;
    QVector<QString> hashes;   // by seq - 1
};

QString valueOf(const QString &text, const QString &name)
{
    const QString key = name + QLatin1Char('=');
    const int at = text.startsWith(key) ? 0 : text.indexOf(QLatin1Char('\n') + key);
    if (at < 0)
        return QString();
    const int start = at + (at == 0 ? 0 : 1) + key.size();
    const int end = text.indexOf(QLatin1Char('\n'), start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

void takeSeal(Books &b, const ChainRecord &r)
{
    for (const auto &[name, value] : FieldsOf(r.text)) {
        if (!name.contains(QLatin1Char('.')))
            continue;   // the counts
        const QString kind = name.section(QLatin1Char('.'), 0, 0);
        const QString id = name.section(QLatin1Char('.'), 1);
        if (kind == QLatin1String("document")) {
            b.live.insert(id, {QString(), value.section(QLatin1Char(';'), 0, 0), r.seq});
            b.copies.insert(id, value.section(QLatin1Char(';'), 1).toInt());
        } else if (kind == QLatin1String("cancelled")) {
            b.cancelled.insert(id, {QString(), value, r.seq});
        } else if (kind == QLatin1String("archive")) {
            b.archives.insert(id, {id, value.section(QLatin1Char(';'), 0, 0), value.section(QLatin1Char(';'), 1), r.seq});
        }
    }
}

void take(Books &b, const ChainRecord &r)
{
    const QString id = valueOf(r.text, QStringLiteral("IdDocumento"));
    if (r.event == QLatin1String(event::kSeal)) {
        takeSeal(b, r);
    } else if (r.event == QLatin1String(event::kIssue)) {
        b.live.insert(id, {r.text, QString(), r.seq});
        b.withdrawn.remove(id);
        b.copies.insert(id, 0);
    } else if (r.event == QLatin1String(event::kWithdrawal)) {
        b.live.remove(id);
        b.withdrawn.insert(id, r.seq);
    } else if (r.event == QLatin1String(event::kCancel)) {
        b.live.remove(id);
        b.cancelled.insert(id, {r.text, QString(), r.seq});
    } else if (r.event == QLatin1String(event::kCopy)) {
        b.copies.insert(id, valueOf(r.text, QStringLiteral("NumCopia")).toInt());
    } else if (r.event == QLatin1String(event::kArchive)) {
        b.archives.insert(id, {id, valueOf(r.text, QStringLiteral("path")), valueOf(r.text, QStringLiteral("sha256")), r.seq});
    }
}

// The documents of a pair of tables as canonical texts.
bool readDocuments(sql::Connection &store, const QString &headers, const QString &lines,
                   QHash<QString, DocumentText> *docs, QHash<QString, int> *copies, QHash<QString, int> *orphanLines)
{
    RowFields fields;
    bool ok = store.queryRows(QStringLiteral("select * from dbo.") + headers, [&](const sql::RowView &row) {
        const QString id = row.text(fields.column(row, QStringLiteral("IdDocumento")));
        (*docs)[id].setHeader(fields.reader(row));
        if (copies)
            copies->insert(id, row.value(fields.column(row, QStringLiteral("NumCopia"))).toInt());
    });
    fields = RowFields();
    ok = ok && store.queryRows(QStringLiteral("select * from dbo.") + lines, [&](const sql::RowView &row) {
        const QString id = row.text(fields.column(row, QStringLiteral("IdDocumento")));
        auto it = docs->find(id);
        if (it == docs->end())
            (*orphanLines)[id] += 1;
        else
            it->addLine(fields.reader(row));
    });
    return ok;
}

void compare(const QString &what, const QString &id, const QString &stored, const Recorded &rec, QStringList *findings)
{
    if (!rec.sealedHash.isEmpty()) {
        if (Sha256Hex(stored) != rec.sealedHash)
            *findings << QStringLiteral("%1 %2: differs from the hash sealed in record %3").arg(what, id).arg(rec.seq);
        return;
    }
    if (stored == rec.text)
        return;
    for (const QString &diff : Differences(stored, rec.text))
        *findings << QStringLiteral("%1 %2: %3 (record %4)").arg(what, id, diff).arg(rec.seq);
}

void checkArchives(const Books &b, const QString &programFolder, Verification *v)
{
    for (const ArchiveRecord &a : b.archives) {
        const QString path = programFolder + QLatin1Char('/') + a.path;
        const auto sha = FileSha256(path);
        ++v->archives;
        if (!sha) {
            v->findings << QStringLiteral("archive %1 of %2: missing (recorded in record %3)").arg(a.path, a.id).arg(a.seq);
            continue;
        }
        if (*sha != a.sha)
            v->findings << QStringLiteral("archive %1 of %2: changed: SHA-256 %3, recorded %4 (record %5)")
                               .arg(a.path, a.id, *sha, a.sha)
                               .arg(a.seq);
        const auto anchor = ParseAnchor(ArchiveAnchor(path));
        if (!anchor)
            continue;
        if (anchor->seq > b.hashes.size())
            v->findings << QStringLiteral("archive %1 of %2: carries record %3, the chain ends at record %4")
                               .arg(a.path, a.id)
                               .arg(anchor->seq)
                               .arg(b.hashes.size());
        else if (b.hashes.at(anchor->seq - 1) != anchor->hash)
            v->findings << QStringLiteral("archive %1 of %2: carries hash %3 for record %4, the chain has %5")
                               .arg(a.path, a.id, anchor->hash)
                               .arg(anchor->seq)
                               .arg(b.hashes.at(anchor->seq - 1));
    }
}

} // namespace

QString ArchiveAnchor(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    // The metadata stream is left unfiltered: its text is in the file.
    const QByteArray bytes = file.readAll();
    const QByteArray open = "<zd:ChainHead>";
    const int at = bytes.lastIndexOf(open);
    const int end = at < 0 ? -1 : bytes.indexOf("</zd:ChainHead>", at);
    return end < 0 ? QString() : QString::fromLatin1(bytes.mid(at + open.size(), end - at - open.size()));
}

Verification VerifyBooks(sql::Connection &store, const QString &programFolder)
{
    Verification v;
    Books b;
    QString previous;
    qint64 expected = 1;
    int broken = 0;
    const bool chainRead = ReadRecords(store, 1, [&](const ChainRecord &r) {
        if (r.seq != expected) {
            if (broken++ == 0)
                v.findings << QStringLiteral("record %1: missing, the chain goes from record %2 to record %3")
                                  .arg(expected)
                                  .arg(expected - 1)
                                  .arg(r.seq);
        } else if (r.version != kRecordVersion) {
            if (broken++ == 0)
                v.findings << QStringLiteral("record %1: unknown format version %2").arg(r.seq).arg(r.version);
        } else if (RecordHash(previous, r) != r.hash) {
            if (broken++ == 0)
                v.findings << QStringLiteral("record %1 (%2 %3): broken: its hash %4 does not follow from its text "
                                             "and the previous hash (computed %5)")
                                  .arg(r.seq)
                                  .arg(r.event, valueOf(r.text, QStringLiteral("IdDocumento")), r.hash,
                                       RecordHash(previous, r));
        }
        expected = r.seq + 1;
        previous = r.hash;
        while (b.hashes.size() < r.seq - 1)
            b.hashes.append(QString());
        b.hashes.append(r.hash);
        take(b, r);
        v.records = r.seq;
        v.headHash = r.hash;
    });
    if (!chainRead) {
        v.error = QStringLiteral("the chain cannot be read: ") + store.lastError();
        return v;
    }
    if (broken > 1)
        v.findings << QStringLiteral("%1 more broken record(s) after the first").arg(broken - 1);

    QHash<QString, DocumentText> docs;
    QHash<QString, int> copies;
    QHash<QString, int> orphans;
    QHash<QString, DocumentText> gone;
    QHash<QString, int> goneOrphans;
    if (!readDocuments(store, QStringLiteral("facturas"), QStringLiteral("documento"), &docs, &copies, &orphans)
        || !readDocuments(store, QStringLiteral("FacturasAnuladas"), QStringLiteral("DocumentoAnulado"), &gone,
                          nullptr, &goneOrphans)) {
        v.error = QStringLiteral("the documents cannot be read: ") + store.lastError();
        return v;
    }
    v.read = true;
    v.documents = docs.size();

    QStringList ids = docs.keys();
    std::sort(ids.begin(), ids.end());
    for (const QString &id : ids) {
        const auto rec = b.live.constFind(id);
        if (rec == b.live.cend()) {
            v.findings << QStringLiteral("document %1: no record").arg(id);
            continue;
        }
        compare(QStringLiteral("document"), id, docs.value(id).text(), *rec, &v.findings);
        const int recorded = b.copies.value(id);
        if (copies.value(id) != recorded)
            v.findings << QStringLiteral("document %1: field NumCopia: stored %2, recorded %3")
                              .arg(id)
                              .arg(copies.value(id))
                              .arg(recorded);
    }
    for (auto it = orphans.cbegin(); it != orphans.cend(); ++it)
        v.findings << QStringLiteral("document %1: %2 line(s) with no document and no record").arg(it.key()).arg(it.value());
    QStringList missing;
    for (auto it = b.live.cbegin(); it != b.live.cend(); ++it) {
        if (!docs.contains(it.key()))
            missing << QStringLiteral("document %1: gone without a cancellation record (recorded in record %2)")
                           .arg(it.key())
                           .arg(it->seq);
    }
    std::sort(missing.begin(), missing.end());
    v.findings << missing;

    QStringList cancelledIds = gone.keys();
    std::sort(cancelledIds.begin(), cancelledIds.end());
    for (const QString &id : cancelledIds) {
        const auto rec = b.cancelled.constFind(id);
        if (rec == b.cancelled.cend())
            v.findings << QStringLiteral("cancelled document %1: no record").arg(id);
        else
            compare(QStringLiteral("cancelled document"), id, gone.value(id).text(), *rec, &v.findings);
    }
    for (auto it = b.cancelled.cbegin(); it != b.cancelled.cend(); ++it) {
        if (!gone.contains(it.key()))
            v.findings << QStringLiteral("cancelled document %1: its kept content is gone (recorded in record %2)")
                              .arg(it.key())
                              .arg(it->seq);
    }

    checkArchives(b, programFolder, &v);

    if (const auto marker = ReadMarker(programFolder)) {
        if (marker->seq > v.records)
            v.findings << QStringLiteral("the chain ends at record %1, its marker at record %2: records were removed")
                              .arg(v.records)
                              .arg(marker->seq);
        else if (b.hashes.at(marker->seq - 1) != marker->hash)
            v.findings << QStringLiteral("record %1: hash %2, its marker holds %3: the chain was rewritten")
                              .arg(marker->seq)
                              .arg(b.hashes.at(marker->seq - 1), marker->hash);
    }
    return v;
}

} // namespace zd::books
