// The key-string syntax the keyboard sends its keys in.
#include "teclado/KeyLayouts.h"
#include "teclado/KeyStrings.h"

#include <QTest>

using namespace zd::teclado;
using Key = KeyStroke::Key;

Q_DECLARE_METATYPE(QVector<zd::teclado::KeyStroke>)

namespace {
KeyStroke ch(char32_t c, bool shift = false, bool ctrl = false, bool alt = false)
{
    return {Key::Character, c, shift, ctrl, alt};
}
KeyStroke key(Key k, bool shift = false, bool ctrl = false, bool alt = false)
{
    return {k, 0, shift, ctrl, alt};
}
} // namespace

class TestKeyStrings : public QObject {
    Q_OBJECT
private slots:
    void parsesValidStrings_data();
    void parsesValidStrings();
    void rejectsMalformedStrings_data();
    void rejectsMalformedStrings();
    void literalTypesEveryTableCharacterAsItself();
};

void TestKeyStrings::parsesValidStrings_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QVector<KeyStroke>>("strokes");
    QTest::newRow("plain text") << "a1," << QVector<KeyStroke>{ch('a'), ch('1'), ch(',')};
    QTest::newRow("accented") << QString::fromUtf16(u"\u00e9\u20ac") << QVector<KeyStroke>{ch(0xe9), ch(0x20ac)};
    QTest::newRow("named keys") << "{TAB}{DELETE}{UP}{DOWN}{LEFT}{RIGHT}{HOME}{END}{ENTER}"
                                << QVector<KeyStroke>{key(Key::Tab), key(Key::Delete), key(Key::Up),
                                                      key(Key::Down), key(Key::Left), key(Key::Right),
                                                      key(Key::Home), key(Key::End), key(Key::Enter)};
    QTest::newRow("names ignore case") << "{tab}{Enter}" << QVector<KeyStroke>{key(Key::Tab), key(Key::Enter)};
    QTest::newRow("shift tab") << "+{TAB}" << QVector<KeyStroke>{key(Key::Tab, true)};
    QTest::newRow("ctrl delete") << "^{DELETE}" << QVector<KeyStroke>{key(Key::Delete, false, true)};
    QTest::newRow("modifier holds for one key") << "+ab" << QVector<KeyStroke>{ch('a', true), ch('b')};
    QTest::newRow("combined modifiers") << "^+%x" << QVector<KeyStroke>{ch('x', true, true, true)};
    QTest::newRow("group") << "+(ab)c" << QVector<KeyStroke>{ch('a', true), ch('b', true), ch('c')};
    QTest::newRow("plus character") << "{+}" << QVector<KeyStroke>{ch('+')};
    QTest::newRow("braced reserved") << "{^}{%}{~}{(}{)}{{}{}}{[}{]}"
                                     << QVector<KeyStroke>{ch('^'), ch('%'), ch('~'), ch('('), ch(')'),
                                                           ch('{'), ch('}'), ch('['), ch(']')};
    QTest::newRow("tilde is enter") << "a~" << QVector<KeyStroke>{ch('a'), key(Key::Enter)};
    QTest::newRow("repeat count") << "{LEFT 3}" << QVector<KeyStroke>{key(Key::Left), key(Key::Left), key(Key::Left)};
    QTest::newRow("repeated character") << "{x 2}" << QVector<KeyStroke>{ch('x'), ch('x')};
    QTest::newRow("space") << " { }" << QVector<KeyStroke>{ch(' '), ch(' ')};
    QTest::newRow("empty") << "" << QVector<KeyStroke>{};
}

void TestKeyStrings::parsesValidStrings()
{
    QFETCH(QString, keys);
    QFETCH(QVector<KeyStroke>, strokes);
    const auto parsed = KeyStrings::parse(keys);
    QVERIFY(parsed.has_value());
    QCOMPARE(parsed->size(), strokes.size());
    for (int i = 0; i < strokes.size(); ++i) {
        const KeyStroke &a = parsed->at(i), &b = strokes.at(i);
        QVERIFY2(a == b, qPrintable(QStringLiteral("stroke %1: key %2 char %3 shift %4 ctrl %5 alt %6")
                                        .arg(i).arg(int(a.key)).arg(uint(a.character))
                                        .arg(a.shift).arg(a.ctrl).arg(a.alt)));
    }
}

void TestKeyStrings::rejectsMalformedStrings_data()
{
    QTest::addColumn<QString>("keys");
    QTest::newRow("unknown name") << "{NOSUCHKEY}";
    QTest::newRow("unclosed brace") << "{TAB";
    QTest::newRow("empty braces") << "{}";
    QTest::newRow("bare closing brace") << "a}";
    QTest::newRow("bare bracket") << "[";
    QTest::newRow("unclosed group") << "+(ab";
    QTest::newRow("stray parenthesis") << "a)";
    QTest::newRow("dangling modifier") << "a+";
    QTest::newRow("bad count") << "{LEFT x}";
}

void TestKeyStrings::rejectsMalformedStrings()
{
    QFETCH(QString, keys);
    QVERIFY(!KeyStrings::parse(keys).has_value());
}

void TestKeyStrings::literalTypesEveryTableCharacterAsItself()
{
    // Every character of the three tables, reserved ones included, comes out
    // as exactly that character with no modifier.
    for (auto layout : {KeyLayouts::Layout::Lowercase, KeyLayouts::Layout::Uppercase, KeyLayouts::Layout::Symbols}) {
        for (QChar c : KeyLayouts::table(layout)) {
            const auto parsed = KeyStrings::parse(KeyStrings::literal(QString(c)));
            QVERIFY2(parsed && parsed->size() == 1, qPrintable(QString(c)));
            QCOMPARE(parsed->front(), ch(c.unicode()));
        }
    }
    QCOMPARE(KeyStrings::literal(QStringLiteral("a+b~")), QStringLiteral("a{+}b{~}"));
}

QTEST_GUILESS_MAIN(TestKeyStrings)
#include "tst_keystrings.moc"
