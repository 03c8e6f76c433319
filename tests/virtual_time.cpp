#include "tests/virtual_time.h"

#include <algorithm>
#include <utility>

namespace quelvex::testing {

VirtualTime::VirtualTime(Rig& rig, Timer1Mode mode) : rig_(rig), mode_(mode) { sync(); }

void VirtualTime::arm(TimerId timer, std::int64_t from, bool afterTick) {
    Schedule& s = sched_[static_cast<std::size_t>(timer)];
    const TimerState& t = rig_.face().timer(timer);
    s.armed = true;
    s.starts = t.starts;
    if (timer == TimerId::Timer1 && mode_ == Timer1Mode::PerSecond && afterTick)
        s.due = (from / 1000 + 1) * 1000 + 1;
    else
        s.due = from + t.interval;
}

void VirtualTime::sync() {
    const Face& face = rig_.face();
    for (std::size_t i = 0; i < kTimerCount; ++i) {
        const TimerId id = static_cast<TimerId>(i);
        const TimerState& t = face.timer(id);
        Schedule& s = sched_[i];
        if (!t.enabled)
            s.armed = false;
        else if (!s.armed || s.starts != t.starts)
            arm(id, rig_.clock.nowMs, false);
    }
}

void VirtualTime::advanceTo(std::int64_t target) {
    for (;;) {
        std::size_t next = kTimerCount;
        for (std::size_t i = 0; i < kTimerCount; ++i) {
            if (sched_[i].armed && sched_[i].due <= target && (next == kTimerCount || sched_[i].due < sched_[next].due))
                next = i;
        }
        if (next == kTimerCount) break;
        const TimerId id = static_cast<TimerId>(next);
        rig_.clock.nowMs = std::max(rig_.clock.nowMs, sched_[next].due);
        const unsigned startsBefore = rig_.face().timer(id).starts;
        ++ticks[next];
        rig_.clock.nowMs += std::exchange(stall_[next], 0);
        rig_.form.timerTick(id);
        // Ticks that fell due while the handler ran are merged into one.
        if (rig_.face().enabled(id) && rig_.face().timer(id).starts == startsBefore) {
            arm(id, sched_[next].due, true);
            if (sched_[next].due < rig_.clock.nowMs) arm(id, rig_.clock.nowMs, true);
        }
        sync();
        rig_.face().takeChanges();
    }
    rig_.clock.nowMs = std::max(rig_.clock.nowMs, target);
}

void VirtualTime::advance(std::int64_t ms) { advanceTo(rig_.clock.nowMs + ms); }

bool VirtualTime::runUntil(const std::function<bool()>& done, std::int64_t limitMs) {
    const std::int64_t end = rig_.clock.nowMs + limitMs;
    while (rig_.clock.nowMs < end) {
        advance(1);
        if (done()) return true;
    }
    return done();
}

void VirtualTime::run(const std::function<void()>& action) {
    action();
    sync();
    rig_.face().takeChanges();
}

void VirtualTime::press(ControlRef c, int x, int y) {
    run([&] { rig_.form.mouseDown(c, MouseButton::Left, x, y); });
}
void VirtualTime::release(ControlRef c, int x, int y) {
    run([&] { rig_.form.mouseUp(c, MouseButton::Left, x, y); });
}
void VirtualTime::clickOn(ControlRef c) {
    press(c);
    // As the platform delivers it: the click comes before the release.
    run([&] {
        rig_.form.click(c);
        rig_.form.mouseUp(c, MouseButton::Left, 0, 0);
    });
}
void VirtualTime::move(ControlRef c, int x, int y) {
    run([&] { rig_.form.mouseMove(c, x, y); });
}

void VirtualTime::stallNextTick(TimerId timer, std::int64_t ms) { stall_[static_cast<std::size_t>(timer)] = ms; }

} // namespace quelvex::testing
