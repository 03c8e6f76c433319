// The face's eight timers on the window's thread. Timer1 wakes just after each wall-clock second
// through a high-resolution waitable timer (SetTimer can be a tenth of a second late, which the
// seconds display would show); the others are plain SetTimer timers of the window.
#pragma once

#include "ui/face_driver.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

namespace quelvex {

class Win32TimerRuntime final : public ChangeSink {
  public:
    // Ticks arrive as messages of `window`, which hands them to handleMessage. `clock` gives the
    // wall-clock time in FILETIME units (the system's when empty): seconds tick on its boundaries.
    Win32TimerRuntime(const Face& face, FaceEvents& events, HWND window,
                      std::function<std::int64_t()> clock = {});
    ~Win32TimerRuntime() override;
    Win32TimerRuntime(const Win32TimerRuntime&) = delete;
    Win32TimerRuntime& operator=(const Win32TimerRuntime&) = delete;

    void applyChanges(const FaceChanges& changes) override;
    // Whether the message was one of the timers' (it has then been handled).
    bool handleMessage(UINT message, WPARAM wParam);

    static constexpr UINT kSecondMessage = WM_APP + 17;

  private:
    void follow(TimerId timer);
    void armSecond(bool afterTick);
    void armSecondIn(std::int64_t now, std::int64_t delay);
    void stopSecond();
    void tickSecond(WPARAM generation);

    const Face& face_;
    FaceEvents& events_;
    HWND window_;
    std::array<unsigned, kTimerCount> starts_{};
    std::array<int, kTimerCount> running_{}; // the interval a timer runs with, 0 when stopped

    HANDLE second_ = nullptr;
    HANDLE quit_ = nullptr;
    std::atomic<unsigned> generation_{0};
    std::function<std::int64_t()> clock_;
    std::int64_t dueAt_ = 0;   // FILETIME units
    std::int64_t span_ = 0;    // the wait last armed
    bool windowTimer_ = false; // the waitable timer failed: Timer1 runs on SetTimer instead
    std::thread waiter_;
};

} // namespace quelvex
