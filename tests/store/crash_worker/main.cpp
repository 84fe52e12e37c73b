// A stand-in for the program in the crash and race tests: it starts like the
// program (replaying what an earlier run still owes), then issues invoices
// and delivery notes through the real routines on the real files of a
// program folder, cancels the notes and credits the invoices. Its name is not the program's, so
// nothing that ends programs by name touches it.
//
//   zd_crashworker FOLDER [--rounds N] [--stop-at N] [--race] [--server ADDRESS]
//   zd_crashworker FOLDER --backup COPY
//
// --rounds N   rounds of work after the start (0: start only, the restart)
// --stop-at N  the process stops itself (SIGSTOP) when it is about to send
//              its Nth statement or transaction boundary, for the test to
//              kill it there: a kill after every statement lands exactly
// --stop-at-commit N  the same, before its Nth COMMIT
// --check-books  after the start's replay, prints FOREIGN n: the tickets
//              marked since the store's first document that it holds in no document
// --race       a round is one invoice of the first three open tickets
// --backup COPY  only the backup at exit, its copy made to COPY
// It prints one line per outcome: ISSUED id, CANCELLED id, KEPT id,
// REFUSED number|message, FAILED, OWED id (stored, marks owed), and the
// start's WARNING text and COMPLETED id; at the end EVENTS n; the backup prints
// BACKUP OK or BACKUP FAILED error.
#include "externo/mainwindow/IssueMessages.h"
#include "externo/posdata/ListQueries.h"
#include "externo/posdata/TicketNodes.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"
#include "externo/store/BackupInvoiceStore.h"
#include "externo/store/Cancellation.h"
#include "externo/store/CreditNotes.h"
#include "externo/store/Facturas.h"
#include "externo/store/PendingMarks.h"
#include "externo/store/Reconciliation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <cstring>

using namespace zd;

namespace {

long events = 0;
long stopAt = 0;
long commits = 0;
long stopAtCommit = 0;

void countEvents(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg && context.category
        && (std::strcmp(context.category, "zedorev.sql") == 0
            || std::strcmp(context.category, "zedorev.sql.transactions") == 0)) {
        if (++events == stopAt)
            std::raise(SIGSTOP);
        if (message == QLatin1String("COMMIT") && ++commits == stopAtCommit)
            std::raise(SIGSTOP);
        return;
    }
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qUtf8Printable(message));
}

void say(const QString &line)
{
    std::printf("%s\n", qUtf8Printable(line));
    std::fflush(stdout);
}

struct Ticket {
    qint32 id = 0;
    qint32 number = 0;
};

QVector<Ticket> openTickets(AppState &state)
{
    QVector<Ticket> tickets;
    const posdata::ListResult list = posdata::ListOpenTickets(state, QStringLiteral("25-CLIENT"));
    for (const QString &text : list.nodeTexts) {
        if (const auto values = posdata::ParseTicketNode(text))
            tickets.append({values->ticketId, values->number});
    }
    return tickets;
}

// Issues a document of the given tickets, one line each, as the window would.
QString issue(AppState &state, const QVector<Ticket> &tickets, qint16 kind)
{
    LineRecordSet lines;
    QVector<qint32> ids;
    for (const Ticket &t : tickets) {
        lines.append({QString::number(lines.size() + 1), QString::number(t.number), QStringLiteral("1001"),
                      QStringLiteral("Article"), QStringLiteral("1.000"), QStringLiteral("2.00"),
                      QStringLiteral("0.00"), QStringLiteral("2.00"), QString::number(t.id)});
        ids << t.id;
    }
    state.SelectionBase = 2.0 * tickets.size();
    IssueReport taken;
    const QString id = IssueDocument(state, lines, kind, ids, &taken);
    if (id != QLatin1String(kIssueFailed) && taken.marksOwed)
        say(QStringLiteral("OWED ") + id);
    else if (id != QLatin1String(kIssueFailed))
        say(QStringLiteral("ISSUED ") + id);
    else if (taken.ticketId != 0)
        say(QStringLiteral("REFUSED %1|%2").arg(taken.ticketNumber).arg(TicketTakenMessage(kind, taken)));
    else
        say(QStringLiteral("FAILED"));
    return id;
}

void credit(AppState &state, const QString &invoice)
{
    CreditRefusal refusal = CreditRefusal::None;
    IssueReport report;
    const QString id = IssueCreditNote(state, invoice, &refusal, &report);
    say(id == QLatin1String(kIssueFailed) ? QStringLiteral("CREDIT-FAILED ") + invoice
        : report.marksOwed                ? QStringLiteral("CREDIT-OWED ") + id
                                          : QStringLiteral("CREDITED ") + id);
}

void cancel(AppState &state, const QString &id)
{
    LineRecordSet lines;
    const bool loaded = LoadDocument(state, id, &lines) == QLatin1String(kLoadDone);
    const CancelOutcome outcome = loaded ? CancelDeliveryNote(state, id, lines) : CancelOutcome::Kept;
    say((outcome == CancelOutcome::Kept          ? QStringLiteral("KEPT ")
         : outcome == CancelOutcome::ReleaseOwed ? QStringLiteral("RELEASE-OWED ")
         : outcome == CancelOutcome::Unknown     ? QStringLiteral("UNKNOWN ")
                                                 : QStringLiteral("CANCELLED "))
        + id);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    int rounds = 1;
    bool race = false;
    bool checkBooks = false;
    QString server = QStringLiteral("127.0.0.1");
    QString backupCopy;
    for (int i = 2; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--rounds") && i + 1 < args.size())
            rounds = args[++i].toInt();
        else if (args[i] == QLatin1String("--stop-at") && i + 1 < args.size())
            stopAt = args[++i].toLong();
        else if (args[i] == QLatin1String("--stop-at-commit") && i + 1 < args.size())
            stopAtCommit = args[++i].toLong();
        else if (args[i] == QLatin1String("--race"))
            race = true;
        else if (args[i] == QLatin1String("--check-books"))
            checkBooks = true;
        else if (args[i] == QLatin1String("--server") && i + 1 < args.size())
            server = args[++i];
        else if (args[i] == QLatin1String("--backup") && i + 1 < args.size())
            backupCopy = args[++i];
    }
    qInstallMessageHandler(countEvents);
    QLoggingCategory::setFilterRules(QStringLiteral("zedorev.sql.debug=true\nzedorev.sql.transactions.debug=true"));

    AppState state(sql::EngineConfig::fromProgramFolder(args[1]));
    state.EndProgram = [](int code) { std::_Exit(code); };
    state.Now = [] { return QDateTime(QDate(2013, 5, 14), QTime(11, 30, 5)); };
    state.PosServer = server;
    if (!backupCopy.isEmpty()) {
        const BackupResult backup = BackupInvoiceStore(state, backupCopy);
        say(backup.status == BackupResult::Ok ? QStringLiteral("BACKUP OK")
                                              : QStringLiteral("BACKUP FAILED ") + backup.error);
        return 0;
    }
    state.Company.idempresa = 1;
    state.Company.idfiscal = QStringLiteral("B12345678");
    state.Customers.resize(5);
    state.Customers[2].idcliente = 25;
    state.Customers[2].nif = QStringLiteral("X1234567L");
    state.SelectedCustomerIndex = 2;
    state.CurrencyInfo = {QStringLiteral("Euro"), 2, QStringLiteral("EUR")};

    // The start: the point-of-sale connection, then the replay, before any
    // ticket is listed.
    state.PosConnection = state.newConnection();
    if (!state.PosConnection->open(sql::posConnectionString(state.PosCatalog, state.PosServer)))
        return 3;
    if (!SettlePendingMarks(state))
        say(QStringLiteral("REPLAY-FAILED"));
    for (const QString &w : std::exchange(state.ReplayWarnings, {}))
        say(QStringLiteral("WARNING ") + w);
    for (const QString &id : std::exchange(state.CompletedByReplay, {}))
        say(QStringLiteral("COMPLETED ") + id);
    if (checkBooks) {
        auto store = state.newConnection();
        if (store->open(sql::invoiceStoreConnectionString())) {
            const Reconciliation r = ReconcileTickets(*store, *state.PosConnection);
            say(QStringLiteral("FOREIGN %1").arg(r.ok ? r.markedInNoDocument.size() : -1));
        }
    }

    for (int round = 0; round < rounds; ++round) {
        const QVector<Ticket> open = openTickets(state);
        if (race) {
            if (open.isEmpty())
                break;
            // The operator's choice takes a moment: the other back office may
            // invoice one of these tickets meanwhile.
            QThread::usleep(QRandomGenerator::global()->bounded(3000));
            issue(state, open.mid(0, 3), 1);
            continue;
        }
        if (open.size() < 4)
            return 4;
        const QString invoice = issue(state, open.mid(0, 2), 1);
        const QString note = issue(state, open.mid(2, 2), 0);
        if (note != QLatin1String(kIssueFailed))
            cancel(state, note);
        if (invoice != QLatin1String(kIssueFailed))
            credit(state, invoice);
    }
    say(QStringLiteral("EVENTS %1").arg(events));
    return 0;
}
