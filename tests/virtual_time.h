// Virtual time for the window model: advancing the fake clock fires the model's due timer ticks
// in time order, one at a time, as the real event loop would.
#pragma once

#include "tests/fakes.h"

#include <array>
#include <cstdint>
#include <functional>

namespace quelvex::testing {

class VirtualTime {
  public:
    enum class Timer1Mode {
        PerSecond,    // re-armed just after each wall-clock second, as the program does
        EveryMillisecond,
    };

    explicit VirtualTime(Rig& rig, Timer1Mode mode = Timer1Mode::PerSecond);

    // Runs every tick that falls due up to now + ms.
    void advance(std::int64_t ms);
    void advanceTo(std::int64_t epochMs);
    // Runs until `done` holds after a tick, or `limitMs` pass.
    bool runUntil(const std::function<bool()>& done, std::int64_t limitMs);

    // Mouse input, delivered like the view does, then the timers are brought up to date.
    void press(ControlRef control, int x = 0, int y = 0);
    void release(ControlRef control, int x = 0, int y = 0);
    void clickOn(ControlRef control); // press, then click and release
    void move(ControlRef control, int x, int y);
    // Anything else done to the model from outside a tick.
    void run(const std::function<void()>& action);

    // Handlers may take virtual time (a slow capture, a stalled machine): this many ms pass
    // inside the next delivered tick of `timer`.
    void stallNextTick(TimerId timer, std::int64_t ms);

    std::array<long, kTimerCount> ticks{};

  private:
    struct Schedule {
        bool armed = false;
        std::int64_t due = 0;
        unsigned starts = 0;
    };
    void sync();
    void arm(TimerId timer, std::int64_t from, bool afterTick);

    Rig& rig_;
    Timer1Mode mode_;
    std::array<Schedule, kTimerCount> sched_{};
    std::array<std::int64_t, kTimerCount> stall_{};
};

} // namespace quelvex::testing
