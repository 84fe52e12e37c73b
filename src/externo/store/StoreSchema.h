#pragma once
#include <QString>
#include <QStringList>

namespace zd {

// The invoice store TRS_FAC: the statements that create it. The table texts
// are kept piece by piece, exactly as the program has always sent them.
QString CreateDatabaseStatement();        // "CREATE DATABASE TRS_FAC"
QString CreateFacturasStatement();        // header table: one row per document
QString CreateDocumentoStatement();       // line table, cascading from facturas
// The journal of point-of-sale changes still owed: one row per ticket to
// mark ('M', written with the issued document) or to release ('L', written
// with a cancelled delivery note's deletion). Added to existing stores at start.
QString CreateMarcasPendientesStatement();
// Cancelled delivery notes, kept as they were when cancelled (header and
// lines, moved in the cancellation's transaction): their numbers are never
// issued again. Added to existing stores at start.
QString CreateFacturasAnuladasStatement();
QString CreateDocumentoAnuladoStatement();
// The tables added after the first version, in the order they are created.
QStringList AddedTableStatements();
// A credit note records the invoice it corrects in a column added to the
// headers (and to the cancelled headers, which mirror them).
QStringList AddedColumnStatements();
// The column each of those statements adds ("table.column").
QString AddedColumnOf(const QString &statement);
// The lines found by their document (the books' checks read documents back
// by number). Created with the books' chain, in a new or upgraded store.
QString CreateDocumentoIndexStatement();

} // namespace zd
