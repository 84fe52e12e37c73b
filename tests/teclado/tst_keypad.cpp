// The pad's key map and its modes: one-shot Shift and Symbols, Caps Lock
// captions, and what every key sends.
#include "teclado/KeyLayouts.h"
#include "teclado/KeyPad.h"

#include <QSet>
#include <QTest>

using namespace zd::teclado;
using Layout = KeyLayouts::Layout;
using Kind = KeyAction::Kind;

class TestKeyPad : public QObject {
    Q_OBJECT
private slots:
    void tablesHoldTheirCharacters();
    void keysSitAtTheirPlaces();
    void shiftAppliesToOneKey();
    void shiftTwiceCancels();
    void symbolsApplyToOneKeyAndWinOverShift();
    void capsLockBlocksShiftAndKeepsCaptions();
    void symbolsWhileCapsLockReturnToUpperCase();
    void fixedKeysSendTheirStrings();
    void fixEndsOnlyWithShift();
    void modeKeysSendNothing();
};

void TestKeyPad::tablesHoldTheirCharacters()
{
    QCOMPARE(KeyLayouts::LowercaseKeys(), QString::fromUtf16(u"azertyuiop\u00e9$qsdfghjklm \u00fawxcvbn,\u00e8\u00e0"));
    QCOMPARE(KeyLayouts::UppercaseKeys(), QString::fromUtf16(u"AZERTYUIOP\u00a8\u00a3QSDFGHJKLM %WXCVBN?./"));
    QCOMPARE(KeyLayouts::SymbolKeys(), QString::fromUtf16(u"\u00b2&,\"'(-;_\u00e7:)=~#{\u20ac[|`\\^ @]}\u00bf?%\u00a7\u00a1!\u00f1"));
    QCOMPARE(KeyLayouts::characterOf(29, Layout::Symbols), QStringLiteral("~"));
    QCOMPARE(KeyLayouts::characterOf(39, Layout::Lowercase), QString(QChar(250)));
    QVERIFY(KeyLayouts::characterOf(38, Layout::Lowercase).isEmpty());
    QVERIFY(KeyLayouts::characterOf(15, Layout::Lowercase).isEmpty());
}

void TestKeyPad::keysSitAtTheirPlaces()
{
    // Spot checks of each row, then: every key inside the window, none on top
    // of another beyond the one-pixel seams of the drawing.
    QCOMPARE(KeyLayouts::keyRectTwips(16), QRect(480, 120, 855, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(27), QRect(480 + 840 * 11, 120, 855, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(7), QRect(10680, 120, 855, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(56), QRect(14040, 120, 855, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(39), QRect(480 + 840 * 11, 840, 855, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(57), QRect(14040, 840, 855, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(51), QRect(480 + 840 * 11, 1560, 855, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(58), QRect(14040, 1560, 855, 1455));
    QCOMPARE(KeyLayouts::keyRectTwips(52), QRect(480, 2280, 1335, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(53), QRect(2160, 2280, 1695, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(54), QRect(3840, 2280, 5055, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(55), QRect(8880, 2280, 1695, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(11), QRect(10680, 2280, 855, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(0), QRect(11520, 2280, 855, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(10), QRect(12360, 2280, 855, 735));
    QCOMPARE(KeyLayouts::keyRectTwips(15), QRect(13200, 2280, 855, 735));
    const QRect window(0, 0, KeyLayouts::WindowWidthTwips, KeyLayouts::WindowHeightTwips);
    for (int a = 0; a < KeyLayouts::KeyCount; ++a) {
        const QRect ra = KeyLayouts::keyRectPixels(a);
        QVERIFY2(window.contains(KeyLayouts::keyRectTwips(a)), qPrintable(QString::number(a)));
        const QRect onBar = ra.intersected(KeyLayouts::shapeCapsRectPixels());
        QVERIFY(onBar.isEmpty() || onBar.height() <= 1);
        for (int b = a + 1; b < KeyLayouts::KeyCount; ++b) {
            const QRect overlap = ra.intersected(KeyLayouts::keyRectPixels(b));
            QVERIFY2(overlap.isEmpty() || overlap.width() <= 1 || overlap.height() <= 1,
                     qPrintable(QStringLiteral("%1 and %2").arg(a).arg(b)));
        }
    }
}

void TestKeyPad::shiftAppliesToOneKey()
{
    KeyPad pad;
    QCOMPARE(pad.press(53), KeyAction{});
    QVERIFY(pad.ShiftPending());
    QCOMPARE(pad.layout(), Layout::Uppercase);
    QCOMPARE(pad.press(16), (KeyAction{Kind::Keys, QStringLiteral("A")}));
    QVERIFY(!pad.ShiftPending());
    QCOMPARE(pad.layout(), Layout::Lowercase);
    QCOMPARE(pad.press(16), (KeyAction{Kind::Keys, QStringLiteral("a")}));
    // The space bar also ends a pending Shift.
    pad.press(53);
    QCOMPARE(pad.press(54), (KeyAction{Kind::Keys, QStringLiteral(" ")}));
    QVERIFY(!pad.ShiftPending());
}

void TestKeyPad::shiftTwiceCancels()
{
    KeyPad pad;
    pad.press(53);
    pad.press(53);
    QVERIFY(!pad.ShiftPending());
    QCOMPARE(pad.layout(), Layout::Lowercase);
    QCOMPARE(pad.press(49), (KeyAction{Kind::Keys, QStringLiteral("{LEFT}")}));
}

void TestKeyPad::symbolsApplyToOneKeyAndWinOverShift()
{
    KeyPad pad;
    pad.press(55);
    QCOMPARE(pad.layout(), Layout::Symbols);
    QCOMPARE(pad.press(29), (KeyAction{Kind::Keys, QStringLiteral("{~}")}));
    QCOMPARE(pad.layout(), Layout::Lowercase);
    QVERIFY(!pad.SymbolsPending());
    pad.press(55);
    pad.press(55);
    QVERIFY(!pad.SymbolsPending());
    QCOMPARE(pad.layout(), Layout::Lowercase);
    pad.press(55);
    pad.press(53);
    QCOMPARE(pad.press(20), (KeyAction{Kind::Keys, QStringLiteral("'")}));
    QVERIFY(!pad.ShiftPending());
    QVERIFY(!pad.SymbolsPending());
    // Reserved characters are typed literally.
    pad.press(55);
    QCOMPARE(pad.press(31), (KeyAction{Kind::Keys, QStringLiteral("{{}")}));
}

void TestKeyPad::capsLockBlocksShiftAndKeepsCaptions()
{
    KeyPad pad;
    QCOMPARE(pad.press(52), (KeyAction{Kind::ToggleCaps, {}}));
    pad.mirrorCaps(true);
    QVERIFY(pad.CapsCaptions());
    QCOMPARE(pad.layout(), Layout::Uppercase);
    pad.press(53);
    QVERIFY(!pad.ShiftPending());
    QCOMPARE(pad.layout(), Layout::Uppercase);
    // Letters go out in lower case: the system's Caps Lock capitalises them.
    QCOMPARE(pad.press(16), (KeyAction{Kind::Keys, QStringLiteral("a")}));
    QCOMPARE(pad.layout(), Layout::Uppercase);
    pad.mirrorCaps(false);
    QVERIFY(!pad.CapsCaptions());
    QCOMPARE(pad.layout(), Layout::Lowercase);
}

void TestKeyPad::symbolsWhileCapsLockReturnToUpperCase()
{
    KeyPad pad;
    pad.mirrorCaps(true);
    pad.press(55);
    QCOMPARE(pad.layout(), Layout::Symbols);
    QCOMPARE(pad.press(48), (KeyAction{Kind::Keys, QString(QChar(0xf1))}));
    QCOMPARE(pad.layout(), Layout::Uppercase);
    pad.press(55);
    pad.press(55);
    QCOMPARE(pad.layout(), Layout::Uppercase);
}

void TestKeyPad::fixedKeysSendTheirStrings()
{
    struct Row { int key; const char *plain; const char *shifted; };
    const Row rows[] = {
        {0, "0", "0"}, {9, "9", "9"}, {10, "{TAB}", "+{TAB}"}, {11, "*", "*"},
        {12, "{DELETE}", "^{DELETE}"}, {13, "-", "-"}, {15, ".", "."},
        {38, "{UP}", "+{TAB}"}, {49, "{LEFT}", "{HOME}"}, {50, "{DOWN}", "{TAB}"},
        {51, "{RIGHT}", "{END}"}, {57, "{+}", "{+}"}, {58, "{ENTER}", "{ENTER}"},
    };
    for (const Row &r : rows) {
        KeyPad pad;
        QCOMPARE(pad.press(r.key), (KeyAction{Kind::Keys, QString::fromLatin1(r.plain)}));
        pad.press(53);
        QCOMPARE(pad.press(r.key), (KeyAction{Kind::Keys, QString::fromLatin1(r.shifted)}));
        QVERIFY(!pad.ShiftPending());
        QCOMPARE(pad.layout(), Layout::Lowercase);
    }
    KeyPad pad;
    QCOMPARE(pad.press(56), (KeyAction{Kind::Backspace, {}}));
    pad.press(53);
    QCOMPARE(pad.press(56), (KeyAction{Kind::Backspace, {}}));
    QVERIFY(!pad.ShiftPending());
}

void TestKeyPad::fixEndsOnlyWithShift()
{
    KeyPad pad;
    QCOMPARE(pad.press(14), KeyAction{});
    pad.press(55);
    QCOMPARE(pad.press(14), KeyAction{});
    QVERIFY(!pad.SymbolsPending());
    pad.press(53);
    QCOMPARE(pad.press(14), (KeyAction{Kind::EndPrograms, {}}));
}

void TestKeyPad::modeKeysSendNothing()
{
    KeyPad pad;
    pad.press(53);
    // Caps Lock leaves a pending Shift as it is.
    QCOMPARE(pad.press(52).kind, Kind::ToggleCaps);
    QVERIFY(pad.ShiftPending());
    QCOMPARE(pad.press(-1), KeyAction{});
    QCOMPARE(pad.press(59), KeyAction{});
    QVERIFY(pad.ShiftPending());
}

QTEST_GUILESS_MAIN(TestKeyPad)
#include "tst_keypad.moc"
