// The user manual in the program's two languages, as plain text for the help window. Each
// paragraph is one line; the editor wraps it to its width.
#pragma once

#include <string>

namespace quelvex {

std::string englishManual();
std::string spanishManual();

} // namespace quelvex
