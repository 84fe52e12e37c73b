#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>

namespace zd::sql {

// One row of a query read row by row (Connection::queryRows). It is valid
// only inside the call it is handed to; keep its values, not the view.
class RowView {
public:
    virtual ~RowView() = default;

    virtual const QStringList &columns() const = 0;
    // Column names are matched without regard to case, as in RecordSet.
    int columnIndex(const QString &name) const
    {
        const QStringList &names = columns();
        for (int i = 0; i < names.size(); ++i) {
            if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    // The value RecordSet::value(row, column) gives for the same row.
    virtual QVariant value(int column) const = 0;
    // value(column).toString(), made without the QVariant.
    virtual QString text(int column) const { return value(column).toString(); }
    // text(column) for a column whose values repeat from row to row (towns,
    // provinces): rows holding the same text may share one string.
    virtual QString repeatedText(int column) const { return text(column); }
};

} // namespace zd::sql
