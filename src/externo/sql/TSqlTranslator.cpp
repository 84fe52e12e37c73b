#include "TSqlTranslator.h"

#include <QSet>
#include <QVarLengthArray>
#include <QVector>

namespace zd::sql {

namespace {

struct Token {
    enum Type { Space, Word, Number, String, Quoted, Punct, Comment };
    Type type;
    QString text;
};

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#');
}

bool isWordChar(QChar c)
{
    return isWordStart(c) || c.isDigit() || c == QLatin1Char('$');
}

// One lexical unit of a statement, as a range of its text.
struct Span {
    Token::Type type;
    int start;
    int length;
    bool closed = true; // a quoted unit that has its closing quote
};

using Spans = QVarLengthArray<Span, 64>;

// Splits a statement so that quoted text is one opaque unit.
void scan(QStringView s, Spans &out)
{
    int i = 0;
    const int n = int(s.size());
    auto push = [&](Token::Type type, int start, bool closed = true) {
        out.push_back({type, start, i - start, closed});
    };
    while (i < n) {
        const QChar c = s.at(i);
        const int start = i;
        if (c.isSpace()) {
            while (i < n && s.at(i).isSpace())
                ++i;
            push(Token::Space, start);
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            bool closed = false;
            ++i;
            while (i < n) {
                if (s.at(i) == close) {
                    if (i + 1 < n && s.at(i + 1) == close) { // doubled: escaped
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                ++i;
            }
            push(c == QLatin1Char('\'') ? Token::String : Token::Quoted, start, closed);
        } else if (c == QLatin1Char('-') && i + 1 < n && s.at(i + 1) == QLatin1Char('-')) {
            while (i < n && s.at(i) != QLatin1Char('\n'))
                ++i;
            push(Token::Comment, start);
        } else if (c == QLatin1Char('/') && i + 1 < n && s.at(i + 1) == QLatin1Char('*')) {
            const int end = int(s.indexOf(QLatin1String("*/"), i + 2));
            i = end < 0 ? n : end + 2;
            push(Token::Comment, start);
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit())) {
            while (i < n && (s.at(i).isDigit() || s.at(i) == QLatin1Char('.')))
                ++i;
            if (i < n && (s.at(i) == QLatin1Char('e') || s.at(i) == QLatin1Char('E'))) {
                int j = i + 1;
                if (j < n && (s.at(j) == QLatin1Char('+') || s.at(j) == QLatin1Char('-')))
                    ++j;
                if (j < n && s.at(j).isDigit()) {
                    i = j;
                    while (i < n && s.at(i).isDigit())
                        ++i;
                }
            }
            push(Token::Number, start);
        } else if (isWordStart(c)) {
            while (i < n && isWordChar(s.at(i)))
                ++i;
            push(Token::Word, start);
        } else {
            ++i;
            // Two-character comparison operators stay one unit.
            if (i < n) {
                const QChar d = s.at(i);
                if ((c == QLatin1Char('<') && (d == QLatin1Char('>') || d == QLatin1Char('=')))
                    || ((c == QLatin1Char('>') || c == QLatin1Char('!')) && d == QLatin1Char('=')))
                    ++i;
            }
            push(Token::Punct, start);
        }
    }
}

QVector<Token> tokensOf(const QString &s, const Spans &spans)
{
    QVector<Token> out;
    out.reserve(spans.size());
    for (const Span &sp : spans)
        out.push_back({sp.type, s.mid(sp.start, sp.length)});
    return out;
}

QVector<Token> tokenize(const QString &s)
{
    Spans spans;
    scan(s, spans);
    return tokensOf(s, spans);
}

// Which literals of a statement are bound rather than kept in its shape: a
// whole number that SQLite reads as an integer, or a '...' text, standing
// right after a comparison operator and outside any convert(...). Every
// other literal (TOP n, ORDER BY positions, LIKE patterns, day arithmetic,
// convert styles, reals, N'...' texts, lists) stays in the text, so the
// translation of the shape is the translation of the statement. false when
// the text has parameter markers of its own: it then has no shape.
bool findBindable(QStringView s, const Spans &spans, QVarLengthArray<int, 16> &bindable)
{
    auto text = [&](const Span &sp) { return s.mid(sp.start, sp.length); };
    auto punct = [&](const Span &sp, QLatin1String p) { return sp.type == Token::Punct && text(sp) == p; };
    int depth = 0;
    QVarLengthArray<int, 4> convertDepths; // depth inside each open convert(
    bool convertPending = false;           // "convert" seen, its "(" not yet
    int previousSolid = -1;
    for (int i = 0; i < spans.size(); ++i) {
        const Span &sp = spans[i];
        if (sp.type == Token::Space || sp.type == Token::Comment)
            continue;
        if (sp.type == Token::Punct) {
            const QStringView p = text(sp);
            if (p == QLatin1String("?") || p == QLatin1String(":") || p == QLatin1String("$"))
                return false;
            if (p == QLatin1String("(")) {
                ++depth;
                if (convertPending)
                    convertDepths.push_back(depth);
            } else if (p == QLatin1String(")")) {
                if (!convertDepths.isEmpty() && convertDepths.last() == depth)
                    convertDepths.removeLast();
                --depth;
            }
            convertPending = false;
        } else if (sp.type == Token::Word) {
            const QChar first = s.at(sp.start);
            if (first == QLatin1Char('@'))
                return false;
            convertPending = text(sp).compare(QLatin1String("convert"), Qt::CaseInsensitive) == 0;
        } else {
            convertPending = false;
            const bool afterComparison = previousSolid >= 0
                && (punct(spans[previousSolid], QLatin1String("=")) || punct(spans[previousSolid], QLatin1String("<>"))
                    || punct(spans[previousSolid], QLatin1String("!=")) || punct(spans[previousSolid], QLatin1String("<"))
                    || punct(spans[previousSolid], QLatin1String(">")) || punct(spans[previousSolid], QLatin1String("<="))
                    || punct(spans[previousSolid], QLatin1String(">=")));
            bool bind = afterComparison && convertDepths.isEmpty();
            if (bind && sp.type == Token::Number) {
                // Digits only, within 64 bits, and not run together with what follows.
                const QStringView digits = text(sp);
                bool fits = false;
                digits.toLongLong(&fits);
                for (const QChar c : digits)
                    fits = fits && c.isDigit();
                const int next = i + 1;
                const bool glued = next < spans.size() && spans[next].type != Token::Space
                    && spans[next].type != Token::Punct;
                bind = fits && !glued;
            } else if (sp.type != Token::String || !sp.closed) {
                bind = false;
            }
            if (bind)
                bindable.push_back(i);
        }
        previousSolid = i;
    }
    return true;
}
} // namespace

StatementShape shapeOf(const QString &tsql)
{
    StatementShape shape;
    Spans spans;
    scan(tsql, spans);
    QVarLengthArray<int, 16> bindable;
    if (!findBindable(tsql, spans, bindable)) {
        shape.shaped = false;
        return shape;
    }
    // The kinds of the placeholders lead the key: a text and a number in
    // the same place translate differently next to a DATETIME column.
    QString kinds;
    QString body;
    body.reserve(tsql.size());
    int copied = 0;
    shape.literals.reserve(bindable.size());
    for (const int index : bindable) {
        const Span &sp = spans[index];
        body.append(QStringView(tsql).mid(copied, sp.start - copied));
        body.append(QLatin1Char('?'));
        copied = sp.start + sp.length;
        Literal literal;
        if (sp.type == Token::Number) {
            literal.kind = Literal::Kind::Integer;
            literal.integer = QStringView(tsql).mid(sp.start, sp.length).toLongLong();
            kinds.append(QLatin1Char('i'));
        } else {
            literal.kind = Literal::Kind::Text;
            literal.text = tsql.mid(sp.start + 1, sp.length - 2);
            literal.text.replace(QLatin1String("''"), QLatin1String("'"));
            kinds.append(QLatin1Char('t'));
        }
        shape.literals.push_back(std::move(literal));
    }
    body.append(QStringView(tsql).mid(copied));
    shape.key = kinds + QLatin1Char('|') + body;
    return shape;
}

namespace {

bool isWord(const Token &t, const char *word)
{
    return t.type == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool isPunct(const Token &t, const char *p)
{
    return t.type == Token::Punct && t.text == QLatin1String(p);
}

// DATETIME columns of the two databases: day arithmetic and comparisons
// with literals apply to these.
bool isDateColumn(const Token &t)
{
    static const QSet<QString> names = {QStringLiteral("fecha"), QStringLiteral("timestamp"),
                                        QStringLiteral("fechadocumento")};
    return t.type == Token::Word && names.contains(t.text.toLower());
}

// The value of a '...' literal, with doubled quotes undone.
QString literalValue(const QString &quoted)
{
    QString v = quoted.mid(1, quoted.size() - 2);
    v.replace(QLatin1String("''"), QLatin1String("'"));
    return v;
}

class Translator {
public:
    explicit Translator(QVector<Token> tokens)
        : t(std::move(tokens))
    {
    }

    QString range(int begin, int end) const
    {
        QString out;
        for (int i = begin; i < end; ++i)
            i = emitAt(i, end, out);
        return out;
    }

private:
    QVector<Token> t;

    int nextSolid(int i, int end) const
    {
        while (i < end && (t[i].type == Token::Space || t[i].type == Token::Comment))
            ++i;
        return i;
    }

    // Index of the ')' matching the '(' at open, or -1.
    int matching(int open, int end) const
    {
        int depth = 0;
        for (int i = open; i < end; ++i) {
            if (isPunct(t[i], "("))
                ++depth;
            else if (isPunct(t[i], ")") && --depth == 0)
                return i;
        }
        return -1;
    }

    // Top-level arguments between '(' at open and ')' at close: [begin, end) pairs.
    QVector<QPair<int, int>> arguments(int open, int close) const
    {
        QVector<QPair<int, int>> args;
        int depth = 0;
        int start = open + 1;
        for (int i = open + 1; i < close; ++i) {
            if (isPunct(t[i], "("))
                ++depth;
            else if (isPunct(t[i], ")"))
                --depth;
            else if (depth == 0 && isPunct(t[i], ",")) {
                args.push_back({start, i});
                start = i + 1;
            }
        }
        args.push_back({start, close});
        return args;
    }

    QString rawText(int begin, int end) const
    {
        QString s;
        for (int i = begin; i < end; ++i)
            s += t[i].text;
        return s;
    }

    // Emits token i (or a construct starting there); returns the last index used.
    int emitAt(int i, int end, QString &out) const
    {
        const Token &tok = t[i];
        // dbo.table -> table
        if (isWord(tok, "dbo") && i + 1 < end && isPunct(t[i + 1], "."))
            return i + 1;
        // N'text' -> 'text'
        if (tok.type == Token::Word && tok.text.compare(QLatin1String("N"), Qt::CaseInsensitive) == 0
            && i + 1 < end && t[i + 1].type == Token::String)
            return i;
        if (tok.type == Token::Word) {
            const int open = nextSolid(i + 1, end);
            if (open < end && isPunct(t[open], "(")) {
                if (isWord(tok, "convert")) {
                    const int used = convertCall(open, end, out);
                    if (used >= 0)
                        return used;
                } else if (isWord(tok, "substring")) {
                    out += QStringLiteral("substr");
                    return i;
                }
            }
            if (isDateColumn(tok)) {
                const int used = dateColumn(i, end, out);
                if (used >= 0)
                    return used;
            }
        }
        out += tok.text;
        return i;
    }

    // convert(varchar(n), x, 121) and convert(DateTime, x, 121).
    int convertCall(int open, int end, QString &out) const
    {
        const int close = matching(open, end);
        if (close < 0)
            return -1;
        const auto args = arguments(open, close);
        if (args.size() != 3 || rawText(args[2].first, args[2].second).trimmed() != QLatin1String("121"))
            return -1;
        QString type = rawText(args[0].first, args[0].second).toLower();
        type.remove(QLatin1Char(' '));
        const QString value = range(args[1].first, args[1].second).trimmed();
        if (type.startsWith(QLatin1String("varchar")) || type.startsWith(QLatin1String("nvarchar"))
            || type.startsWith(QLatin1String("char")) || type.startsWith(QLatin1String("nchar")))
            out += QStringLiteral("zd_dt121(%1)").arg(value);
        else if (type == QLatin1String("datetime"))
            out += QStringLiteral("zd_dtparse(%1)").arg(value);
        else
            return -1;
        return close;
    }

    // fecha + 0.00001 -> zd_dtadd(fecha, 0.00001); fecha between 'a' and 'b'
    // and fecha <op> 'a' compare normalised DATETIME texts.
    int dateColumn(int i, int end, QString &out) const
    {
        // A qualified name (x.fecha) is left alone rather than half rewritten.
        if (i > 0 && isPunct(t[i - 1], "."))
            return -1;
        const int op = nextSolid(i + 1, end);
        if (op >= end)
            return -1;
        if (isPunct(t[op], "+") || isPunct(t[op], "-")) {
            const int num = nextSolid(op + 1, end);
            if (num >= end || t[num].type != Token::Number)
                return -1;
            // Only a plain operand: "fecha + 1 * 2" is not day arithmetic we know.
            const int after = nextSolid(num + 1, end);
            if (after < end && (isPunct(t[after], "*") || isPunct(t[after], "/")))
                return -1;
            const QString sign = isPunct(t[op], "-") ? QStringLiteral("-") : QString();
            out += QStringLiteral("zd_dtadd(%1, %2%3)").arg(t[i].text, sign, t[num].text);
            return num;
        }
        if (isWord(t[op], "between")) {
            const int lo = nextSolid(op + 1, end);
            const int andTok = nextSolid(lo + 1, end);
            const int hi = nextSolid(andTok + 1, end);
            if (hi >= end || t[lo].type != Token::String || !isWord(t[andTok], "and")
                || t[hi].type != Token::String)
                return -1;
            out += t[i].text + rawText(i + 1, op) + t[op].text + rawText(op + 1, lo)
                   + QStringLiteral("zd_dtparse(%1)").arg(t[lo].text) + rawText(lo + 1, andTok)
                   + t[andTok].text + rawText(andTok + 1, hi) + QStringLiteral("zd_dtparse(%1)").arg(t[hi].text);
            return hi;
        }
        static const char *const comparisons[] = {"=", "<", ">", "<=", ">=", "<>", "!="};
        for (const char *c : comparisons) {
            if (!isPunct(t[op], c))
                continue;
            const int lit = nextSolid(op + 1, end);
            if (lit >= end || t[lit].type != Token::String)
                return -1;
            out += t[i].text + rawText(i + 1, lit) + QStringLiteral("zd_dtparse(%1)").arg(t[lit].text);
            return lit;
        }
        return -1;
    }
};

// CREATE DATABASE name / BACKUP DATABASE name TO DISK = N'path' [WITH ...]
bool engineAction(const QVector<Token> &tokens, Translation &tr)
{
    QVector<Token> solid;
    for (const Token &tok : tokens) {
        if (tok.type != Token::Space && tok.type != Token::Comment)
            solid.push_back(tok);
    }
    while (!solid.isEmpty() && isPunct(solid.last(), ";"))
        solid.removeLast();
    auto name = [](const Token &tok) {
        if (tok.type == Token::Quoted)
            return tok.text.mid(1, tok.text.size() - 2);
        return tok.text;
    };
    if (solid.size() == 3 && isWord(solid[0], "create") && isWord(solid[1], "database")
        && (solid[2].type == Token::Word || solid[2].type == Token::Quoted)) {
        tr.kind = Translation::Kind::CreateDatabase;
        tr.database = name(solid[2]);
        return true;
    }
    if (solid.size() >= 7 && isWord(solid[0], "backup") && isWord(solid[1], "database")
        && (solid[2].type == Token::Word || solid[2].type == Token::Quoted) && isWord(solid[3], "to")
        && isWord(solid[4], "disk") && isPunct(solid[5], "=")) {
        int lit = 6;
        if (solid[lit].type == Token::Word && solid[lit].text.compare(QLatin1String("N"), Qt::CaseInsensitive) == 0)
            ++lit;
        if (lit >= solid.size() || solid[lit].type != Token::String)
            return false;
        tr.kind = Translation::Kind::BackupDatabase;
        tr.database = name(solid[2]);
        tr.diskPath = literalValue(solid[lit].text);
        return true;
    }
    return false;
}

} // namespace

Translation translateShape(const QString &tsql)
{
    Translation tr;
    Spans spans;
    scan(tsql, spans);
    QVector<Token> tokens = tokensOf(tsql, spans);
    if (engineAction(tokens, tr))
        return tr;
    QVarLengthArray<int, 16> bindable;
    if (!findBindable(tsql, spans, bindable))
        return translateTSql(tsql);
    // A placeholder keeps its literal's kind: "fecha = ?" still compares dates.
    for (const int index : bindable)
        tokens[index].text = QStringLiteral("?");
    tr.sql = Translator(tokens).range(0, tokens.size());
    return tr;
}

Translation translateTSql(const QString &tsql)
{
    Translation tr;
    const QVector<Token> tokens = tokenize(tsql);
    if (engineAction(tokens, tr))
        return tr;
    tr.sql = Translator(tokens).range(0, tokens.size());
    return tr;
}

} // namespace zd::sql
