#include "platform/windows/windows_power.h"

#include "platform/windows/windows_clock.h"

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

namespace quelvex {
namespace {

// The system's own words for an error code, without the line break it ends them with.
std::string systemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", n);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    if (message.empty()) return "error " + std::to_string(code);
    return narrow(message);
}

// The shutdown privilege is held by every interactive user but disabled until asked for.
// AdjustTokenPrivileges succeeds even when it could not enable it: only the last error says so.
std::optional<std::string> enableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return systemMessage(GetLastError());
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    std::optional<std::string> failure;
    if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) ||
        !AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) ||
        GetLastError() == ERROR_NOT_ALL_ASSIGNED)
        failure = systemMessage(GetLastError());
    CloseHandle(token);
    return failure;
}

// The rehearsal's ExitWindowsEx: it names what the real one would have been asked.
BOOL WINAPI reportExitWindows(UINT flags, DWORD reason) {
    std::fprintf(stderr, "quelvex: ExitWindowsEx(%#x, %#lx) not called\n", flags,
                 static_cast<unsigned long>(reason));
    return TRUE;
}

} // namespace

void WindowsPower::findAllowed() {}

void WindowsPower::carryOut(EndAction) {
    std::fputs(dryRun_ ? "quelvex: power-off requested (dry run: not performed)\n"
                       : "quelvex: power-off requested\n",
               stderr);
    std::fflush(stderr);
    // A rehearsal goes the same way up to the call itself, and leaves the privilege alone.
    const auto exitWindows = dryRun_ ? &reportExitWindows : &ExitWindowsEx;
    std::optional<std::string> failure = dryRun_ ? std::nullopt : enableShutdownPrivilege();
    if (!failure &&
        !exitWindows(EWX_POWEROFF | EWX_FORCE,
                     SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED))
        failure = systemMessage(GetLastError());
    std::fflush(stderr);
    if (failure) errors_.showError("Cannot switch the computer off: " + *failure);
}

KeepAwake::~KeepAwake() {
    if (held_) SetThreadExecutionState(ES_CONTINUOUS);
}

// Runs after every event and every second: a flag comparison unless arming changed.
void KeepAwake::applyChanges(const FaceChanges&) {
    const bool armed = form_.actionArmed();
    if (armed == held_) return;
    held_ = armed;
    SetThreadExecutionState(armed ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

} // namespace quelvex
