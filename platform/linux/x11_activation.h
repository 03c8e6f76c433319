// Bringing a window forward on X11 for another process's start, as its launcher asked.
#pragma once

#include <QByteArray>

class QWidget;

namespace quelvex {

// Asks the window manager to activate `window` with the user time carried by `startupId` (the
// DESKTOP_STARTUP_ID of the start that asked, "..._TIME<n>"), which focus-stealing prevention
// accepts where a request with the program's own, older time would only mark the window as
// wanting attention; then ends that start's startup notification, so its launcher stops
// showing it as starting. Does nothing off X11 or without an id.
void activateForStartup(QWidget& window, const QByteArray& startupId);

} // namespace quelvex
