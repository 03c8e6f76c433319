#include "core/form1.h"

#include "ui/digits.h"
#include "ui/language.h"

namespace quelvex {

bool TForm1::actionArmed() const {
    if (s_.counterMode == ProgramCounter)
        return face_.enabled(TimerId::Timer1) && s_.countTarget > 0 && s_.countElapsed < s_.countTarget;
    return s_.systemTimeArmed == 1;
}

void TForm1::startMouseDown() {
    face_.put(Image::start, isEnglish(s_.language) ? Image::startoff : Image::iniciaroff);
}

void TForm1::startClick() {
    if (s_.counterMode == ProgramCounter) showEntryButtons(false);
}

void TForm1::startMouseUp() {
    face_.put(Image::start, isEnglish(s_.language) ? Image::starton : Image::iniciaron);
    if (s_.counterMode == SystemTime) {
        s_.systemTimeArmed = 1;
        setStatus(true);
    }
    face_.enable(TimerId::Timer1);
    face_.hide(Image::nodospuntos);
    if (s_.counterMode == SystemTime && s_.systemTimeArmed == 1) {
        face_.enable(TimerId::Timer7);
        showEntryButtons(false);
    }
}

void TForm1::stopMouseDown() {
    face_.put(Image::stop, isEnglish(s_.language) ? Image::stopoff : Image::pararoff);
    if (s_.counterMode == SystemTime) showEntryButtons(true);
}

void TForm1::stopMouseUp() {
    face_.disable(TimerId::Timer7);
    face_.put(Image::stop, isEnglish(s_.language) ? Image::stopon : Image::pararon);
    if (face_.text(Label::Label3) != statusStoppedText(s_.language)) setStatus(false);
    if (s_.counterMode == ProgramCounter) {
        face_.disable(TimerId::Timer1);
        face_.hide(Image::nodospuntos);
    } else {
        s_.systemTimeArmed = 0;
    }
    stopAllSound();
}

void TForm1::resetMouseDown() {
    face_.put(Image::reset, Image::resetoff);
    if (s_.counterMode == ProgramCounter) {
        face_.disable(TimerId::Timer1);
        s_.clockHours = s_.clockMinutes = s_.clockSeconds = 0;
        s_.setHours = s_.setMinutes = s_.setSeconds = 0;
        s_.countTarget = 0;
        s_.countElapsed = 0;
    }
}

void TForm1::resetMouseUp() {
    face_.disable(TimerId::Timer7);
    face_.put(Image::reset, Image::reseton);
    setStatus(false);
    showEntryButtons(true);
    stopAllSound();
    if (s_.counterMode == ProgramCounter) {
        face_.setGaugePosition(0);
        for (Image d : kRightClockDigits) face_.put(d, Image::n0);
        for (Image d : kLeftClockDigits) face_.put(d, Image::n0);
    } else {
        s_.systemTimeArmed = 0;
        face_.setGaugePosition(0);
    }
}

} // namespace quelvex
