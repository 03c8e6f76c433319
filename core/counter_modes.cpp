#include "core/form1.h"

#include "ui/digits.h"

namespace quelvex {

void TForm1::stMouseDown() {
    face_.setGaugePosition(0);
    if (s_.counterMode == ProgramCounter) {
        face_.enable(TimerId::Timer1);
        setStatus(false);
    }
    s_.counterMode = SystemTime;
    if (s_.twelveHourClock == 1) {
        face_.show(Image::amc);
        face_.hide(Image::pmc);
    }
    face_.enable(TimerId::Timer1);
    setModePictures();
    s_.setHoursShown = s_.setHours = s_.setMinutes = s_.setSeconds = 0;
    s_.countTarget = 0;
    showEntryButtons(true);
    stopAllSound();
    face_.setGaugePosition(0);
    for (Image d : kRightClockDigits) face_.put(d, Image::n0);
}

void TForm1::pcMouseDown() {
    face_.setGaugeMinimum(0);
    if (s_.counterMode == SystemTime) {
        face_.disable(TimerId::Timer1);
        setStatus(false);
    }
    s_.counterMode = ProgramCounter;
    s_.maxHours = 99;
    s_.clockHoursShown = s_.clockHours = s_.setHoursShown = s_.setHours = 0;
    face_.hide(Image::nodospuntos);
    for (Image i : {Image::am, Image::pm, Image::amc, Image::pmc}) face_.hide(i);
    setModePictures();
    face_.disable(TimerId::Timer1);
    s_.clockHours = s_.clockMinutes = s_.clockSeconds = 0;
    s_.setHours = s_.setMinutes = s_.setSeconds = 0;
    s_.countTarget = 0;
    s_.countElapsed = 0;
    face_.put(Image::reset, Image::reseton);
    showEntryButtons(true);
    stopAllSound();
    face_.setGaugePosition(0);
    for (Image d : kRightClockDigits) face_.put(d, Image::n0);
    for (Image d : kLeftClockDigits) face_.put(d, Image::n0);
}

} // namespace quelvex
