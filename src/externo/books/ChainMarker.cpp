#include "ChainMarker.h"

#include "common/DurableFiles.h"
#include "common/FileLock.h"
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>

Q_LOGGING_CATEGORY(zdChain, "zedorev.chain")

namespace zd::books {

QString MarkerPath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/TRS_seguridad/TRS_FAC_chain");
}

QString AnchorText(const ChainRecord &head)
{
    return QString::number(head.seq) + QLatin1Char(':') + head.hash;
}

std::optional<ChainRecord> ParseAnchor(const QString &text)
{
    const QStringList parts = text.trimmed().split(QRegularExpression(QStringLiteral("[: ]")));
    if (parts.size() != 2 || parts.at(1).size() != 64)
        return std::nullopt;
    bool ok = false;
    ChainRecord r;
    r.seq = parts.at(0).toLongLong(&ok);
    r.hash = parts.at(1);
    if (!ok || r.seq <= 0)
        return std::nullopt;
    return r;
}

std::optional<ChainRecord> ReadMarker(const QString &programFolder)
{
    QFile file(MarkerPath(programFolder));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ParseAnchor(QString::fromLatin1(file.readAll()));
}

bool AdvanceMarker(const QString &programFolder, const ChainRecord &head, QString *error)
{
    QString why;
    const QString folder = programFolder + QStringLiteral("/TRS_seguridad");
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(folder);
        return false;
    }
    // Two operators of one program folder: the marker never goes back.
    const common::FileLock lock(folder + QStringLiteral("/.chain.lock"));
    const auto current = ReadMarker(programFolder);
    if (current && current->seq >= head.seq)
        return true;
    const QByteArray text = QString::number(head.seq).toLatin1() + ' ' + head.hash.toLatin1() + '\n';
    if (common::writeFileDurably(MarkerPath(programFolder), text, &why))
        return true;
    if (error)
        *error = why;
    return false;
}

QString CurrentAnchor(AppState &state)
{
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return QString();
    const auto head = ReadHead(*store);
    return head && head->seq > 0 ? AnchorText(*head) : QString();
}

void AnchorHead(AppState &state, sql::Connection &store)
{
    const auto head = ReadHead(store);
    QString error;
    if (!head)
        qCWarning(zdChain).noquote() << "the chain's head could not be read:" << store.lastError();
    else if (head->seq > 0 && !AdvanceMarker(state.programFolder(), *head, &error))
        qCWarning(zdChain).noquote() << "the chain's marker was not written:" << error;
}

} // namespace zd::books
