// powrprof.dll for a test prefix: a machine that can neither sleep nor hibernate, so that
// tests/e2e/windows_actions.sh can watch those actions refused. Built as powrprof_stub.dll.
#include <windows.h>

extern "C" __declspec(dllexport) BOOLEAN WINAPI GetPwrCapabilities(SYSTEM_POWER_CAPABILITIES* capabilities) {
    if (!capabilities) return FALSE;
    ZeroMemory(capabilities, sizeof(*capabilities));
    capabilities->PowerButtonPresent = TRUE;
    capabilities->SystemS5 = TRUE;
    return TRUE;
}
