#pragma once

#include <string>

namespace quelvex {

// "Quelvex ScreenCAP H.M D-M-YYYY.jpg", numbers without leading zeros, no seconds.
std::string captureFileName(int hour, int minute, int day, int month, int year);

} // namespace quelvex
