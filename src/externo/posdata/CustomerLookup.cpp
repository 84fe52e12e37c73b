#include "CustomerLookup.h"

#include "TicketNodes.h"
#include "externo/state/AppState.h"

#include <optional>

namespace zd::posdata {

namespace {

// Digits only, and not too long for a number: its value.
std::optional<qint64> wholeNumber(const QString &text)
{
    if (text.isEmpty() || text.size() > 18)
        return std::nullopt;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    return text.toLongLong();
}

// Entries 0 and 1 and the spare at the end hold no customer.
int lastCustomer(const AppState &state)
{
    return int(state.Customers.size()) - 2;
}

} // namespace

int CustomerNodeByNumber(const AppState &state, qint32 number)
{
    for (int k = 2; k <= lastCustomer(state); ++k) {
        // The code is what the node text starts with, up to its "-".
        if (CustomerNumberFromNodeText(state.Customers.at(k).codigo + u'-') == number)
            return k;
    }
    return 0;
}

int CustomerNodeByCode(const AppState &state, const QString &text)
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return 0;
    const std::optional<qint64> wantedNumber = wholeNumber(wanted);
    for (int k = 2; k <= lastCustomer(state); ++k) {
        const QString code = state.Customers.at(k).codigo.trimmed();
        if (code.compare(wanted, Qt::CaseInsensitive) == 0)
            return k;
        if (wantedNumber && wholeNumber(code) == wantedNumber)
            return k;
    }
    return 0;
}

} // namespace zd::posdata
