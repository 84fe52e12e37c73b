#include "TSqlTranslator.h"

#include <QSet>
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

// Splits a statement so that quoted text is one opaque token.
QVector<Token> tokenize(const QString &s)
{
    QVector<Token> out;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        const QChar c = s.at(i);
        const int start = i;
        if (c.isSpace()) {
            while (i < n && s.at(i).isSpace())
                ++i;
            out.push_back({Token::Space, s.mid(start, i - start)});
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            ++i;
            while (i < n) {
                if (s.at(i) == close) {
                    if (i + 1 < n && s.at(i + 1) == close) { // doubled: escaped
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.push_back({c == QLatin1Char('\'') ? Token::String : Token::Quoted, s.mid(start, i - start)});
        } else if (c == QLatin1Char('-') && i + 1 < n && s.at(i + 1) == QLatin1Char('-')) {
            while (i < n && s.at(i) != QLatin1Char('\n'))
                ++i;
            out.push_back({Token::Comment, s.mid(start, i - start)});
        } else if (c == QLatin1Char('/') && i + 1 < n && s.at(i + 1) == QLatin1Char('*')) {
            const int end = s.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            out.push_back({Token::Comment, s.mid(start, i - start)});
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
            out.push_back({Token::Number, s.mid(start, i - start)});
        } else if (isWordStart(c)) {
            while (i < n && isWordChar(s.at(i)))
                ++i;
            out.push_back({Token::Word, s.mid(start, i - start)});
        } else {
            // Two-character comparison operators stay one token.
            if (i + 1 < n) {
                const QString two = s.mid(i, 2);
                if (two == QLatin1String("<>") || two == QLatin1String("<=") || two == QLatin1String(">=")
                    || two == QLatin1String("!=")) {
                    i += 2;
                    out.push_back({Token::Punct, two});
                    continue;
                }
            }
            ++i;
            out.push_back({Token::Punct, QString(c)});
        }
    }
    return out;
}

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
