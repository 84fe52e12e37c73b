#include "TicketInfo.h"

#include "PosValues.h"
#include "TicketNodes.h"
#include "externo/sql/Connection.h"
#include "externo/state/AppState.h"

namespace zd::posdata {

namespace {

// A value in its plain text form: numbers in the workstation's general
// format, anything else as it is.
std::optional<QString> plainText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    if (const auto whole = WholeNumberOf(value))
        return QString::number(*whole);
    if (const auto number = NumberOf(value))
        return GeneralNumberText(*number);
    return value.toString();
}

} // namespace

CustomerPanelTexts CustomerDetailsTexts(const CustomerRecord &c)
{
    return {c.codigo, c.nif, c.nombre, c.direccion, c.poblacion,
            c.codigopostal, c.provincia, c.telefono, c.email, c.codigo};
}

std::optional<CustomerPanelTexts> ShowCustomerDetails(const AppState &state)
{
    const int index = state.SelectedCustomerIndex;
    if (index < 0 || index >= state.Customers.size())
        return std::nullopt;
    return CustomerDetailsTexts(state.Customers.at(index));
}

QString TicketInfoSql(qint32 ticketId)
{
    return QStringLiteral("Select * from dbo.documento where iddocumento=") + QString::number(ticketId);
}

TicketInfoResult ShowTicketInfo(AppState &state, const QString &ticketNodeText)
{
    TicketInfoResult result;
    if (!ReadTicketNode(state, ticketNodeText))
        return result;
    if (!state.PosConnection || !state.PosConnection->isOpen()) {
        result.status = TicketInfoResult::Failed;
        result.error = QStringLiteral("point-of-sale connection is not open");
        return result;
    }
    bool ok = false;
    const sql::RecordSet rows = state.PosConnection->query(TicketInfoSql(state.CurrentTicketId), &ok);
    if (!ok) {
        result.status = TicketInfoResult::Failed;
        result.error = state.PosConnection->lastError();
        return result;
    }
    if (rows.isEmpty())
        return result;

    const auto fecha = DateOf(rows.value(0, QStringLiteral("fecha")));
    const auto seller = plainText(rows.value(0, QStringLiteral("idusuario")));
    const auto scale = plainText(rows.value(0, QStringLiteral("numeroterminal")));
    const auto amount = NumberOf(rows.value(0, QStringLiteral("totalneto")));
    if (!fecha || !seller || !scale || !amount) {
        result.status = TicketInfoResult::Failed;
        result.error = QStringLiteral("ticket %1 has a missing value").arg(state.CurrentTicketId);
        return result;
    }
    result.status = TicketInfoResult::Shown;
    result.text = QStringLiteral("N\u00B0Ticket: ") + QString::number(state.CurrentTicketNumber)
        + QStringLiteral(" Date : ") + fecha->toString(QStringLiteral("dd/MM/yyyy"))
        + QStringLiteral(" Vendeur: ") + *seller + QStringLiteral(" Balance: ") + *scale
        + QStringLiteral(" Montant: ") + GeneralNumberText(*amount);
    return result;
}

} // namespace zd::posdata
