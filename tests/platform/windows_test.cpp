// The Windows pieces against Wine's Win32, on a screen (tools/build-windows.sh gives ctest one).
#include "platform/windows/help_window.h"
#include "platform/windows/main_window.h"
#include "platform/windows/timer_runtime.h"
#include "platform/windows/tray_notifier.h"
#include "tests/fakes.h"

#include <gtest/gtest.h>
#include <shellapi.h>

namespace quelvex {
namespace {

std::function<bool(UINT, WPARAM, LPARAM)> route; // the test window's messages, to the piece under test

HWND testWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        return route && route(m, wp, lp) ? 0 : DefWindowProcW(w, m, wp, lp);
    };
    wc.lpszClassName = L"QuelvexTest";
    RegisterClassW(&wc);
    return CreateWindowW(L"QuelvexTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

bool pumpUntil(const std::function<bool()>& done) {
    for (const ULONGLONG end = GetTickCount64() + 15000; !done() && GetTickCount64() < end;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    }
    return done();
}

TEST(WindowsPlatform, SecondsKeepComingWhenTheClockIsSetBackAndTheBalloonClickCancels) {
    testing::Rig rig;
    FaceDriver driver(rig.face(), rig.form);
    rig.face().enable(TimerId::Timer1);
    std::int64_t back = 0;
    int seconds = 0;
    const HWND window = testWindow();
    Win32TimerRuntime timers(rig.face(), driver, window, [&] {
        FILETIME t;
        GetSystemTimePreciseAsFileTime(&t);
        return ((std::int64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) - back;
    });
    int cancels = 0;
    TrayNotifier tray(window, nullptr, [&] { ++cancels; });
    route = [&](UINT m, WPARAM w, LPARAM l) {
        seconds += m == Win32TimerRuntime::kSecondMessage;
        return timers.handleMessage(m, w) || tray.handleMessage(m, w, l);
    };
    back = 36'000'000'000; // an hour, before the first tick
    const int reads = rig.clock.formatCalls; // each tick reads the time of day
    EXPECT_TRUE(pumpUntil([&] { return rig.clock.formatCalls >= reads + 3; })) << seconds << " signals came";
    SendMessageW(window, TrayNotifier::kIconMessage, 0, MAKELPARAM(NIN_BALLOONTIMEOUT, 1));
    SendMessageW(window, TrayNotifier::kIconMessage, 0, MAKELPARAM(NIN_BALLOONUSERCLICK, 1));
    EXPECT_EQ(cancels, 1);
    route = nullptr;
}

TEST(WindowsPlatform, HelpFollowsADpiChangeAndPaintingLeavesNoPictureSelected) {
    testing::Rig rig;
    Win32HelpWindow help(rig.shell, GetModuleHandleW(nullptr));
    help.showHelp();
    const HWND memo = FindWindowExW(help.window(), nullptr, L"EDIT", nullptr);
    const UINT dpi = 2 * GetDpiForWindow(help.window());
    RECT before, after, suggested{40, 30, 40 + 2 * TForm2::kWidth, 30 + 2 * TForm2::kHeight};
    GetWindowRect(memo, &before);
    SendMessageW(help.window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(memo, &after);
    EXPECT_EQ(after.right - after.left, 2 * (before.right - before.left));
    GetWindowRect(help.window(), &after);
    EXPECT_TRUE(EqualRect(&after, &suggested));

    const SkinBitmaps pictures(GetModuleHandleW(nullptr));
    FaceDriver driver(rig.face(), rig.form);
    MainWindow window(GetModuleHandleW(nullptr), rig.face(), driver, pictures, nullptr, nullptr);
    driver.attach(window);
    window.show();
    // A bitmap selected into a DC cannot be freed, nor selected into another.
    const HDC dc = CreateCompatibleDC(nullptr);
    for (Image picture : skinPictures())
        for (const SkinBitmap* b : {&pictures.plain(picture, false), &pictures.seeThrough(picture, false)})
            EXPECT_TRUE(!*b || SelectObject(dc, b->bitmap)) << imageName(picture) << " is still selected";
    DeleteDC(dc);
    driver.detach(window);
}

} // namespace
} // namespace quelvex
