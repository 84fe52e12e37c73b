#include "EngineConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zd::sql {

namespace {
// A name from configuration becomes one path component, never more.
QString fileComponent(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (QChar c : name) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                           || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                           || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.')
                           || c == QLatin1Char('_') || c == QLatin1Char('-');
        out += plain ? c : QLatin1Char('_');
    }
    if (out.isEmpty() || out.startsWith(QLatin1Char('.')))
        out.replace(0, out.isEmpty() ? 0 : 1, QLatin1Char('_'));
    return out;
}
} // namespace

EngineConfig EngineConfig::fromProgramFolder(const QString &programFolder)
{
    EngineConfig config;
    QString folder = QDir::cleanPath(programFolder);
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    config.programFolder = folder;

    QFile marker(folder + QLatin1Char('/') + QLatin1String(kSqlServerMarkerFile));
    if (marker.exists()) {
        config.kind = EngineKind::SqlServer;
        if (marker.open(QIODevice::ReadOnly | QIODevice::Text)) {
            const QString driver = QString::fromUtf8(marker.readLine()).trimmed();
            if (!driver.isEmpty())
                config.odbcDriver = driver;
        }
    }
    return config;
}

QString EngineConfig::dataFolder() const
{
    return programFolder + QStringLiteral("/data");
}

QString EngineConfig::serverFolder(const QString &server) const
{
    return dataFolder() + QLatin1Char('/') + fileComponent(server);
}

QString EngineConfig::catalogFile(const QString &server, const QString &catalog) const
{
    return serverFolder(server) + QLatin1Char('/') + fileComponent(catalog) + QStringLiteral(".sqlite");
}

} // namespace zd::sql
