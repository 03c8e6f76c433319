#include "platform/qt/timer_runtime.h"

#include <QDateTime>

#include <algorithm>
#include <limits>

namespace quelvex {
namespace {

// One millisecond past each point of the grid, so that a tick reliably sees the new second.
constexpr qint64 kGridOffsetMs = 1;
constexpr int kDiskPollMs = 1000;

qint64 wallMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

// The first point of the grid of `period` after `now`.
qint64 nextOnGrid(qint64 now, int period) {
    const qint64 into = (now - kGridOffsetMs) % period;
    return now + period - (into < 0 ? into + period : into);
}

} // namespace

TimerRuntime::TimerRuntime(const Face& face, FaceEvents& events, Timer1Mode timer1)
    : face_(face), events_(events), timer1Mode_(timer1) {
    pulse_.setSingleShot(true);
    pulse_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pulse_, &QTimer::timeout, [this] { pulse(); });
    for (std::size_t i = 0; i < kTimerCount; ++i) {
        const auto id = static_cast<TimerId>(i);
        QObject::connect(&slots_[i].timer, &QTimer::timeout, [this, id] { events_.timerTick(id); });
        follow(id);
    }
}

void TimerRuntime::applyChanges(const FaceChanges& changes) {
    for (std::size_t i = 0; i < kTimerCount; ++i)
        if (changes.timers.test(i)) follow(static_cast<TimerId>(i));
}

bool TimerRuntime::isRunning(TimerId timer) const {
    return slot(timer).onGrid || slot(timer).timer.isActive();
}

int TimerRuntime::remainingTime(TimerId timer) const {
    const Slot& s = slot(timer);
    if (!s.onGrid) return s.timer.remainingTime();
    return static_cast<int>(std::max<qint64>(0, s.due - wallMs()));
}

qint64 TimerRuntime::plannedTick(TimerId timer) const {
    return slot(timer).onGrid ? slot(timer).due : -1;
}

int TimerRuntime::gridPeriod(TimerId timer) const {
    switch (timer) {
    case TimerId::Timer1: return timer1Mode_ == Timer1Mode::PerSecond ? 1000 : 0;
    case TimerId::Timer3: return kDiskPollMs;
    case TimerId::Timer5:
    case TimerId::Timer6:
    case TimerId::Timer7: {
        // Only spacings that divide a second meet the other timers on the grid.
        const int interval = face_.timer(timer).interval;
        return interval > 0 && 1000 % interval == 0 ? interval : 0;
    }
    default: return 0;
    }
}

void TimerRuntime::follow(TimerId timer) {
    const TimerState& state = face_.timer(timer);
    Slot& s = slot(timer);
    // A zero interval never fires, rather than firing whenever the loop is idle.
    if (!state.enabled || state.interval <= 0) {
        stop(timer);
        s.starts = state.starts;
        return;
    }
    if (isRunning(timer) && s.starts == state.starts) {
        if (!s.onGrid && s.timer.interval() != state.interval) s.timer.setInterval(state.interval);
        return;
    }
    s.starts = state.starts;
    start(timer);
}

void TimerRuntime::start(TimerId timer) {
    Slot& s = slot(timer);
    const int interval = face_.timer(timer).interval;
    if (gridPeriod(timer) > 0) {
        // Freshly enabled, the first tick comes after the timer's own interval, as a plain timer's
        // would (so a count starts at once and the disk figures appear at start-up); the grid
        // takes over from the next one.
        s.timer.stop();
        s.onGrid = true;
        s.due = wallMs() + interval;
        armPulse();
        return;
    }
    s.onGrid = false;
    s.timer.setSingleShot(false);
    s.timer.setTimerType(timer == TimerId::Timer1 ? Qt::PreciseTimer : Qt::CoarseTimer);
    s.timer.start(interval);
}

void TimerRuntime::stop(TimerId timer) {
    Slot& s = slot(timer);
    s.timer.stop();
    if (s.onGrid) {
        s.onGrid = false;
        armPulse();
    }
}

void TimerRuntime::pulse() {
    const qint64 now = wallMs();
    std::array<bool, kTimerCount> due{};
    for (std::size_t i = 0; i < kTimerCount; ++i) {
        Slot& s = slots_[i];
        if (!s.onGrid) continue;
        const int period = gridPeriod(static_cast<TimerId>(i));
        // A clock set back would otherwise hold the tick until it catches up again.
        if (s.due - now > std::max(period, face_.timer(static_cast<TimerId>(i)).interval))
            s.due = nextOnGrid(now, period);
        due[i] = s.due <= now;
    }
    for (std::size_t i = 0; i < kTimerCount; ++i) {
        const auto id = static_cast<TimerId>(i);
        Slot& s = slots_[i];
        // An earlier tick of this round may have stopped or restarted it.
        if (!due[i] || !s.onGrid || s.due > now) continue;
        // One tick however late it is, as a plain timer gives after a stall.
        s.due = nextOnGrid(now, gridPeriod(id));
        events_.timerTick(id);
    }
    armPulse();
}

void TimerRuntime::armPulse() {
    qint64 next = std::numeric_limits<qint64>::max();
    for (const Slot& s : slots_)
        if (s.onGrid) next = std::min(next, s.due);
    if (next == std::numeric_limits<qint64>::max()) {
        pulse_.stop();
        return;
    }
    pulse_.start(static_cast<int>(std::clamp<qint64>(next - wallMs(), 0, std::numeric_limits<int>::max())));
}

} // namespace quelvex
