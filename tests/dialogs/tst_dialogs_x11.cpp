// The dialogs on a real X server: the rounded outline cuts the window, the
// frame and the texts are where they should be. With ZD_SCREENSHOT_DIR set,
// the screens are saved there for a look.
#include "dialogs_helpers.h"

#include "externo/dialogs/FrmCarga.h"
#include "externo/dialogs/FrmEspera.h"
#include "externo/dialogs/FrmMensaje.h"
#include "externo/dialogs/FrmTienda.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace zd;
using zd::test::DialogFixture;

class TestDialogsX11 : public QObject {
    Q_OBJECT

private:
    QWidget m_backdrop;
    const QColor m_backdropColour{255, 0, 255};

    QImage grab(QWidget *w, const QString &name)
    {
        // Let the window manager map and paint the window.
        if (!QTest::qWaitForWindowExposed(w))
            qWarning("window not exposed");
        QTest::qWait(300);
        QScreen *screen = QGuiApplication::primaryScreen();
        const QPoint at = w->mapToGlobal(QPoint(0, 0)); // the inside, without decorations
        const QImage img = screen->grabWindow(0, at.x(), at.y(), w->width(), w->height()).toImage();
        const QString dir = qEnvironmentVariable("ZD_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            img.save(QDir(dir).filePath(name + QStringLiteral(".png")));
        return img;
    }

    void checkRoundedFrame(const QImage &img)
    {
        const QColor dark = QApplication::palette().color(QPalette::Active, QPalette::Dark);
        // Outside the rounded outline the backdrop shows through.
        QCOMPARE(img.pixelColor(1, 1).rgb(), m_backdropColour.rgb());
        QCOMPARE(img.pixelColor(img.width() - 2, img.height() / 2).rgb(), m_backdropColour.rgb());
        // The left edge of the outline is the outer dark bevel line... of the
        // first bevel still inside the region (x = W/60 rounded).
        const int left = qRound(img.width() / 60.0);
        QCOMPARE(img.pixelColor(left, img.height() / 2).rgb(), dark.rgb());
    }

    static void checkTextFits(QLabel *label)
    {
        const QRect need = label->fontMetrics().boundingRect(
            label->contentsRect(), int(label->alignment()) | Qt::TextWordWrap, label->text());
        QVERIFY2(label->contentsRect().contains(need),
                 qPrintable(QStringLiteral("%1 needs %2x%3").arg(label->objectName())
                                .arg(need.width()).arg(need.height())));
    }

private slots:
    void initTestCase()
    {
        QPalette pal;
        pal.setColor(QPalette::Window, m_backdropColour);
        m_backdrop.setPalette(pal);
        m_backdrop.setAutoFillBackground(true);
        m_backdrop.setWindowFlags(Qt::FramelessWindowHint);
        // Not the whole screen: a window manager may stack a full-screen
        // active window above every "stays on top" window.
        m_backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry().adjusted(20, 20, -20, -20));
        m_backdrop.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_backdrop));
    }

    void messageWindow()
    {
        DialogFixture f;
        f.mainWindow->hide();
        f.state->MessageKind = 2;
        FrmMensaje m(*f.state);
        m.LblMsg1->setText(QStringLiteral(
            "Le montant du document est de 1.234,56 €. Voulez-vous générer la facture ?"));
        m.move(200, 150);
        m.show();
        const QImage img = grab(&m, QStringLiteral("FrmMensaje"));
        checkRoundedFrame(img);
        checkTextFits(m.LblMsg1);
        QTest::mouseClick(m.ChameleonBtn1(2), Qt::LeftButton);
        QVERIFY(f.state->MessageCancelled);
        QVERIFY(!m.isVisible());
    }

    void loadingWindow()
    {
        FrmCarga c;
        c.move(300, 300);
        c.show();
        c.Activate();
        const QImage img = grab(&c, QStringLiteral("FrmCarga"));
        checkRoundedFrame(img);
        checkTextFits(c.Label1);
    }

    void waitAndShopWindows()
    {
        DialogFixture f;
        f.mainWindow->hide();
        FrmEspera e(*f.state);
        e.move(100, 100);
        e.show();
        e.Activate();
        checkRoundedFrame(grab(&e, QStringLiteral("FrmEspera")));
        checkTextFits(e.Label1);
        e.Unload();

        FrmTienda t(*f.state);
        t.move(400, 100);
        t.show();
        grab(&t, QStringLiteral("FrmTienda"));
        checkTextFits(t.Label1);
        // The shop window takes typing.
        QTRY_VERIFY(t.Text1->hasFocus());
        QTest::keyClicks(QApplication::focusWidget(), "42");
        QCOMPARE(t.Text1->text(), QStringLiteral("42"));
    }
};

QTEST_MAIN(TestDialogsX11)
#include "tst_dialogs_x11.moc"
