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
// The maker's web site: its full base address (scheme and host, no trailing slash), and the
// host name shown in the captions. The address is fixed at start, before any window exists.
const std::string& siteUrl();
void setSiteUrl(std::string url);
std::string siteName();

// The notice before a timed power-off: the line added when the power-off is only rehearsed, the
// label of its one action, and how to take that action where notices have no buttons and a click
// on the notice is the action. Its headline is endActionNoticeTitle.
const char* rehearsalNoticeText(int language);
const char* cancelActionText(int language);
const char* clickToCancelText(int language);

} // namespace quelvex
