// The Windows pieces against Wine's Win32, on a screen (tools/build-windows.sh gives ctest one).
#include "platform/windows/help_window.h"
#include "platform/windows/main_window.h"
#include "platform/windows/timer_runtime.h"
#include "platform/windows/tray_notifier.h"
#include "tests/fakes.h"

#include <gtest/gtest.h>
#include <shellapi.h>

namespace quelvex {

TEST(WindowsPlatform, ClockSetBackBalloonClickDpiChangeAndPaintedPicturesLetGo) {
    testing::Rig rig;
    FaceDriver driver(rig.face(), rig.form);
    rig.face().enable(TimerId::Timer1);
    const HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    std::int64_t back = 0;
    Win32TimerRuntime timers(rig.face(), driver, window,
                             [&] { return std::int64_t(GetTickCount64()) * 10'000 - back; });
    back = 36'000'000'000;                       // an hour, before the first tick
    const int reads = rig.clock.formatCalls + 3; // each tick reads the time of day
    for (const ULONGLONG end = GetTickCount64() + 15000;
         rig.clock.formatCalls < reads && GetTickCount64() < end;)
        for (MSG m; MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0 &&
                    PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);)
            timers.handleMessage(m.message, m.wParam);
    EXPECT_GE(rig.clock.formatCalls, reads) << "the seconds stopped";

    int cancels = 0;
    TrayNotifier tray(window, nullptr, [&] { ++cancels; });
    tray.handleMessage(TrayNotifier::kIconMessage, 0, MAKELPARAM(NIN_BALLOONTIMEOUT, 1));
    tray.handleMessage(TrayNotifier::kIconMessage, 0, MAKELPARAM(NIN_BALLOONUSERCLICK, 1));
    EXPECT_EQ(cancels, 1);

    Win32HelpWindow help(rig.shell, GetModuleHandleW(nullptr));
    help.showHelp();
    const HWND memo = FindWindowExW(help.window(), nullptr, L"EDIT", nullptr);
    const UINT dpi = 2 * GetDpiForWindow(memo);
    RECT before, after, suggested{40, 30, 40 + 2 * TForm2::kWidth, 30 + 2 * TForm2::kHeight};
    GetWindowRect(memo, &before);
    SendMessageW(help.window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(memo, &after);
    EXPECT_EQ(after.right - after.left, 2 * (before.right - before.left));
    EXPECT_TRUE(GetWindowRect(help.window(), &after) && EqualRect(&after, &suggested));

    const SkinBitmaps pictures(GetModuleHandleW(nullptr));
    MainWindow view(GetModuleHandleW(nullptr), rig.face(), driver, pictures, nullptr, nullptr);
    driver.attach(view);
    view.show();
    // A bitmap still selected into a DC can be neither freed nor selected into another.
    const HDC dc = CreateCompatibleDC(nullptr);
    for (Image p : skinPictures())
        for (const SkinBitmap* b : {&pictures.plain(p, false), &pictures.seeThrough(p, false)})
            EXPECT_TRUE(!*b || SelectObject(dc, b->bitmap)) << imageName(p) << " is still selected";
    driver.detach(view);
}

} // namespace quelvex
