#pragma once
#include <QDate>
#include <QString>
#include <QStringList>

namespace zd {
struct AppState;
}

// The ticket and document lists of the chosen customer, and the customer of
// the most recent open ticket. A ticket is open while its timestamp sits on
// a whole second (the invoiced mark moves it off), it is finalised, has a
// number, belongs to the customer and has not been credited.
namespace zd::posdata {

// "ASC" or "DESC"; anything else is taken as "DESC" so that no other text
// ever reaches the ORDER BY.
QString SortKeyword(const QString &sortDirection);

QString OpenTicketsSql(qint32 customerNumber, const QString &sortDirection);
// The To day is covered up to its last DATETIME tick.
QString OpenTicketsInPeriodSql(qint32 customerNumber, const QDate &from, const QDate &to,
                               const QString &sortDirection);
QString LatestOpenTicketCustomerSql();
QString CustomerDocumentsSql(qint32 idcliente, const QString &sortDirection);
QString CustomerDocumentsInPeriodSql(qint32 idcliente, const QDate &from, const QDate &to,
                                     const QString &sortDirection);

// What a list routine found. The window empties the tree and ListView1
// first; then, unless status is Unreachable or NoCustomer, it adds the root
// (the selected customer node's text, unchanged) and one child per entry of
// nodeTexts. It expands the root only when status is Ok: after a failed
// query or a row that could not be read, the nodes before it stay.
struct ListResult {
    enum Status {
        Ok,
        Unreachable,  // the invoice store could not be opened: offline path
        NoCustomer,   // no customer number: the tree stays empty
        QueryFailed,  // SQL error or unreadable row; error says which
    };
    Status status = Ok;
    QStringList nodeTexts;
    QString error;
    // Document lists: the invoices a listed credit note corrects.
    QStringList corrected;
};

// Open tickets of the customer of `customerNodeText` ("00012-BOULANGERIE"),
// on state.PosConnection, ordered by tipodocumento, numero in
// state.SortDirection, fecha. Node texts: see TicketNodeText.
ListResult ListOpenTickets(AppState &state, const QString &customerNodeText);
// The same within From..To (both days whole); From must not be after To.
ListResult ListOpenTicketsInPeriod(AppState &state, const QString &customerNodeText,
                                   const QDate &from, const QDate &to);

// Documents issued to the customer chosen in the customer tree (the entry
// state.Customers[state.SelectedCustomerIndex]), found by the idcliente the
// issue stored. Each call opens and closes its own invoice store
// connection. Node texts: the document ids. ListCustomerDocuments also
// resets state.SelectedDocumentIndex to 0.
ListResult ListCustomerDocuments(AppState &state);
ListResult ListCustomerDocumentsInPeriod(AppState &state, const QDate &from, const QDate &to);

// idcontacto of the latest open ticket of any customer, 0 when none.
// *ok (when given) is false after a query error (the result is then 0).
qint32 LatestOpenTicketCustomer(AppState &state, bool *ok = nullptr);

} // namespace zd::posdata
