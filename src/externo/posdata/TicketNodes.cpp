#include "TicketNodes.h"

#include "externo/state/AppState.h"

#include <limits>

namespace zd::posdata {

namespace {

// The leading number of a text, read as a numeric prefix: blanks, an
// optional sign, digits. None when no digit follows.
std::optional<qint64> leadingNumber(QStringView text)
{
    int i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    qint64 value = 0;
    int digits = 0;
    while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9') {
        value = value * 10 + (text.at(i).unicode() - u'0');
        if (value > std::numeric_limits<qint32>::max() + qint64(1))
            return std::nullopt;  // no ticket or customer number is that long
        ++i;
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    return negative ? -value : value;
}

bool fits32(qint64 v)
{
    return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
}

} // namespace

QString TicketNodeText(qint64 numero, qint64 iddocumento, const QDate &fecha)
{
    return QString::number(numero) + QStringLiteral(" -((")
        + QStringLiteral("%1").arg(iddocumento, 8, 10, QLatin1Char('0'))
        + QStringLiteral(")-") + fecha.toString(QStringLiteral("dd/MM/yyyy"))
        + QStringLiteral(" )");
}

std::optional<TicketNodeValues> ParseTicketNode(const QString &nodeText)
{
    const qsizetype numberEnd = nodeText.indexOf(QStringLiteral(" -"));
    const qsizetype idMarker = nodeText.indexOf(QStringLiteral("-(("));
    if (numberEnd < 0 || idMarker < 0)
        return std::nullopt;
    const auto number = leadingNumber(QStringView(nodeText).left(numberEnd));
    if (!number || !fits32(*number))
        return std::nullopt;

    // The id is written with at least eight digits; all of them are read up
    // to the closing ")", so a longer id is never cut to a different ticket.
    const qsizetype idStart = idMarker + 3;
    qsizetype idEnd = idStart;
    while (idEnd < nodeText.size() && nodeText.at(idEnd).isDigit()
           && nodeText.at(idEnd).unicode() < 128)
        ++idEnd;
    if (idEnd - idStart < 8 || idEnd - idStart > 10)
        return std::nullopt;
    bool ok = false;
    const qint64 id = QStringView(nodeText).mid(idStart, idEnd - idStart).toLongLong(&ok);
    if (!ok || !fits32(id))
        return std::nullopt;
    return TicketNodeValues{qint32(*number), qint32(id)};
}

bool ReadTicketNode(AppState &state, const QString &nodeText)
{
    const auto values = ParseTicketNode(nodeText);
    if (!values)
        return false;
    state.CurrentTicketNumber = values->number;
    state.CurrentTicketId = values->ticketId;
    return true;
}

std::optional<qint32> CustomerNumberFromNodeText(const QString &nodeText)
{
    const qsizetype dash = nodeText.indexOf(u'-');
    if (dash < 0)
        return std::nullopt;
    const auto number = leadingNumber(QStringView(nodeText).left(dash));
    if (!number || !fits32(*number))
        return std::nullopt;
    return qint32(*number);
}

} // namespace zd::posdata
