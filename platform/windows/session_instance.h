// One program per session on Windows: a named mutex in the session's namespace says one runs;
// its hidden message window takes a later start's command line through WM_COPYDATA.
#pragma once

#include "core/command_line.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace quelvex {

enum class HandOverResult : std::uint8_t { Delivered, NoInstance, Failed };

// Gives `arguments` (without the program's name) to the program running in this session with the
// same dry-run flag, and lets it take the foreground. Waits up to a few seconds for a program
// that is still starting.
HandOverResult handOverToRunning(const std::vector<std::string>& arguments, bool dryRun);

// Whether a program with this dry-run flag runs in this session (without claiming anything).
bool instanceRunning(bool dryRun);

class SessionInstance {
  public:
    explicit SessionInstance(bool dryRun);
    ~SessionInstance();
    SessionInstance(const SessionInstance&) = delete;
    SessionInstance& operator=(const SessionInstance&) = delete;

    // False when another program of this session had the mutex first.
    bool first() const { return first_; }
    // Starts taking command lines; `receiver` runs on the message loop's thread with each one that
    // was read and that `accepts` takes (the sender hears of a refusal).
    void listen(HINSTANCE instance, std::function<bool(const CommandRequest&)> accepts,
                std::function<void(const CommandRequest&)> receiver);

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    bool dryRun_;
    HANDLE mutex_ = nullptr;
    bool first_ = false;
    HWND window_ = nullptr;
    std::function<bool(const CommandRequest&)> accepts_;
    std::function<void(const CommandRequest&)> receiver_;
};

// Restores the window if minimised and gives it the foreground.
void bringToFront(HWND window);

} // namespace quelvex
