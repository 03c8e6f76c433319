#include "actions/capture_name.h"
#include "core/form1.h"

namespace quelvex {

std::string captureFileName(int hour, int minute, int day, int month, int year) {
    return "Quelvex ScreenCAP " + std::to_string(hour) + "." + std::to_string(minute) + " " +
           std::to_string(day) + "-" + std::to_string(month) + "-" + std::to_string(year) + ".jpg";
}

void TForm1::captureScreen() {
    const LocalDateTime now = svc_.clock.now();
    s_.nowValue = toDayValue(now);
    s_.nowHour = static_cast<std::uint16_t>(now.hour);
    s_.nowMinute = static_cast<std::uint16_t>(now.minute);
    s_.nowSecond = static_cast<std::uint16_t>(now.second);
    s_.nowMillisecond = static_cast<std::uint16_t>(now.millisecond);
    s_.nowYear = static_cast<std::uint16_t>(now.year);
    s_.nowMonth = static_cast<std::uint16_t>(now.month);
    s_.nowDay = static_cast<std::uint16_t>(now.day);
    const std::string name = captureFileName(now.hour, now.minute, now.day, now.month, now.year);
    // A failed save is shown and the rest of the handler goes on: restoring the window and the
    // shutdown must not depend on a writable folder.
    if (auto error = svc_.grab.captureTo(name)) svc_.errors.showError(*error);
}

// While a hidden capture sequence runs, the window is hidden only for the pictures: the
// visibility it saved is the one to come back to. Saving the momentary "hidden" over it would
// leave the window hidden for good, with no way to reach STOP.
void TForm1::saveWindowVisibility() {
    if (!face_.enabled(TimerId::Timer4)) s_.windowWasVisible = face_.window().visible ? 1 : 0;
}

void TForm1::endOfCountCapture() {
    if (s_.captureOption == 1) {
        saveWindowVisibility();
        if (s_.hideOnCapture == 1) face_.setWindowVisible(false);
        captureScreen();
    }
    // A hidden capture sequence still running brings the window back after its last picture;
    // showing it now would put it in that picture.
    if (!face_.enabled(TimerId::Timer4)) face_.setWindowVisible(s_.windowWasVisible == 1);
}

void TForm1::periodicCaptureStep() {
    if (s_.captureOption != 1 || s_.periodicArmed != 1 || s_.captureInterval <= 0) return;
    const int period = s_.captureInterval * 60;
    if (s_.countTarget / period == s_.periodicCapturesDone) {
        s_.periodicArmed = 0;
        s_.secondsSinceCapture = 0;
        s_.periodicCapturesDone = 0;
        return;
    }
    s_.secondsSinceCapture += 1;
    if (s_.secondsSinceCapture != period) return;
    saveWindowVisibility();
    s_.secondsSinceCapture = 0;
    if (s_.hideOnCapture == 1) {
        face_.setWindowVisible(false);
        face_.enable(TimerId::Timer4);
    } else {
        s_.periodicCapturesDone += 1;
        captureScreen();
    }
}

// The hidden capture sequence: wait one tick for the screen behind the window to repaint, then
// take two pictures half a second apart and bring the window back.
void TForm1::Timer4Timer() {
    s_.captureDelayTicks += 1;
    if (s_.captureDelayTicks <= 1) return;
    s_.periodicCapturesDone += 1;
    captureScreen();
    if (s_.captureDelayTicks >= 3) {
        face_.setWindowVisible(s_.windowWasVisible == 1);
        face_.disable(TimerId::Timer4);
        s_.captureDelayTicks = 0;
        powerOffWhenCapturesSaved();
    }
}

} // namespace quelvex
