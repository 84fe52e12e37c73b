#include "RecordSet.h"

namespace zd::sql {

RecordSet::RecordSet(QStringList columns, QVector<QVector<QVariant>> rows)
    : m_columns(std::move(columns))
    , m_rows(std::move(rows))
{
}

int RecordSet::columnIndex(const QString &name) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant RecordSet::value(int row, const QString &column) const
{
    const int c = columnIndex(column);
    return c < 0 ? QVariant() : value(row, c);
}

QVariant RecordSet::value(int row, int column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    const QVector<QVariant> &r = m_rows.at(row);
    return column >= 0 && column < r.size() ? r.at(column) : QVariant();
}

} // namespace zd::sql
