#include "ListQueries.h"

#include "PosValues.h"
#include "TicketNodes.h"
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"
#include "externo/state/AppState.h"

#include <functional>
#include <limits>

namespace zd::posdata {

namespace {

const QString kOpenTicketHead = QStringLiteral(
    "select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) "
    "and isfinalizado=1 and numero <> 0 and idcontacto=");

// The last DATETIME tick of a day, so that a bound "To" takes the whole day.
QString endOfDayText(const QDate &day)
{
    return SqlDateText(day) + QStringLiteral(" 23:59:59.997");
}

QString periodCondition(const QString &column, const QDate &from, const QDate &to)
{
    return column + QStringLiteral(" between '") + SqlDateText(from) + QStringLiteral("' and '")
        + endOfDayText(to) + QStringLiteral("'");
}

ListResult failed(QString error, QStringList nodesSoFar = {})
{
    ListResult result;
    result.status = ListResult::QueryFailed;
    result.error = std::move(error);
    result.nodeTexts = std::move(nodesSoFar);
    return result;
}

ListResult runTicketList(AppState &state, const QString &customerNodeText,
                         const std::function<QString(qint32)> &sqlFor)
{
    const auto customer = CustomerNumberFromNodeText(customerNodeText);
    if (!customer)
        return ListResult{ListResult::NoCustomer, {}, {}};
    if (!state.PosConnection || !state.PosConnection->isOpen())
        return failed(QStringLiteral("point-of-sale connection is not open"));

    // Read row by row: of each ticket row only the three cells the node
    // shows are read. The first unreadable row ends the list there.
    QStringList nodes;
    int cNumero = -1, cId = -1, cFecha = -1;
    int rowNumber = 0;
    int unreadableRow = 0;
    const bool ok = state.PosConnection->queryRows(sqlFor(*customer), [&](const sql::RowView &row) {
        if (unreadableRow)
            return;
        if (++rowNumber == 1) {
            cNumero = row.columnIndex(QStringLiteral("numero"));
            cId = row.columnIndex(QStringLiteral("iddocumento"));
            cFecha = row.columnIndex(QStringLiteral("fecha"));
        }
        const auto numero = WholeNumberOf(row.value(cNumero));
        const auto id = WholeNumberOf(row.value(cId));
        const auto fecha = DateOf(row.value(cFecha));
        if (!numero || !id || !fecha) {
            unreadableRow = rowNumber;
            return;
        }
        nodes << TicketNodeText(*numero, *id, *fecha);
    });
    if (!ok)
        return failed(state.PosConnection->lastError());
    if (unreadableRow)
        return failed(QStringLiteral("ticket row %1 has no readable numero, iddocumento or fecha").arg(unreadableRow),
                      nodes);
    return ListResult{ListResult::Ok, nodes, {}};
}

ListResult runDocumentList(AppState &state, const std::function<QString(qint32)> &sqlFor)
{
    // The invoice store is opened first: an unreachable store takes the
    // offline path whatever the customer.
    const auto store = state.newConnection();
    if (!store->open(sql::invoiceStoreConnectionString()))
        return ListResult{ListResult::Unreachable, {}, store->lastError()};

    const int index = state.SelectedCustomerIndex;
    if (index < 2 || index >= state.Customers.size()) {
        store->close();
        return ListResult{ListResult::NoCustomer, {}, {}};
    }
    bool ok = false;
    const sql::RecordSet rows = store->query(sqlFor(state.Customers.at(index).idcliente), &ok);
    const QString error = store->lastError();
    store->close();
    if (!ok)
        return failed(error);

    QStringList nodes;
    QStringList corrected;
    nodes.reserve(rows.rowCount());
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QVariant id = rows.value(r, QStringLiteral("iddocumento"));
        if (!id.isValid() || id.isNull())
            return failed(QStringLiteral("document row %1 has no iddocumento").arg(r + 1), nodes);
        nodes << id.toString();
        const QString invoice = rows.value(r, QStringLiteral("FacturaRectificada")).toString().trimmed();
        if (!invoice.isEmpty())
            corrected << invoice;
    }
    return ListResult{ListResult::Ok, nodes, {}, corrected};
}

} // namespace

QString SortKeyword(const QString &sortDirection)
{
    return sortDirection.trimmed().compare(QLatin1String("ASC"), Qt::CaseInsensitive) == 0
        ? QStringLiteral("ASC")
        : QStringLiteral("DESC");
}

QString OpenTicketsSql(qint32 customerNumber, const QString &sortDirection)
{
    return kOpenTicketHead + QString::number(customerNumber)
        + QStringLiteral(" and iddocumentoabono=0 order by tipodocumento,numero ")
        + SortKeyword(sortDirection) + QStringLiteral(",fecha");
}

QString OpenTicketsInPeriodSql(qint32 customerNumber, const QDate &from, const QDate &to,
                               const QString &sortDirection)
{
    return kOpenTicketHead + QString::number(customerNumber)
        + QStringLiteral(" and iddocumentoabono=0 and ") + periodCondition(QStringLiteral("fecha"), from, to)
        + QStringLiteral(" order by tipodocumento,numero ") + SortKeyword(sortDirection)
        + QStringLiteral(",fecha");
}

QString LatestOpenTicketCustomerSql()
{
    return QStringLiteral(
        "select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) "
        "and isfinalizado=1 and numero <> 0 and idcontacto<>0 and iddocumentoabono=0 order by fecha,hora");
}

QString CustomerDocumentsSql(qint32 idcliente, const QString &sortDirection)
{
    return QStringLiteral("Select * from dbo.facturas where idcliente=") + QString::number(idcliente)
        + QStringLiteral(" order by iddocumento ") + SortKeyword(sortDirection);
}

QString CustomerDocumentsInPeriodSql(qint32 idcliente, const QDate &from, const QDate &to,
                                     const QString &sortDirection)
{
    return QStringLiteral("Select * from dbo.facturas where idcliente=") + QString::number(idcliente)
        + QStringLiteral(" and ") + periodCondition(QStringLiteral("FechaDocumento"), from, to)
        + QStringLiteral(" order by iddocumento ") + SortKeyword(sortDirection);
}

ListResult ListOpenTickets(AppState &state, const QString &customerNodeText)
{
    return runTicketList(state, customerNodeText, [&](qint32 customer) {
        return OpenTicketsSql(customer, state.SortDirection);
    });
}

ListResult ListOpenTicketsInPeriod(AppState &state, const QString &customerNodeText,
                                   const QDate &from, const QDate &to)
{
    return runTicketList(state, customerNodeText, [&](qint32 customer) {
        return OpenTicketsInPeriodSql(customer, from, to, state.SortDirection);
    });
}

ListResult ListCustomerDocuments(AppState &state)
{
    ListResult result = runDocumentList(state, [&](qint32 idcliente) {
        return CustomerDocumentsSql(idcliente, state.SortDirection);
    });
    if (result.status != ListResult::Unreachable)
        state.SelectedDocumentIndex = 0;
    return result;
}

ListResult ListCustomerDocumentsInPeriod(AppState &state, const QDate &from, const QDate &to)
{
    return runDocumentList(state, [&](qint32 idcliente) {
        return CustomerDocumentsInPeriodSql(idcliente, from, to, state.SortDirection);
    });
}

qint32 LatestOpenTicketCustomer(AppState &state, bool *ok)
{
    if (ok)
        *ok = false;
    if (!state.PosConnection || !state.PosConnection->isOpen())
        return 0;
    bool queryOk = false;
    const sql::RecordSet rows = state.PosConnection->queryLastRow(LatestOpenTicketCustomerSql(), &queryOk);
    if (!queryOk)
        return 0;
    if (ok)
        *ok = true;
    if (rows.isEmpty())
        return 0;
    const auto customer = WholeNumberOf(rows.value(rows.rowCount() - 1, QStringLiteral("idcontacto")));
    if (!customer || *customer < std::numeric_limits<qint32>::min()
        || *customer > std::numeric_limits<qint32>::max()) {
        if (ok)
            *ok = false;
        return 0;
    }
    return qint32(*customer);
}

} // namespace zd::posdata
