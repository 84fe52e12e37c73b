// The wait, loading and shop windows driven through their widgets.
#include "dialogs_helpers.h"

#include "common/Rounder.h"
#include "externo/dialogs/FrmCarga.h"
#include "externo/dialogs/FrmEspera.h"
#include "externo/dialogs/FrmTienda.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace zd;
using zd::test::DialogFixture;

class TestSmallDialogs : public QObject {
    Q_OBJECT

private slots:
    void waitWindowClosesItselfAndFreesTheMainWindow()
    {
        DialogFixture f;
        FrmEspera w(*f.state, 200);
        QCOMPARE(w.size(), QSize(286, 151));
        QCOMPARE(w.Label1->text(), QStringLiteral("CHARGEMENT DES DONNEES..."));
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QSignalSpy closed(&w, &FrmEspera::unloaded);
        w.show();
        w.Activate();
        QVERIFY(w.isVisible());
        QVERIFY(!f.mainWindow->isEnabled());
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(w.mask(), common::clsRounder::roundedRegion(w.size()));

        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 3000);
        QVERIFY(f.mainWindow->isEnabled());
        QVERIFY(!w.Timer1->isActive());
        QCOMPARE(closed.count(), 1);

        // The caller's own unload afterwards changes nothing.
        f.mainWindow->setEnabled(false); // as if another window had disabled it since
        w.Unload();
        QVERIFY(!f.mainWindow->isEnabled());
        QCOMPARE(closed.count(), 1);
    }

    void waitWindowUnloadedByCallerFirst()
    {
        DialogFixture f;
        FrmEspera w(*f.state); // the real 15 s interval
        QCOMPARE(w.Timer1->interval(), 15000);
        w.show();
        w.Activate();
        w.Unload();
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Timer1->isActive());
        QVERIFY(f.mainWindow->isEnabled());
    }

    void waitWindowDestroyedOpenGivesMainWindowBack()
    {
        DialogFixture f;
        {
            FrmEspera w(*f.state);
            w.show();
            w.Activate();
            QVERIFY(!f.mainWindow->isEnabled());
        }
        QVERIFY(f.mainWindow->isEnabled());
    }

    void loadingWindow()
    {
        FrmCarga c;
        QCOMPARE(c.size(), QSize(418, 106));
        QCOMPARE(c.Label1->text(),
                 QStringLiteral("DEMARRAGE DU PROGRAMME... Veuillez patienter quelques instants."));
        QCOMPARE(c.Label1->font().pointSizeF(), 18.0);
        QVERIFY(c.windowFlags() & Qt::WindowStaysOnTopHint);
        c.show();
        c.Activate();
        QVERIFY(c.isFramed());
        QCOMPARE(c.mask(), common::clsRounder::roundedRegion(QSize(418, 106)));
        c.Unload();
        QVERIFY(!c.isVisible());
    }

    void shopNumberFromTypedKeys_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("shop");
        QTest::newRow("007") << "007" << "007" << 7;
        QTest::newRow("letters only") << "abc" << "" << 0;
        QTest::newRow("letters among digits") << "1a2b" << "12" << 12;
        QTest::newRow("at most three") << "12345" << "123" << 123;
        QTest::newRow("999") << "999" << "999" << 999;
        QTest::newRow("nothing") << "" << "" << 0;
        QTest::newRow("signs and spaces") << "-5 +" << "5" << 5;
    }
    void shopNumberFromTypedKeys()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, shop);
        DialogFixture f;
        f.state->ShopNumber = 55;
        FrmTienda t(*f.state);
        QCOMPARE(t.windowTitle(), QStringLiteral("Rarode Ruzudo"));
        QCOMPARE(t.size(), QSize(361, 159));
        QCOMPARE(t.Label1->text(), QStringLiteral("Rarode Ruzudo:"));
        QCOMPARE(t.CmdAceptar->text(), QStringLiteral("Aceptar"));
        QVERIFY(t.windowFlags() & Qt::WindowStaysOnTopHint);
        t.show();
        QTest::keyClicks(t.Text1, typed);
        QCOMPARE(t.Text1->text(), shown);
        QTest::mouseClick(t.CmdAceptar, Qt::LeftButton);
        QCOMPARE(f.state->ShopNumber, qint16(shop));
        QVERIFY(!t.isVisible());
    }

    void shopBoxEditingKeys()
    {
        DialogFixture f;
        FrmTienda t(*f.state);
        t.show();
        QTest::keyClicks(t.Text1, "12");
        QTest::keyClick(t.Text1, Qt::Key_Backspace);
        QTest::keyClicks(t.Text1, "5");
        QCOMPARE(t.Text1->text(), QStringLiteral("15"));
        // Enter does not accept the dialog
        QTest::keyClick(t.Text1, Qt::Key_Return);
        QVERIFY(t.isVisible());
        // pasted text is held to digits as well
        t.Text1->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("4x"));
        t.Text1->paste();
        QTest::keyClick(t.Text1, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(t.Text1->text().isEmpty());
        QTest::keyClicks(t.Text1, "8");
        QTest::mouseClick(t.CmdAceptar, Qt::LeftButton);
        QCOMPARE(f.state->ShopNumber, qint16(8));
    }

    void shopDialogClosedWithoutAccepting()
    {
        DialogFixture f;
        FrmTienda t(*f.state);
        QSignalSpy closed(&t, &FrmTienda::unloaded);
        t.show();
        QTest::keyClicks(t.Text1, "4");
        t.close();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(f.state->ShopNumber, qint16(0));
    }
};

QTEST_MAIN(TestSmallDialogs)
#include "tst_smalldialogs.moc"
