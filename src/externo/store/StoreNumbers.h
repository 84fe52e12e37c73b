#pragma once
#include <QLocale>
#include <QString>
#include <QVariant>
#include <optional>

namespace zd {

// Conversions between the texts of the line list and the store's numeric
// columns. The list shows numbers with the workstation's decimal separator
// (the default QLocale); the store keeps MONEY and DECIMAL(14,4), four decimals.

// Reads numbers typed or shown in the list: the default locale first, then
// the C locale. Empty or non-numeric text has no value (it is never taken as
// 0), and group separators are refused ("1,500" must not become 1500).
// Built once per batch of lines: making a QLocale costs more than parsing.
class ListNumberReader {
public:
    ListNumberReader();
    std::optional<double> number(const QString &text) const;
    // A whole number that fits 32 bits (ticket number, article code, ticket id).
    std::optional<qint32> integer(const QString &text) const;

private:
    // Plain "[-]digits[.digits]" (the point or the locale's decimal
    // separator) read without the locale machinery: the list's own texts
    // are all of this form. Other texts go through the locales.
    std::optional<double> plainNumber(const QString &text) const;

    QLocale m_local;
    QLocale m_c;
    QChar m_decimalPoint;
};

// A stored value shown with a fixed count of decimals ("0.000", "0.00"):
// rounded half away from zero on the stored four decimals, no group
// separator, the locale's decimal separator. NULL gives an empty text.
QString FormatFixed(const QVariant &stored, int decimals, const QLocale &locale = QLocale());
// A stored value in the general format: as many decimals as it has (up to
// four), no trailing zeros, no exponent. NULL gives an empty text.
QString FormatGeneral(const QVariant &stored, const QLocale &locale = QLocale());

} // namespace zd
