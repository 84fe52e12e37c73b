#pragma once
#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

// Conversions between point-of-sale values and the texts the operator sees.
namespace zd::posdata {

// Rounds to two decimals; a value lying on a half cent (within float noise)
// goes to the even cent, as the totals of the point-of-sale have always been.
double RoundHalfEven2(double value);

// A double as the workstation shows it without a pattern: up to 15
// significant digits, no trailing zeros, no group separator, the default
// locale's decimal separator (12.5 -> "12,5" in French, 12 -> "12").
QString GeneralNumberText(double value);

// A double with exactly `decimals` decimals ("0.00" / "0.000" patterns):
// halves of the decimal value away from zero, the default locale's decimal
// separator, no group separator.
QString FixedNumberText(double value, int decimals);

// The date part of a DATETIME read from either engine: a QDateTime/QDate
// (ODBC) or style-121 text "yyyy-mm-dd hh:mi:ss.mmm" (embedded).
std::optional<QDate> DateOf(const QVariant &value);

// A whole number read from a column; none for NULL or text that is not one.
std::optional<qint64> WholeNumberOf(const QVariant &value);
// A number read from a column; none for NULL or text that is not one.
std::optional<double> NumberOf(const QVariant &value);

// "yyyy-mm-dd", the form dates take inside SQL text.
QString SqlDateText(const QDate &date);

} // namespace zd::posdata
