#include "ChainEvents.h"

#include "CanonicalText.h"
#include "Chain.h"
#include "ChainMarker.h"
#include "externo/sql/SqlLiteral.h"
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(zdChain)

namespace zd::books {

namespace {

bool appendAlone(AppState &state, const QString &eventName, const QString &text)
{
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()) || !store->beginTransaction()) {
        qCWarning(zdChain).noquote() << eventName << "not recorded:" << store->lastError();
        return false;
    }
    if (!AppendRecord(*store, state.Now(), eventName, text) || !store->commit()) {
        qCWarning(zdChain).noquote() << eventName << "not recorded:" << store->lastError();
        store->rollback();
        return false;
    }
    AnchorHead(state, *store);
    return true;
}

} // namespace

std::optional<QString> StoredDocumentText(sql::Connection &store, const QString &id, bool cancelled)
{
    bool ok = false;
    const sql::RecordSet header = store.query(
        QStringLiteral("Select * from dbo.%1 where iddocumento=").arg(cancelled ? QStringLiteral("FacturasAnuladas")
                                                                                : QStringLiteral("facturas"))
            + sql::Quoted(id),
        &ok);
    if (!ok || header.isEmpty())
        return std::nullopt;
    const sql::RecordSet lines = store.query(
        QStringLiteral("Select * from dbo.%1 where iddocumento=").arg(cancelled ? QStringLiteral("DocumentoAnulado")
                                                                                : QStringLiteral("documento"))
            + sql::Quoted(id),
        &ok);
    if (!ok)
        return std::nullopt;
    DocumentText text;
    text.setHeader([&header](const QString &c) { return header.value(0, c); });
    for (int r = 0; r < lines.rowCount(); ++r)
        text.addLine([&lines, r](const QString &c) { return lines.value(r, c); });
    return text.text();
}

std::optional<QHash<QString, QString>> StoredDocumentTexts(sql::Connection &store, const QStringList &ids)
{
    QHash<QString, QString> texts;
    for (int at = 0; at < ids.size(); at += 200) {
        QStringList quotedIds;
        for (const QString &id : ids.mid(at, 200))
            quotedIds << sql::Quoted(id);
        const QString in = QStringLiteral(" where IdDocumento in (") + quotedIds.join(QLatin1Char(',')) + QLatin1Char(')');
        QHash<QString, DocumentText> docs;
        RowFields fields;
        bool ok = store.queryRows(QStringLiteral("select * from dbo.facturas") + in, [&](const sql::RowView &row) {
            docs[row.text(fields.column(row, QStringLiteral("IdDocumento")))].setHeader(fields.reader(row));
        });
        fields = RowFields();
        ok = ok && store.queryRows(QStringLiteral("select * from dbo.documento") + in, [&](const sql::RowView &row) {
            const auto it = docs.find(row.text(fields.column(row, QStringLiteral("IdDocumento"))));
            if (it != docs.end())
                it->addLine(fields.reader(row));
        });
        if (!ok)
            return std::nullopt;
        for (auto it = docs.cbegin(); it != docs.cend(); ++it)
            texts.insert(it.key(), it->text());
    }
    return texts;
}

bool RecordIssue(sql::Connection &store, const QDateTime &now, const QString &id)
{
    const auto text = StoredDocumentText(store, id);
    return text && AppendRecord(store, now, QLatin1String(event::kIssue), *text);
}

bool RecordWithdrawal(sql::Connection &store, const QDateTime &now, const QString &id)
{
    return bool(AppendRecord(store, now, QLatin1String(event::kWithdrawal),
                             QStringLiteral("IdDocumento=%1\nreason=its tickets could not be marked\n").arg(id)));
}

bool RecordCopy(sql::Connection &store, const QDateTime &now, const QString &id, int copyNumber)
{
    return bool(AppendRecord(store, now, QLatin1String(event::kCopy),
                             QStringLiteral("IdDocumento=%1\nNumCopia=%2\n").arg(id).arg(copyNumber)));
}

bool RecordCancellation(sql::Connection &store, const QDateTime &now, const QString &id)
{
    const auto text = StoredDocumentText(store, id);
    return text && AppendRecord(store, now, QLatin1String(event::kCancel), *text);
}

std::optional<QString> FileSha256(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!h.addData(&file))
        return std::nullopt;
    return QString::fromLatin1(h.result().toHex());
}

QString RelativeToFolder(const QString &programFolder, const QString &path)
{
    return QDir(programFolder).relativeFilePath(path);
}

bool RecordArchive(AppState &state, const QString &id, const QString &path)
{
    const auto sha = FileSha256(path);
    if (!sha) {
        qCWarning(zdChain).noquote() << "archive of" << id << "not recorded: cannot read" << path;
        return false;
    }
    return appendAlone(state, QLatin1String(event::kArchive),
                       QStringLiteral("IdDocumento=%1\npath=%2\nsha256=%3\n")
                           .arg(id, RelativeToFolder(state.programFolder(), path), *sha));
}

bool RecordBackup(AppState &state, const QString &backupFile)
{
    const auto sha = FileSha256(backupFile);
    if (!sha) {
        qCWarning(zdChain).noquote() << "backup not recorded: cannot read" << backupFile;
        return false;
    }
    return appendAlone(state, QLatin1String(event::kBackup),
                       QStringLiteral("path=%1\nsha256=%2\n")
                           .arg(RelativeToFolder(state.programFolder(), backupFile), *sha));
}

bool RecordEvent(AppState &state, const QString &eventName, const QString &text)
{
    return appendAlone(state, eventName, text);
}

bool SealStore(AppState &state, sql::Connection &store)
{
    if (!store.beginTransaction())
        return false;
    const auto head = ReadHead(store);
    if (!head) {
        store.rollback();
        return false;
    }
    if (head->seq > 0) {
        store.rollback();
        return true;
    }
    // Every document as its canonical text, read in two passes (headers,
    // then lines), as the verification reads them.
    QMap<QString, DocumentText> documents;
    QMap<QString, int> copies;
    QMap<QString, int> years;
    RowFields fields;
    bool ok = store.queryRows(QStringLiteral("select * from dbo.facturas"), [&](const sql::RowView &row) {
        const QString id = row.text(fields.column(row, QStringLiteral("IdDocumento")));
        documents[id].setHeader(fields.reader(row));
        copies[id] = row.value(fields.column(row, QStringLiteral("NumCopia"))).toInt();
        years[id] = row.text(fields.column(row, QStringLiteral("FechaDocumento"))).left(4).toInt();
    });
    fields = RowFields();
    ok = ok && store.queryRows(QStringLiteral("select * from dbo.documento"), [&](const sql::RowView &row) {
        const QString id = row.text(fields.column(row, QStringLiteral("IdDocumento")));
        documents[id].addLine(fields.reader(row));
    });
    QMap<QString, DocumentText> cancelled;
    fields = RowFields();
    ok = ok && store.queryRows(QStringLiteral("select * from dbo.FacturasAnuladas"), [&](const sql::RowView &row) {
        const QString id = row.text(fields.column(row, QStringLiteral("IdDocumento")));
        cancelled[id].setHeader(fields.reader(row));
        years[id] = row.text(fields.column(row, QStringLiteral("FechaDocumento"))).left(4).toInt();
    });
    fields = RowFields();
    ok = ok && store.queryRows(QStringLiteral("select * from dbo.DocumentoAnulado"), [&](const sql::RowView &row) {
        const QString id = row.text(fields.column(row, QStringLiteral("IdDocumento")));
        cancelled[id].addLine(fields.reader(row));
    });
    if (!ok) {
        store.rollback();
        return false;
    }
    QString text = QStringLiteral("documents=%1\ncancelled=%2\n").arg(documents.size()).arg(cancelled.size());
    for (auto it = documents.cbegin(); it != documents.cend(); ++it)
        text += QStringLiteral("document.%1=%2;%3\n").arg(it.key(), Sha256Hex(it.value().text())).arg(copies.value(it.key()));
    for (auto it = cancelled.cbegin(); it != cancelled.cend(); ++it)
        text += QStringLiteral("cancelled.%1=%2\n").arg(it.key(), Sha256Hex(it.value().text()));
    for (auto it = years.cbegin(); it != years.cend(); ++it) {
        const QString path = state.programFolder() + QStringLiteral("/archive/%1/%2.pdf").arg(it.value()).arg(it.key());
        if (const auto sha = QFileInfo::exists(path) ? FileSha256(path) : std::nullopt)
            text += QStringLiteral("archive.%1=%2;%3\n").arg(it.key(), RelativeToFolder(state.programFolder(), path), *sha);
    }
    if (!AppendRecord(store, state.Now(), QLatin1String(event::kSeal), text) || !store.commit()) {
        store.rollback();
        return false;
    }
    AnchorHead(state, store);
    return true;
}

} // namespace zd::books
