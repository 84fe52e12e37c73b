#include "AppState.h"

#include <QFileInfo>

namespace zd {

AppState::AppState(sql::EngineConfig engineConfig)
    : engine(std::move(engineConfig))
{
}

QString AppState::programFile(const QString &name) const
{
    return engine.programFolder + name;
}

QString AppState::pictureFile(const QString &name) const
{
    const QString own = programFile(name);
    if (sharedFolder.isEmpty() || QFileInfo::exists(own))
        return own;
    return sharedFolder + name;
}

QString AppState::keyboardProgram() const
{
    return (programsFolder.isEmpty() ? engine.programFolder : programsFolder) + QStringLiteral("/trs_teclado");
}

std::unique_ptr<sql::Connection> AppState::newConnection() const
{
    return std::make_unique<sql::Connection>(engine);
}

} // namespace zd
