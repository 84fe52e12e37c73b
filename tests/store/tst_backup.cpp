#include "store_helpers.h"

#include "externo/store/BackupInvoiceStore.h"
#include "externo/store/Facturas.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace zd;
using namespace zd::test;

namespace {

LineRecordSet oneLine()
{
    return {line(1, 57, 1001, QStringLiteral("Pommes"), QStringLiteral("1.5"), QStringLiteral("2"),
                 QStringLiteral("0"), QStringLiteral("3"), 101)};
}

QByteArray contents(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &file, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(file).path());
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList documentsIn(const QString &file)
{
    QStringList ids;
    for (const QVariantList &row : StoreFixture::rows(file, QStringLiteral("SELECT IdDocumento FROM facturas ORDER BY 1")))
        ids.append(row.first().toString());
    return ids;
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT

private slots:
    void statementText()
    {
        QCOMPARE(BackupStatement(QStringLiteral("/opt/Caisse/Zedorev/TRS_seguridad/TRS_FAC_back")),
                 QStringLiteral("BACKUP DATABASE TRS_FAC TO DISK = N'/opt/Caisse/Zedorev/TRS_seguridad/TRS_FAC_back' "
                                "WITH NOFORMAT, NOINIT, NAME =N'TRS_FAC'"));
        QCOMPARE(VerifyStatement(QStringLiteral("/opt/l'Caisse/.TRS_FAC_back.new")),
                 QStringLiteral("RESTORE VERIFYONLY FROM DISK = N'/opt/l''Caisse/.TRS_FAC_back.new'"));
    }

    // The backup is complete, restorable and copied; a second backup replaces
    // the first with the store as it is now. A space in the path is handled.
    void backupReplacesAndCopies()
    {
        StoreFixture f(QStringLiteral("Caisse Zedorev"));
        f.createStore();
        AppState &s = f.state();
        const QString first = IssueDocument(s, oneLine(), 1, {});
        const QString copy = f.folder() + QStringLiteral("/home/TRS_FAC_back");
        QDir().mkpath(QFileInfo(copy).path());
        const QString backupFile = f.folder() + QStringLiteral("/TRS_seguridad/TRS_FAC_back");
        writeFile(backupFile, "an old backup");
        writeFile(copy, "an old copy");
        // Left by an earlier version's interrupted backup.
        writeFile(backupFile + QStringLiteral(".previous"), "an older backup");

        StatementCapture log;
        BackupResult result = BackupInvoiceStore(s, copy);
        QCOMPARE(result.status, BackupResult::Ok);
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        QCOMPARE(result.backupFile, backupFile);
        QCOMPARE(result.copyFile, copy);
        // Written beside the previous backup, then renamed over it.
        QVERIFY(log.statements().contains(QStringLiteral(
            "BACKUP DATABASE TRS_FAC TO DISK = N'%1/TRS_seguridad/.TRS_FAC_back.new' WITH NOFORMAT, NOINIT, NAME =N'TRS_FAC'")
            .arg(f.folder())));
        QCOMPARE(documentsIn(backupFile), QStringList{first});
        QCOMPARE(contents(copy), contents(backupFile));
        QCOMPARE(QDir(f.folder() + QStringLiteral("/TRS_seguridad")).entryList(QDir::Files),
                 QStringList({QStringLiteral("TRS_FAC_back"), QStringLiteral("TRS_FAC_chain")}));

        const QString second = IssueDocument(s, oneLine(), 1, {});
        result = BackupInvoiceStore(s, copy);
        QCOMPARE(result.status, BackupResult::Ok);
        QCOMPARE(documentsIn(backupFile), (QStringList{first, second}));
        QCOMPARE(documentsIn(copy), (QStringList{first, second}));
        QCOMPARE(QDir(f.folder() + QStringLiteral("/TRS_seguridad")).entryList(QDir::Files),
                 QStringList({QStringLiteral("TRS_FAC_back"), QStringLiteral("TRS_FAC_chain")}));
    }

    // The local server does not answer: the offline path, old backup kept.
    void unreachableServer()
    {
        StoreFixture f;
        const QString backupFile = f.folder() + QStringLiteral("/TRS_seguridad/TRS_FAC_back");
        writeFile(backupFile, "the old backup");
        writeFile(f.folder() + QStringLiteral("/data"), "not a folder");
        const BackupResult result = BackupInvoiceStore(f.state(), f.folder() + QStringLiteral("/copy"));
        QCOMPARE(result.status, BackupResult::Unreachable);
        QCOMPARE(contents(backupFile), QByteArray("the old backup"));
        QVERIFY(!QFile::exists(f.folder() + QStringLiteral("/copy")));
    }

    // The statement is refused (no store to back up): a failure, and the
    // previous backup is still there.
    void refusedBackupKeepsThePreviousOne()
    {
        StoreFixture f;
        const QString backupFile = f.folder() + QStringLiteral("/TRS_seguridad/TRS_FAC_back");
        writeFile(backupFile, "the old backup");
        const QString copy = f.folder() + QStringLiteral("/copy");
        const BackupResult result = BackupInvoiceStore(f.state(), copy);
        QCOMPARE(result.status, BackupResult::Failed);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(contents(backupFile), QByteArray("the old backup"));
        QCOMPARE(QDir(f.folder() + QStringLiteral("/TRS_seguridad")).entryList(QDir::Files),
                 QStringList{QStringLiteral("TRS_FAC_back")});
        QVERIFY(!QFile::exists(copy));
    }

    // The copy cannot be written: reported as a failure, the backup stays.
    void copyRefused()
    {
        StoreFixture f;
        f.createStore();
        const QString copy = f.folder() + QStringLiteral("/no such folder/TRS_FAC_back");
        const BackupResult result = BackupInvoiceStore(f.state(), copy);
        QCOMPARE(result.status, BackupResult::Failed);
        QVERIFY(result.copyFile.isEmpty());
        QVERIFY(!result.error.isEmpty());
        QVERIFY(QFile::exists(result.backupFile));
        QVERIFY(!QFile::exists(copy));
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
