// Leaving the program: QUITTER, the backup of the invoice store at unload
// and what the operator is told.
#include "externo/mainwindow/FrmExterno.h"
#include "externo/store/StoreSetup.h"

#include "support/DialogAnswerer.h"
#include "support/PosFixture.h"
#include "support/StatementCapture.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace zd;
using namespace zd::test;

namespace {

struct Shop {
    ProgramFolder folder;
    QTemporaryDir home;
    PosFixture pos{folder.path()};
    AppState state{sql::EngineConfig::fromProgramFolder(folder.path())};
    int endCalls = 0;
    QByteArray oldHome = qgetenv("HOME");

    Shop()
    {
        qputenv("HOME", home.path().toLocal8Bit());
        state.EndProgram = [this](int) { ++endCalls; };
        pos.addShopDefaults();
        pos.addCustomer({.idcliente = 1, .nombre = "UN"});
        QDir(folder.path()).mkpath("TRS_seguridad");
    }
    ~Shop() { qputenv("HOME", oldHome); }
    QString backupFile() const { return folder.file("TRS_seguridad/TRS_FAC_back"); }
};

int facturasColumns(const QString &file)
{
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec("select count(*) from pragma_table_info('facturas')") && q.next())
                count = q.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase("check");
    return count;
}

} // namespace

class TstExit : public QObject {
    Q_OBJECT
private slots:
    void quitBacksUpAndTellsWhereTheCopyIs()
    {
        Shop shop;
        QVERIFY(EnsureInvoiceStore(shop.state) != StoreCheck::CannotCreate);
        QVERIFY(shop.folder.writeFile("TRS_seguridad/TRS_FAC_back", "an old backup"));
        QVERIFY(shop.folder.writeFile("notrs_teclado", ""));
        FrmExterno w(shop.state);
        w.Load();
        w.show();
        DialogAnswerer answerer;
        StatementCapture capture;
        QTest::mouseClick(w.CmdFin, Qt::LeftButton);

        QVERIFY(!w.isVisible());
        QVERIFY(!QFile::exists(shop.folder.file("notrs_teclado")));
        QVERIFY(!shop.state.PosConnection);
        const QString copy = QDir(shop.home.path()).filePath("TRS_FAC_back");
        QCOMPARE(answerer.messages(),
                 QStringList{"Une copie de sécurité du fichier est générée dans:\r\n" + copy});
        QCOMPARE(capture.startingWith("BACKUP"),
                 QStringList{"BACKUP DATABASE TRS_FAC TO DISK = N'" + shop.folder.file("TRS_seguridad/.TRS_FAC_back.new")
                             + "' WITH NOFORMAT, NOINIT, NAME =N'TRS_FAC'"});
        // The old file was replaced by a real backup, and the copy is one too.
        QCOMPARE(facturasColumns(shop.backupFile()), 44);
        QCOMPARE(facturasColumns(copy), 44);
        QCOMPARE(shop.endCalls, 0);

        // A second close does not back up again.
        capture.clear();
        w.close();
        QVERIFY(capture.startingWith("BACKUP").isEmpty());
    }

    void failedBackupIsToldAndKeepsTheOldFile()
    {
        Shop shop;
        QVERIFY(shop.folder.writeFile("TRS_seguridad/TRS_FAC_back", "an old backup"));
        // No invoice store: the backup cannot be made.
        FrmExterno w(shop.state);
        w.Load();
        DialogAnswerer answerer;
        w.Unload();
        QCOMPARE(answerer.messages(), QStringList{"error"});
        QFile old(shop.backupFile());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("an old backup"));
        QVERIFY(!QFile::exists(QDir(shop.home.path()).filePath("TRS_FAC_back")));
    }
};

QTEST_MAIN(TstExit)
#include "tst_exit.moc"
