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

// The timers that run for hours (the second, the colon, the emblem, the disk and network polls)
// tick on one grid of the wall clock, just after each second and its even fractions, so that the
// ticks due together are handled in one wake-up and draw one frame. The disk figures are asked
// for once a second after the first poll: a figure that moves while something writes to the disk
// is shown once a second rather than redrawn ten times. The others keep plain timers.
class TimerRuntime final : public ChangeSink {
  public:
    // Starts the timers the face has enabled now.
    TimerRuntime(const Face& face, FaceEvents& events, Timer1Mode timer1 = Timer1Mode::PerSecond);

    void applyChanges(const FaceChanges& changes) override;

    bool isRunning(TimerId timer) const;
    // Milliseconds to the next tick, or -1 when stopped.
    int remainingTime(TimerId timer) const;
    // The wall-clock millisecond the next tick of a timer on the grid is planned for, or -1 for a
    // timer off it: what a tick is aimed at, apart from how late a busy machine delivers it.
    qint64 plannedTick(TimerId timer) const;

  private:
    struct Slot {
        QTimer timer; // the plain timers' own
        unsigned starts = 0;
        bool onGrid = false; // running on the grid
        qint64 due = 0;      // wall-clock milliseconds of the next tick on the grid
    };
    Slot& slot(TimerId timer) { return slots_[static_cast<std::size_t>(timer)]; }
    const Slot& slot(TimerId timer) const { return slots_[static_cast<std::size_t>(timer)]; }
    // The spacing of the timer's ticks on the grid, or 0 for a plain timer.
    int gridPeriod(TimerId timer) const;
    void follow(TimerId timer);
    void start(TimerId timer);
    void stop(TimerId timer);
    void pulse();
    void armPulse();

    const Face& face_;
    FaceEvents& events_;
    Timer1Mode timer1Mode_;
    std::array<Slot, kTimerCount> slots_;
    QTimer pulse_;
};

} // namespace quelvex
