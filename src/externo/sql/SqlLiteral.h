#pragma once
#include <QString>

namespace zd::sql {

// A text as a T-SQL string literal: in single quotes, a quote inside
// doubled, so that no value can leave its literal.
inline QString Quoted(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

} // namespace zd::sql
