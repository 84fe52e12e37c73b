#include "SqlServerDate.h"

#include <QDate>
#include <QTime>
#include <cmath>
#include <sqlite3.h>

namespace zd::sql::datetime {

namespace {
constexpr qint64 kTicksPerSecond = 300;
constexpr qint64 kTicksPerDay = kTicksPerSecond * 86400;
const qint64 kDay0Julian = QDate(1900, 1, 1).toJulianDay();
// DATETIME covers 1753-01-01 .. 9999-12-31 23:59:59.997.
const qint64 kMinDays = QDate(1753, 1, 1).toJulianDay() - kDay0Julian;
const qint64 kMaxDays = QDate(9999, 12, 31).toJulianDay() - kDay0Julian;

// Milliseconds to ticks as the server rounds them: .000/.003/.007, and
// .999 carries into the next second.
qint64 msToTicks(qint64 ms)
{
    return (ms * 3 + 5) / 10;
}

std::optional<Value> fromTotalTicks(qint64 total)
{
    qint64 days = total / kTicksPerDay;
    qint64 ticks = total % kTicksPerDay;
    if (ticks < 0) {
        ticks += kTicksPerDay;
        --days;
    }
    if (days < kMinDays || days > kMaxDays)
        return std::nullopt;
    return Value{days, ticks};
}

qint64 totalTicks(const Value &v)
{
    return v.days * kTicksPerDay + v.ticks;
}

bool readDigits(const QString &s, int &pos, int count, int &out)
{
    if (pos + count > s.size())
        return false;
    int v = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = s.at(pos + i);
        if (!c.isDigit())
            return false;
        v = v * 10 + c.digitValue();
    }
    pos += count;
    out = v;
    return true;
}

bool expect(const QString &s, int &pos, QChar c)
{
    if (pos >= s.size() || s.at(pos) != c)
        return false;
    ++pos;
    return true;
}
} // namespace

std::optional<Value> parse(const QString &input)
{
    const QString s = input.trimmed();
    int pos = 0;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    if (!readDigits(s, pos, 4, y) || !expect(s, pos, QLatin1Char('-')) || !readDigits(s, pos, 2, mo)
        || !expect(s, pos, QLatin1Char('-')) || !readDigits(s, pos, 2, d))
        return std::nullopt;
    const QDate date(y, mo, d);
    if (!date.isValid())
        return std::nullopt;
    qint64 ms = 0;
    if (pos < s.size()) {
        if (s.at(pos) != QLatin1Char(' ') && s.at(pos) != QLatin1Char('T'))
            return std::nullopt;
        ++pos;
        if (!readDigits(s, pos, 2, h) || !expect(s, pos, QLatin1Char(':')) || !readDigits(s, pos, 2, mi))
            return std::nullopt;
        if (pos < s.size() && !(expect(s, pos, QLatin1Char(':')) && readDigits(s, pos, 2, sec)))
            return std::nullopt;
        if (pos < s.size()) {
            if (!expect(s, pos, QLatin1Char('.')))
                return std::nullopt;
            // One to three fraction digits, as the server accepts for DATETIME.
            const int start = pos;
            int frac = 0;
            while (pos < s.size() && pos - start < 3 && s.at(pos).isDigit())
                frac = frac * 10 + s.at(pos++).digitValue();
            const int digits = pos - start;
            if (digits == 0 || pos != s.size())
                return std::nullopt;
            ms = digits == 1 ? frac * 100 : digits == 2 ? frac * 10 : frac;
        }
        if (h > 23 || mi > 59 || sec > 59)
            return std::nullopt;
    }
    const qint64 days = date.toJulianDay() - kDay0Julian;
    const qint64 ticks = (qint64(h) * 3600 + mi * 60 + sec) * kTicksPerSecond + msToTicks(ms);
    return fromTotalTicks(days * kTicksPerDay + ticks);
}

QString toStyle121(const Value &v)
{
    const QDate date = QDate::fromJulianDay(v.days + kDay0Julian);
    const qint64 seconds = v.ticks / kTicksPerSecond;
    const qint64 rest = v.ticks % kTicksPerSecond;
    const qint64 ms = (rest * 10 * 2 + 3) / 6; // round(rest * 10/3)
    // yyyy-mm-dd hh:mi:ss.mmm, written digit by digit (this runs per row).
    char16_t text[23];
    auto put = [&text](int at, qint64 value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            text[at + i] = char16_t(u'0' + value % 10);
    };
    put(0, date.year(), 4);
    text[4] = u'-';
    put(5, date.month(), 2);
    text[7] = u'-';
    put(8, date.day(), 2);
    text[10] = u' ';
    put(11, seconds / 3600, 2);
    text[13] = u':';
    put(14, (seconds / 60) % 60, 2);
    text[16] = u':';
    put(17, seconds % 60, 2);
    text[19] = u'.';
    put(20, ms, 3);
    return QString(reinterpret_cast<const QChar *>(text), 23);
}

std::optional<Value> addDaysChecked(const Value &v, double days)
{
    if (!std::isfinite(days) || std::fabs(days) > 1e7)
        return std::nullopt;
    const long double delta = static_cast<long double>(days) * kTicksPerDay;
    return fromTotalTicks(totalTicks(v) + static_cast<qint64>(std::llround(delta)));
}

Value addDays(const Value &v, double days)
{
    return addDaysChecked(v, days).value_or(v);
}

Value fromQDateTime(const QDateTime &dt)
{
    const QTime t = dt.time();
    const qint64 days = dt.date().toJulianDay() - kDay0Julian;
    const qint64 ticks = (qint64(t.hour()) * 3600 + t.minute() * 60 + t.second()) * kTicksPerSecond
                         + msToTicks(t.msec());
    return fromTotalTicks(days * kTicksPerDay + ticks).value_or(Value{});
}

QDateTime toQDateTime(const Value &v)
{
    const QString text = toStyle121(v);
    const QDate date = QDate::fromJulianDay(v.days + kDay0Julian);
    const qint64 seconds = v.ticks / kTicksPerSecond;
    const int ms = text.right(3).toInt();
    return QDateTime(date, QTime(int(seconds / 3600), int((seconds / 60) % 60), int(seconds % 60), ms));
}

namespace {
// Reads a DATETIME argument: style-121 (or shorter) text. false: not a date.
bool argumentValue(sqlite3_value *arg, Value &out)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(arg));
    if (!text)
        return false;
    const auto v = parse(QString::fromUtf8(text, sqlite3_value_bytes(arg)));
    if (!v)
        return false;
    out = *v;
    return true;
}

void resultText(sqlite3_context *ctx, const Value &v)
{
    const QByteArray bytes = toStyle121(v).toUtf8();
    sqlite3_result_text(ctx, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
}

// Text already laid out as style 121 with milliseconds on a tick: either it
// is a date, which style 121 shows exactly as it is, or it is no date and
// stays as it is. Checked without parsing: this runs for every row a list
// query looks at.
bool unchangedBy121(sqlite3_value *arg)
{
    if (sqlite3_value_type(arg) != SQLITE_TEXT)
        return false;
    const auto *s = sqlite3_value_text(arg);
    if (!s || sqlite3_value_bytes(arg) != 23)
        return false;
    static const char layout[] = "dddd-dd-dd dd:dd:dd.ddd";
    for (int i = 0; i < 23; ++i) {
        if (layout[i] == 'd' ? (s[i] < '0' || s[i] > '9') : s[i] != layout[i])
            return false;
    }
    const qint64 ms = (s[20] - '0') * 100 + (s[21] - '0') * 10 + (s[22] - '0');
    const qint64 ticks = msToTicks(ms);
    return (ticks * 10 * 2 + 3) / 6 == ms;
}

// convert(varchar(23), x, 121): a date is shown in style 121; text that is
// no date stays as it is, as the server does for character input.
void dt121(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (unchangedBy121(argv[0]))
        return sqlite3_result_value(ctx, argv[0]);
    Value v;
    if (argumentValue(argv[0], v))
        return resultText(ctx, v);
    sqlite3_result_value(ctx, argv[0]);
}

// convert(DateTime, x, 121): text that is no date is an error, as on the server.
void dtparse(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    Value v;
    if (!argumentValue(argv[0], v))
        return sqlite3_result_error(ctx, "Conversion failed when converting date and/or time from character string.", -1);
    resultText(ctx, v);
}

// datetime + days
void dtadd(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    Value v;
    if (!argumentValue(argv[0], v))
        return sqlite3_result_error(ctx, "Conversion failed when converting date and/or time from character string.", -1);
    const auto sum = addDaysChecked(v, sqlite3_value_double(argv[1]));
    if (!sum)
        return sqlite3_result_error(ctx, "Arithmetic overflow error converting expression to data type datetime.", -1);
    resultText(ctx, *sum);
}
} // namespace

bool registerFunctions(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function_v2(db, "zd_dt121", 1, flags, nullptr, dt121, nullptr, nullptr, nullptr) == SQLITE_OK
           && sqlite3_create_function_v2(db, "zd_dtparse", 1, flags, nullptr, dtparse, nullptr, nullptr, nullptr) == SQLITE_OK
           && sqlite3_create_function_v2(db, "zd_dtadd", 2, flags, nullptr, dtadd, nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace zd::sql::datetime
