#include "QtPlatform.h"

#include <QByteArray>
#include <QtGlobal>

namespace zd::common {

void preferXWayland()
{
    // Qt treats an empty QT_QPA_PLATFORM as unset.
    if (onWaylandSession() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

bool onWaylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace zd::common
