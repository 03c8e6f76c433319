#include "core/form1.h"

#include "ui/digits.h"
#include "ui/language.h"

#include <algorithm>

namespace quelvex {
namespace {

constexpr int kSecondsPerDay = 86400;
// Longest forward stall after which a skipped trigger second is still honoured. Larger jumps
// (suspend, daylight-saving changes, a clock set by hand) are not treated as a missed second.
constexpr int kMaxCatchUpGap = 5;
// How long an end acted on is remembered around its second: a clock set back over it (corrected
// on waking from a suspend, daylight saving's repeated hour) must not act on it again.
constexpr int kActedMemory = 3600;

int secondsApart(int a, int b) {
    const int d = ((a - b) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
    return std::min(d, kSecondsPerDay - d);
}

bool scanWindowHas(const std::string& text, char lower, char upper) {
    // The six characters before the last one; the last character itself is not examined.
    const int length = static_cast<int>(text.size());
    for (int k = 6; k >= 1; --k) {
        const int position = length - k; // 1-based
        if (position < 1) continue;
        const char c = text[static_cast<std::size_t>(position - 1)];
        if (c == lower || c == upper) return true;
    }
    return false;
}

} // namespace

void TForm1::readTime() {
    s_.nowText = svc_.clock.format(svc_.clock.now());
    const LocalDateTime value = svc_.clock.parse(s_.nowText);
    s_.nowValue = toDayValue(value);
    s_.nowHour = static_cast<std::uint16_t>(value.hour);
    s_.nowMinute = static_cast<std::uint16_t>(value.minute);
    s_.nowSecond = static_cast<std::uint16_t>(value.second);
    s_.nowMillisecond = 0;
}

void TForm1::Timer1Timer() {
    readTime();
    if (s_.nowSecond != s_.lastSecond) {
        principalclock();
        s_.lastSecond = s_.nowSecond;
    }
}

void TForm1::principalclock() {
    if (s_.countTarget < 0) s_.countTarget = 0;
    face_.setGaugeMaximum(s_.countTarget);
    face_.setGaugePosition(s_.countElapsed < 0 ? 0 : s_.countElapsed);
    if (s_.counterMode == ProgramCounter)
        programCounterStep();
    else
        systemTimeStep();
    drawLeftClock();
    powerOffWhenCapturesSaved();
}

void TForm1::programCounterStep() {
    if (s_.countTarget == 0) {
        face_.disable(TimerId::Timer1);
        return;
    }
    face_.enable(TimerId::Timer7);
    setStatus(true);
    s_.countElapsed += 1;
    if (s_.countElapsed >= s_.countTarget) endOfCountActions();
    s_.clockSeconds += 1;
    periodicCaptureStep();
    if (s_.clockSeconds > 59) {
        s_.clockSeconds = 0;
        s_.clockMinutes += 1;
        if (s_.clockMinutes > 59) {
            s_.clockMinutes = 0;
            s_.clockHours += 1;
        }
    }
    s_.clockHoursShown = s_.clockHours;
}

void TForm1::systemTimeStep() {
    if (s_.countElapsed >= s_.countTarget) {
        face_.setGaugeMaximum(s_.countElapsed);
        face_.setGaugePosition(s_.countTarget);
    } else {
        face_.setGaugeMaximum(s_.countTarget);
        face_.setGaugePosition(s_.countElapsed);
    }
    readTime();
    s_.countElapsed = s_.nowHour * 3600 + s_.nowMinute * 60 + s_.nowSecond;
    s_.clockHours = s_.nowHour;
    s_.clockMinutes = s_.nowMinute;
    s_.clockSeconds = s_.nowSecond;

    s_.twelveHourClock = scanWindowHas(s_.nowText, 'm', 'M') ? 1 : 0;
    if (s_.twelveHourClock == 1 && s_.setHours < 11) face_.show(Image::amc);
    if (s_.twelveHourClock == 0) {
        face_.hide(Image::amc);
        face_.hide(Image::pmc);
    }
    s_.maxHours = 23;
    s_.morning = scanWindowHas(s_.nowText, 'a', 'A') ? 1 : 0;
    if (s_.morning == 1 && s_.twelveHourClock == 1) {
        face_.show(Image::am);
        face_.hide(Image::pm);
    } else if (s_.twelveHourClock == 1) {
        face_.hide(Image::am);
        face_.show(Image::pm);
    } else {
        face_.hide(Image::am);
        face_.hide(Image::pm);
    }
    s_.clockHoursShown = s_.clockHours;
    if (s_.twelveHourClock == 1 && s_.clockHours >= 12) s_.clockHoursShown -= 12;

    const std::string& status = face_.text(Label::Label3);
    if (s_.systemTimeArmed == 1 && (status == "ENABLED" || status == "ACTIVO")) {
        setStatus(true);
        if (secondsApart(s_.countElapsed, s_.actedTriggerSecond) > kActedMemory) s_.actedTriggerSecond = -1;
        const bool due = systemTimeTriggerDue();
        s_.lastArmedSecondOfDay = s_.countElapsed;
        if (due) {
            s_.actedTriggerSecond = s_.countTarget - 1;
            endOfCountActions();
        }
        periodicCaptureStep();
    } else {
        s_.lastArmedSecondOfDay = -1;
        s_.actedTriggerSecond = -1;
    }
}

// The actions are due at the step whose time of day is one second before the entered time, or
// at a step that follows a short stall in which that second went by without a step.
bool TForm1::systemTimeTriggerDue() const {
    const int trigger = s_.countTarget - 1;
    if (trigger >= 0 && trigger == s_.actedTriggerSecond) return false;
    if (s_.countElapsed + 1 == s_.countTarget) return true;
    const int previous = s_.lastArmedSecondOfDay;
    if (trigger < 0 || previous < 0) return false;
    const int gap = ((s_.countElapsed - previous) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
    const int toTrigger = ((trigger - previous) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
    return gap <= kMaxCatchUpGap && toTrigger > 0 && toTrigger < gap;
}

void TForm1::endOfCountActions() {
    if (s_.alarmOption == 1) startAlarm();
    if (s_.counterMode == ProgramCounter) face_.disable(TimerId::Timer1);
    if (s_.countTarget < 0) s_.countTarget = 0;
    face_.setGaugePosition(s_.countTarget);
    endOfCountCapture();
    if (s_.shutdownOption == 1) s_.powerOffDue = 1;
}

// The power-off goes last, once every picture asked for before it is on disk: a power-off that
// overtook a capture (a hidden sequence still running, the desktop portal's late answer) would
// lose it. It is requested in the step itself whenever nothing is outstanding.
void TForm1::powerOffWhenCapturesSaved() {
    if (s_.powerOffDue != 1 || face_.enabled(TimerId::Timer4) || svc_.grab.capturePending()) return;
    s_.powerOffDue = 0;
    svc_.power.carryOut(s_.endAction);
}

void TForm1::drawLeftClock() {
    drawPair(face_, Image::hh2, Image::hh1, s_.clockHoursShown);
    drawPair(face_, Image::mm2, Image::mm1, s_.clockMinutes);
    drawPair(face_, Image::ss2, Image::ss1, s_.clockSeconds);
}

} // namespace quelvex
