// The QtWebEngine view of the page view, as the module and the helper process both make it.
#pragma once

#include "platform/qt/web_pane.h"

namespace quelvex {

// Before the first pane: the engine draws with OpenGL through Qt Quick.
void prepareEngineGraphics();

// A view with scripts off, nothing kept on disk and no address but http and https; the caller
// owns it (through its widget).
WebPane* createEnginePane(WebPaneEvents events);

} // namespace quelvex
