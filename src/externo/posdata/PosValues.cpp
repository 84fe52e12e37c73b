#include "PosValues.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>

namespace zd::posdata {

namespace {

QLocale displayLocale()
{
    QLocale locale;  // the workstation's regional settings
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

// "yyyy-mm-dd" at the start of a text read by hand: the date a format
// parse of those ten characters gives. None when the text does not start
// with four, two and two ASCII digits joined by "-", or names a year
// before 1, a month or day out of range: the format parse decides those.
std::optional<QDate> plainIsoDate(QStringView text)
{
    if (text.size() < 10 || text.at(4) != u'-' || text.at(7) != u'-')
        return std::nullopt;
    int digits[8];
    int n = 0;
    for (const int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        digits[n++] = c - u'0';
    }
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const int month = digits[4] * 10 + digits[5];
    const int day = digits[6] * 10 + digits[7];
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > QDate(year, month, 1).daysInMonth())
        return std::nullopt;
    return QDate(year, month, day);
}

} // namespace

double RoundHalfEven2(double value)
{
    const double cents = value * 100.0;
    const double floorCents = std::floor(cents);
    const double fraction = cents - floorCents;
    // Sums of four-decimal amounts carry binary noise far below 1e-6 cent;
    // anything that close to a half is a half.
    constexpr double kNoise = 1e-6;
    double rounded;
    if (std::fabs(fraction - 0.5) < kNoise)
        rounded = std::fmod(floorCents, 2.0) == 0.0 ? floorCents : floorCents + 1.0;
    else
        rounded = std::round(cents);
    const double result = rounded / 100.0;
    return result == 0.0 ? 0.0 : result;  // never "-0"
}

QString GeneralNumberText(double value)
{
    if (value == 0.0)
        value = 0.0;  // -0 shows as 0
    return displayLocale().toString(value, 'g', 15);
}

QString FixedNumberText(double value, int decimals)
{
    // Rounded as a decimal number, a half away from zero (1.0005 -> 1.001),
    // not by the binary value the double happens to hold (1.000499...).
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::fabs(value) * scale;
    const double whole = std::floor(scaled);
    constexpr double kNoise = 1e-6;
    const double rounded = (scaled - whole) >= 0.5 - kNoise ? whole + 1.0 : whole;
    double result = std::copysign(rounded / scale, value);
    if (rounded == 0.0)
        result = 0.0;  // a negative value that rounds to zero shows without its sign
    return displayLocale().toString(result, 'f', decimals);
}

std::optional<QDate> DateOf(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime().date();
    case QMetaType::QDate:
        return value.toDate();
    default:
        break;
    }
    // Style-121 text, the embedded engine's form, is read by hand; anything
    // else goes through the format parse.
    if (value.typeId() == QMetaType::QString) {
        if (const auto date = plainIsoDate(static_cast<const QString *>(value.constData())->trimmed()))
            return date;
    }
    const QString text = value.toString().trimmed();
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<qint64> WholeNumberOf(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (ok)
        return number;
    // Whole numbers stored as floating values (e.g. 12.0)
    const double d = value.toDouble(&ok);
    if (ok && std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.0e15)
        return qint64(d);
    return std::nullopt;
}

std::optional<double> NumberOf(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

QString SqlDateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace zd::posdata
