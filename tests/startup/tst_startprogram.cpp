// The start-up sequence on real program folders: markers, backup folder,
// invoice store creation, configuration files, shop dialog, fatal paths.
#include "externo/startup/StartProgram.h"

#include "externo/dialogs/FrmTienda.h"
#include "externo/mainwindow/FrmExterno.h"
#include "externo/mainwindow/TreeNodes.h"
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"

#include "support/DialogAnswerer.h"
#include "support/PosFixture.h"
#include "support/StatementCapture.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace zd;
using namespace zd::test;

namespace {

struct Run {
    explicit Run(const QString &folder)
        : state(sql::EngineConfig::fromProgramFolder(folder))
    {
        state.EndProgram = [this](int) { ++endCalls; };
    }
    AppState state;
    int endCalls = 0;
};

bool addShop(PosFixture &pos)
{
    return pos.addShopDefaults() && pos.addCustomer({.idcliente = 1, .nombre = "UN"})
        && pos.addCustomer({.idcliente = 2, .nombre = "DEUX"});
}

// Types `digits` into the shop dialog once it shows, then presses "Aceptar".
void answerShopDialog(const QString &digits)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, digits] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<FrmTienda *>(w);
            if (!dialog || !dialog->isVisible())
                continue;
            timer->stop();
            timer->deleteLater();
            QTest::keyClicks(dialog->Text1, digits);
            QTest::mouseClick(dialog->CmdAceptar, Qt::LeftButton);
            return;
        }
    });
    timer->start();
}

} // namespace

class TstStartProgram : public QObject {
    Q_OBJECT
private slots:
    void firstRunCreatesTheStoreOnce()
    {
        ProgramFolder folder;
        PosFixture pos(folder.path());
        QVERIFY(addShop(pos));
        QVERIFY(folder.writeFile("notrs_teclado", ""));
        {
            Run run(folder.path());
            StatementCapture capture;
            auto window = StartProgram(run.state);
            QVERIFY(window);
            QCOMPARE(run.endCalls, 0);
            QVERIFY(!QFileInfo::exists(folder.file("notrs_teclado")));
            QVERIFY(QFileInfo(folder.file("TRS_seguridad")).isDir());
            QVERIFY(QFileInfo::exists(folder.file("data/127.0.0.1/TRS_FAC.sqlite")));
            const QStringList creates = capture.startingWith("CREATE");
            QCOMPARE(creates.size(), 8);
            QCOMPARE(creates[0], QString("CREATE DATABASE TRS_FAC"));
            QVERIFY(creates[1].startsWith("CREATE TABLE facturas ("));
            QVERIFY(creates[2].startsWith("CREATE TABLE Documento ("));
            QVERIFY(creates[3].startsWith("CREATE TABLE MarcasPendientes ("));
            QVERIFY(creates[4].startsWith("CREATE TABLE FacturasAnuladas ("));
            QVERIFY(creates[5].startsWith("CREATE TABLE DocumentoAnulado ("));
            QVERIFY(creates[6].startsWith("CREATE TABLE Registro ("));
            QCOMPARE(creates[7], QString("CREATE INDEX IX_DOCUMENTO_IdDocumento ON Documento (IdDocumento)"));
            // The new store's chain: its seal, then the start.
            auto store = run.state.newConnection();
            QVERIFY(store->open(sql::invoiceStoreConnectionString()));
            const sql::RecordSet events = store->query(QStringLiteral("select Evento from dbo.Registro order by Secuencia"));
            QCOMPARE(events.rowCount(), 2);
            QCOMPARE(events.value(0, 0).toString(), QStringLiteral("seal"));
            QCOMPARE(events.value(1, 0).toString(), QStringLiteral("start"));
            QCOMPARE(nodes::nodeCount(window->TreeClient[0]), 3);
            QVERIFY(window->isVisible());
        }
        Run second(folder.path());
        StatementCapture capture;
        auto window = StartProgram(second.state);
        QVERIFY(window);
        QVERIFY(capture.startingWith("CREATE").isEmpty());
    }

    void posServerFromConfigurationFile()
    {
        ProgramFolder folder;
        PosFixture pos(folder.path(), "10.0.0.5");
        QVERIFY(addShop(pos));
        QVERIFY(folder.writeFile("balanzaip.txt", "10.0.0.5\r\n192.168.1.1\r\n"));
        Run run(folder.path());
        auto window = StartProgram(run.state);
        QVERIFY(window);
        QCOMPARE(run.state.PosServer, QString("10.0.0.5"));
        QCOMPARE(run.state.PosCatalog, QString("Tillvane"));
        // The invoice store stays on the local server.
        QVERIFY(QFileInfo::exists(folder.file("data/127.0.0.1/TRS_FAC.sqlite")));
        QVERIFY(!QFileInfo::exists(folder.file("data/10.0.0.5/TRS_FAC.sqlite")));
    }

    // Bad lines of facturation.txt and a shop without a valid SIREN are told
    // once each, over the loaded main window; the good lines are used.
    void invoicingProblemsToldAtStart()
    {
        ProgramFolder folder;
        PosFixture pos(folder.path());
        QVERIFY(pos.addShopDefaults() && pos.setCompany({.idfiscal = "FR 47 512384976"})
                && pos.addCustomer({.idcliente = 1, .nombre = "UN"}));
        QVERIFY(folder.writeFile("facturation.txt", "paye_en_caisse=oui\ntva_sur_debits=jamais\n"));
        Run run(folder.path());
        DialogAnswerer answers;
        auto window = StartProgram(run.state);
        QVERIFY(window);
        QVERIFY(run.state.Settings.PaidAtTill);
        QVERIFY(!run.state.Settings.VatOnDebits);
        QCOMPARE(answers.messages(),
                 QStringList({"Fichier facturation.txt, ligne 2 : tva_sur_debits : « jamais » n'est ni oui ni non. "
                              "La valeur par défaut est utilisée.",
                              "Identifiant fiscal de la boutique sans SIREN valide : le SIREN 512384976 du numéro de "
                              "TVA FR47512384976 est faux (chiffre de contrôle). Les factures électroniques seront "
                              "refusées par les plateformes."}));
    }

    void shopNumberExtendsTheCatalog_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("catalog");
        QTest::newRow("5") << "5" << "Tillvane05";
        QTest::newRow("100") << "100" << "Tillvane100";
        QTest::newRow("007") << "007" << "Tillvane07";
        QTest::newRow("nothing") << "" << "Tillvane";
    }
    void shopNumberExtendsTheCatalog()
    {
        QFETCH(QString, typed);
        QFETCH(QString, catalog);
        ProgramFolder folder;
        PosFixture pos(folder.path(), "127.0.0.1", catalog);
        QVERIFY(addShop(pos));
        QVERIFY(folder.writeFile("office.txt", ""));
        Run run(folder.path());
        answerShopDialog(typed);
        auto window = StartProgram(run.state);
        QVERIFY(window);
        QCOMPARE(run.state.PosCatalog, catalog);
        QCOMPARE(nodes::nodeCount(window->TreeClient[0]), 3);
    }

    void storeThatCannotBeCreatedStopsInOrder()
    {
        ProgramFolder folder;
        PosFixture pos(folder.path(), "10.0.0.5");
        QVERIFY(addShop(pos));
        // The local server's folder is taken by a file: nothing can be created there.
        QVERIFY(QDir(folder.path()).mkpath("data"));
        QVERIFY(folder.writeFile("data/127.0.0.1", "not a folder"));
        Run run(folder.path());
        DialogAnswerer answerer;
        auto window = StartProgram(run.state);
        QVERIFY(!window);
        QCOMPARE(answerer.messages(),
                 QStringList{"NO ES POSIBLE CREAR LA BASE DE DATOS Y TABLAS NECESARIAS PARA EL TRABAJO..."});
        QCOMPARE(run.endCalls, 1);
    }

    void missingPointOfSaleDatabaseGoesOffline()
    {
        ProgramFolder folder;
        Run run(folder.path());
        DialogAnswerer answerer;
        auto window = StartProgram(run.state);
        QVERIFY(!window);
        QCOMPARE(answerer.messages(), QStringList{"Hors Ligne avec Tillvane..."});
        QCOMPARE(run.endCalls, 1);
        // The store was created before the point-of-sale connection failed.
        QVERIFY(QFileInfo::exists(folder.file("data/127.0.0.1/TRS_FAC.sqlite")));
    }
};

QTEST_MAIN(TstStartProgram)
#include "tst_startprogram.moc"
