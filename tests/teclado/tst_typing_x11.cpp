// The keyboard window typing into a real window of another process, on a
// private X server with a window manager.
#include "x11_helpers.h"

#include "teclado/FrmMain.h"
#include "teclado/KeyButton.h"
#include "teclado/KeyLayouts.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace zd::teclado;
using namespace zd::teclado::test;
using Layout = KeyLayouts::Layout;

class TestTyping : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void shiftTypesOneCapital();
    void shiftTwiceCancels();
    void symbolsTypeTildeNotEnter();
    void everyCharacterArrives_data();
    void everyCharacterArrives();
    void fixedKeysWithAndWithoutShift_data();
    void fixedKeysWithAndWithoutShift();
    void fixWithoutShiftTypesNothing();
    void capsLockFromThePad();
    void capsLockFromThePhysicalKeyboard();
    void clickOnTheKeyboardKeepsTheTarget();
    void targetFollowsTheOperatorAndIsReactivated();

private:
    void tap(int key) { m_frm->Btn(key)->click(); }
    QPoint keyCentre(int key) const
    {
        KeyButton *b = m_frm->Btn(key);
        return b->mapToGlobal(b->rect().center());
    }
    bool capsOn() const { return m_frm->CapsLockControl(-1, 0); }

    QTemporaryDir m_folder;
    std::unique_ptr<TargetWindow> m_target;
    std::unique_ptr<FrmMain> m_frm;
};

void TestTyping::initTestCase()
{
    QVERIFY(m_folder.isValid());
    for (const QString &name : QDir(QStringLiteral(ZD_PROGRAM_DIR)).entryList({QStringLiteral("*.png")}))
        QFile::copy(QStringLiteral(ZD_PROGRAM_DIR "/") + name, m_folder.filePath(name));

    m_target = std::make_unique<TargetWindow>();
    QVERIFY2(m_target->start(), "the target window did not come up");

    m_frm = std::make_unique<FrmMain>(m_folder.path());
    QVERIFY(m_frm->canSendKeys());
    m_frm->FormFirstShow();
    // Started hidden, shown by the first window tick, and tracking the target.
    QVERIFY(!m_frm->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(m_frm->isVisible(), 1500);
    QTRY_COMPARE_WITH_TIMEOUT(m_frm->TargetWindow(), m_target->windowId(), 1500);
    QCOMPARE(activeWindow(), m_target->windowId());
}

void TestTyping::init()
{
    QVERIFY(m_target->activate());
    QTRY_COMPARE_WITH_TIMEOUT(m_frm->TargetWindow(), m_target->windowId(), 1500);
    m_target->clear();
}

void TestTyping::cleanup()
{
    // Every test leaves Caps Lock off and no mode pending.
    if (m_frm->CapsLockControl(-1, 0))
        m_frm->CapsLockControl(0, 2);
    if (m_frm->keyPad().ShiftPending())
        tap(53);
    if (m_frm->keyPad().SymbolsPending())
        tap(55);
}

void TestTyping::cleanupTestCase()
{
    m_frm.reset();
    m_target.reset();
}

void TestTyping::shiftTypesOneCapital()
{
    tap(53);
    QVERIFY(m_frm->keyPad().ShiftPending());
    QCOMPARE(m_frm->Btn(16)->text(), QStringLiteral("A"));
    tap(16);
    QVERIFY(m_target->waitForTyped(QStringLiteral("A")));
    QCOMPARE(m_frm->Btn(16)->text(), QStringLiteral("a"));
    QCOMPARE(m_frm->Btn(26)->text(), QStringLiteral(u"\u00e9"));
    tap(16);
    QVERIFY(m_target->waitForTyped(QStringLiteral("Aa")));
}

void TestTyping::shiftTwiceCancels()
{
    tap(53);
    tap(53);
    QVERIFY(!m_frm->keyPad().ShiftPending());
    QCOMPARE(m_frm->Btn(16)->text(), QStringLiteral("a"));
    tap(17);
    QVERIFY(m_target->waitForTyped(QStringLiteral("z")));
}

void TestTyping::symbolsTypeTildeNotEnter()
{
    tap(55);
    QCOMPARE(m_frm->Btn(29)->text(), QStringLiteral("~"));
    tap(29);
    tap(28);
    QVERIFY2(m_target->waitForTyped(QStringLiteral("~q")), qPrintable(m_target->typed()));
    QCOMPARE(m_frm->keyPad().layout(), Layout::Lowercase);
}

void TestTyping::everyCharacterArrives_data()
{
    QTest::addColumn<int>("modeKey"); // pressed before each key, -1 none
    QTest::addColumn<int>("layout");
    QTest::newRow("lower case") << -1 << int(Layout::Lowercase);
    QTest::newRow("upper case") << 53 << int(Layout::Uppercase);
    QTest::newRow("symbols") << 55 << int(Layout::Symbols);
}

void TestTyping::everyCharacterArrives()
{
    QFETCH(int, modeKey);
    QFETCH(int, layout);
    QString expected;
    for (int key = KeyLayouts::TableBase; key < KeyLayouts::TableBase + KeyLayouts::TableSize; ++key) {
        if (!KeyLayouts::isCharacterKey(key))
            continue;
        if (modeKey >= 0)
            tap(modeKey);
        QCOMPARE(int(m_frm->keyPad().layout()), layout);
        tap(key);
        expected += KeyLayouts::characterOf(key, Layout(layout));
    }
    QVERIFY2(m_target->waitForTyped(expected, 5000),
             qPrintable(QStringLiteral("expected %1, got %2").arg(expected, m_target->typed())));
}

void TestTyping::fixedKeysWithAndWithoutShift_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("shifted");
    for (int d = 0; d <= 9; ++d)
        QTest::addRow("digit %d", d) << d << QString::number(d) << QString::number(d);
    QTest::newRow("Tab") << 10 << "{TAB}" << "+{TAB}";
    QTest::newRow("*") << 11 << "*" << "*";
    QTest::newRow("C") << 12 << "{DELETE}" << "^{DELETE}";
    QTest::newRow("-") << 13 << "-" << "-";
    QTest::newRow(".") << 15 << "." << ".";
    QTest::newRow("up") << 38 << "{UP}" << "+{TAB}";
    QTest::newRow("left") << 49 << "{LEFT}" << "{HOME}";
    QTest::newRow("down") << 50 << "{DOWN}" << "{TAB}";
    QTest::newRow("right") << 51 << "{RIGHT}" << "{END}";
    QTest::newRow("space") << 54 << " " << " ";
    QTest::newRow("backspace") << 56 << "{BACKSPACE}" << "{BACKSPACE}";
    QTest::newRow("+") << 57 << "+" << "+";
    QTest::newRow("enter") << 58 << "{ENTER}" << "{ENTER}";
}

void TestTyping::fixedKeysWithAndWithoutShift()
{
    QFETCH(int, key);
    QFETCH(QString, plain);
    QFETCH(QString, shifted);
    tap(key);
    tap(53);
    tap(key);
    QVERIFY2(m_target->waitForTyped(plain + shifted), qPrintable(m_target->typed()));
    QVERIFY(!m_frm->keyPad().ShiftPending());
}

void TestTyping::fixWithoutShiftTypesNothing()
{
    QSignalSpy ended(m_frm.get(), &FrmMain::endRequested);
    tap(14);
    tap(16);
    QVERIFY(m_target->waitForTyped(QStringLiteral("a")));
    QCOMPARE(ended.count(), 0);
}

void TestTyping::capsLockFromThePad()
{
    QVERIFY(!capsOn());
    tap(52);
    QVERIFY(capsOn());
    QCOMPARE(m_frm->Btn(16)->text(), QStringLiteral("A"));
    QCOMPARE(m_frm->shapeCapsColour(), FrmMain::CapsOnColour);
    // Shift cannot be chosen while Caps Lock is on.
    tap(53);
    QVERIFY(!m_frm->keyPad().ShiftPending());
    QCOMPARE(m_frm->Btn(16)->text(), QStringLiteral("A"));
    tap(16);
    tap(26); // é turned into a capital by the system's Caps Lock
    QVERIFY2(m_target->waitForTyped(QStringLiteral(u"A\u00c9")), qPrintable(m_target->typed()));
    // Symbols while Caps Lock is on: the symbol, then upper-case captions again.
    tap(55);
    QCOMPARE(m_frm->Btn(29)->text(), QStringLiteral("~"));
    tap(29);
    QVERIFY2(m_target->waitForTyped(QStringLiteral(u"A\u00c9~")), qPrintable(m_target->typed()));
    QCOMPARE(m_frm->Btn(29)->text(), QStringLiteral("S"));
    tap(52);
    QVERIFY(!capsOn());
    QCOMPARE(m_frm->Btn(16)->text(), QStringLiteral("a"));
    QCOMPARE(m_frm->shapeCapsColour(), FrmMain::CapsOffColour);
    tap(16);
    QVERIFY(m_target->waitForTyped(QStringLiteral(u"A\u00c9~a")));
}

void TestTyping::capsLockFromThePhysicalKeyboard()
{
    QCOMPARE(m_frm->shapeCapsColour(), FrmMain::CapsOffColour);
    pressKey(QStringLiteral("Caps_Lock"));
    // Mirrored by the next 250 ms tick (with slack for a busy machine).
    QTRY_COMPARE_WITH_TIMEOUT(m_frm->Btn(16)->text(), QStringLiteral("A"), 1000);
    QCOMPARE(m_frm->shapeCapsColour(), FrmMain::CapsOnColour);
    QVERIFY(m_frm->keyPad().CapsCaptions());
    tap(20);
    QVERIFY(m_target->waitForTyped(QStringLiteral("T")));
    pressKey(QStringLiteral("Caps_Lock"));
    QTRY_COMPARE_WITH_TIMEOUT(m_frm->Btn(16)->text(), QStringLiteral("a"), 1000);
    QCOMPARE(m_frm->shapeCapsColour(), FrmMain::CapsOffColour);
}

void TestTyping::clickOnTheKeyboardKeepsTheTarget()
{
    // A real pointer click through the window manager.
    click(keyCentre(16));
    QVERIFY2(m_target->waitForTyped(QStringLiteral("a")), qPrintable(m_target->typed()));
    QCOMPARE(activeWindow(), m_target->windowId());
    // Over a window tick, the target stays the operator's window.
    QTest::qWait(FrmMain::WindowIntervalMs + 150);
    QCOMPARE(m_frm->TargetWindow(), m_target->windowId());
    click(keyCentre(53));
    click(keyCentre(17));
    QVERIFY2(m_target->waitForTyped(QStringLiteral("aZ")), qPrintable(m_target->typed()));
}

void TestTyping::targetFollowsTheOperatorAndIsReactivated()
{
    TargetWindow other(QStringLiteral("zd-target-2"));
    QVERIFY(other.start());
    QTRY_COMPARE_WITH_TIMEOUT(m_frm->TargetWindow(), other.windowId(), 1500);
    tap(18);
    QVERIFY(other.waitForTyped(QStringLiteral("e")));

    // The operator switches windows and touches a key before the next tick:
    // the key goes to the window the keyboard was tracking.
    QVERIFY(m_target->activate());
    QCOMPARE(m_frm->TargetWindow(), other.windowId());
    tap(19);
    QVERIFY(other.waitForTyped(QStringLiteral("er")));
    QCOMPARE(activeWindow(), other.windowId());
    QCOMPARE(m_target->typed(), QString());
}

int main(int argc, char *argv[])
{
    return runX11Test(argc, argv, [] () -> QObject * { return new TestTyping; });
}

#include "tst_typing_x11.moc"
