// What screen readers see of the main window on Windows: an IAccessible for its client area whose
// children are the controls it paints, as simple elements named in the window's language, with
// their role, value, state, place on the screen, and a press as their default action.
#pragma once

#include "ui/keyboard_focus.h"

#include <windows.h>

#include <oleacc.h>

#include <functional>
#include <vector>

namespace quelvex {

class WindowAccessible;

// The main window's side of it: answers WM_GETOBJECT and tells clients what changed.
class AccessibleClient {
  public:
    // `toScreen` turns a rectangle in window coordinates into screen pixels; `followFocus` runs
    // after a client moved the focus or pressed a control.
    AccessibleClient(KeyboardFocus& keys, std::function<RECT(const Rect&)> toScreen,
                     std::function<void()> followFocus);
    ~AccessibleClient();
    AccessibleClient(const AccessibleClient&) = delete;
    AccessibleClient& operator=(const AccessibleClient&) = delete;

    // The answer to WM_GETOBJECT, or 0 for an object that is not the client area.
    LRESULT getObject(HWND hwnd, WPARAM wParam, LPARAM lParam);
    // Tells clients of the focus, names, values and states that changed; nothing until one asked.
    void tell(HWND hwnd);
    // The window is going: the object answers nothing from here on.
    void disconnect();

  private:
    KeyboardFocus& keys_;
    std::function<RECT(const Rect&)> toScreen_;
    std::function<void()> followFocus_;
    WindowAccessible* object_ = nullptr;
    std::vector<AccessibleItem> told_;
};

} // namespace quelvex
