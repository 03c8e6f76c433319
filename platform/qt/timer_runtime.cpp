#include "platform/qt/timer_runtime.h"

#include <QDateTime>

namespace quelvex {

TimerRuntime::TimerRuntime(const Face& face, FaceEvents& events, Timer1Mode timer1)
    : face_(face), events_(events), timer1Mode_(timer1) {
    for (std::size_t i = 0; i < kTimerCount; ++i) {
        const auto id = static_cast<TimerId>(i);
        QObject::connect(&slots_[i].timer, &QTimer::timeout, [this, id] { tick(id); });
        follow(id);
    }
}

void TimerRuntime::applyChanges(const FaceChanges& changes) {
    for (std::size_t i = 0; i < kTimerCount; ++i)
        if (changes.timers.test(i)) follow(static_cast<TimerId>(i));
}

bool TimerRuntime::secondAligned(TimerId timer) const {
    return timer == TimerId::Timer1 && timer1Mode_ == Timer1Mode::PerSecond;
}

void TimerRuntime::follow(TimerId timer) {
    const TimerState& state = face_.timer(timer);
    Slot& s = slot(timer);
    // A zero interval never fires, rather than firing whenever the loop is idle.
    if (!state.enabled || state.interval <= 0) {
        s.timer.stop();
        s.starts = state.starts;
        return;
    }
    if (s.timer.isActive() && s.starts == state.starts) {
        if (!secondAligned(timer) && s.timer.interval() != state.interval)
            s.timer.setInterval(state.interval);
        return;
    }
    s.starts = state.starts;
    start(timer, false);
}

void TimerRuntime::start(TimerId timer, bool afterTick) {
    Slot& s = slot(timer);
    if (secondAligned(timer)) {
        // Freshly enabled, the first tick comes after the timer's own interval, as a plain timer's
        // would, so a count starts at once. After that, one millisecond past each boundary, so the
        // tick reliably sees the new second.
        const auto intoSecond = static_cast<int>(QDateTime::currentMSecsSinceEpoch() % 1000);
        s.timer.setSingleShot(true);
        s.timer.setTimerType(Qt::PreciseTimer);
        s.timer.start(afterTick ? 1000 - intoSecond + 1 : face_.timer(timer).interval);
        return;
    }
    s.timer.setSingleShot(false);
    s.timer.setTimerType(timer == TimerId::Timer1 ? Qt::PreciseTimer : Qt::CoarseTimer);
    s.timer.start(face_.timer(timer).interval);
}

void TimerRuntime::tick(TimerId timer) {
    events_.timerTick(timer);
    // The tick may have stopped the timer, or restarted it already.
    if (secondAligned(timer) && face_.enabled(timer) && face_.timer(timer).interval > 0 &&
        !slot(timer).timer.isActive())
        start(timer, true);
}

} // namespace quelvex
