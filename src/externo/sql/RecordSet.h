#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace zd::sql {

// The rows a query returned, fully read. Column names are matched without
// regard to case, as the server's collation does.
class RecordSet {
public:
    RecordSet() = default;
    RecordSet(QStringList columns, QVector<QVector<QVariant>> rows);

    bool isEmpty() const { return m_rows.isEmpty(); }
    int rowCount() const { return int(m_rows.size()); }
    int columnCount() const { return int(m_columns.size()); }
    const QStringList &columns() const { return m_columns; }

    int columnIndex(const QString &name) const;          // -1 when absent
    bool hasColumn(const QString &name) const { return columnIndex(name) >= 0; }
    // Value of a named column; an invalid QVariant when the column is absent
    // (a NULL is a valid-but-null QVariant).
    QVariant value(int row, const QString &column) const;
    QVariant value(int row, int column) const;
    const QVector<QVariant> &row(int row) const { return m_rows.at(row); }

private:
    QStringList m_columns;
    QVector<QVector<QVariant>> m_rows;
};

} // namespace zd::sql
