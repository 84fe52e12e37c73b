#include "StartCheck.h"

#include "CanonicalText.h"
#include "Chain.h"
#include "ChainEvents.h"
#include "ChainMarker.h"
#include "common/DurableFiles.h"
#include "externo/sql/Connection.h"

#include <QFile>
#include <QHash>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(zdChain)

namespace zd::books {

namespace {

QString checkedPath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/TRS_seguridad/.TRS_FAC_checked");
}

std::optional<ChainRecord> readChecked(const QString &programFolder)
{
    QFile file(checkedPath(programFolder));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ParseAnchor(QString::fromLatin1(file.readAll()));
}

QString idOf(const QString &text)
{
    return text.startsWith(QLatin1String("IdDocumento=")) ? text.section(QLatin1Char('\n'), 0, 0).mid(12) : QString();
}

} // namespace

StartCheck CheckRecentRecords(sql::Connection &store, const QString &programFolder, int limit)
{
    StartCheck c;
    const auto checked = readChecked(programFolder);
    c.from = checked ? checked->seq : 1;
    QString previous;
    QHash<QString, QString> issued;   // id -> recorded text, still live at the end
    QHash<qint64, QString> hashes;
    // The record checked last: only its hash is read (a seal's text is long).
    if (checked) {
        bool ok = false;
        const sql::RecordSet rs = store.query(
            QStringLiteral("select Huella from dbo.Registro where Secuencia = ") + QString::number(checked->seq), &ok);
        if (!ok)
            return c;
        previous = rs.isEmpty() ? QString() : rs.value(0, 0).toString().trimmed();
        if (rs.isEmpty())
            c.findings << QStringLiteral("record %1: missing").arg(checked->seq);
        else if (previous != checked->hash)
            c.findings << QStringLiteral("record %1: changed since it was last checked").arg(checked->seq);
        c.to = checked->seq;
        hashes.insert(c.to, previous);
    }
    qint64 expected = checked ? checked->seq + 1 : 1;
    const bool read = ReadRecords(store, expected, c.from + limit, [&](const ChainRecord &r) {
        if (!c.findings.isEmpty())
            return;
        if (r.seq != expected)
            c.findings << QStringLiteral("record %1: missing").arg(expected);
        else if (RecordHash(previous, r) != r.hash)
            c.findings << QStringLiteral("record %1 (%2): broken").arg(r.seq).arg(r.event);
        previous = r.hash;
        expected = r.seq + 1;
        c.to = r.seq;
        hashes.insert(r.seq, r.hash);
        const QString id = idOf(r.text);
        if (r.event == QLatin1String(event::kIssue))
            issued.insert(id, r.text);
        else if (r.event == QLatin1String(event::kCancel) || r.event == QLatin1String(event::kWithdrawal))
            issued.remove(id);
    });
    if (!read)
        return c;
    c.read = true;
    if (checked && c.to < checked->seq)
        c.findings << QStringLiteral("the chain ends at record %1, it was checked to record %2").arg(c.to).arg(checked->seq);
    const auto stored = c.findings.isEmpty() ? StoredDocumentTexts(store, issued.keys())
                                             : std::optional<QHash<QString, QString>>();
    if (c.findings.isEmpty() && !stored) {
        c.read = false;
        return c;
    }
    for (auto it = issued.cbegin(); c.findings.isEmpty() && it != issued.cend(); ++it) {
        const auto text = stored->constFind(it.key());
        if (text == stored->cend())
            c.findings << QStringLiteral("document %1: gone without a cancellation record").arg(it.key());
        else if (*text != it.value())
            c.findings << QStringLiteral("document %1: %2").arg(it.key(), Differences(*text, it.value(), 1).value(0));
    }
    if (const auto marker = ReadMarker(programFolder); marker && c.findings.isEmpty()) {
        if (marker->seq > c.to && c.to < c.from + limit)
            c.findings << QStringLiteral("the chain ends at record %1, its marker at record %2").arg(c.to).arg(marker->seq);
        else if (hashes.contains(marker->seq) && hashes.value(marker->seq) != marker->hash)
            c.findings << QStringLiteral("record %1 differs from its marker").arg(marker->seq);
    }
    if (c.findings.isEmpty() && c.to > 0) {
        QString error;
        const QByteArray text = QString::number(c.to).toLatin1() + ' ' + hashes.value(c.to).toLatin1() + '\n';
        if (!common::writeFileDurably(checkedPath(programFolder), text, &error))
            qCWarning(zdChain).noquote() << "the books' check position was not kept:" << error;
    }
    return c;
}

QString BooksBrokenMessage(const StartCheck &check)
{
    if (check.findings.isEmpty())
        return QString();
    return QStringLiteral("Les livres de factures ne se vérifient pas : %1. Des factures ou leurs enregistrements ont "
                          "peut-être été modifiés hors du programme. Lancez « zd_books verify » pour le détail et "
                          "prévenez votre responsable. Le programme continue de fonctionner.")
        .arg(check.findings.first());
}

} // namespace zd::books
