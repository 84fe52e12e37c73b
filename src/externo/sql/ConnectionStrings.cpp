#include "ConnectionStrings.h"

#include <QStringList>

namespace zd::sql {

namespace {
QString prefix()
{
    return QStringLiteral("Provider=SQLOLEDB;Uid=%1;password=%2;").arg(QLatin1String(kSqlLogin),
                                                                      QLatin1String(kSqlPassword));
}

// ODBC values are braced when they hold characters with a meaning of their
// own; a '}' inside braces is written twice.
QString odbcValue(const QString &value)
{
    static const QString special = QStringLiteral(";{}=");
    bool needsBraces = value.startsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char(' '));
    for (QChar c : value)
        needsBraces = needsBraces || special.contains(c);
    if (!needsBraces)
        return value;
    QString v = value;
    v.replace(QLatin1String("}"), QLatin1String("}}"));
    return QLatin1Char('{') + v + QLatin1Char('}');
}
} // namespace

QString invoiceStoreConnectionString()
{
    return prefix() + QStringLiteral("Initial Catalog=") + QLatin1String(kInvoiceStoreCatalog)
           + QStringLiteral(";Data Source=") + QLatin1String(kLocalServer) + QLatin1Char(',')
           + QLatin1String(kPort);
}

QString serverConnectionString()
{
    return prefix() + QStringLiteral("Data Source=") + QLatin1String(kLocalServer) + QLatin1Char(',')
           + QLatin1String(kPort);
}

QString posConnectionString(const QString &posCatalog, const QString &posServer)
{
    return prefix() + QStringLiteral("Initial Catalog=") + posCatalog + QStringLiteral(";Data Source=")
           + posServer + QLatin1Char(',') + QLatin1String(kPort);
}

ConnectionTarget parseConnectionString(const QString &text)
{
    ConnectionTarget t;
    t.port = QLatin1String(kPort);
    const QStringList parts = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed().toLower();
        const QString value = part.mid(eq + 1).trimmed();
        if (key == QLatin1String("data source") || key == QLatin1String("server")
            || key == QLatin1String("address")) {
            const int comma = value.indexOf(QLatin1Char(','));
            t.server = (comma < 0 ? value : value.left(comma)).trimmed();
            if (comma >= 0 && !value.mid(comma + 1).trimmed().isEmpty())
                t.port = value.mid(comma + 1).trimmed();
        } else if (key == QLatin1String("initial catalog") || key == QLatin1String("database")) {
            t.catalog = value;
        } else if (key == QLatin1String("uid") || key == QLatin1String("user id")) {
            t.login = value;
        } else if (key == QLatin1String("password") || key == QLatin1String("pwd")) {
            t.password = value;
        }
    }
    return t;
}

QString odbcConnectionString(const ConnectionTarget &target, const QString &driver)
{
    QStringList parts;
    parts << QStringLiteral("DRIVER={%1}").arg(driver);
    parts << QStringLiteral("SERVER=") + odbcValue(target.server);
    parts << QStringLiteral("PORT=") + odbcValue(target.port.isEmpty() ? QLatin1String(kPort) : target.port);
    if (!target.catalog.isEmpty())
        parts << QStringLiteral("DATABASE=") + odbcValue(target.catalog);
    parts << QStringLiteral("UID=") + odbcValue(target.login);
    parts << QStringLiteral("PWD=") + odbcValue(target.password);
    parts << QStringLiteral("TDS_Version=7.3");
    return parts.join(QLatin1Char(';'));
}

} // namespace zd::sql
