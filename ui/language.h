// The two languages' captions. `english` follows the program's rule: language 1 is English,
// anything else Spanish.
#pragma once

#include "ui/face.h"

#include <string>

namespace quelvex {

inline bool isEnglish(int language) { return language == 1; }

const char* statusRunningText(int language);
const char* statusStoppedText(int language);
// Caption of a label in a language, from the text table; empty for labels it does not hold.
std::string captionText(Label label, int language);
// Captions the window is built with, before any language code runs.
std::string formCaption(Label label);
// The maker's web-site host name.
const char* siteName();

} // namespace quelvex
