#pragma once

namespace zd::common {

// Both programs talk to X11: the keyboard types through XTest and follows the
// active X window, which a native Wayland window of the invoicing program
// would be out of reach of. Called before the QApplication exists: on a
// Wayland session that names no Qt platform, asks for XWayland first and
// native Wayland only when no X server is there (QT_QPA_PLATFORM=xcb;wayland).
// A platform chosen in the environment is kept. The variable is set in this
// process's environment, so the keyboard zedorev starts inherits the choice.
void preferXWayland();

// True on a Wayland session (WAYLAND_DISPLAY names a compositor): an X window
// then lives on XWayland, under the compositor's own window manager.
bool onWaylandSession();

} // namespace zd::common
