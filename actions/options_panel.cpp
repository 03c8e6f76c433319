#include "core/form1.h"

#include "ui/digits.h"
#include "ui/language.h"

namespace quelvex {

// The lamp, the icon and the status word of an action always change together. The icon's
// handler writes the English word whatever the language.
void TForm1::setActionOption(int& option, Image lamp, Image icon, Image onPicture, Image offPicture,
                             Image statusWord, bool fromLamp) {
    const bool english = !fromLamp || isEnglish(s_.language);
    if (option == 1) {
        option = 0;
        face_.put(lamp, Image::boff);
        face_.put(icon, offPicture);
        face_.put(statusWord, english ? Image::off : Image::no);
    } else {
        option = 1;
        face_.put(lamp, Image::bon);
        face_.put(icon, onPicture);
        face_.put(statusWord, english ? Image::on : Image::si);
    }
}

void TForm1::shutdownMouseDown() {
    setActionOption(s_.shutdownOption, Image::shutdown, Image::iconshutoff, Image::iconshutoffon,
                    Image::iconshutoffoff, Image::screenshutdown, true);
}
void TForm1::iconshutoffMouseDown() {
    setActionOption(s_.shutdownOption, Image::shutdown, Image::iconshutoff, Image::iconshutoffon,
                    Image::iconshutoffoff, Image::screenshutdown, false);
}
void TForm1::alarmMouseDown() {
    setActionOption(s_.alarmOption, Image::alarm, Image::iconbell, Image::iconbellon, Image::iconbelloff,
                    Image::screenalarm, true);
}
void TForm1::iconbellMouseDown() {
    setActionOption(s_.alarmOption, Image::alarm, Image::iconbell, Image::iconbellon, Image::iconbelloff,
                    Image::screenalarm, false);
}
void TForm1::captureMouseDown() {
    setActionOption(s_.captureOption, Image::capture, Image::iconcapture, Image::iconcaptureon,
                    Image::iconcaptureoff, Image::screencapture, true);
}
void TForm1::iconcaptureMouseDown() {
    setActionOption(s_.captureOption, Image::capture, Image::iconcapture, Image::iconcaptureon,
                    Image::iconcaptureoff, Image::screencapture, false);
}

void TForm1::showMouseDown() {
    s_.hideOnCapture = s_.hideOnCapture == 1 ? 0 : 1;
    face_.put(Image::show, s_.hideOnCapture == 1 ? Image::bon : Image::boff);
}

void TForm1::rateMouseDown() {
    if (s_.periodicArmed == 1) {
        s_.periodicArmed = 0;
        face_.put(Image::rate, Image::boff);
        s_.captureInterval = 0;
        for (Image d : {Image::r1, Image::r2, Image::r3}) face_.put(d, Image::nn0);
    } else {
        s_.periodicArmed = 1;
        face_.put(Image::rate, Image::bon);
    }
}

void TForm1::rateupMouseDown() {
    if (s_.periodicArmed == 1) {
        s_.captureInterval += 1;
        s_.repeatUp = 1;
        s_.repeatField = 4;
        face_.enable(TimerId::Timer2);
        if (s_.captureInterval > 999) s_.captureInterval = 999;
    } else {
        s_.captureInterval = 0;
    }
    drawInterval(face_, s_.captureInterval);
}

void TForm1::ratedownMouseDown() {
    if (s_.periodicArmed == 1) {
        s_.captureInterval -= 1;
        s_.repeatUp = 0;
        s_.repeatField = 4;
        face_.enable(TimerId::Timer2);
        if (s_.captureInterval < 0) s_.captureInterval = 0;
    } else {
        s_.captureInterval = 0;
    }
    drawInterval(face_, s_.captureInterval);
}

void TForm1::rateupMouseUp() { face_.disable(TimerId::Timer2); }
void TForm1::ratedownMouseUp() { face_.disable(TimerId::Timer2); }

} // namespace quelvex
