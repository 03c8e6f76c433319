// Whether the window has somewhere to appear, asked before Qt opens the display: Qt itself aborts
// with a core dump and a page of plugin advice when it finds none.
#pragma once

#include <string>

namespace quelvex {

// Empty when a display server answers (or Qt was pointed at a platform that needs none, such as
// offscreen); otherwise one line saying what is missing.
std::string missingDesktopSession();

} // namespace quelvex
