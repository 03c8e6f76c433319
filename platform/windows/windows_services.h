// The platform's smaller services on Windows: the disk, the shell and the error box.
#pragma once

#include "core/error_display.h"
#include "help/services.h"
#include "ui/disk.h"

#include <windows.h>

#include <string>

namespace quelvex {

// The drive of the current folder.
class WindowsDisk : public DiskInfo {
  public:
    std::int64_t totalBytes() override;
    std::int64_t freeBytes() override;

  private:
    bool query();
    ULARGE_INTEGER free_{}, total_{};
    ULONGLONG readAt_ = 0;
    bool valid_ = false;
};

// Opens addresses with the shell's "open", which is the user's browser for a web address.
class ShellOpen : public Shell {
  public:
    void openUrl(const std::string& url) override;
};

// The standard message box, shown once the handler that raised it has finished, without an owner
// so that the window keeps taking input, and reused by later errors while it stays open.
class MessageBoxErrors : public ErrorDisplay {
  public:
    // The window that receives kShowMessage and hands it to showPending.
    void attach(HWND window) { window_ = window; }
    void showError(const std::string& message) override;
    void showPending();

    static constexpr UINT kShowMessage = WM_APP + 18;

  private:
    HWND window_ = nullptr;
    std::wstring pending_;
    HWND box_ = nullptr;
    bool posted_ = false;
};

} // namespace quelvex
