#pragma once
#include <QString>

// The program's fixed connection texts. Both engines start from these:
// the embedded engine maps (Data Source, Initial Catalog) to a file, the
// ODBC engine derives a driver connection string from them.
namespace zd::sql {

inline constexpr char kSqlLogin[] = "tessaronuser";
inline constexpr char kSqlPassword[] = "pinewharf.42";
inline constexpr char kLocalServer[] = "127.0.0.1";
inline constexpr char kPort[] = "1433";
inline constexpr char kInvoiceStoreCatalog[] = "TRS_FAC";

// "Provider=SQLOLEDB;Uid=tessaronuser;password=pinewharf.42;Initial Catalog=TRS_FAC;Data Source=127.0.0.1,1433"
QString invoiceStoreConnectionString();
// "Provider=SQLOLEDB;Uid=tessaronuser;password=pinewharf.42;Data Source=127.0.0.1,1433"
QString serverConnectionString();
// "...;Initial Catalog=" + catalog + ";Data Source=" + server + ",1433", verbatim.
QString posConnectionString(const QString &posCatalog, const QString &posServer);

// The parts of an OLE DB-style connection string that the engines use.
struct ConnectionTarget {
    QString server;   // host or address, without the port
    QString port;     // "1433" unless the string says otherwise
    QString catalog;  // empty: the server itself, no database
    QString login;
    QString password;
};
// Splits "key=value;..." (keys compared without regard to case).
// "Data Source=host,port" gives server and port; "Uid"/"User ID",
// "password"/"Pwd", "Initial Catalog"/"Database" are understood.
ConnectionTarget parseConnectionString(const QString &text);

// The ODBC connection string for the SQL Server engine, e.g.
// "DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=1433;DATABASE=TRS_FAC;UID=...;PWD=...;TDS_Version=7.3"
// (no DATABASE for the server itself). Values holding ';', '{', '}' or '='
// are braced so that they cannot add keys of their own.
QString odbcConnectionString(const ConnectionTarget &target, const QString &driver);

} // namespace zd::sql
