#include "StoreNumbers.h"

#include <charconv>

#include <cmath>
#include <limits>

namespace zd {

namespace {

// The stored value in ten-thousandths: MONEY and DECIMAL(14,4) are exact there.
std::optional<qint64> scaledValue(const QVariant &stored)
{
    if (!stored.isValid() || stored.isNull())
        return std::nullopt;
    bool ok = false;
    const double v = stored.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return qint64(std::llround(v * 10000.0));
}

QString joinParts(bool negative, qint64 whole, const QString &fraction, const QLocale &locale)
{
    QString text;
    if (negative)
        text += locale.negativeSign();
    text += QString::number(whole);
    if (!fraction.isEmpty())
        text += locale.decimalPoint() + fraction;
    return text;
}

} // namespace

ListNumberReader::ListNumberReader()
    : m_c(QLocale::c())
{
    m_local.setNumberOptions(m_local.numberOptions() | QLocale::RejectGroupSeparator);
    m_c.setNumberOptions(m_c.numberOptions() | QLocale::RejectGroupSeparator);
    const QString point = m_local.decimalPoint();
    m_decimalPoint = point.size() == 1 ? point.at(0) : QLatin1Char('.');
}

std::optional<double> ListNumberReader::plainNumber(const QString &text) const
{
    char buffer[64];
    const qsizetype n = text.size();
    if (n == 0 || n >= qsizetype(sizeof buffer))
        return std::nullopt;
    bool digits = false, point = false;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            buffer[i] = char(c.unicode());
            digits = true;
        } else if (i == 0 && c == QLatin1Char('-')) {
            buffer[i] = '-';
        } else if (!point && (c == QLatin1Char('.') || c == m_decimalPoint) && digits) {
            buffer[i] = '.';
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits || buffer[n - 1] == '.')
        return std::nullopt;
    // from_chars: correctly rounded and independent of the C locale.
    double value = 0;
    const auto [end, error] = std::from_chars(buffer, buffer + n, value);
    if (error != std::errc() || end != buffer + n)
        return std::nullopt;
    return value;
}

std::optional<double> ListNumberReader::number(const QString &text) const
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    if (const auto plain = plainNumber(t))
        return plain;
    bool ok = false;
    double v = m_local.toDouble(t, &ok);
    if (!ok)
        v = m_c.toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<qint32> ListNumberReader::integer(const QString &text) const
{
    const auto v = number(text);
    if (!v || *v != std::floor(*v) || *v < std::numeric_limits<qint32>::min()
        || *v > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(*v);
}

QString FormatFixed(const QVariant &stored, int decimals, const QLocale &locale)
{
    const auto scaled = scaledValue(stored);
    if (!scaled)
        return QString();
    decimals = qBound(0, decimals, 4);
    qint64 divisor = 1;
    for (int i = decimals; i < 4; ++i)
        divisor *= 10;
    const bool negative = *scaled < 0;
    qint64 magnitude = negative ? -*scaled : *scaled;
    magnitude = (magnitude + divisor / 2) / divisor;   // half away from zero
    qint64 unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    const QString fraction = decimals == 0
        ? QString()
        : QStringLiteral("%1").arg(magnitude % unit, decimals, 10, QLatin1Char('0'));
    return joinParts(negative && magnitude != 0, magnitude / unit, fraction, locale);
}

QString FormatGeneral(const QVariant &stored, const QLocale &locale)
{
    const auto scaled = scaledValue(stored);
    if (!scaled)
        return QString();
    const bool negative = *scaled < 0;
    const qint64 magnitude = negative ? -*scaled : *scaled;
    QString fraction = QStringLiteral("%1").arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    return joinParts(negative, magnitude / 10000, fraction, locale);
}

} // namespace zd
