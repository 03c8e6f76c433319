#include "platform/windows/timer_runtime.h"

#include <algorithm>
#include <utility>

namespace quelvex {
namespace {

// Missing from MinGW's headers; Windows 10 1803 and later, and Wine.
constexpr DWORD kHighResolution = 0x2;
constexpr std::int64_t kMillisecond = 10000; // in FILETIME's 100 ns units
constexpr std::int64_t kSecond = 1000 * kMillisecond;

std::int64_t fileTimeNow() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    return (static_cast<std::int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

UINT_PTR timerIdOf(TimerId timer) {
    return static_cast<UINT_PTR>(timer) + 1;
}

} // namespace

Win32TimerRuntime::Win32TimerRuntime(const Face& face, FaceEvents& events, HWND window,
                                     std::function<std::int64_t()> clock)
    : face_(face), events_(events), window_(window), clock_(clock ? std::move(clock) : fileTimeNow) {
    second_ = CreateWaitableTimerExW(nullptr, nullptr, kHighResolution, TIMER_ALL_ACCESS);
    if (!second_) second_ = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    quit_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // The waiting happens on a thread of its own and the tick is posted, so the second arrives
    // inside any message loop the window's thread runs (a message box's too), like WM_TIMER.
    waiter_ = std::thread([this] {
        const HANDLE handles[] = {quit_, second_};
        while (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
            PostMessageW(window_, kSecondMessage, generation_.load(), 0);
    });
    for (std::size_t i = 0; i < kTimerCount; ++i)
        follow(static_cast<TimerId>(i));
}

Win32TimerRuntime::~Win32TimerRuntime() {
    SetEvent(quit_);
    if (waiter_.joinable()) waiter_.join();
    CloseHandle(second_);
    CloseHandle(quit_);
}

void Win32TimerRuntime::applyChanges(const FaceChanges& changes) {
    for (std::size_t i = 0; i < kTimerCount; ++i)
        if (changes.timers.test(i)) follow(static_cast<TimerId>(i));
}

void Win32TimerRuntime::follow(TimerId timer) {
    const TimerState& state = face_.timer(timer);
    const auto i = static_cast<std::size_t>(timer);
    const bool restart = starts_[i] != state.starts;
    starts_[i] = state.starts;
    // A zero interval never fires, rather than firing whenever the loop is idle.
    if (!state.enabled || state.interval <= 0) {
        if (timer == TimerId::Timer1)
            stopSecond();
        else if (running_[i])
            KillTimer(window_, timerIdOf(timer));
        running_[i] = 0;
        return;
    }
    if (timer == TimerId::Timer1) {
        if (!running_[i] || restart) armSecond(false);
        return;
    }
    if (running_[i] == state.interval && !restart) return;
    SetTimer(window_, timerIdOf(timer), static_cast<UINT>(state.interval), nullptr);
    running_[i] = state.interval;
}

void Win32TimerRuntime::armSecond(bool afterTick) {
    // Freshly enabled, the first tick comes after the timer's own interval, so a count starts at
    // once; after that one millisecond past each boundary, so the tick reliably sees the new second.
    const std::int64_t now = clock_();
    armSecondIn(now, afterTick ? kSecond - now % kSecond + kMillisecond
                               : face_.timer(TimerId::Timer1).interval * kMillisecond);
}

void Win32TimerRuntime::armSecondIn(std::int64_t now, std::int64_t delay) {
    dueAt_ = now + delay;
    span_ = delay;
    generation_.fetch_add(1);
    LARGE_INTEGER due;
    due.QuadPart = -delay; // negative: relative, so a clock set back cannot hold the tick up
    const bool waiting = second_ && SetWaitableTimer(second_, &due, 0, nullptr, nullptr, FALSE);
    // Should the waitable timer fail, the window's own timer keeps the count going, less punctual.
    if (!waiting)
        SetTimer(window_, timerIdOf(TimerId::Timer1), static_cast<UINT>(delay / kMillisecond) + 1, nullptr);
    else if (windowTimer_)
        KillTimer(window_, timerIdOf(TimerId::Timer1));
    windowTimer_ = !waiting;
    running_[0] = face_.timer(TimerId::Timer1).interval;
}

void Win32TimerRuntime::stopSecond() {
    if (!running_[0]) return;
    generation_.fetch_add(1);
    CancelWaitableTimer(second_);
    if (windowTimer_) KillTimer(window_, timerIdOf(TimerId::Timer1));
    windowTimer_ = false;
    running_[0] = 0;
}

void Win32TimerRuntime::tickSecond(WPARAM generation) {
    // A tick for an arming since replaced, or stopped, is dropped.
    if (!running_[0] || generation != static_cast<WPARAM>(generation_.load())) return;
    // One come early (the timer's granularity, a signal of the arming before) waits for the rest,
    // never longer than was armed: the clock may have been set back meanwhile.
    const std::int64_t now = clock_();
    if (now < dueAt_ - kMillisecond) {
        armSecondIn(now, std::min(dueAt_ - now, span_));
        return;
    }
    running_[0] = 0;
    events_.timerTick(TimerId::Timer1);
    // The tick may have stopped the timer, or restarted it already.
    const TimerState& state = face_.timer(TimerId::Timer1);
    if (state.enabled && state.interval > 0 && !running_[0]) armSecond(true);
}

bool Win32TimerRuntime::handleMessage(UINT message, WPARAM wParam) {
    if (message == kSecondMessage) {
        tickSecond(wParam);
        return true;
    }
    if (message != WM_TIMER || wParam < 1 || wParam > kTimerCount) return false;
    const auto timer = static_cast<TimerId>(wParam - 1);
    if (timer == TimerId::Timer1) {
        if (windowTimer_) {
            KillTimer(window_, wParam);
            tickSecond(generation_.load());
        }
        return true;
    }
    // A WM_TIMER already queued when its timer was stopped is dropped.
    if (!running_[static_cast<std::size_t>(timer)]) return true;
    events_.timerTick(timer);
    return true;
}

} // namespace quelvex
