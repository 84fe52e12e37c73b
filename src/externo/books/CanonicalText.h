#pragma once
#include "externo/sql/RowView.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

namespace zd::books {

// A stored row read by column name (case ignored), as RecordSet and RowView
// give it.
using FieldReader = std::function<QVariant(const QString &column)>;

// The canonical text of a document: one "name=value" line per header field
// of facturas (NumCopia aside: copies are records of their own), then
// "lines=N", then each Documento line as "line.K.name=value" lines. Lines
// are put in the order of their own text, so that the text does not depend
// on the order the engine returns them in. Amounts and rates are written
// with four fixed decimals ("-12.3400"), whole numbers as such, dates as
// the store returns them ("2026-03-05 10:15:42.000"), texts with backslash,
// CR and LF escaped, NULL as "\N".
class DocumentText {
public:
    void setHeader(const FieldReader &header);
    void addLine(const FieldReader &line);
    QString text() const;

private:
    QString m_header;
    QStringList m_lines;
};

// Reads the rows of one query by column name: each name is looked up once
// per query, not once per row.
class RowFields {
public:
    FieldReader reader(const sql::RowView &row);
    int column(const sql::RowView &row, const QString &name);

private:
    QHash<QString, int> m_index;
};

// The header's fields and the line's fields, in canonical order.
const QStringList &HeaderFields();
const QStringList &LineFields();

// The canonical values of a header's or a line's fields, in that order.
QStringList HeaderValues(const FieldReader &header);
QStringList LineValues(const FieldReader &line);

// "12.3400" for 12.34; "\N" for NULL.
QString FixedDecimal(const QVariant &value);

// A "name=value" text as (name, value) pairs in order.
QVector<QPair<QString, QString>> FieldsOf(const QString &text);

// What differs between a stored text and a recorded one, field by field:
// "field NAME: stored A, recorded B" ("absent" for a missing field). At
// most `limit` differences.
QStringList Differences(const QString &stored, const QString &recorded, int limit = 5);

// SHA-256 of a text's UTF-8, in lower-case hexadecimal.
QString Sha256Hex(const QString &text);

} // namespace zd::books
