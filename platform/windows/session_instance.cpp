#include "platform/windows/session_instance.h"

namespace quelvex {
namespace {

constexpr wchar_t kReceiverClass[] = L"QuelvexHandOver";
// Marks the WM_COPYDATA this program sends: NUL-separated UTF-8 arguments.
constexpr ULONG_PTR kArgumentsTag = 0x51564C58; // "QVLX"
constexpr DWORD kHandOverWaitMs = 5000;

// Also the receiver window's title. "Local\" keeps the mutex to this session.
std::wstring instanceName(bool dryRun) {
    return dryRun ? L"example.quelvex.Quelvex.DryRun" : L"example.quelvex.Quelvex";
}
std::wstring mutexName(bool dryRun) {
    return L"Local\\" + instanceName(dryRun);
}

std::string joined(const std::vector<std::string>& arguments) {
    std::string out;
    for (const std::string& a : arguments) {
        out += a;
        out += '\0';
    }
    return out;
}

} // namespace

bool instanceRunning(bool dryRun) {
    const HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, mutexName(dryRun).c_str());
    if (!mutex) return false;
    CloseHandle(mutex);
    return true;
}

HandOverResult handOverToRunning(const std::vector<std::string>& arguments, bool dryRun) {
    const std::wstring title = instanceName(dryRun);
    const DWORD start = GetTickCount();
    HWND receiver = nullptr;
    // The mutex is taken before the window exists: a program still starting has it already.
    while (!(receiver = FindWindowExW(HWND_MESSAGE, nullptr, kReceiverClass, title.c_str()))) {
        if (!instanceRunning(dryRun)) return HandOverResult::NoInstance;
        if (GetTickCount() - start > kHandOverWaitMs) return HandOverResult::Failed;
        Sleep(50);
    }
    DWORD process = 0;
    GetWindowThreadProcessId(receiver, &process);
    AllowSetForegroundWindow(process);
    const std::string data = joined(arguments);
    COPYDATASTRUCT copy{kArgumentsTag, static_cast<DWORD>(data.size()), const_cast<char*>(data.data())};
    DWORD_PTR answer = 0;
    const LRESULT sent = SendMessageTimeoutW(receiver, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                                             SMTO_ABORTIFHUNG, kHandOverWaitMs, &answer);
    return sent && answer ? HandOverResult::Delivered : HandOverResult::Failed;
}

SessionInstance::SessionInstance(bool dryRun) : dryRun_(dryRun) {
    mutex_ = CreateMutexW(nullptr, FALSE, mutexName(dryRun).c_str());
    first_ = mutex_ != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
}

SessionInstance::~SessionInstance() {
    if (window_) DestroyWindow(window_);
    if (mutex_) CloseHandle(mutex_);
}

void SessionInstance::listen(HINSTANCE instance, std::function<bool(const CommandRequest&)> accepts,
                             std::function<void(const CommandRequest&)> receiver) {
    accepts_ = std::move(accepts);
    receiver_ = std::move(receiver);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = kReceiverClass;
    RegisterClassExW(&wc);
    window_ = CreateWindowExW(0, kReceiverClass, instanceName(dryRun_).c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, instance, nullptr);
    if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK SessionInstance::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto* self = reinterpret_cast<SessionInstance*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!self || !copy || copy->dwData != kArgumentsTag) return FALSE;
        // Any program of the session can send this: a payload that no start of ours would send
        // is refused before it costs anything.
        const std::optional<std::vector<std::string>> arguments =
            splitHandOverPayload(static_cast<const char*>(copy->lpData), copy->cbData);
        const ParsedCommandLine parsed = arguments ? readHandedOverCommandLine(*arguments, self->dryRun_)
                                                   : ParsedCommandLine{{}, "too large"};
        const bool accepted = parsed.ok() && (!self->accepts_ || self->accepts_(parsed.request));
        // The sender waits for the answer: it is given before the window changes.
        ReplyMessage(accepted);
        if (accepted && self->receiver_) self->receiver_(parsed.request);
        return accepted;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void bringToFront(HWND window) {
    if (!IsWindowVisible(window)) return; // hidden by the program itself, for a capture
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

} // namespace quelvex
