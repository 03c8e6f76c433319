// Notices as a balloon from an icon in the notification area.
#pragma once

#include "core/power_warning.h"

#include <windows.h>

#include <functional>

namespace quelvex {

// The icon appears with the first notice and goes when the notice is withdrawn, when the window
// is destroyed, or with this object. The balloon has no buttons: a click on it is the action.
class TrayNotifier final : public Notifier {
  public:
    // `window` receives kIconMessage and must pass its messages to handleMessage; `cancelled`
    // runs when the user clicks the balloon.
    TrayNotifier(HWND window, HICON icon, std::function<void()> cancelled);
    ~TrayNotifier() override;
    TrayNotifier(const TrayNotifier&) = delete;
    TrayNotifier& operator=(const TrayNotifier&) = delete;

    void show(const Notice& notice) override;
    void withdraw() override;
    // Takes the icon's messages (true) and notices the window's end (false: not taken).
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    static constexpr UINT kIconMessage = WM_APP + 19;

  private:
    HWND window_;
    HICON icon_;
    std::function<void()> cancelled_;
    bool added_ = false;
};

} // namespace quelvex
