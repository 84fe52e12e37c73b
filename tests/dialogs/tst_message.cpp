// ShowMessage and FrmMensaje answered through their buttons; the offline path.
#include "dialogs_helpers.h"

#include "common/Processes.h"
#include "common/Rounder.h"
#include "externo/dialogs/FrmCarga.h"
#include "externo/dialogs/FrmMensaje.h"
#include "externo/dialogs/Var.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QApplication>
#include <QTest>
#include <QTimer>

using namespace zd;
using zd::test::clickMessageButtonWhenShown;
using zd::test::DialogFixture;

class TestMessage : public QObject {
    Q_OBJECT

private slots:
    void layoutOfTheMessageWindow()
    {
        DialogFixture f;
        FrmMensaje m(*f.state);
        QCOMPARE(m.windowTitle(), QStringLiteral("Aviso"));
        QCOMPARE(m.size(), QSize(480, 243));
        QCOMPARE(m.LblMsg1->geometry(), QRect(16, 24, 449, 153));
        QVERIFY(m.LblMsg1->font().bold());
        QCOMPARE(m.LblMsg1->font().pointSizeF(), 13.5);
        QCOMPARE(m.ChameleonBtn1(0)->text(), QStringLiteral("Accepter"));
        QCOMPARE(m.ChameleonBtn1(1)->text(), QStringLiteral("Accepter"));
        QCOMPARE(m.ChameleonBtn1(2)->text(), QStringLiteral("Annuler"));
        QCOMPARE(m.ChameleonBtn1(0)->geometry(), QRect(176, 176, 129, 57));
        QCOMPARE(m.ChameleonBtn1(1)->geometry(), QRect(16, 176, 129, 57));
        QCOMPARE(m.ChameleonBtn1(2)->geometry(), QRect(336, 176, 129, 57));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(m.ChameleonBtn1(i)->property("index").toInt(), i);
    }

    // Which buttons show, what the answer is, and that the main window is
    // disabled exactly while the message is open.
    void answers_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("button");
        QTest::addColumn<QList<int>>("visibleButtons");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("kind 1, Accepter") << 1 << 0 << QList<int>{0} << false;
        QTest::newRow("kind 2, Accepter") << 2 << 1 << QList<int>{1, 2} << false;
        QTest::newRow("kind 2, Annuler") << 2 << 2 << QList<int>{1, 2} << true;
    }
    void answers()
    {
        QFETCH(int, kind);
        QFETCH(int, button);
        QFETCH(QList<int>, visibleButtons);
        QFETCH(bool, cancelled);
        DialogFixture f;
        f.state->MessageCancelled = !cancelled; // must be reset by ShowMessage

        QList<int> seenVisible;
        bool mainDisabledWhileOpen = false;
        QString seenText;
        QRegion seenMask;
        clickMessageButtonWhenShown(button, [&](FrmMensaje *m) {
            for (int i = 0; i < 3; ++i)
                if (m->ChameleonBtn1(i)->isVisible())
                    seenVisible << i;
            mainDisabledWhileOpen = !f.mainWindow->isEnabled();
            seenText = m->LblMsg1->text();
            seenMask = m->mask();
        });
        ShowMessage(*f.state, QStringLiteral("Voulez-vous générer la facture ?"), qint16(kind));

        QCOMPARE(seenVisible, visibleButtons);
        QVERIFY(mainDisabledWhileOpen);
        QCOMPARE(seenText, QStringLiteral("Voulez-vous générer la facture ?"));
        QCOMPARE(seenMask, common::clsRounder::roundedRegion(QSize(480, 243)));
        QCOMPARE(f.state->MessageKind, qint16(kind));
        QCOMPARE(f.state->MessageCancelled, cancelled);
        QVERIFY(f.mainWindow->isEnabled());
    }

    // A message closed by the window system instead of a button: the main
    // window comes back, and a confirmation counts as refused.
    void closedWithoutButton_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("information") << 1 << false;
        QTest::newRow("confirmation") << 2 << true;
    }
    void closedWithoutButton()
    {
        QFETCH(int, kind);
        QFETCH(bool, cancelled);
        DialogFixture f;
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, timer, [timer] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (qobject_cast<FrmMensaje *>(w) && w->isVisible()) {
                    timer->deleteLater();
                    w->close();
                    return;
                }
        });
        timer->start(10);
        ShowMessage(*f.state, QStringLiteral("x"), qint16(kind));
        QCOMPARE(f.state->MessageCancelled, cancelled);
        QVERIFY(f.mainWindow->isEnabled());
    }

    // Timers keep running while a message waits for its answer.
    void eventsAreServedWhileWaiting()
    {
        DialogFixture f;
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(5);
        auto *answer = new QTimer(this);
        answer->setSingleShot(true);
        connect(answer, &QTimer::timeout, this, [] { clickMessageButtonWhenShown(0); });
        answer->start(150);
        ShowMessage(*f.state, QStringLiteral("Information"), 1);
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
    }

    void yieldServesPendingEvents()
    {
        bool called = false;
        QMetaObject::invokeMethod(this, [&] { called = true; }, Qt::QueuedConnection);
        Yield();
        QVERIFY(called);
    }

    // Offline: loading window closed, the one message, the keyboard ended,
    // then the program ended.
    void offlinePath()
    {
        DialogFixture f;
        // A stand-in keyboard program under the keyboard's name.
        const QString keyboard = f.dir.filePath(QStringLiteral("trs_teclado"));
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), keyboard));
        QProcess kb;
        kb.start(keyboard, {QStringLiteral("30")});
        QVERIFY(kb.waitForStarted());

        FrmCarga loading;
        loading.show();
        loading.Activate();

        QStringList events;
        bool loadingOpenDuringMessage = true;
        clickMessageButtonWhenShown(0, [&](FrmMensaje *m) {
            events << m->LblMsg1->text();
            loadingOpenDuringMessage = loading.isVisible();
            if (kb.state() != QProcess::Running)
                events << QStringLiteral("keyboard ended too early");
        });
        int exitCode = -1;
        f.state->EndProgram = [&](int code) {
            kb.waitForFinished(3000);
            events << (kb.state() == QProcess::NotRunning ? QStringLiteral("keyboard ended")
                                                          : QStringLiteral("keyboard running"));
            exitCode = code;
        };
        TakeOfflinePath(*f.state, &loading);

        QCOMPARE(events, (QStringList{QStringLiteral("Hors Ligne avec Tillvane..."),
                                      QStringLiteral("keyboard ended")}));
        QVERIFY(!loadingOpenDuringMessage);
        QCOMPARE(exitCode, 0);
        QCOMPARE(f.state->MessageKind, qint16(1));
    }
};

QTEST_MAIN(TestMessage)
#include "tst_message.moc"
