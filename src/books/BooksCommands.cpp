#include "BooksCommands.h"

#include "externo/books/ChainVerify.h"
#include "externo/books/PeriodTotals.h"
#include "externo/books/YearExport.h"
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"
#include "externo/store/Reconciliation.h"

namespace zd::books {

namespace {

QString numbers(const QVector<qint32> &ids)
{
    QStringList texts;
    for (const qint32 id : ids)
        texts << QString::number(id);
    return texts.join(QLatin1Char(' '));
}

} // namespace

int Reconcile(AppState &state, QTextStream &out, QTextStream &err)
{
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString())) {
        err << "invoice store unreachable: " << store->lastError() << Qt::endl;
        return 3;
    }
    auto pos = state.newConnection();
    if (!pos->open(sql::posConnectionString(state.PosCatalog, state.PosServer))) {
        err << "point-of-sale database " << state.PosCatalog << " on " << state.PosServer
            << " unreachable: " << pos->lastError() << Qt::endl;
        return 3;
    }
    const Reconciliation r = ReconcileTickets(*store, *pos);
    if (!r.ok) {
        err << "not reconciled: " << r.error << Qt::endl;
        return 3;
    }
    int findings = 0;
    out << "first document: " << (r.since.isEmpty() ? QStringLiteral("none") : r.since) << Qt::endl;
    for (const qint32 id : r.markedInNoDocument) {
        out << "marked in no document: ticket " << id << Qt::endl;
        ++findings;
    }
    for (auto it = r.documentsWithOpenTickets.cbegin(); it != r.documentsWithOpenTickets.cend(); ++it) {
        out << "document with open tickets: " << it.key() << ": " << numbers(it.value()) << Qt::endl;
        ++findings;
    }
    for (auto it = r.ticketsInTwoDocuments.cbegin(); it != r.ticketsInTwoDocuments.cend(); ++it) {
        out << "ticket in two documents: ticket " << it.key() << ": " << it.value().join(QLatin1Char(' ')) << Qt::endl;
        ++findings;
    }
    out << "reconcile: " << (findings ? QStringLiteral("%1 finding(s)").arg(findings) : QStringLiteral("consistent"))
        << Qt::endl;
    return findings ? 1 : 0;
}

int Verify(AppState &state, QTextStream &out, QTextStream &err)
{
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString())) {
        err << "invoice store unreachable: " << store->lastError() << Qt::endl;
        return 3;
    }
    const Verification v = VerifyBooks(*store, state.programFolder());
    if (!v.read) {
        err << "not verified: " << v.error << Qt::endl;
        return 3;
    }
    for (const QString &finding : v.findings)
        out << finding << Qt::endl;
    out << "records: " << v.records << ", documents: " << v.documents << ", archives: " << v.archives
        << ", head: " << (v.headHash.isEmpty() ? QStringLiteral("none") : v.headHash) << Qt::endl;
    out << "verify: "
        << (v.findings.isEmpty() ? QStringLiteral("the books verify")
                                 : QStringLiteral("%1 finding(s)").arg(v.findings.size()))
        << Qt::endl;
    return v.findings.isEmpty() ? 0 : 1;
}

int Totals(AppState &state, const QDate &from, const QDate &to, QTextStream &out, QTextStream &err)
{
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString())) {
        err << "invoice store unreachable: " << store->lastError() << Qt::endl;
        return 3;
    }
    const auto totals = TotalsOf(*store, from, to);
    if (!totals) {
        err << "no totals: " << store->lastError() << Qt::endl;
        return 3;
    }
    out << "period=" << from.toString(Qt::ISODate) << ";" << to.toString(Qt::ISODate) << Qt::endl
        << TotalsText(*totals);
    out.flush();
    return 0;
}

int Export(AppState &state, int year, const QString &folder, QTextStream &out, QTextStream &err)
{
    const ExportResult r = ExportYear(state, year, folder);
    if (!r.ok) {
        err << "not exported: " << r.error << Qt::endl;
        return 3;
    }
    out << "exported " << r.files.size() << " file(s) to " << folder << ", chain at " << r.chainHead << Qt::endl
        << "manifest: " << r.manifest << Qt::endl;
    return 0;
}

} // namespace zd::books
