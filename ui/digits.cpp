#include "ui/digits.h"

namespace quelvex {

void drawDigit(Face& face, Image position, std::int64_t digit, bool large) {
    if (digit < 0 || digit > 9) return;
    const Image first = large ? Image::n0 : Image::nn0;
    face.put(position, static_cast<Image>(static_cast<int>(first) + static_cast<int>(digit)));
}

void drawPair(Face& face, Image tens, Image units, int value) {
    drawDigit(face, units, value % 10, true);
    drawDigit(face, tens, value / 10, true);
}

void drawInterval(Face& face, int value) {
    drawDigit(face, Image::r1, value % 10, false);
    drawDigit(face, Image::r2, (value % 100 - value % 10) / 10, false);
    drawDigit(face, Image::r3, value / 100, false);
}

void drawNine(Face& face, const std::array<Image, 9>& unitsFirst, std::int64_t value) {
    std::int64_t power = 1;
    for (Image position : unitsFirst) {
        drawDigit(face, position, (value % (power * 10)) / power, false);
        power *= 10;
    }
}

} // namespace quelvex
