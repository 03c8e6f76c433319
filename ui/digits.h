// Numbers on the face are digit pictures copied into digit positions.
#pragma once

#include "ui/face.h"

#include <array>
#include <cstdint>

namespace quelvex {

// Puts the large (n0..n9) or small (nn0..nn9) picture of `digit` into `position`; a digit
// outside 0..9 leaves the position as it is.
void drawDigit(Face& face, Image position, std::int64_t digit, bool large);
// Clock pair: units = v mod 10, tens = v div 10.
void drawPair(Face& face, Image tens, Image units, int value);
// Capture interval on r3 r2 r1.
void drawInterval(Face& face, int value);
// Nine small digits, units first in `positions` order ds1..ds9 (or fs1..fs9).
void drawNine(Face& face, const std::array<Image, 9>& unitsFirst, std::int64_t value);

inline constexpr std::array<Image, 9> kDiskSizeDigits = {Image::ds1, Image::ds2, Image::ds3, Image::ds4, Image::ds5,
                                                         Image::ds6, Image::ds7, Image::ds8, Image::ds9};
inline constexpr std::array<Image, 9> kDiskFreeDigits = {Image::fs1, Image::fs2, Image::fs3, Image::fs4, Image::fs5,
                                                         Image::fs6, Image::fs7, Image::fs8, Image::fs9};
inline constexpr std::array<Image, 6> kRightClockDigits = {Image::s1, Image::s2, Image::m1,
                                                           Image::m2, Image::h1, Image::h2};
inline constexpr std::array<Image, 6> kLeftClockDigits = {Image::ss1, Image::ss2, Image::mm1,
                                                          Image::mm2, Image::hh1, Image::hh2};

} // namespace quelvex
