#include "core/form1.h"

#include "ui/language.h"
#include "ui/layout.h"

namespace quelvex {
namespace {

// Controls of the options panel that its open and close sequences show and hide, in order.
constexpr Image kPanelControls[] = {
    Image::modulo2,     Image::menuup,         Image::iconbell,      Image::iconshutoff, Image::iconcapture,
    Image::shutdown,    Image::capture,        Image::alarm,         Image::show,        Image::rate,
    Image::rateup,      Image::ratedown,       Image::screenshutdown, Image::screencapture, Image::screenalarm,
    Image::r1,          Image::r2,             Image::r3,            Image::ds1,         Image::ds2,
    Image::ds3,         Image::ds4,            Image::ds5,           Image::ds6,         Image::ds7,
    Image::ds8,         Image::ds9,            Image::fs1,           Image::fs2,         Image::fs3,
    Image::fs4,         Image::fs5,            Image::fs6,           Image::fs7,         Image::fs8,
    Image::fs9,         Image::endaction,      Image::endactionmark, Image::endactionrow};
constexpr Image kSpanishPanelOverlays[] = {Image::esppantalla, Image::mess1, Image::mess2, Image::mess3,
                                           Image::mess4};
constexpr Image kEmblemFrames[] = {Image::l1, Image::l2, Image::l3, Image::l4, Image::l5};

} // namespace

void TForm1::openOptionsPanel() {
    face_.put(Image::menudown, Image::menudownon);
    for (Image i : kPanelControls) face_.show(i);
    if (s_.language == Spanish)
        for (Image i : kSpanishPanelOverlays) face_.show(i);
    face_.setWindowHeight(kPanelOpenHeight);
}

void TForm1::closeOptionsPanel() {
    face_.put(Image::menuup, Image::menuupon);
    for (Image i : kPanelControls) face_.hide(i);
    for (Image i : kSpanishPanelOverlays) face_.hide(i);
    face_.setWindowHeight(kPanelClosedHeight);
}

void TForm1::estrellaMouseDown() { face_.put(Image::estrella, Image::estrellaoff); }
void TForm1::estrellaMouseUp() {
    face_.put(Image::estrella, Image::estrellaon);
    svc_.help.showHelp();
}
void TForm1::minimiceMouseDown() { face_.put(Image::minimice, Image::minimiceoff); }
void TForm1::minimiceMouseUp() {
    face_.put(Image::minimice, Image::minimiceon);
    face_.requestMinimise();
}
void TForm1::closeMouseDown() { face_.put(Image::close, Image::closeoff); }
void TForm1::closeMouseUp() {
    face_.put(Image::close, Image::closeon);
    face_.requestClose();
}
void TForm1::menudownMouseDown() { face_.put(Image::menudown, Image::menudownoff); }
void TForm1::menudownMouseUp() {
    face_.put(Image::menudown, Image::menudownon);
    openOptionsPanel();
}
void TForm1::menuupMouseDown() { face_.put(Image::menuup, Image::menuupoff); }
void TForm1::menuupMouseUp() {
    face_.put(Image::menuup, Image::menuupon);
    closeOptionsPanel();
}
void TForm1::Label9Click() { openOptionsPanel(); }
void TForm1::Label10Click() { closeOptionsPanel(); }
void TForm1::Label7Click() { svc_.help.showHelp(); }

void TForm1::modulo1MouseDown(int x, int y) {
    s_.dragging = 1;
    s_.dragStartX = x;
    s_.dragStartY = y;
}

void TForm1::modulo1MouseMove(int x, int y) {
    if (s_.dragging != 1) return;
    s_.dragX = x;
    s_.dragY = y;
    face_.moveWindowBy(s_.dragX - s_.dragStartX, s_.dragY - s_.dragStartY);
}

void TForm1::modulo1MouseUp() { s_.dragging = 0; }

void TForm1::Timer7Timer() {
    if (s_.logoFrame == 5) s_.logoFrame = 0;
    s_.logoFrame += 1;
    face_.put(Image::logo, kEmblemFrames[s_.logoFrame - 1]);
}

void TForm1::Timer5Timer() {
    if (face_.enabled(TimerId::Timer1)) face_.setVisible(Image::nodospuntos, !face_.visible(Image::nodospuntos));
}

} // namespace quelvex
