#include "platform/windows/tray_notifier.h"

#include "platform/windows/windows_clock.h"

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace quelvex {
namespace {

constexpr UINT kIconId = 1;

NOTIFYICONDATAW iconData(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kIconId;
    return data;
}

// Copies as much as fits, always ending the text.
template <std::size_t N> void copyInto(wchar_t (&field)[N], const std::wstring& text) {
    std::wcsncpy(field, text.c_str(), N - 1);
    field[N - 1] = L'\0';
}

} // namespace

TrayNotifier::TrayNotifier(HWND window, HICON icon, std::function<void()> cancelled)
    : window_(window), icon_(icon), cancelled_(std::move(cancelled)) {}

TrayNotifier::~TrayNotifier() {
    withdraw();
}

void TrayNotifier::show(const Notice& notice) {
    NOTIFYICONDATAW data = iconData(window_);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    data.uCallbackMessage = kIconMessage;
    data.hIcon = icon_;
    copyInto(data.szTip, L"Quelvex");
    copyInto(data.szInfoTitle, widen(notice.title));
    // A balloon needs some text, and the click that cancels needs saying.
    const std::string text = notice.body.empty() ? notice.actionHint : notice.body + "\n" + notice.actionHint;
    copyInto(data.szInfo, widen(text));
    data.dwInfoFlags = NIIF_WARNING;
    if (!added_) {
        added_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
        if (added_) {
            data.uVersion = NOTIFYICON_VERSION_4;
            Shell_NotifyIconW(NIM_SETVERSION, &data);
        }
    } else {
        Shell_NotifyIconW(NIM_MODIFY, &data);
    }
    std::fprintf(stderr, "quelvex: warning shown: %s%s\n", notice.title.c_str(),
                 added_ ? "" : " (no notification area)");
    std::fflush(stderr);
}

void TrayNotifier::withdraw() {
    if (!added_) return;
    NOTIFYICONDATAW data = iconData(window_);
    Shell_NotifyIconW(NIM_DELETE, &data);
    added_ = false;
    std::fputs("quelvex: warning withdrawn\n", stderr);
    std::fflush(stderr);
}

bool TrayNotifier::handleMessage(UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_DESTROY) {
        withdraw();
        return false;
    }
    if (message != kIconMessage) return false;
    // With version 4 the event is in the low word.
    if (LOWORD(lParam) == NIN_BALLOONUSERCLICK && cancelled_) cancelled_();
    return true;
}

} // namespace quelvex
