// The books beside the point-of-sale marks and the archives: checked after
// the start in a thread of its own (the window stays usable meanwhile), and
// what a replay of the journal completed. Each finding is told once.
#include "FrmExterno.h"

#include "externo/archive/ArchiveSweep.h"
#include "externo/books/StartCheck.h"
#include "externo/dialogs/Var.h"
#include "externo/documents/ArchiveStoredDocument.h"
#include "externo/documents/ReportPreview.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"
#include "externo/store/Reconciliation.h"

#include <QLoggingCategory>
#include <QThread>
#include <QTimer>

Q_LOGGING_CATEGORY(zdBooks, "zedorev.books")

namespace zd {

namespace {

// Between two archives written after the start, so that the operator's
// keys and clicks come first.
constexpr int kArchivePause = 250;

// Runs in the check's thread: connections of its own, nothing shared.
FrmExterno::BooksFindings checkBooks(const sql::EngineConfig &engine, const QString &posServer,
                                     const QString &posCatalog)
{
    FrmExterno::BooksFindings found;
    AppState state(engine);
    auto store = state.newConnection();
    auto pos = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString())
        || !pos->open(sql::posConnectionString(posCatalog, posServer))) {
        qCWarning(zdBooks) << "books not checked: a database did not open";
        return found;
    }
    const Reconciliation r = ReconcileTickets(*store, *pos);
    if (!r.ok)
        qCWarning(zdBooks).noquote() << "tickets not reconciled:" << r.error;
    found.foreignTickets = ForeignTicketsMessage(r);
    found.withoutArchive = archive::DocumentsWithoutArchive(*store, engine.programFolder).value_or(QStringList());
    const books::StartCheck chain = books::CheckRecentRecords(*store, engine.programFolder);
    if (!chain.read)
        qCWarning(zdBooks).noquote() << "the books' chain was not checked:" << store->lastError();
    for (const QString &finding : chain.findings)
        qCWarning(zdBooks).noquote() << "the books do not verify:" << finding;
    found.booksBroken = books::BooksBrokenMessage(chain);
    return found;
}

} // namespace

void FrmExterno::startBooksCheck()
{
    if (m_booksThread)
        return;
    auto findings = std::make_shared<BooksFindings>();
    m_booksThread = QThread::create(
        [findings, engine = m_state.engine, server = m_state.PosServer, catalog = m_state.PosCatalog] {
            *findings = checkBooks(engine, server, catalog);
        });
    connect(m_booksThread, &QThread::finished, this, [this, findings] {
        m_booksThread->deleteLater();
        m_booksThread = nullptr;
        if (!findings->foreignTickets.isEmpty())
            m_toTell << findings->foreignTickets;
        if (!findings->booksBroken.isEmpty())
            m_toTell << findings->booksBroken;
        tellWhenFree();
        // A store of an earlier version may lack thousands: they are written
        // one at a time while the window is idle.
        for (const QString &id : findings->withoutArchive)
            if (!m_toArchive.contains(id))
                m_toArchive << id;
        if (!m_toArchive.isEmpty())
            QTimer::singleShot(kArchivePause, this, &FrmExterno::archiveNextMissing);
    });
    m_booksThread->start(QThread::LowPriority);
}

void FrmExterno::archiveNextMissing()
{
    if (m_toArchive.isEmpty() || m_unloaded)
        return;
    if (!isEnabled() || m_preview) {
        QTimer::singleShot(kArchivePause, this, &FrmExterno::archiveNextMissing);
        return;
    }
    archiveMissing({m_toArchive.takeFirst()});
    if (!m_toArchive.isEmpty())
        QTimer::singleShot(kArchivePause, this, &FrmExterno::archiveNextMissing);
    else
        tellWhenFree();
}

void FrmExterno::waitForBooksCheck()
{
    if (m_booksThread)
        m_booksThread->wait();
}

void FrmExterno::archiveMissing(const QStringList &ids)
{
    QStringList failed;
    for (const QString &id : ids) {
        const archive::ArchiveResult result = documents::ArchiveStoredDocument(m_state, id);
        if (result.status == archive::ArchiveResult::Status::Failed) {
            qCWarning(zdBooks).noquote() << id << "not archived:" << result.error;
            failed << id;
        }
    }
    if (!failed.isEmpty())
        m_toTell << QStringLiteral("L'archive PDF de %1 document(s) n'a pas pu être écrite (%2). "
                                   "Elle sera de nouveau tentée au prochain démarrage.")
                        .arg(failed.size())
                        .arg(failed.mid(0, 5).join(QStringLiteral(", ")));
}

void FrmExterno::takeReplayOutcome()
{
    const QStringList completed = std::exchange(m_state.CompletedByReplay, {});
    archiveMissing(completed);
    for (const QString &id : completed)
        m_toTell << QStringLiteral("Le document %1 était en attente : ses tickets sont maintenant marqués comme "
                                   "facturés dans Tillvane. Il n'a pas encore été imprimé : imprimez-le depuis la vue "
                                   "des documents.")
                        .arg(id);
    const QStringList warnings = std::exchange(m_state.ReplayWarnings, {});
    if (!warnings.isEmpty())
        m_toTell << warnings.join(QStringLiteral("\r\n"));
    tellWhenFree();
}

void FrmExterno::tellWhenFree()
{
    if (m_toTell.isEmpty() || m_unloaded)
        return;
    // Never over a dialog, a preview or a command that is running.
    if (!isEnabled() || m_preview || m_telling) {
        QTimer::singleShot(300, this, &FrmExterno::tellWhenFree);
        return;
    }
    m_telling = true;
    while (!m_toTell.isEmpty())
        ShowMessage(m_state, m_toTell.takeFirst(), 1);
    m_telling = false;
}

} // namespace zd
