#include "core/form1.h"

namespace quelvex {

void TForm1::startAlarm() {
    svc_.sound.stopAll();
    svc_.sound.playLoop(svc_.programFolder + "ALARM.WAV");
    face_.hide(Image::nodospuntos);
}

void TForm1::stopAllSound() { svc_.sound.stopAll(); }

} // namespace quelvex
