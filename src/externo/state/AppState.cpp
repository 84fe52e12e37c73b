#include "AppState.h"

namespace zd {

AppState::AppState(sql::EngineConfig engineConfig)
    : engine(std::move(engineConfig))
{
}

QString AppState::programFile(const QString &name) const
{
    return engine.programFolder + name;
}

std::unique_ptr<sql::Connection> AppState::newConnection() const
{
    return std::make_unique<sql::Connection>(engine);
}

} // namespace zd
