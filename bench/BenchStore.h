#pragma once
// An invoice store at shop scale for the benchmarks: 10,000 invoices of
// five lines, dated 2026-03-05, ticket ids 5 to 50,004.
#include <QString>
#include <sqlite3.h>
#include <cstdio>

namespace zd::bench {

// 10,000 headers and 50,000 lines written directly into the store file.
inline bool fillStore(const QString &file)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(qPrintable(file), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return false;
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt *header = nullptr, *line = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into facturas (IdDocumento, TipoDocumento, IdSerie, NumCopia, IdEmpresa, IdFiscal, "
                       "IdCliente, IdFiscalCliente, MonedaDes, MonedaDec, MonedaSim, timestamp, Correlativo, "
                       "FechaDocumento, totalbruto, totaldescuentos, totalimpuestos, Impuesto1Des, Impuesto1Por, "
                       "TotalImpuesto1, totalbase1, TotalNeto) values (?, 1, ?, 0, 1, 'FR 47 512384976', ?, "
                       "'512 384 976 00011', 'Euro', 2, '€', '2026-03-05 10:15:42.000', ?, "
                       "'2026-03-05 10:15:42.000', 100.5, 0, 5.53, 'TVA 5,5%', 5.5, 5.53, 100.5, 106.03)",
                       -1, &header, nullptr);
    sqlite3_prepare_v2(db,
                       "insert into Documento (IdDocumento, TipoDocumento, IdSerie, Correlativo, IdExterno, "
                       "numerodetique, codigo, descripcion, cantidad, precio, descuento, importe) "
                       "values (?, 1, ?, ?, ?, ?, 2001, 'Jambon blanc à l''ancienne', 1.25, 24.9, 0, 31.13)",
                       -1, &line, nullptr);
    bool ok = true;
    for (int d = 1; d <= 10000 && ok; ++d) {
        const int customer = 1 + d % 2000;
        const int serie = 1000000 + 26 * 10000 + customer;
        const int correlativo = 1 + d / 2000;
        const QByteArray id = QStringLiteral("F%1%2").arg(serie, 8, 10, QLatin1Char('0'))
                                  .arg(correlativo, 4, 10, QLatin1Char('0')).toLatin1();
        sqlite3_bind_text(header, 1, id.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(header, 2, serie);
        sqlite3_bind_int(header, 3, customer);
        sqlite3_bind_int(header, 4, correlativo);
        ok = sqlite3_step(header) == SQLITE_DONE;
        sqlite3_reset(header);
        for (int l = 0; l < 5 && ok; ++l) {
            sqlite3_bind_text(line, 1, id.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(line, 2, serie);
            sqlite3_bind_int(line, 3, correlativo);
            sqlite3_bind_int(line, 4, d * 5 + l);
            sqlite3_bind_int(line, 5, d);
            ok = sqlite3_step(line) == SQLITE_DONE;
            sqlite3_reset(line);
        }
    }
    sqlite3_finalize(header);
    sqlite3_finalize(line);
    sqlite3_exec(db, ok ? "commit" : "rollback", nullptr, nullptr, nullptr);
    if (!ok)
        std::fprintf(stderr, "fill failed: %s\n", sqlite3_errmsg(db));
    sqlite3_close(db);
    return ok;
}


} // namespace zd::bench
