// The keyboard window offscreen: keys, captions, pictures, placement,
// collapsing, hiding on the marker and the second instance. (Typing needs X11:
// see the _x11 tests.)
#include "common/Pictures.h"
#include "teclado/FrmMain.h"
#include "teclado/KeyButton.h"
#include "teclado/KeyLayouts.h"

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace zd::teclado;

class TestFrmMain : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void keysAreBuiltAtTheirPlaces();
    void captionsFollowTheModes();
    void picturesAreLoadedFromTheProgramFolder();
    void missingOrBrokenPicturesLeaveKeysPlain();
    void sitsAtHomeAndCollapsesToAStrip();
    void hidesWhileTheMarkerExists();
    void secondInstanceEndsAtFirstShow();
    void shiftThenFixAsksToEnd();

private:
    QImage picture(const QString &name) const
    {
        int w = -1, h = -1;
        return zd::common::LoadGdiPicture(m_skins.filePath(name), w, h).toImage();
    }
    QTemporaryDir m_skins;
};

void TestFrmMain::initTestCase()
{
    const QDir bin(QStringLiteral(ZD_PROGRAM_DIR));
    for (const QString &name : bin.entryList({QStringLiteral("*.png")}))
        QVERIFY(QFile::copy(bin.filePath(name), m_skins.filePath(name)));
    QVERIFY(QFile::exists(m_skins.filePath(QStringLiteral("fondoa.png"))));
}

void TestFrmMain::keysAreBuiltAtTheirPlaces()
{
    FrmMain frm(m_skins.path());
    QCOMPARE(frm.windowTitle(), QStringLiteral("TRS_Teclado"));
    QCOMPARE(frm.size(), QSize(1025, 212));
    QVERIFY(frm.windowFlags().testFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus));
    QVERIFY(frm.testAttribute(Qt::WA_ShowWithoutActivating));
    QCOMPARE(frm.findChildren<KeyButton *>(QRegularExpression(QStringLiteral("^Btn_\\d+$"))).size(), 59);
    for (int i = 0; i < KeyLayouts::KeyCount; ++i) {
        auto *key = frm.findChild<KeyButton *>(QStringLiteral("Btn_%1").arg(i));
        QVERIFY(key);
        QCOMPARE(key->geometry(), KeyLayouts::keyRectPixels(i));
        QCOMPARE(key->focusPolicy(), Qt::NoFocus);
    }
    QCOMPARE(frm.findChild<QWidget *>(QStringLiteral("ShapeCaps"))->geometry(), QRect(124, 152, 17, 49));
    QCOMPARE(frm.CmdExpand()->geometry(), QRect(0, 8, 49, 193));
    QVERIFY(!frm.findChild<QWidget *>(QStringLiteral("ImageExit"))->isVisibleTo(&frm));
    QCOMPARE(frm.findChild<QTimer *>(QStringLiteral("TmrOnTop"))->interval(), 250);
    QCOMPARE(frm.findChild<QTimer *>(QStringLiteral("TmrWindow"))->interval(), 500);
}

void TestFrmMain::captionsFollowTheModes()
{
    FrmMain frm(m_skins.path());
    QVERIFY(!frm.canSendKeys()); // offscreen: keys change modes only
    QCOMPARE(frm.Btn(16)->text(), QStringLiteral("a"));
    QCOMPARE(frm.Btn(39)->text(), QString(QChar(250)));
    QVERIFY(frm.Btn(16)->font().bold());
    QCOMPARE(frm.Btn(16)->font().pointSize(), 18);
    QCOMPARE(frm.Btn(14)->text(), QStringLiteral("Fix"));
    QCOMPARE(frm.Btn(52)->text(), QStringLiteral("Verr Maj"));
    QCOMPARE(frm.Btn(55)->text(), QStringLiteral("Symboles"));
    QVERIFY(frm.Btn(54)->text().isEmpty());
    // Arrow captions are written at the first show.
    QVERIFY(frm.Btn(49)->text().isEmpty());
    frm.FormFirstShow();
    QCOMPARE(frm.Btn(49)->text(), QString(QChar(0x2190)));
    QCOMPARE(frm.Btn(58)->text(), QString(QChar(0x21b5)));
    QCOMPARE(frm.shapeCapsColour(), FrmMain::CapsOffColour);

    QTest::mouseClick(frm.Btn(53), Qt::LeftButton);
    for (int k = 16; k <= 48; ++k)
        if (KeyLayouts::isCharacterKey(k))
            QCOMPARE(frm.Btn(k)->text(), KeyLayouts::characterOf(k, KeyLayouts::Layout::Uppercase));
    QTest::mouseClick(frm.Btn(16), Qt::LeftButton);
    QCOMPARE(frm.Btn(16)->text(), QStringLiteral("a"));
    QTest::mouseClick(frm.Btn(55), Qt::LeftButton);
    for (int k = 16; k <= 48; ++k)
        if (KeyLayouts::isCharacterKey(k))
            QCOMPARE(frm.Btn(k)->text(), KeyLayouts::characterOf(k, KeyLayouts::Layout::Symbols));
    QCOMPARE(frm.Btn(38)->text(), QString(QChar(0x2191)));
    QTest::mouseClick(frm.Btn(55), Qt::LeftButton);
    QCOMPARE(frm.Btn(29)->text(), QStringLiteral("s"));
    QVERIFY(!frm.KeyBusy());
}

void TestFrmMain::picturesAreLoadedFromTheProgramFolder()
{
    FrmMain frm(m_skins.path());
    QCOMPARE(frm.Btn(16)->picture().toImage(), picture(QStringLiteral("base.png")));
    QCOMPARE(frm.Btn(52)->picture().toImage(), picture(QStringLiteral("base2.png")));
    QCOMPARE(frm.Btn(53)->picture().toImage(), picture(QStringLiteral("base2.png")));
    QCOMPARE(frm.Btn(55)->picture().toImage(), picture(QStringLiteral("base2.png")));
    QCOMPARE(frm.Btn(54)->picture().toImage(), picture(QStringLiteral("base6.png")));
    QCOMPARE(frm.Btn(58)->picture().toImage(), picture(QStringLiteral("base2ver.png")));
    QCOMPARE(frm.CmdExpand()->picture().toImage(), picture(QStringLiteral("nokeyboard.png")));
    // The skins are drawn to the sizes of the keys they cover.
    QCOMPARE(frm.Btn(54)->picture().size(), frm.Btn(54)->size());
    QCOMPARE(frm.Btn(58)->picture().size(), frm.Btn(58)->size());
    QCOMPARE(frm.Btn(0)->picture().size(), frm.Btn(0)->size());
    // Painting the window shows the background picture.
    const QImage shot = frm.grab().toImage();
    QCOMPARE(shot.pixel(1010, 2), picture(QStringLiteral("fondoa.png")).pixel(1010, 2));
}

void TestFrmMain::missingOrBrokenPicturesLeaveKeysPlain()
{
    QTemporaryDir folder;
    QFile broken(folder.filePath(QStringLiteral("base.png")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    FrmMain frm(folder.path());
    QVERIFY(frm.Btn(16)->picture().isNull());
    QVERIFY(frm.Btn(54)->picture().isNull());
    QVERIFY(frm.CmdExpand()->picture().isNull());
    // It still draws and works.
    QVERIFY(!frm.grab().isNull());
    QTest::mouseClick(frm.Btn(53), Qt::LeftButton);
    QCOMPARE(frm.Btn(16)->text(), QStringLiteral("A"));
    frm.CmdExpandClick();
    QVERIFY(frm.isCollapsed());
}

void TestFrmMain::sitsAtHomeAndCollapsesToAStrip()
{
    FrmMain frm(m_skins.path());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(frm.HomeLeft(), screen.width() - 1025);
    QCOMPARE(frm.HomeTop(), screen.height() - 212);
    QCOMPARE(frm.pos(), QPoint(frm.HomeLeft(), frm.HomeTop()));
    QVERIFY(!frm.isCollapsed());

    frm.move(100, 50); // dragged somewhere
    QTest::mouseClick(frm.CmdExpand(), Qt::LeftButton, {}, QPoint(10, 100));
    QVERIFY(frm.isCollapsed());
    QCOMPARE(frm.geometry(), QRect(screen.width() - 49, frm.HomeTop(), 49, 212));
    QCOMPARE(frm.CmdExpand()->picture().toImage(), picture(QStringLiteral("keyboard.png")));
    QTest::mouseClick(frm.CmdExpand(), Qt::LeftButton, {}, QPoint(10, 100));
    QVERIFY(!frm.isCollapsed());
    QCOMPARE(frm.geometry(), QRect(frm.HomeLeft(), frm.HomeTop(), 1025, 212));
    QCOMPARE(frm.CmdExpand()->picture().toImage(), picture(QStringLiteral("nokeyboard.png")));
}

void TestFrmMain::hidesWhileTheMarkerExists()
{
    QTemporaryDir folder;
    FrmMain frm(folder.path());
    frm.FormFirstShow();
    QVERIFY(!frm.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(frm.isVisible(), 800);
    QFile marker(folder.filePath(QStringLiteral("notrs_teclado")));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.close();
    QTRY_VERIFY_WITH_TIMEOUT(!frm.isVisible(), 800);
    QVERIFY(marker.remove());
    QTRY_VERIFY_WITH_TIMEOUT(frm.isVisible(), 800);
}

void TestFrmMain::secondInstanceEndsAtFirstShow()
{
    QTemporaryDir folder;
    FrmMain frm(folder.path(), true);
    QSignalSpy ended(&frm, &FrmMain::endRequested);
    frm.FormFirstShow();
    QCOMPARE(ended.count(), 1);
    QTest::qWait(700);
    QVERIFY(!frm.isVisible()); // its timers never started
}

void TestFrmMain::shiftThenFixAsksToEnd()
{
    QTemporaryDir folder;
    FrmMain frm(folder.path());
    QSignalSpy ended(&frm, &FrmMain::endRequested);
    QTest::mouseClick(frm.Btn(14), Qt::LeftButton);
    QCOMPARE(ended.count(), 0);
    QTest::mouseClick(frm.Btn(53), Qt::LeftButton);
    QTest::mouseClick(frm.Btn(14), Qt::LeftButton);
    QCOMPARE(ended.count(), 1);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
