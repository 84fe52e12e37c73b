#pragma once
// The benchmarks' baseline: the same database work done directly with the
// SQLite C API (read-only connection, statements prepared once and bound).
#include "externo/posdata/PosValues.h"
#include "externo/state/Records.h"
#include "posdemo/SqliteDb.h"

#include <QLocale>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <sqlite3.h>
#include <cstdio>
#include <vector>

namespace zd::bench {

class Direct {
public:
    explicit Direct(const QString &file)
    {
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    }
    ~Direct() { sqlite3_close(db); }
    Direct(const Direct &) = delete;
    Direct &operator=(const Direct &) = delete;

    sqlite3_stmt *prepare(const QByteArray &sql)
    {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "direct: %s\n", sqlite3_errmsg(db));
        return stmt;
    }
    sqlite3 *db = nullptr;
};

inline QString columnText(sqlite3_stmt *s, int col)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, col)));
}

// Every ticket's lines made into the line list's texts (numbered from 0, as
// when all are chosen at once) and its tax bases summed. Returns the number
// of lines; *netTotal receives the summed bases.
template <typename Ids, typename Numbers>
qint64 directLinesAndTaxes(Direct &direct, const Ids &ids, const Numbers &numbers, double *netTotal)
{
    sqlite3_stmt *lines = direct.prepare(
        "select idarticulo, descripcion, isventaporpeso, peso, unidades, precio, dtoslinea, importe, "
        "dtoscabecera, iddocumento from lineadocumento where iddocumento=?");
    sqlite3_stmt *taxes = direct.prepare(
        "select idtipoimpuesto, baseimponible, importe from impuestodocumento where iddocumento=? "
        "order by idtipoimpuesto");
    qint64 count = 0;
    double base = 0;
    QVector<QStringList> rows;
    for (qsizetype i = 0; i < qsizetype(ids.size()); ++i) {
        sqlite3_bind_int64(lines, 1, ids[i]);
        int n = 0;
        rows.clear();
        while (sqlite3_step(lines) == SQLITE_ROW) {
            const bool weighed = sqlite3_column_int(lines, 2) != 0;
            rows.push_back({QString::number(n++), QString::number(numbers[i]), columnText(lines, 0),
                            columnText(lines, 1),
                            posdata::FixedNumberText(sqlite3_column_double(lines, weighed ? 3 : 4), 3),
                            posdata::FixedNumberText(sqlite3_column_double(lines, 5), 2),
                            posdata::FixedNumberText(sqlite3_column_double(lines, 6), 2),
                            posdata::FixedNumberText(
                                sqlite3_column_double(lines, 7) - sqlite3_column_double(lines, 8), 2),
                            columnText(lines, 9)});
        }
        sqlite3_reset(lines);
        count += rows.size();
        sqlite3_bind_int64(taxes, 1, ids[i]);
        while (sqlite3_step(taxes) == SQLITE_ROW)
            base += sqlite3_column_double(taxes, 1);
        sqlite3_reset(taxes);
    }
    sqlite3_finalize(lines);
    sqlite3_finalize(taxes);
    *netTotal = base;
    return count;
}

// A stored document loaded straight from the invoice store file: the
// header read, the lines formatted as the line list shows them. Returns the
// number of lines, or -1 (the error in *error).
inline int directLoadDocument(const QString &storeFile, const QString &id, QString *error)
{
    posdemo::SqliteDb store;
    posdemo::SqliteStatement header, lines;
    const QByteArray quoted = id.toLatin1();
    if (!store.open(storeFile, false, error)
        || !header.prepare(store, "SELECT * FROM facturas WHERE iddocumento='" + quoted + "'", error)
        || !lines.prepare(store, "SELECT * FROM Documento WHERE iddocumento='" + quoted + "'", error))
        return -1;
    while (sqlite3_step(header.handle()) == SQLITE_ROW) {}
    const QLocale locale;
    LineRecordSet rows;
    sqlite3_stmt *s = lines.handle();
    while (sqlite3_step(s) == SQLITE_ROW) {
        rows.append({QString::number(rows.size() + 1), QString::number(sqlite3_column_int(s, 5)),
                     QString::number(sqlite3_column_int(s, 6)), columnText(s, 7).trimmed(),
                     locale.toString(sqlite3_column_double(s, 8), 'f', 3),
                     locale.toString(sqlite3_column_double(s, 9), 'f', 2),
                     locale.toString(sqlite3_column_double(s, 10), 'f', 2),
                     locale.toString(sqlite3_column_double(s, 11), 'g', 15),
                     QString::number(sqlite3_column_int(s, 4))});
    }
    return int(rows.size());
}

} // namespace zd::bench
