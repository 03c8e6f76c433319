// quelvex.exe: reads the command line, builds the window with the Windows services and runs the
// message loop until the window closes.
#include "core/form1.h"
#include "core/power_warning.h"
#include "platform/windows/browser_strip.h"
#include "platform/windows/help_window.h"
#include "platform/windows/main_window.h"
#include "platform/windows/skin_bitmaps.h"
#include "platform/windows/timer_runtime.h"
#include "platform/windows/tray_notifier.h"
#include "platform/windows/windows_capture.h"
#include "platform/windows/windows_clock.h"
#include "platform/windows/windows_network.h"
#include "platform/windows/windows_power.h"
#include "platform/windows/windows_services.h"
#include "platform/windows/windows_sound.h"
#include "ui/face_driver.h"
#include "ui/language.h"

#include <shellapi.h>
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace quelvex {
namespace {

constexpr char kDescription[] =
    "Switches the computer off at a chosen moment, with an alarm and screen captures.";

// A GUI program has no console of its own. Whatever already has somewhere to go (a redirection,
// Wine's terminal) keeps it; otherwise the text goes to the console it was started from.
void reachConsole() {
    const auto usable = [](DWORD which) {
        const HANDLE h = GetStdHandle(which);
        return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
    };
    const bool out = usable(STD_OUTPUT_HANDLE), err = usable(STD_ERROR_HANDLE);
    if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!out && std::freopen("CONOUT$", "w", stdout)) std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (!err) std::freopen("CONOUT$", "w", stderr);
}

struct Options {
    bool dryRun = false;
    int exitCode = -1; // set when the command line has been answered without a window
};

// The options and their texts as the Linux build gives them.
Options readCommandLine(const std::vector<std::string>& args) {
    Options options;
    const std::string program = args.empty() ? "quelvex" : args.front();
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--dry-run") {
            options.dryRun = true;
        } else if (a == "-h" || a == "--help" || a == "-?" || a == "/?") {
            reachConsole();
            std::printf("Usage: %s [options]\n%s\n\nOptions:\n"
                        "  -h, --help     Displays help on commandline options.\n"
                        "  -v, --version  Displays version information.\n"
                        "  --dry-run      Rehearse a setting: every action runs except the power-off,\n"
                        "                 which is only reported.\n\n",
                        program.c_str(), kDescription);
            std::fflush(stdout);
            options.exitCode = 0;
            return options;
        } else if (a == "-v" || a == "--version") {
            reachConsole();
            std::printf("Quelvex 5.0\n");
            std::fflush(stdout);
            options.exitCode = 0;
            return options;
        } else {
            reachConsole();
            const std::string name = a.rfind("--", 0) == 0  ? a.substr(2)
                                     : a.rfind('-', 0) == 0 ? a.substr(1)
                                                            : a;
            std::fprintf(stderr,
                         a.rfind('-', 0) == 0 ? "Quelvex: Unknown option '%s'.\n"
                                              : "Quelvex: Unexpected argument '%s'.\n",
                         name.c_str());
            std::fflush(stderr);
            options.exitCode = 1;
            return options;
        }
    }
    return options;
}

std::string programFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring folder(path, n);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return narrow(folder);
}

HICON programIcon(HINSTANCE instance, int metricX, int metricY) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(metricX),
                                         GetSystemMetrics(metricY), LR_DEFAULTCOLOR));
}

int run(HINSTANCE instance, const Options& options) {
    // The manifest's choice, should the manifest have been ignored.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    // Tests and packagers point the program at another server.
    if (const wchar_t* site = _wgetenv(L"QUELVEX_SITE_URL"); site && *site) setSiteUrl(narrow(site));

    const SkinBitmaps pictures(instance);
    const HICON icon = programIcon(instance, SM_CXICON, SM_CYICON);
    const HICON smallIcon = programIcon(instance, SM_CXSMICON, SM_CYSMICON);
    const SkinBitmap helpLogo = loadPngResource(instance, "helplogo");

    WindowsClock clock;
    WindowsSound sound(instance);
    WindowsScreenGrab grab;
    WindowsDisk disk;
    MessageBoxErrors errors;
    WindowsPower power(errors, options.dryRun);
    ShellOpen shell;
    Win32HelpWindow help{shell, instance};
    help.setArtwork(helpLogo.bitmap, icon);
    InternetConnection network;
    BrowserStrip web(instance, shell);
    TForm1 form(Services{clock, sound, power, grab, disk, errors, help, programFolder()},
                WebServices{shell, network, web});
    KeepAwake keepAwake(form); // outlives the driver that feeds it
    FaceDriver driver(form.face(), form);
    MainWindow window(instance, form.face(), driver, pictures, icon, smallIcon);
    if (!window.handle()) return 1;
    Win32TimerRuntime timers(form.face(), driver, window.handle());
    errors.attach(window.handle());
    window.addMessageHook([&](UINT message, WPARAM wParam, LPARAM) {
        if (message == MessageBoxErrors::kShowMessage) {
            errors.showPending();
            return true;
        }
        return timers.handleMessage(message, wParam);
    });
    driver.attach(window);
    driver.attach(timers);
    driver.attach(keepAwake);
    TrayNotifier notifier(window.handle(), smallIcon, [&driver] { driver.warningCancelled(); });
    window.addMessageHook([&](UINT message, WPARAM wParam, LPARAM lParam) {
        return notifier.handleMessage(message, wParam, lParam);
    });
    PowerWarning warning(form, notifier, options.dryRun);
    driver.attach(warning);
    // A window hidden for a capture must be off the screen before the pixels are read.
    grab.setBeforeGrab([&driver] { driver.sync(); });
    web.attach(window.handle(), driver, form.face());
    driver.attach(web);
    if (const std::string missing = pictures.missing(); !missing.empty())
        errors.showError("The program lacks pictures of its skin: " + missing);
    window.show();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // The help window is a dialog: the dialog manager moves between its controls.
        if (help.window() && IsDialogMessageW(help.window(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    driver.detach(web);
    driver.detach(warning);
    driver.detach(keepAwake);
    driver.detach(timers);
    driver.detach(window);
    return static_cast<int>(msg.wParam);
}

} // namespace
} // namespace quelvex

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(quelvex::narrow(argv[i]));
    LocalFree(argv);
    const quelvex::Options options = quelvex::readCommandLine(args);
    if (options.exitCode >= 0) return options.exitCode;
    try {
        return quelvex::run(instance, options);
    } catch (const std::exception& e) {
        // No message loop runs any more, so the box is shown here and now.
        MessageBoxW(nullptr, quelvex::widen(e.what()).c_str(), L"Quelvex 5.0", MB_OK | MB_ICONERROR);
        return 1;
    }
}
