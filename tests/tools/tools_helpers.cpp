#include "tools_helpers.h"

#include "posdemo/SqliteDb.h"

#include <QCryptographicHash>
#include <QtDebug>
#include <sqlite3.h>

QVector<QVariantList> queryFile(const QString &file, const QString &sql)
{
    QVector<QVariantList> result;
    zd::posdemo::SqliteDb db;
    zd::posdemo::SqliteStatement st;
    QString error;
    if (!db.open(file, false, &error) || !st.prepare(db, sql.toUtf8(), &error)) {
        qWarning().noquote() << "queryFile:" << error;
        return result;
    }
    while (sqlite3_step(st.handle()) == SQLITE_ROW) {
        QVariantList row;
        for (int c = 0; c < sqlite3_column_count(st.handle()); ++c) {
            sqlite3_stmt *s = st.handle();
            switch (sqlite3_column_type(s, c)) {
            case SQLITE_INTEGER: row.append(qint64(sqlite3_column_int64(s, c))); break;
            case SQLITE_FLOAT: row.append(sqlite3_column_double(s, c)); break;
            case SQLITE_NULL: row.append(QVariant()); break;
            case SQLITE_BLOB:
                row.append(QByteArray(static_cast<const char *>(sqlite3_column_blob(s, c)),
                                      sqlite3_column_bytes(s, c)));
                break;
            default:
                row.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, c))));
            }
        }
        result.append(row);
    }
    return result;
}

QVariant scalarFromFile(const QString &file, const QString &sql)
{
    const auto rows = queryFile(file, sql);
    return rows.isEmpty() ? QVariant() : rows.first().value(0);
}

QByteArray contentHash(const QString &file)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char *table : {"empresa", "moneda", "TipoImpuesto", "cliente", "documento", "lineadocumento",
                              "impuestodocumento"}) {
        hash.addData(table);
        for (const QVariantList &row : queryFile(file, QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table))) {
            for (const QVariant &v : row) {
                hash.addData(v.typeName() ? v.typeName() : "null");
                hash.addData(v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8());
                hash.addData("|");
            }
        }
    }
    return hash.result().toHex();
}
