#include "platform/windows/windows_services.h"

#include "platform/windows/windows_clock.h"

#include <shellapi.h>

#include <cstdio>

namespace quelvex {

bool WindowsDisk::query() {
    // The poll asks for the size and the free space one after the other: one call answers both.
    const ULONGLONG now = GetTickCount64();
    if (readAt_ == 0 || now - readAt_ > 20) {
        valid_ = GetDiskFreeSpaceExW(nullptr, &free_, &total_, nullptr) != 0;
        readAt_ = now;
    }
    return valid_;
}

std::int64_t WindowsDisk::totalBytes() {
    return query() ? static_cast<std::int64_t>(total_.QuadPart) : -1;
}

std::int64_t WindowsDisk::freeBytes() {
    return query() ? static_cast<std::int64_t>(free_.QuadPart) : -1;
}

void ShellOpen::openUrl(const std::string& url) {
    ShellExecuteW(nullptr, L"open", widen(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void MessageBoxErrors::showError(const std::string& message) {
    std::fprintf(stderr, "quelvex: %s\n", message.c_str());
    std::fflush(stderr);
    pending_ = widen(message);
    if (box_) {
        // A later error (a capture failing every minute through the night) takes over the open box.
        SetDlgItemTextW(box_, 0xFFFF, pending_.c_str());
        return;
    }
    if (!posted_) posted_ = PostMessageW(window_, kShowMessage, 0, 0) != 0;
}

void MessageBoxErrors::showPending() {
    posted_ = false;
    if (box_ || pending_.empty()) return;
    // The box's own loop keeps delivering the window's input and timers; the box is found by its
    // thread and title once it exists, so that a later error can reuse it.
    const std::wstring text = pending_;
    static MessageBoxErrors* self = nullptr;
    self = this;
    HHOOK hook = SetWindowsHookExW(
        WH_CBT,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (code == HCBT_ACTIVATE && self && !self->box_) self->box_ = reinterpret_cast<HWND>(wParam);
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    MessageBoxW(nullptr, text.c_str(), L"Quelvex 5.0", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    if (hook) UnhookWindowsHookEx(hook);
    box_ = nullptr;
    pending_.clear();
}

} // namespace quelvex
