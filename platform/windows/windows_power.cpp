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

constexpr DWORD kPlannedReason = SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED;

// The rehearsal's stand-ins: they name what the real call would have been asked.
BOOL WINAPI reportExitWindows(UINT flags, DWORD reason) {
    std::fprintf(stderr, "quelvex: ExitWindowsEx(%#x, %#lx) not called\n", flags,
                 static_cast<unsigned long>(reason));
    return TRUE;
}
BOOLEAN WINAPI reportSuspend(BOOLEAN hibernate, BOOLEAN force, BOOLEAN noWakeEvents) {
    std::fprintf(stderr, "quelvex: SetSuspendState(%d, %d, %d) not called\n", hibernate, force, noWakeEvents);
    return TRUE;
}
BOOL WINAPI reportLock() {
    std::fputs("quelvex: LockWorkStation() not called\n", stderr);
    return TRUE;
}

using GetPwrCapabilitiesCall = BOOLEAN(WINAPI*)(SYSTEM_POWER_CAPABILITIES*);
using SetSuspendStateCall = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);

// powrprof.dll is looked up when first needed, and only in the system folder: a function it
// lacks is a failure to show (the last error says which), not a program that cannot start.
template <class Call> Call powrprof(const char* name) {
    static const HMODULE module = LoadLibraryExW(L"powrprof.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Asks for the action, or in a rehearsal reports the call; the reason when it was refused.
std::optional<std::string> request(EndAction action, bool rehearsal) {
    const auto exitWindows = rehearsal ? &reportExitWindows : &ExitWindowsEx;
    const auto failed = [] { return std::optional<std::string>(systemMessage(GetLastError())); };
    // Ending one's own session or locking its screen needs no privilege.
    if (action == EndAction::LogOut) return exitWindows(EWX_LOGOFF | EWX_FORCE, 0) ? std::nullopt : failed();
    if (action == EndAction::Lock) return (rehearsal ? &reportLock : &LockWorkStation)() ? std::nullopt : failed();
    // A rehearsal goes the same way up to the call itself, and leaves the privilege alone.
    if (!rehearsal)
        if (auto failure = enableShutdownPrivilege()) return failure;
    if (action == EndAction::Suspend || action == EndAction::Hibernate) {
        auto suspend = powrprof<SetSuspendStateCall>("SetSuspendState");
        if (!suspend) return failed();
        if (rehearsal) suspend = &reportSuspend;
        return suspend(action == EndAction::Hibernate, FALSE, FALSE) ? std::nullopt : failed();
    }
    const UINT how = action == EndAction::Restart ? EWX_REBOOT : EWX_POWEROFF;
    return exitWindows(how | EWX_FORCE, kPlannedReason) ? std::nullopt : failed();
}

} // namespace

ActionSet allowedEndActions() {
    ActionSet allowed = kAlwaysAllowed | actionBit(EndAction::PowerOff) | actionBit(EndAction::Restart);
    SYSTEM_POWER_CAPABILITIES power{};
    if (const auto capabilities = powrprof<GetPwrCapabilitiesCall>("GetPwrCapabilities");
        capabilities && capabilities(&power)) {
        if (power.SystemS1 || power.SystemS2 || power.SystemS3) allowed |= actionBit(EndAction::Suspend);
        // Hibernation is switched off by removing the file it writes to.
        if (power.SystemS4 && power.HiberFilePresent) allowed |= actionBit(EndAction::Hibernate);
    }
    return allowed;
}

void WindowsPower::findAllowed() {
    if (allowedHook_) allowedHook_(allowedEndActions());
}

void WindowsPower::carryOut(EndAction action) {
    std::fprintf(stderr, "%s\n", endActionRequestedLine(action, dryRun_).c_str());
    std::fflush(stderr);
    if (keepsProgramRunning(action) && beforeSleep_) beforeSleep_();
    const std::optional<std::string> failure = request(action, dryRun_);
    std::fflush(stderr);
    if (failure) errors_.showError(endActionFailurePrefix(action) + *failure);
}

KeepAwake::~KeepAwake() {
    if (held_) SetThreadExecutionState(ES_CONTINUOUS);
}

void KeepAwake::release() {
    if (held_) SetThreadExecutionState(ES_CONTINUOUS);
    held_ = false;
    released_ = true;
}

// Runs after every event and every second: a flag comparison unless arming changed.
void KeepAwake::applyChanges(const FaceChanges&) {
    if (!form_.actionArmed()) released_ = false;
    const bool armed = form_.actionArmed() && !released_;
    if (armed == held_) return;
    held_ = armed;
    SetThreadExecutionState(armed ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

} // namespace quelvex
