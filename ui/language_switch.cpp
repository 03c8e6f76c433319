#include "core/form1.h"

#include "ui/language.h"

namespace quelvex {

void TForm1::Timer8Timer() {
    s_.language = svc_.clock.userLanguageIsSpanish() ? Spanish : English;
    setLinkCaptions();
    refreshLanguage();
    face_.disable(TimerId::Timer8);
}

void TForm1::lanMouseDown() {
    s_.language = s_.language == English ? Spanish : English;
    setLinkCaptions();
    refreshLanguage();
}

void TForm1::setLinkCaptions() {
    for (Label l : {Label::Label5, Label::Label7, Label::Label8, Label::Label9, Label::Label10})
        face_.setText(l, captionText(l, s_.language));
}

void TForm1::refreshLanguage() {
    const bool english = isEnglish(s_.language);
    svc_.help.followLanguage(english);
    face_.setText(Label::Label2, captionText(Label::Label2, s_.language));

    // The status word is translated only when it is one of the other language's two words.
    const int other = english ? Spanish : English;
    const std::string& status = face_.text(Label::Label3);
    if (status == statusRunningText(other))
        setStatus(true);
    else if (status == statusStoppedText(other))
        setStatus(false);

    const bool overlays = !english && face_.visible(Image::modulo2);
    for (Image i : {Image::esppantalla, Image::mess1, Image::mess2, Image::mess3, Image::mess4})
        face_.setVisible(i, overlays);
    face_.put(Image::start, english ? Image::starton : Image::iniciaron);
    face_.put(Image::stop, english ? Image::stopon : Image::pararon);
    auto word = [&](int option) {
        return option != 0 ? (english ? Image::on : Image::si) : (english ? Image::off : Image::no);
    };
    face_.put(Image::screenshutdown, word(s_.shutdownOption));
    face_.put(Image::screenalarm, word(s_.alarmOption));
    face_.put(Image::screencapture, word(s_.captureOption));
    face_.setVisible(Image::modocontador, !english);
    face_.put(Image::lan, english ? Image::spanish : Image::english);
    setModePictures();
    showEndAction();
}

} // namespace quelvex
