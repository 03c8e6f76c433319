#include "core/form1.h"

#include "ui/digits.h"
#include "ui/language.h"
#include "ui/layout.h"

#include <cmath>

namespace quelvex {

double toDayValue(const LocalDateTime& t) {
    // Days from the civil date (proleptic Gregorian), counted from 30 December 1899.
    const int y = t.month <= 2 ? t.year - 1 : t.year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (t.month + (t.month > 2 ? -3 : 9)) + 2) / 5 + t.day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long daysFromUnix = static_cast<long long>(era) * 146097 + doe - 719468;
    const long long days = daysFromUnix + 25569;
    const double fraction = (t.hour * 3600.0 + t.minute * 60.0 + t.second + t.millisecond / 1000.0) / 86400.0;
    return static_cast<double>(days) + fraction;
}

TForm1::TForm1(Services services, WebServices web) : svc_(std::move(services)), web_(web) {
    // The window as loaded from its form: captions and position.
    for (std::size_t i = 0; i < kLabelCount; ++i) {
        const Label l = static_cast<Label>(i);
        face_.setText(l, formCaption(l));
    }

    face_.disable(TimerId::Timer7);
    s_.maxHours = 99;
    face_.hide(Image::nodospuntos);
    face_.setText(Label::Label3, "DISABLED", kRed);
    setModePictures();
    face_.setWindowTop(100);
    face_.setWindowLeft(200);
    face_.setWindowHeight(kPanelClosedHeight);
    face_.setWindowWidth(kWindowWidth);
    face_.hide(Image::modocontador);
    face_.disable(TimerId::Timer1);
    face_.disable(TimerId::Timer4);
    closeOptionsPanel();
    face_.put(Image::menuup, Image::menuupon);
    face_.put(Image::menudown, Image::menudownon);
    face_.put(Image::iconshutoff, Image::iconshutoffon);
    face_.put(Image::shutdown, Image::bon);
    face_.put(Image::screenshutdown, Image::on);
    face_.put(Image::start, Image::starton);
    face_.put(Image::stop, Image::stopon);
    face_.put(Image::reset, Image::reseton);
    face_.put(Image::hup, Image::hupon);
    face_.put(Image::mup, Image::mupon);
    face_.put(Image::sup, Image::supon);
    face_.put(Image::hdown, Image::hdownon);
    face_.put(Image::mdown, Image::mdownon);
    face_.put(Image::sdown, Image::sdownon);
    for (Image d : kRightClockDigits) face_.put(d, Image::n0);
    for (Image d : kLeftClockDigits) face_.put(d, Image::n0);
    for (Image d : {Image::r1, Image::r2, Image::r3}) face_.put(d, Image::nn0);
    face_.put(Image::estrella, Image::estrellaon);
    face_.put(Image::minimice, Image::minimiceon);
    face_.put(Image::close, Image::closeon);
    face_.disable(TimerId::Timer2);
    face_.put(Image::menudown, Image::menudownon);
    openOptionsPanel();
    stMouseDown();
    showEndAction();
}

void TForm1::mouseDown(ControlRef c, MouseButton, int x, int y) {
    if (c.kind != Kind::Image) return;
    switch (c.image()) {
    case Image::start: startMouseDown(); break;
    case Image::stop: stopMouseDown(); break;
    case Image::reset: resetMouseDown(); break;
    case Image::hup: hupMouseDown(); break;
    case Image::mup: mupMouseDown(); break;
    case Image::sup: supMouseDown(); break;
    case Image::hdown: hdownMouseDown(); break;
    case Image::mdown: mdownMouseDown(); break;
    case Image::sdown: sdownMouseDown(); break;
    case Image::st: stMouseDown(); break;
    case Image::pc: pcMouseDown(); break;
    case Image::shutdown: shutdownMouseDown(); break;
    case Image::alarm: alarmMouseDown(); break;
    case Image::capture: captureMouseDown(); break;
    case Image::iconshutoff: iconshutoffMouseDown(); break;
    case Image::iconbell: iconbellMouseDown(); break;
    case Image::iconcapture: iconcaptureMouseDown(); break;
    case Image::show: showMouseDown(); break;
    case Image::rate: rateMouseDown(); break;
    case Image::rateup: rateupMouseDown(); break;
    case Image::ratedown: ratedownMouseDown(); break;
    case Image::estrella: estrellaMouseDown(); break;
    case Image::minimice: minimiceMouseDown(); break;
    case Image::close: closeMouseDown(); break;
    case Image::menudown: menudownMouseDown(); break;
    case Image::menuup: menuupMouseDown(); break;
    case Image::modulo1: modulo1MouseDown(x, y); break;
    case Image::modulo2: modulo2MouseDown(x, y); break;
    case Image::lan: lanMouseDown(); break;
    case Image::endaction:
    case Image::endactionmark: endactionMouseDown(); break;
    default: break;
    }
}

void TForm1::mouseUp(ControlRef c, MouseButton, int, int) {
    if (c.kind != Kind::Image) return;
    switch (c.image()) {
    case Image::start: startMouseUp(); break;
    case Image::stop: stopMouseUp(); break;
    case Image::reset: resetMouseUp(); break;
    case Image::hup: hupMouseUp(); break;
    case Image::mup: mupMouseUp(); break;
    case Image::sup: supMouseUp(); break;
    case Image::hdown: hdownMouseUp(); break;
    case Image::mdown: mdownMouseUp(); break;
    case Image::sdown: sdownMouseUp(); break;
    case Image::rateup: rateupMouseUp(); break;
    case Image::ratedown: ratedownMouseUp(); break;
    case Image::estrella: estrellaMouseUp(); break;
    case Image::minimice: minimiceMouseUp(); break;
    case Image::close: closeMouseUp(); break;
    case Image::menudown: menudownMouseUp(); break;
    case Image::menuup: menuupMouseUp(); break;
    case Image::modulo1: modulo1MouseUp(); break;
    case Image::modulo2: modulo2MouseUp(); break;
    default: break;
    }
}

void TForm1::mouseMove(ControlRef c, int x, int y) {
    if (c == ControlRef(Image::modulo1)) modulo1MouseMove(x, y);
    if (c == ControlRef(Image::modulo2)) modulo2MouseMove(x, y);
}

void TForm1::click(ControlRef c) {
    if (c == ControlRef(Image::start)) startClick();
    if (c == ControlRef(Label::Label4)) Label4Click();
    if (c == ControlRef(Label::Label7)) Label7Click();
    if (c == ControlRef(Label::Label8)) Label8Click();
    if (c == ControlRef(Image::Image6)) Image6Click();
    if (c == ControlRef(Label::Label9)) Label9Click();
    if (c == ControlRef(Label::Label10)) Label10Click();
}

void TForm1::mouseEnter(ControlRef c) {
    if (c == ControlRef(Label::Label4)) Label4MouseEnter();
    if (c == ControlRef(Image::endaction) || c == ControlRef(Image::endactionmark)) endactionMouseEnter();
}
void TForm1::mouseLeave(ControlRef c) {
    if (c == ControlRef(Label::Label4)) Label4MouseLeave();
    if (c == ControlRef(Image::endaction) || c == ControlRef(Image::endactionmark)) endactionMouseLeave();
}

void TForm1::timerTick(TimerId timer) {
    // A tick that was already queued when its timer was switched off is dropped.
    if (!face_.enabled(timer)) return;
    switch (timer) {
    case TimerId::Timer1: Timer1Timer(); break;
    case TimerId::Timer2: Timer2Timer(); break;
    case TimerId::Timer3: Timer3Timer(); break;
    case TimerId::Timer4: Timer4Timer(); break;
    case TimerId::Timer5: Timer5Timer(); break;
    case TimerId::Timer6: Timer6Timer(); break;
    case TimerId::Timer7: Timer7Timer(); break;
    case TimerId::Timer8: Timer8Timer(); break;
    case TimerId::Count: break;
    }
}

void TForm1::firstShown(int screenWidth, int screenHeight) {
    const WindowState& w = face_.window();
    face_.setWindowLeft((screenWidth - w.width) / 2);
    face_.setWindowTop((screenHeight - w.height) / 2);
}

void TForm1::setStatus(bool running) {
    if (running)
        face_.setText(Label::Label3, statusRunningText(s_.language), kLime);
    else
        face_.setText(Label::Label3, statusStoppedText(s_.language), kRed);
}

void TForm1::setModePictures() {
    const bool en = isEnglish(s_.language);
    const bool pc = s_.counterMode == ProgramCounter;
    face_.put(Image::pc, en ? (pc ? Image::engpcon : Image::engpcoff) : (pc ? Image::esppcon : Image::esppcoff));
    face_.put(Image::st, en ? (pc ? Image::engstoff : Image::engston) : (pc ? Image::espstoff : Image::espston));
}

void TForm1::showEntryButtons(bool visible) {
    for (Image b : {Image::hup, Image::hdown, Image::mup, Image::mdown, Image::sup, Image::sdown})
        face_.setVisible(b, visible);
}

} // namespace quelvex
