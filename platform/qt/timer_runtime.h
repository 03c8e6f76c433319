// The face's timers as Qt timers: running while the model has them enabled, ticking into the
// model through FaceEvents.
#pragma once

#include "ui/face_driver.h"

#include <QTimer>

#include <array>

namespace quelvex {

enum class Timer1Mode {
    // Timer1 wakes once a second, just after the wall clock's second changes: the countdown only
    // looks for a new second, so its 1 ms interval would burn a thousand wake-ups for nothing.
    PerSecond,
    // Timer1 ticks every millisecond as its interval says; for the benchmark build only.
    EveryMillisecond,
};

class TimerRuntime final : public ChangeSink {
  public:
    // Starts the timers the face has enabled now.
    TimerRuntime(const Face& face, FaceEvents& events, Timer1Mode timer1 = Timer1Mode::PerSecond);

    void applyChanges(const FaceChanges& changes) override;

    bool isRunning(TimerId timer) const { return slot(timer).timer.isActive(); }
    // Milliseconds to the next tick, or -1 when stopped.
    int remainingTime(TimerId timer) const { return slot(timer).timer.remainingTime(); }

  private:
    struct Slot {
        QTimer timer;
        unsigned starts = 0;
    };
    Slot& slot(TimerId timer) { return slots_[static_cast<std::size_t>(timer)]; }
    const Slot& slot(TimerId timer) const { return slots_[static_cast<std::size_t>(timer)]; }
    bool secondAligned(TimerId timer) const;
    void follow(TimerId timer);
    void start(TimerId timer, bool afterTick);
    void tick(TimerId timer);

    const Face& face_;
    FaceEvents& events_;
    Timer1Mode timer1Mode_;
    std::array<Slot, kTimerCount> slots_;
};

} // namespace quelvex
