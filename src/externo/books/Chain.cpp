#include "Chain.h"

#include "externo/sql/Connection.h"

#include <QCryptographicHash>
#include <QVariantMap>

namespace zd::books {

namespace {

ChainRecord recordOf(const sql::RowView &row)
{
    ChainRecord r;
    r.seq = row.value(0).toLongLong();
    r.version = row.value(1).toInt();
    r.moment = row.text(2);
    r.event = row.text(3);
    r.text = row.text(4);
    r.hash = row.text(5).trimmed();
    return r;
}

const QString kColumns = QStringLiteral("Secuencia, Version, Momento, Evento, Texto, Huella");

} // namespace

QString CreateChainStatement()
{
    // Texto is NTEXT: a record (a sealed store's list of documents) may pass
    // any NVARCHAR length, and the embedded engine reads the type name too.
    return QStringLiteral("CREATE TABLE Registro (Secuencia INTEGER NOT NULL, Version SMALLINT NOT NULL, "
                          "Momento NVARCHAR(19) NOT NULL, Evento NVARCHAR(20) NOT NULL, Texto NTEXT NOT NULL, "
                          "Huella NVARCHAR(64) NOT NULL, CONSTRAINT PK_REGISTRO_Secuencia PRIMARY KEY(Secuencia))");
}

QString RecordHash(const QString &previousHash, const ChainRecord &r)
{
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(previousHash.toLatin1());
    h.addData(QStringLiteral("\n%1\n%2\n%3\n%4\n").arg(r.seq).arg(r.version).arg(r.moment, r.event).toUtf8());
    h.addData(r.text.toUtf8());
    return QString::fromLatin1(h.result().toHex());
}

QString MomentText(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::optional<ChainRecord> ReadHead(sql::Connection &store)
{
    bool ok = false;
    const sql::RecordSet rs = store.queryLastRow(
        QStringLiteral("select Secuencia, Huella from dbo.Registro order by Secuencia"), &ok);
    if (!ok)
        return std::nullopt;
    ChainRecord head;
    if (!rs.isEmpty()) {
        head.seq = rs.value(0, 0).toLongLong();
        head.hash = rs.value(0, 1).toString().trimmed();
    }
    return head;
}

std::optional<ChainRecord> AppendRecord(sql::Connection &store, const QDateTime &moment, const QString &eventName,
                                        const QString &text)
{
    const auto head = ReadHead(store);
    if (!head)
        return std::nullopt;
    ChainRecord r;
    r.seq = head->seq + 1;
    r.version = kRecordVersion;
    r.moment = MomentText(moment);
    r.event = eventName;
    r.text = text;
    r.hash = RecordHash(head->hash, r);
    QVariantMap row;
    row.insert(QStringLiteral("Secuencia"), r.seq);
    row.insert(QStringLiteral("Version"), r.version);
    row.insert(QStringLiteral("Momento"), r.moment);
    row.insert(QStringLiteral("Evento"), r.event);
    row.insert(QStringLiteral("Texto"), r.text);
    row.insert(QStringLiteral("Huella"), r.hash);
    if (!store.insert(QLatin1String(kChainTable), row))
        return std::nullopt;
    return r;
}

bool ReadRecords(sql::Connection &store, qint64 from, const std::function<void(const ChainRecord &)> &onRecord)
{
    return store.queryRows(QStringLiteral("select ") + kColumns
                               + QStringLiteral(" from dbo.Registro where Secuencia >= ") + QString::number(from)
                               + QStringLiteral(" order by Secuencia"),
                           [&](const sql::RowView &row) { onRecord(recordOf(row)); });
}

bool ReadRecords(sql::Connection &store, qint64 from, qint64 to,
                 const std::function<void(const ChainRecord &)> &onRecord)
{
    return store.queryRows(QStringLiteral("select ") + kColumns
                               + QStringLiteral(" from dbo.Registro where Secuencia >= ") + QString::number(from)
                               + QStringLiteral(" and Secuencia <= ") + QString::number(to)
                               + QStringLiteral(" order by Secuencia"),
                           [&](const sql::RowView &row) { onRecord(recordOf(row)); });
}

} // namespace zd::books
