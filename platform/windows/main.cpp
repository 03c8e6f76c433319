// quelvex.exe: reads the command line, builds the window with the Windows services and runs the
// message loop until the window closes.
#include "core/command_line.h"
#include "core/form1.h"
#include "core/power_warning.h"
#include "platform/windows/browser_strip.h"
#include "platform/windows/help_window.h"
#include "platform/windows/main_window.h"
#include "platform/windows/session_instance.h"
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
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace quelvex {
namespace {

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
    CommandRequest request;
    std::vector<std::string> arguments; // after the program's name
    bool dryRun = false;
    int exitCode = -1; // set when the command line has been answered without a window
};

void say(std::FILE* stream, const std::string& text) {
    reachConsole();
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

// Errors, --help and --version, and the hand-over to the program already running in this session.
Options readCommandLine(const std::vector<std::string>& args) {
    Options options;
    const std::vector<std::string> arguments(args.empty() ? args.end() : args.begin() + 1, args.end());
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    options.request = parsed.request;
    options.arguments = arguments;
    options.dryRun = parsed.request.dryRun;
    if (!parsed.ok()) {
        say(stderr, "quelvex: " + parsed.error + "\n");
        options.exitCode = 2;
        return options;
    }
    if (parsed.request.help || parsed.request.version) {
        say(stdout, parsed.request.help ? commandLineHelp(args.empty() ? "quelvex" : args.front())
                                        : std::string("Quelvex 5.0\n"));
        options.exitCode = 0;
        return options;
    }
    // Refused here rather than by the running program, which would only answer that it did not
    // take the command line.
    if (const auto action = parsed.request.action; action && !contains(allowedEndActions(), *action)) {
        say(stderr, "quelvex: " + endActionNotAllowedLine(*action) + "\n");
        options.exitCode = 2;
        return options;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (const std::string note = commandLineNote(parsed.request, now.wHour * 3600 + now.wMinute * 60 + now.wSecond);
        !note.empty())
        say(stderr, "quelvex: " + note + "\n");
    if (parsed.request.stop && !instanceRunning(options.dryRun)) {
        say(stderr, options.dryRun
                        ? "quelvex: --stop: no Quelvex started with --dry-run runs in this session\n"
                        : "quelvex: --stop: no Quelvex runs in this session\n");
        options.exitCode = 1;
    } else if (parsed.request.stop || instanceRunning(options.dryRun)) {
        const HandOverResult result = handOverToRunning(arguments, options.dryRun);
        if (result == HandOverResult::Failed)
            say(stderr, "quelvex: the running Quelvex did not take the command line\n");
        // A program that ended meanwhile leaves this start to run on its own.
        if (result != HandOverResult::NoInstance || parsed.request.stop)
            options.exitCode = result == HandOverResult::Delivered ? 0 : 1;
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

// Started in its own folder where the user cannot write (the Start menu's shortcut and Explorer
// start it in Program Files), it works in the user's Pictures folder instead, so the captures have
// somewhere to go. Any other working folder, a command line's, is kept, writable or not.
void leaveUnwritableProgramFolder() {
    wchar_t current[MAX_PATH * 4] = {};
    const DWORD n = GetCurrentDirectoryW(MAX_PATH * 4, current);
    if (n == 0 || n >= MAX_PATH * 4) return;
    std::wstring folder(current, n);
    if (folder.back() != L'\\') folder += L'\\';
    if (lstrcmpiW(folder.c_str(), widen(programFolder()).c_str()) != 0) return;
    // A file of its own that it can make, and that goes when closed, says the folder is writable.
    const std::wstring probe = folder + L"quelvex-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return;
    }
    PWSTR pictures = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, KF_FLAG_CREATE, nullptr, &pictures)) &&
        SetCurrentDirectoryW(pictures)) {
        std::fprintf(stderr, "quelvex: working in %s\n", narrow(pictures).c_str());
        std::fflush(stderr);
    }
    CoTaskMemFree(pictures);
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

    SessionInstance session(options.dryRun);
    if (!session.first()) {
        // Another start took the session since this one looked: it gets the command line.
        const HandOverResult result = handOverToRunning(options.arguments, options.dryRun);
        return result == HandOverResult::Delivered ? 0 : 1;
    }
    leaveUnwritableProgramFolder();
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
    power.setAllowedHook([&driver](ActionSet allowed) { driver.allowedActionsFound(allowed); });
    power.setBeforeSleepHook([&keepAwake] { keepAwake.release(); });
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
    applyCommandRequest(form, driver, options.request);
    // Another program of the session may send an action this one could never carry out.
    const auto allowedHere = [](const CommandRequest& handed) {
        return !handed.action || contains(allowedEndActions(), *handed.action);
    };
    session.listen(instance, allowedHere, [&](const CommandRequest& handed) {
        if (applyHandedOverRequest(form, driver, handed)) bringToFront(window.handle());
    });
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
