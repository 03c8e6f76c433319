#include "core/power_warning.h"

#include "core/form1.h"
#include "ui/language.h"

namespace quelvex {
namespace {

constexpr int kSecondsPerDay = 86400;
constexpr int kLastWarning = 60;
constexpr int kFirstWarning = 5 * 60;
// Counts up to this long get the last warning only.
constexpr int kShortCount = 10 * 60;

bool statusRunning(const TForm1& form) {
    const std::string& status = form.face().text(Label::Label3);
    return status == statusRunningText(English) || status == statusRunningText(Spanish);
}

} // namespace

std::optional<int> secondsToPowerOff(const TForm1& form) {
    const SharedState& s = form.state();
    if (s.shutdownOption != 1 || !form.actionArmed()) return std::nullopt;
    if (s.counterMode == ProgramCounter) return s.countTarget - s.countElapsed;
    // A time of day fires at the step one second before it, and only while the status shows the
    // count enabled; 00:00:00 never fires. countElapsed is the time of day of the last step.
    if (s.countTarget <= 0 || !statusRunning(form) || !form.face().enabled(TimerId::Timer1))
        return std::nullopt;
    const int left =
        ((s.countTarget - 1 - s.countElapsed) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
    // Zero: this very step was the one that fired.
    if (left == 0) return std::nullopt;
    return left;
}

PowerWarning::PowerWarning(const TForm1& form, Notifier& notifier, bool rehearsal)
    : form_(form), notifier_(notifier), rehearsal_(rehearsal) {}

PowerWarning::~PowerWarning() {
    reset();
}

void PowerWarning::applyChanges(const FaceChanges&) {
    const std::optional<int> left = secondsToPowerOff(form_);
    if (!left) {
        reset();
        return;
    }
    // Later than the power-off warned of (a new target, a clock set back): a new run-up.
    if (longestLeft_ && (*left > *longestLeft_ || (stage_ == Stage::OneMinute && *left > kLastWarning) ||
                         (stage_ == Stage::FiveMinutes && *left > kFirstWarning)))
        reset();
    if (!longestLeft_) longestLeft_ = *left;

    const SharedState& s = form_.state();
    const int countLength = s.counterMode == ProgramCounter ? s.countTarget : *longestLeft_;
    Stage due = Stage::None;
    if (*left <= kLastWarning) due = Stage::OneMinute;
    // "In 5 minutes" only when it is true: not for a count resumed with less than that to go.
    else if (*left <= kFirstWarning && *longestLeft_ > kFirstWarning && countLength > kShortCount)
        due = Stage::FiveMinutes;

    if (due > stage_)
        show(due, s.language);
    else if (stage_ != Stage::None && (s.language != language_ || s.endAction != action_))
        show(stage_, s.language);
}

void PowerWarning::show(Stage stage, int language) {
    stage_ = stage;
    language_ = language;
    action_ = form_.state().endAction;
    notifier_.show(Notice{endActionNoticeTitle(action_, language, stage == Stage::OneMinute ? 1 : 5),
                          rehearsal_ ? endActionRehearsalText(action_, language) : "", cancelActionText(language),
                          clickToCancelText(language)});
}

void PowerWarning::reset() {
    if (stage_ != Stage::None) notifier_.withdraw();
    stage_ = Stage::None;
    longestLeft_.reset();
}

} // namespace quelvex
