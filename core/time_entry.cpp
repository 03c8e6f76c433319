#include "core/form1.h"

#include "ui/digits.h"

#include <algorithm>

namespace quelvex {
namespace {

enum Field { Hours = 1, Minutes = 2, Seconds = 3, Interval = 4 };

} // namespace

void TForm1::recomputeTarget() { s_.countTarget = s_.setHours * 3600 + s_.setMinutes * 60 + s_.setSeconds; }

void TForm1::keepEntryInRange(int field) {
    auto keep = [](int& v, int high) { v = std::min(std::max(v, 0), high); };
    switch (field) {
    case Hours: keep(s_.setHours, s_.maxHours); break;
    case Minutes: keep(s_.setMinutes, 59); break;
    case Seconds: keep(s_.setSeconds, 59); break;
    case Interval: keep(s_.captureInterval, 999); break;
    default: break;
    }
}

void TForm1::drawRightHours() {
    s_.setHoursShown = s_.setHours;
    if (s_.counterMode == SystemTime && s_.twelveHourClock == 1) {
        if (s_.setHoursShown >= 12) {
            s_.setHoursShown -= 12;
            face_.show(Image::pmc);
            face_.hide(Image::amc);
        } else {
            face_.show(Image::amc);
            face_.hide(Image::pmc);
        }
    }
    drawPair(face_, Image::h2, Image::h1, s_.setHoursShown);
}

void TForm1::drawRightClock() {
    drawRightHours();
    drawPair(face_, Image::m2, Image::m1, s_.setMinutes);
    drawPair(face_, Image::s2, Image::s1, s_.setSeconds);
    quelvex::drawInterval(face_, s_.captureInterval);
}

void TForm1::stepEntry(int field, int step, Image button, Image pressed) {
    face_.put(button, pressed);
    int& value = field == Hours ? s_.setHours : field == Minutes ? s_.setMinutes : s_.setSeconds;
    value += step;
    s_.repeatUp = step > 0 ? 1 : 0;
    s_.repeatField = field;
    face_.enable(TimerId::Timer2);
    // An up button only ever meets its upper bound, a down button only 0.
    if (step > 0)
        value = std::min(value, field == Hours ? s_.maxHours : 59);
    else
        value = std::max(value, 0);
    recomputeTarget();
    if (field == Hours)
        drawRightHours();
    else if (field == Minutes)
        drawPair(face_, Image::m2, Image::m1, s_.setMinutes);
    else
        drawPair(face_, Image::s2, Image::s1, s_.setSeconds);
}

void TForm1::releaseEntry(Image button, Image released) {
    face_.put(button, released);
    face_.disable(TimerId::Timer2);
}

void TForm1::hupMouseDown() { stepEntry(Hours, +1, Image::hup, Image::hupoff); }
void TForm1::mupMouseDown() { stepEntry(Minutes, +1, Image::mup, Image::mupoff); }
void TForm1::supMouseDown() { stepEntry(Seconds, +1, Image::sup, Image::supoff); }
void TForm1::hdownMouseDown() { stepEntry(Hours, -1, Image::hdown, Image::hdownoff); }
void TForm1::mdownMouseDown() { stepEntry(Minutes, -1, Image::mdown, Image::mdownoff); }
void TForm1::sdownMouseDown() { stepEntry(Seconds, -1, Image::sdown, Image::sdownoff); }
void TForm1::hupMouseUp() { releaseEntry(Image::hup, Image::hupon); }
void TForm1::mupMouseUp() { releaseEntry(Image::mup, Image::mupon); }
void TForm1::supMouseUp() { releaseEntry(Image::sup, Image::supon); }
void TForm1::hdownMouseUp() { releaseEntry(Image::hdown, Image::hdownon); }
void TForm1::mdownMouseUp() { releaseEntry(Image::mdown, Image::mdownon); }
void TForm1::sdownMouseUp() { releaseEntry(Image::sdown, Image::sdownon); }

void TForm1::Timer2Timer() {
    const int step = s_.repeatUp == 1 ? 1 : -1;
    switch (s_.repeatField) {
    case Hours: s_.setHours += step; break;
    case Minutes: s_.setMinutes += step; break;
    case Seconds: s_.setSeconds += step; break;
    case Interval: s_.captureInterval += step; break;
    default: break;
    }
    keepEntryInRange(s_.repeatField);
    recomputeTarget();
    for (int field : {Hours, Minutes, Seconds, Interval}) keepEntryInRange(field);
    drawRightClock();
}

} // namespace quelvex
