#include "CanonicalText.h"

#include <QCryptographicHash>
#include <QHash>
#include <algorithm>
#include <cmath>

namespace zd::books {

namespace {

enum class Kind { Text, Whole, Decimal, Moment };

struct Field {
    QString name;
    Kind kind;
};

QVector<Field> headerFieldKinds()
{
    QVector<Field> f = {
        {QStringLiteral("IdDocumento"), Kind::Text},     {QStringLiteral("TipoDocumento"), Kind::Whole},
        {QStringLiteral("IdSerie"), Kind::Whole},        {QStringLiteral("Correlativo"), Kind::Whole},
        {QStringLiteral("IdEmpresa"), Kind::Whole},      {QStringLiteral("IdFiscal"), Kind::Text},
        {QStringLiteral("IdCliente"), Kind::Whole},      {QStringLiteral("IdFiscalCliente"), Kind::Text},
        {QStringLiteral("MonedaDes"), Kind::Text},       {QStringLiteral("MonedaDec"), Kind::Whole},
        {QStringLiteral("MonedaSim"), Kind::Text},       {QStringLiteral("timestamp"), Kind::Moment},
        {QStringLiteral("FechaDocumento"), Kind::Moment}, {QStringLiteral("ProcedeAlbaran"), Kind::Text},
        {QStringLiteral("Capturado"), Kind::Text},       {QStringLiteral("anulada"), Kind::Text},
        {QStringLiteral("var1"), Kind::Text},            {QStringLiteral("var15"), Kind::Text},
        {QStringLiteral("totalbruto"), Kind::Decimal},   {QStringLiteral("totaldescuentos"), Kind::Decimal},
        {QStringLiteral("totalimpuestos"), Kind::Decimal},
    };
    for (int n = 1; n <= 5; ++n) {
        f.append({QStringLiteral("Impuesto%1Des").arg(n), Kind::Text});
        f.append({QStringLiteral("Impuesto%1Por").arg(n), Kind::Decimal});
        f.append({QStringLiteral("TotalImpuesto%1").arg(n), Kind::Decimal});
        f.append({QStringLiteral("totalbase%1").arg(n), Kind::Decimal});
    }
    f.append({QStringLiteral("TotalNeto"), Kind::Decimal});
    return f;
}

const QVector<Field> &headerKinds()
{
    static const QVector<Field> fields = headerFieldKinds();
    return fields;
}

const QVector<Field> &lineKinds()
{
    static const QVector<Field> fields = {
        {QStringLiteral("TipoDocumento"), Kind::Whole}, {QStringLiteral("IdSerie"), Kind::Whole},
        {QStringLiteral("Correlativo"), Kind::Whole},   {QStringLiteral("IdExterno"), Kind::Whole},
        {QStringLiteral("numerodetique"), Kind::Whole}, {QStringLiteral("codigo"), Kind::Whole},
        {QStringLiteral("descripcion"), Kind::Text},    {QStringLiteral("cantidad"), Kind::Decimal},
        {QStringLiteral("precio"), Kind::Decimal},      {QStringLiteral("descuento"), Kind::Decimal},
        {QStringLiteral("importe"), Kind::Decimal},
    };
    return fields;
}

QStringList namesOf(const QVector<Field> &fields)
{
    QStringList names;
    for (const Field &f : fields)
        names << f.name;
    return names;
}

const QString kNull = QStringLiteral("\\N");

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

QString whole(const QVariant &value)
{
    bool ok = false;
    const qlonglong n = value.toLongLong(&ok);
    if (ok)
        return QString::number(n);
    const double d = value.toDouble(&ok);
    return ok ? QString::number(qlonglong(std::llround(d))) : escaped(value.toString());
}

QString canonical(const QVariant &value, Kind kind)
{
    if (value.isNull())
        return kNull;
    switch (kind) {
    case Kind::Whole:
        return whole(value);
    case Kind::Decimal:
        return FixedDecimal(value);
    case Kind::Moment:
    case Kind::Text:
        break;
    }
    return escaped(value.toString());
}

} // namespace

int RowFields::column(const sql::RowView &row, const QString &name)
{
    auto it = m_index.constFind(name);
    if (it == m_index.cend())
        it = m_index.insert(name, row.columnIndex(name));
    return *it;
}

FieldReader RowFields::reader(const sql::RowView &row)
{
    return [this, &row](const QString &name) {
        const int c = column(row, name);
        return c < 0 ? QVariant() : row.value(c);
    };
}

const QStringList &HeaderFields()
{
    static const QStringList names = namesOf(headerKinds());
    return names;
}

const QStringList &LineFields()
{
    static const QStringList names = namesOf(lineKinds());
    return names;
}

QStringList HeaderValues(const FieldReader &header)
{
    QStringList values;
    for (const Field &f : headerKinds())
        values << canonical(header(f.name), f.kind);
    return values;
}

QStringList LineValues(const FieldReader &line)
{
    QStringList values;
    for (const Field &f : lineKinds())
        values << canonical(line(f.name), f.kind);
    return values;
}

QString FixedDecimal(const QVariant &value)
{
    if (value.isNull())
        return kNull;
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok)
        return escaped(value.toString());
    // Four decimals, as the store keeps MONEY and DECIMAL(14,4).
    const qint64 tenThousandths = qint64(std::llround(d * 10000.0));
    const quint64 magnitude = tenThousandths < 0 ? quint64(-tenThousandths) : quint64(tenThousandths);
    return (tenThousandths < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 10000)
         + QLatin1Char('.') + QStringLiteral("%1").arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
}

void DocumentText::setHeader(const FieldReader &header)
{
    m_header.clear();
    for (const Field &f : headerKinds())
        m_header += f.name + QLatin1Char('=') + canonical(header(f.name), f.kind) + QLatin1Char('\n');
}

void DocumentText::addLine(const FieldReader &line)
{
    QString text;
    for (const Field &f : lineKinds())
        text += f.name + QLatin1Char('=') + canonical(line(f.name), f.kind) + QLatin1Char('\x1f');
    m_lines << text;
}

QString DocumentText::text() const
{
    QStringList lines = m_lines;
    std::sort(lines.begin(), lines.end());
    QString out = m_header + QStringLiteral("lines=") + QString::number(lines.size()) + QLatin1Char('\n');
    for (int k = 0; k < lines.size(); ++k) {
        const QString prefix = QStringLiteral("line.") + QString::number(k + 1) + QLatin1Char('.');
        const QStringList fields = lines.at(k).split(QLatin1Char('\x1f'), Qt::SkipEmptyParts);
        for (const QString &field : fields)
            out += prefix + field + QLatin1Char('\n');
    }
    return out;
}

QVector<QPair<QString, QString>> FieldsOf(const QString &text)
{
    QVector<QPair<QString, QString>> fields;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            fields.append({line, QString()});
        else
            fields.append({line.left(eq), line.mid(eq + 1)});
    }
    return fields;
}

QStringList Differences(const QString &stored, const QString &recorded, int limit)
{
    const auto storedFields = FieldsOf(stored);
    const auto recordedFields = FieldsOf(recorded);
    QHash<QString, QString> storedByName;
    for (const auto &f : storedFields)
        storedByName.insert(f.first, f.second);
    QHash<QString, QString> recordedByName;
    for (const auto &f : recordedFields)
        recordedByName.insert(f.first, f.second);
    const QString absent = QStringLiteral("absent");
    QStringList out;
    for (const auto &f : recordedFields) {
        if (out.size() >= limit)
            return out;
        const auto it = storedByName.constFind(f.first);
        if (it == storedByName.cend() || *it != f.second)
            out << QStringLiteral("field %1: stored %2, recorded %3")
                       .arg(f.first, it == storedByName.cend() ? absent : *it, f.second);
    }
    for (const auto &f : storedFields) {
        if (out.size() >= limit)
            return out;
        if (!recordedByName.contains(f.first))
            out << QStringLiteral("field %1: stored %2, recorded %3").arg(f.first, f.second, absent);
    }
    return out;
}

QString Sha256Hex(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex());
}

} // namespace zd::books
