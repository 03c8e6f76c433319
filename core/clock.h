#pragma once

#include <string>

namespace quelvex {

struct LocalDateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// Local time and the user's own formats.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() = 0;
    // The user's short date, one space, the user's long time.
    virtual std::string format(const LocalDateTime& when) = 0;
    // Reads back a text made by format().
    virtual LocalDateTime parse(const std::string& text) = 0;
    // Whether the user's primary language is Spanish, of any region.
    virtual bool userLanguageIsSpanish() = 0;
};

// Days since 30 December 1899 with the time of day as fraction, as date-time values are kept.
double toDayValue(const LocalDateTime& when);

} // namespace quelvex
