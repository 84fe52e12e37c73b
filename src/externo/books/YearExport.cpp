#include "YearExport.h"

#include "CanonicalText.h"
#include "Chain.h"
#include "ChainEvents.h"
#include "ChainMarker.h"
#include "common/DurableFiles.h"
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zd::books {

namespace {

struct Writer {
    QString folder;
    ExportResult *result;
    QString manifest;

    bool write(const QString &name, const QByteArray &bytes)
    {
        const QString path = folder + QLatin1Char('/') + name;
        if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
            result->error = QStringLiteral("cannot create the folder of %1").arg(path);
            return false;
        }
        if (!common::writeFileDurably(path, bytes, &result->error))
            return false;
        result->files << name;
        manifest += QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex())
                  + QStringLiteral("  ") + name + QLatin1Char('\n');
        return true;
    }
};

// The rows of a table whose FechaDocumento falls in the year, as CSV.
bool tableCsv(sql::Connection &store, const QString &table, bool lines, const QString &idsQuery, QString *csv)
{
    QStringList header = lines ? QStringList{QStringLiteral("IdDocumento")} + LineFields() : HeaderFields();
    if (!lines)
        header << QStringLiteral("NumCopia");
    *csv = CsvLine(header) + QLatin1Char('\n');
    const QString query = lines ? QStringLiteral("select * from dbo.%1 where IdDocumento in (%2) order by IdDocumento").arg(table, idsQuery)
                                : idsQuery.arg(QStringLiteral("*")) + QStringLiteral(" order by IdDocumento");
    RowFields fields;
    return store.queryRows(query, [&](const sql::RowView &row) {
        const FieldReader read = fields.reader(row);
        QStringList values;
        if (lines)
            values << row.text(fields.column(row, QStringLiteral("IdDocumento"))) << LineValues(read);
        else
            values << HeaderValues(read) << row.text(fields.column(row, QStringLiteral("NumCopia")));
        *csv += CsvLine(values) + QLatin1Char('\n');
    });
}

} // namespace

QString CsvLine(const QStringList &fields)
{
    QStringList out;
    for (const QString &f : fields) {
        if (f.contains(QLatin1Char(';')) || f.contains(QLatin1Char('"')) || f.contains(QLatin1Char('\n')))
            out << QLatin1Char('"') + QString(f).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
        else
            out << f;
    }
    return out.join(QLatin1Char(';'));
}

QStringList CsvFields(const QString &line)
{
    QStringList fields;
    QString current;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"'))
                current += c, ++i;
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                current += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(';')) {
            fields << current;
            current.clear();
        } else {
            current += c;
        }
    }
    fields << current;
    return fields;
}

ExportResult ExportYear(AppState &state, int year, const QString &folder)
{
    ExportResult result;
    auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString())) {
        result.error = QStringLiteral("invoice store unreachable: ") + store->lastError();
        return result;
    }
    Writer out{folder, &result, QString()};
    const QString y = QString::number(year);
    const QString inYear = QStringLiteral("FechaDocumento >= '%1-01-01' and FechaDocumento < '%2-01-01'").arg(y).arg(year + 1);
    const QString docs = QStringLiteral("select %1 from dbo.facturas where ") + inYear;
    const QString cancelled = QStringLiteral("select %1 from dbo.FacturasAnuladas where ") + inYear;
    QString csv;
    const struct {
        const char *name;
        const char *table;
        bool lines;
        QString ids;
    } tables[] = {
        {"documents.csv", "facturas", false, docs},
        {"lines.csv", "documento", true, docs.arg(QStringLiteral("IdDocumento"))},
        {"cancelled.csv", "FacturasAnuladas", false, cancelled},
        {"cancelled_lines.csv", "DocumentoAnulado", true, cancelled.arg(QStringLiteral("IdDocumento"))},
    };
    for (const auto &t : tables) {
        if (!tableCsv(*store, QLatin1String(t.table), t.lines, t.ids, &csv)) {
            result.error = store->lastError();
            return result;
        }
        if (!out.write(QLatin1String(t.name), csv.toUtf8()))
            return result;
    }

    csv = CsvLine({QStringLiteral("Secuencia"), QStringLiteral("Version"), QStringLiteral("Momento"),
                   QStringLiteral("Evento"), QStringLiteral("Texto"), QStringLiteral("Huella")})
        + QLatin1Char('\n');
    const bool read = ReadRecords(*store, 1, [&](const ChainRecord &r) {
        if (r.moment.startsWith(y))
            csv += CsvLine({QString::number(r.seq), QString::number(r.version), r.moment, r.event, r.text, r.hash})
                 + QLatin1Char('\n');
    });
    if (!read) {
        result.error = store->lastError();
        return result;
    }
    if (!out.write(QStringLiteral("records.csv"), csv.toUtf8()))
        return result;

    const QDir archives(state.programFolder() + QStringLiteral("/archive/") + y);
    for (const QString &name : archives.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name)) {
        QFile pdf(archives.filePath(name));
        if (!pdf.open(QIODevice::ReadOnly)) {
            result.error = QStringLiteral("cannot read %1: %2").arg(pdf.fileName(), pdf.errorString());
            return result;
        }
        if (!out.write(QStringLiteral("archive/") + name, pdf.readAll()))
            return result;
    }

    // The manifest and its record commit the export: the head it names is
    // the one before the export's own record.
    if (!store->beginTransaction()) {
        result.error = store->lastError();
        return result;
    }
    const auto head = ReadHead(*store);
    if (!head) {
        result.error = store->lastError();
        store->rollback();
        return result;
    }
    result.chainHead = AnchorText(*head);
    const QByteArray manifest = (out.manifest + QStringLiteral("chain %1 %2\n").arg(head->seq).arg(head->hash)).toUtf8();
    result.manifest = folder + QStringLiteral("/manifest.txt");
    if (!common::writeFileDurably(result.manifest, manifest, &result.error)) {
        store->rollback();
        return result;
    }
    const QString text = QStringLiteral("year=%1\nfiles=%2\nmanifest=%3\n")
                             .arg(year)
                             .arg(result.files.size())
                             .arg(QString::fromLatin1(QCryptographicHash::hash(manifest, QCryptographicHash::Sha256).toHex()));
    if (!AppendRecord(*store, state.Now(), QLatin1String(event::kExport), text) || !store->commit()) {
        result.error = QStringLiteral("the export was not recorded: ") + store->lastError();
        store->rollback();
        return result;
    }
    AnchorHead(state, *store);
    result.ok = true;
    return result;
}

} // namespace zd::books
