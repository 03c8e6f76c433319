// The object behind a window: handed over as CreateWindowExW's last argument and kept in the
// window's user data from WM_NCCREATE on, for its window procedure to find.
#pragma once

#include <windows.h>

namespace quelvex {

// Null for the few messages that come before WM_NCCREATE, and after the owner let go.
template <class Owner> Owner* windowOwner(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    return reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

} // namespace quelvex
