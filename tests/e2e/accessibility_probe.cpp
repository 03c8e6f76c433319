// A screen reader's look at the running program on Windows: one line per child of the main
// window's client object, "name<TAB>value<TAB>role<TAB>shown" in UTF-8; with a name given, it then
// does that child's default action, as a reader's "press" does.
//   accessibility_probe.exe [NAME]
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

const IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string utf8(BSTR text) {
    if (!text) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    SysFreeString(text);
    return out;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    CoInitialize(nullptr);
    const HWND window = FindWindowW(L"QuelvexMainWindow", nullptr);
    IAccessible* client = nullptr;
    if (!window || FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, kIAccessible,
                                                     reinterpret_cast<void**>(&client))))
        return 1;
    const std::string press = argc > 1 ? utf8(SysAllocString(argv[1])) : std::string();
    long count = 0;
    client->get_accChildCount(&count);
    VARIANT pressed{};
    for (long i = 1; i <= count; ++i) {
        VARIANT child{};
        child.vt = VT_I4;
        child.lVal = i;
        BSTR name = nullptr, value = nullptr;
        VARIANT role{}, state{};
        client->get_accName(child, &name);
        client->get_accValue(child, &value);
        client->get_accRole(child, &role);
        client->get_accState(child, &state);
        const std::string n = utf8(name);
        std::printf("%s\t%s\t%ld\t%d\n", n.c_str(), utf8(value).c_str(), role.lVal,
                    (state.lVal & STATE_SYSTEM_INVISIBLE) ? 0 : 1);
        if (!press.empty() && n == press) pressed = child;
    }
    const bool ok = press.empty() || (pressed.vt == VT_I4 && SUCCEEDED(client->accDoDefaultAction(pressed)));
    client->Release();
    return ok ? 0 : 2;
}
