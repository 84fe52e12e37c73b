// Issue, cancellation and credit notes across two databases that cannot commit together:
// a stand-in of the program (zd_crashworker) works on real files and is
// killed with SIGKILL after every statement and at random instants; after
// each kill a restart replays what is owed and the invariants are checked.
// Then two of them race for the same tickets on one point-of-sale file, and
// the backup at exit is killed before each change it makes to a file.
// ZD_CRASH_RUNS sets the number of random kills (a longer run).
#include "store_helpers.h"

#include "externo/books/ChainVerify.h"
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <climits>
#include <csignal>
#include <sqlite3.h>
#include <thread>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

using namespace zd;
using namespace zd::test;

namespace {

struct Outcome {
    bool killed = false;
    int exitCode = -1;
    QStringList lines;
};

// Runs the worker; with stopAt > 0 it is killed where it stopped itself,
// with killAfterUs >= 0 it is killed after that delay (if still running).
// extraEnvironment: NAME=value settings added to the worker's environment.
Outcome runWorker(const QString &folder, const QStringList &options, long stopAt = 0, int killAfterUs = -1,
                  const QStringList &extraEnvironment = {})
{
    const QString worker = QCoreApplication::applicationDirPath() + QStringLiteral("/zd_crashworker");
    const QString out = folder + QStringLiteral("/worker.out");
    QStringList args{worker, folder};
    args << options;
    if (stopAt > 0)
        args << QStringLiteral("--stop-at") << QString::number(stopAt);
    QVector<QByteArray> bytes;
    for (const QString &a : args)
        bytes << a.toLocal8Bit();
    QVector<char *> argv;
    for (QByteArray &b : bytes)
        argv << b.data();
    argv << nullptr;
    QVector<QByteArray> settings;
    for (const QString &e : extraEnvironment)
        settings << e.toLocal8Bit();
    QVector<char *> envp;
    for (char **e = environ; *e; ++e)
        envp << *e;
    for (QByteArray &e : settings)
        envp << e.data();
    envp << nullptr;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, QFile::encodeName(out).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    Outcome result;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return result;
    int status = 0;
    if (stopAt > 0 || options.contains(QStringLiteral("--stop-at-commit"))) {
        waitpid(pid, &status, WUNTRACED);
        if (WIFSTOPPED(status)) {
            ::kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
    } else if (killAfterUs >= 0) {
        ::usleep(killAfterUs);
        ::kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    } else {
        waitpid(pid, &status, 0);
    }
    result.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    QFile f(out);
    if (f.open(QIODevice::ReadOnly))
        result.lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return result;
}

long eventsOf(const Outcome &o)
{
    for (const QString &l : o.lines)
        if (l.startsWith(QLatin1String("EVENTS ")))
            return l.mid(7).toLong();
    return -1;
}

// A program folder with the invoice store and a point-of-sale file of open
// tickets of customer 25, each on its own whole second.
struct Shop {
    explicit Shop(const QString &server = QStringLiteral("127.0.0.1"))
    {
        store.state().PosServer = server;
        store.createStore();
        store.createPos();
        store.state().PosConnection.reset();
    }
    void addTickets(int n)
    {
        for (int i = 0; i < n; ++i) {
            const qint32 id = ++lastTicket;
            const QString fecha = QDateTime(QDate(2013, 5, 14), QTime(6, 0)).addSecs(id)
                                      .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.000"));
            store.addTicket(id, fecha);
            original.insert(id, fecha);
        }
    }
    int openTickets()
    {
        return StoreFixture::rows(store.posFile(), QStringLiteral("SELECT count(*) FROM documento WHERE fecha LIKE '%.000'"))
            .first().first().toInt();
    }
    StoreFixture store{QStringLiteral("prog")};
    QMap<qint32, QString> original;
    qint32 lastTicket = 1000;
};

// The invariants after a restart, over one point-of-sale file and the
// invoice stores that mark it. Empty when they hold.
QString broken(const QString &posFile, const QVector<QString> &stores, const QMap<qint32, QString> &original)
{
    QMap<qint32, QStringList> holders;
    for (const QString &file : stores) {
        if (StoreFixture::rows(file, QStringLiteral("SELECT count(*) FROM MarcasPendientes")).first().first().toInt())
            return QStringLiteral("journal not empty after the restart");
        for (const QVariantList &r : StoreFixture::rows(file, QStringLiteral(
                 "SELECT DISTINCT d.IdExterno, d.IdDocumento FROM documento d JOIN facturas f USING (IdDocumento) "
                 "WHERE f.TipoDocumento<>2 AND f.IdDocumento NOT IN "
                 "(SELECT FacturaRectificada FROM facturas WHERE FacturaRectificada IS NOT NULL)")))
            holders[r[0].toInt()] << r[1].toString();
        // Numbers: 1..n in every series, cancelled delivery notes included,
        // none issued twice.
        QMap<QString, QVector<int>> series;
        for (const QVariantList &r : StoreFixture::rows(file, QStringLiteral(
                 "SELECT TipoDocumento || '/' || IdSerie AS s, Correlativo FROM facturas UNION ALL "
                 "SELECT TipoDocumento || '/' || IdSerie, Correlativo FROM FacturasAnuladas ORDER BY 1, 2")))
            series[r[0].toString()] << r[1].toInt();
        for (auto it = series.cbegin(); it != series.cend(); ++it)
            for (int i = 0; i < it.value().size(); ++i)
                if (it.value()[i] != i + 1)
                    return QStringLiteral("series %1 is not continuous at %2").arg(it.key()).arg(i + 1);
    }
    for (const QVariantList &r : StoreFixture::rows(posFile, QStringLiteral("SELECT iddocumento, fecha FROM documento"))) {
        const qint32 id = r[0].toInt();
        const QString fecha = r[1].toString();
        const QString open = original.value(id);
        const bool marked = fecha != open;
        if (marked && fecha != open.left(20) + QStringLiteral("863"))
            return QStringLiteral("ticket %1 moved from %2 to %3").arg(id).arg(open, fecha);
        const QStringList docs = holders.value(id);
        if (docs.size() > 1)
            return QStringLiteral("ticket %1 is in %2").arg(id).arg(docs.join(QLatin1Char(' ')));
        if (marked && docs.isEmpty())
            return QStringLiteral("ticket %1 is marked but in no document").arg(id);
        if (!marked && !docs.isEmpty())
            return QStringLiteral("ticket %1 of %2 is not marked").arg(id).arg(docs.first());
    }
    return QString();
}

// What a backup file holds: its documents, or why it cannot be restored.
QString backupHolds(const QString &file)
{
    if (!QFileInfo(file).isFile())
        return QStringLiteral("missing");
    sqlite3 *db = nullptr;
    QStringList found;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        for (const char *sql : {"PRAGMA integrity_check", "SELECT IdDocumento FROM facturas ORDER BY 1"}) {
            sqlite3_stmt *stmt = nullptr;
            if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
                found << QStringLiteral("unreadable: ") + QString::fromUtf8(sqlite3_errmsg(db));
            while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
                found << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
            sqlite3_finalize(stmt);
        }
    }
    sqlite3_close(db);
    return found.join(QLatin1Char(' '));
}

QByteArray contents(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void putBack(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
}

// The files of a folder but the locks, which stay for good, and the
// books' marker.
QStringList entries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeOne(QStringLiteral(".backup.lock"));
    // The books' marker and its lock, written by the issues, not the backup.
    names.removeOne(QStringLiteral(".chain.lock"));
    names.removeOne(QStringLiteral("TRS_FAC_chain"));
    return names;
}

} // namespace

class TstCrashSafety : public QObject {
    Q_OBJECT

    // Invoices the worker said it issued: they must stay stored.
    static QString missingInvoice(const QString &storeFile, const QSet<QString> &told)
    {
        QSet<QString> stored;
        for (const QVariantList &r : StoreFixture::rows(storeFile, QStringLiteral("SELECT IdDocumento FROM facturas")))
            stored << r[0].toString();
        for (const QString &id : told)
            if (!stored.contains(id))
                return id;
        return QString();
    }

    static void collectTold(const Outcome &o, QSet<QString> &told)
    {
        for (const QString &l : o.lines)
            if (l.startsWith(QLatin1String("ISSUED F")))
                told << l.mid(7);
    }

    // One kill, then a restart that may itself be killed, then a full
    // restart; the invariants are checked after it.
    // true when the worker was killed (not finished first).
    bool killAndRecover(Shop &shop, QSet<QString> &told, const QString &where, long stopAt, int killAfterUs,
                        long restartStop)
    {
        const QString folder = shop.store.folder();
        const Outcome o = runWorker(folder, {QStringLiteral("--rounds"), QStringLiteral("2")}, stopAt, killAfterUs);
        collectTold(o, told);
        [&] {
        runWorker(folder, {QStringLiteral("--rounds"), QStringLiteral("0")}, restartStop);
        const Outcome restart = runWorker(folder, {QStringLiteral("--rounds"), QStringLiteral("0")});
        QVERIFY2(restart.exitCode == 0 && !restart.lines.contains(QStringLiteral("REPLAY-FAILED")),
                 qPrintable(where + QStringLiteral(": the restart failed")));
        const QString why = broken(shop.store.posFile(), {shop.store.storeFile()}, shop.original);
        QVERIFY2(why.isEmpty(), qPrintable(where + QStringLiteral(": ") + why));
        const QString missing = missingInvoice(shop.store.storeFile(), told);
        QVERIFY2(missing.isEmpty(), qPrintable(where + QStringLiteral(": invoice told but gone: ") + missing));
        // The books verify after every kill and replay: no false alarm.
        auto store = shop.store.state().newConnection();
        QVERIFY(store->open(sql::invoiceStoreConnectionString()));
        const books::Verification v = books::VerifyBooks(*store, folder);
        QVERIFY2(v.read && v.findings.isEmpty(),
                 qPrintable(where + QStringLiteral(": the books do not verify: ") + v.error + v.findings.join(QLatin1Char('\n'))));
        }();
        if (shop.openTickets() < 12)
            shop.addTickets(40);
        return o.killed;
    }

private slots:
    void killAfterEveryStatement()
    {
        Shop shop;
        shop.addTickets(60);
        QSet<QString> told;
        // A whole run first: how many statements and transaction boundaries
        // two rounds (two invoices, two notes, two cancellations) send.
        const Outcome whole = runWorker(shop.store.folder(), {QStringLiteral("--rounds"), QStringLiteral("2")});
        QCOMPARE(whole.exitCode, 0);
        collectTold(whole, told);
        QCOMPARE(told.size(), 2);
        const long events = eventsOf(whole);
        QVERIFY(events > 40);
        long killed = 0;
        for (long n = 1; n <= events + 1; ++n) {
            killed += killAndRecover(shop, told, QStringLiteral("killed at event %1").arg(n), n, -1, 2 + n % 6);
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(killed, events);   // every point but the last lies inside the run
    }

    void killAtRandomInstants()
    {
        Shop shop;
        shop.addTickets(60);
        QSet<QString> told;
        // The kills fall within the shortest of three whole runs, so that on
        // a busy machine most still land inside a run.
        int span = INT_MAX;
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer clock;
            clock.start();
            const Outcome whole = runWorker(shop.store.folder(), {QStringLiteral("--rounds"), QStringLiteral("2")});
            QCOMPARE(whole.exitCode, 0);
            span = std::min(span, int(clock.nsecsElapsed() / 1000));
            collectTold(whole, told);
            shop.addTickets(12);
        }
        const int runs = qEnvironmentVariableIntValue("ZD_CRASH_RUNS") > 0 ? qEnvironmentVariableIntValue("ZD_CRASH_RUNS")
                                                                           : 120;
        auto *random = QRandomGenerator::global();
        int killed = 0;
        for (int i = 0; i < runs; ++i) {
            const int delay = random->bounded(span + 1);
            killed += killAndRecover(shop, told, QStringLiteral("run %1 killed after %2 us").arg(i).arg(delay), 0,
                                     delay, 0);
            if (QTest::currentTestFailed())
                return;
        }
        qInfo("%d of %d runs killed before their end", killed, runs);
        QVERIFY(killed > runs / 4);
    }

    // The backup at exit killed before each change it makes to a file (and
    // sometimes killed again at the same step before a whole run): the
    // backup and its copy are always there, restorable, holding the store
    // as it was at the previous backup or as it is now; the next backup
    // leaves nothing else behind.
    void backupKilledAtEveryStep()
    {
        Shop shop;
        shop.addTickets(8);
        const QString folder = shop.store.folder();
        const QString backup = folder + QStringLiteral("/TRS_seguridad/TRS_FAC_back");
        const QString copy = folder + QStringLiteral("/home/TRS_FAC_back");
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/home")));
        const QStringList backupNow{QStringLiteral("--backup"), copy};
        const QStringList ok{QStringLiteral("BACKUP OK")};
        QCOMPARE(runWorker(folder, {QStringLiteral("--rounds"), QStringLiteral("1")}).exitCode, 0);
        QCOMPARE(runWorker(folder, backupNow).lines, ok);
        const QByteArray oldBackup = contents(backup);
        const QByteArray oldCopy = contents(copy);
        const QString before = backupHolds(backup);
        QCOMPARE(runWorker(folder, {QStringLiteral("--rounds"), QStringLiteral("1")}).exitCode, 0);
        const QString after = backupHolds(shop.store.storeFile());
        // The second round added documents to those of the first.
        const QStringList held = before.split(QLatin1Char(' ')), now = after.split(QLatin1Char(' '));
        QVERIFY2(before.startsWith(QLatin1String("ok F")) && now.size() > held.size()
                     && std::all_of(held.cbegin(), held.cend(), [&](const QString &d) { return now.contains(d); }),
                 qPrintable(before + QStringLiteral(" / ") + after));

        const QString shim = QStringLiteral("LD_PRELOAD=") + QCoreApplication::applicationDirPath()
                           + QStringLiteral("/libzd_killshim.so");
        const auto holdsOldOrNew = [&](long step) {
            for (const QString &file : {backup, copy}) {
                const QString holds = backupHolds(file);
                QVERIFY2(holds == before || holds == after,
                         qPrintable(QStringLiteral("killed at step %1: %2 holds %3").arg(step).arg(file, holds)));
            }
        };
        long step = 1;
        for (;; ++step) {
            const QStringList killHere{shim, QStringLiteral("ZD_KILL_AT=%1").arg(step)};
            const Outcome o = runWorker(folder, backupNow, 0, -1, killHere);
            if (!o.killed) {   // the step lies past the end of a whole run
                QCOMPARE(o.lines, ok);
                break;
            }
            holdsOldOrNew(step);
            if (step % 2) {    // killed again, on what the first run left
                runWorker(folder, backupNow, 0, -1, killHere);
                holdsOldOrNew(step);
            }
            if (QTest::currentTestFailed())
                return;
            QCOMPARE(runWorker(folder, backupNow).lines, ok);
            QCOMPARE(backupHolds(backup), after);
            QCOMPARE(backupHolds(copy), after);
            QCOMPARE(entries(folder + QStringLiteral("/TRS_seguridad")), QStringList{QStringLiteral("TRS_FAC_back")});
            QCOMPARE(entries(folder + QStringLiteral("/home")), QStringList{QStringLiteral("TRS_FAC_back")});
            putBack(backup, oldBackup);
            putBack(copy, oldCopy);
        }
        QCOMPARE(backupHolds(backup), after);
        QCOMPARE(contents(copy), contents(backup));
        QVERIFY2(step > 10, qPrintable(QStringLiteral("only %1 steps").arg(step)));
    }

    // Two back offices, each with its own invoice store, invoice the first
    // three open tickets of one point-of-sale file round after round.
    void twoBackOfficesRace()
    {
        Shop a(QStringLiteral("10.0.0.5"));
        StoreFixture b(QStringLiteral("prog"));
        b.createStore();
        // Both reach the same point-of-sale file (one server, two workstations).
        const QString shared = QFileInfo(a.store.posFile()).absolutePath();
        QVERIFY(QDir().mkpath(b.folder() + QStringLiteral("/data")));
        QVERIFY(QFile::link(shared, b.folder() + QStringLiteral("/data/10.0.0.5")));
        a.addTickets(90);

        const QStringList options{QStringLiteral("--race"), QStringLiteral("--rounds"), QStringLiteral("100"),
                                  QStringLiteral("--server"), QStringLiteral("10.0.0.5")};
        Outcome left, right;
        std::thread other([&] { right = runWorker(b.folder(), options); });
        left = runWorker(a.store.folder(), options);
        other.join();
        QCOMPARE(left.exitCode, 0);
        QCOMPARE(right.exitCode, 0);

        const QString why = broken(a.store.posFile(), {a.store.storeFile(), b.storeFile()}, a.original);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QCOMPARE(a.openTickets(), 0);
        // Every issue that did not go through was refused for a named ticket
        // that the other back office holds; none failed for a lock.
        int refusals = 0;
        const auto heldBy = [](const QString &storeFile, int number) {
            return !StoreFixture::rows(storeFile, QStringLiteral("SELECT 1 FROM documento WHERE numerodetique=%1")
                                                      .arg(number)).isEmpty();
        };
        for (const auto &[mine, theirs] : {std::pair{&left, b.storeFile()}, std::pair{&right, a.store.storeFile()}}) {
            for (const QString &l : mine->lines) {
                QVERIFY2(!l.startsWith(QLatin1String("FAILED")) && !l.startsWith(QLatin1String("REPLAY")), qPrintable(l));
                if (!l.startsWith(QLatin1String("REFUSED ")))
                    continue;
                ++refusals;
                const int number = l.mid(8).section(QLatin1Char('|'), 0, 0).toInt();
                QVERIFY2(number > 0 && heldBy(theirs, number), qPrintable(l));
                QVERIFY2(l.section(QLatin1Char('|'), 1).startsWith(
                             QStringLiteral("Le ticket %1 a déjà été facturé sur un autre poste.").arg(number)),
                         qPrintable(l));
            }
        }
        qInfo("%d issues refused for a ticket the other back office had invoiced", refusals);
    }

    void killBetweenCommitsBesideAnotherBackOffice_data();
    void killBetweenCommitsBesideAnotherBackOffice();
};


// A killed between its store commit and its point-of-sale commit while B
// invoices on the same point of sale. With one shared invoice store B's
// start finishes A's invoice first and B never offers its tickets again.
// With a store of its own B invoices them too; A, restarting, finds the
// marks made and cannot tell B's from its own: it says so, and its start
// check counts B's tickets as marked outside its documents.
void TstCrashSafety::killBetweenCommitsBesideAnotherBackOffice_data()
{
    QTest::addColumn<bool>("sharedStore");
    QTest::newRow("one shared invoice store") << true;
    QTest::newRow("a store of its own (not supported)") << false;
}

void TstCrashSafety::killBetweenCommitsBesideAnotherBackOffice()
{
    QFETCH(bool, sharedStore);
    Shop a(QStringLiteral("10.0.0.5"));
    StoreFixture b(QStringLiteral("prog"));
    QVERIFY(QDir().mkpath(b.folder() + QStringLiteral("/data")));
    QVERIFY(QFile::link(QFileInfo(a.store.posFile()).absolutePath(), b.folder() + QStringLiteral("/data/10.0.0.5")));
    if (sharedStore)
        QVERIFY(QFile::link(QFileInfo(a.store.storeFile()).absolutePath(), b.folder() + QStringLiteral("/data/127.0.0.1")));
    else
        b.createStore();
    a.addTickets(12);
    const QStringList server{QStringLiteral("--server"), QStringLiteral("10.0.0.5")};

    // The first invoice's second COMMIT is the point of sale's.
    const Outcome killed = runWorker(a.store.folder(), server + QStringList{QStringLiteral("--stop-at-commit"),
                                                                             QStringLiteral("2")});
    QVERIFY(killed.killed);
    QCOMPARE(StoreFixture::rows(a.store.storeFile(), QStringLiteral("SELECT count(*) FROM MarcasPendientes"))
                 .first().first().toInt(), 2);
    const Outcome other = runWorker(b.folder(), server + QStringList{QStringLiteral("--race"), QStringLiteral("--rounds"),
                                                                      QStringLiteral("2")});
    QCOMPARE(other.exitCode, 0);
    const Outcome restart = runWorker(a.store.folder(), server + QStringList{QStringLiteral("--rounds"),
                                                                              QStringLiteral("0"),
                                                                              QStringLiteral("--check-books")});
    QCOMPARE(restart.exitCode, 0);

    const QStringList warnings = restart.lines.filter(QRegularExpression(QStringLiteral("^WARNING ")));
    if (sharedStore) {
        QVERIFY2(other.lines.contains(QStringLiteral("COMPLETED F011300250001")), qPrintable(other.lines.join('\n')));
        const QString why = broken(a.store.posFile(), {a.store.storeFile()}, a.original);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
        QVERIFY(restart.lines.contains(QStringLiteral("FOREIGN 0")));
    } else {
        QVERIFY2(warnings.size() >= 2 && warnings.first().contains(QStringLiteral("F011300250001"))
                     && warnings.last().contains(QStringLiteral("zd_books reconcile")),
                 qPrintable(restart.lines.join('\n')));
        QVERIFY(restart.lines.contains(QStringLiteral("COMPLETED F011300250001")));
        QVERIFY2(!restart.lines.contains(QStringLiteral("FOREIGN 0")), qPrintable(restart.lines.join('\n')));
    }
}

QTEST_GUILESS_MAIN(TstCrashSafety)
#include "tst_crashsafety.moc"
