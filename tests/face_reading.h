// Reading the face's digit pictures back as text, and entering a time, for the model tests.
#pragma once

#include "tests/virtual_time.h"

#include <array>
#include <string>

namespace quelvex::testing {

// The digit a position shows ('0'..'9' from either digit set), ' ' with no picture, '?' otherwise.
inline char digitOf(const Face& f, Image position) {
    const Image p = f.picture(position);
    if (p == kNoPicture) return ' ';
    for (Image base : {Image::n0, Image::nn0}) {
        const int d = static_cast<int>(p) - static_cast<int>(base);
        if (d >= 0 && d < 10) return static_cast<char>('0' + d);
    }
    return '?';
}

inline std::string leftClock(const Face& f) {
    return {digitOf(f, Image::hh2), digitOf(f, Image::hh1), ':', digitOf(f, Image::mm2),
            digitOf(f, Image::mm1), ':', digitOf(f, Image::ss2), digitOf(f, Image::ss1)};
}

inline std::string rightClock(const Face& f) {
    return {digitOf(f, Image::h2), digitOf(f, Image::h1), ':', digitOf(f, Image::m2),
            digitOf(f, Image::m1), ':', digitOf(f, Image::s2), digitOf(f, Image::s1)};
}

inline std::string intervalDigits(const Face& f) {
    return {digitOf(f, Image::r3), digitOf(f, Image::r2), digitOf(f, Image::r1)};
}

// ds9..ds1 (or fs9..fs1), given units first.
inline std::string nineDigits(const Face& f, const std::array<Image, 9>& unitsFirst) {
    std::string out;
    for (auto it = unitsFirst.rbegin(); it != unitsFirst.rend(); ++it) out += digitOf(f, *it);
    return out;
}

// Enters a time with single clicks on the up buttons.
inline void enter(VirtualTime& vt, int h, int m, int s) {
    for (int i = 0; i < h; ++i) vt.clickOn(Image::hup);
    for (int i = 0; i < m; ++i) vt.clickOn(Image::mup);
    for (int i = 0; i < s; ++i) vt.clickOn(Image::sup);
}

// Enters a time of day, switches the alarm on and presses START: a time armed in system-time mode.
inline void armWithAlarm(VirtualTime& vt, int h, int m, int s) {
    enter(vt, h, m, s);
    vt.clickOn(Image::alarm);
    vt.clickOn(Image::start);
}

} // namespace quelvex::testing
