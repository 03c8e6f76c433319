// The screen capture on Windows: the primary screen copied from the screen's drawing context into
// a 32-bit bitmap kept between captures, then written by the JPEG writer.
#pragma once

#include "actions/services.h"

#include <windows.h>

#include <functional>

namespace quelvex {

class WindowsScreenGrab final : public ScreenGrab {
  public:
    WindowsScreenGrab() = default;
    ~WindowsScreenGrab() override;
    WindowsScreenGrab(const WindowsScreenGrab&) = delete;
    WindowsScreenGrab& operator=(const WindowsScreenGrab&) = delete;

    // Runs right before the screen is read. The window applies what the model changed only after
    // each handler, so the program applies a pending hide here: otherwise a capture made inside
    // the handler that hid the window would still show it.
    void setBeforeGrab(std::function<void()> hook) { beforeGrab_ = std::move(hook); }

    std::optional<std::string> captureTo(const std::string& fileName) override;

  private:
    bool ensureBitmap(int width, int height);

    std::function<void()> beforeGrab_;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ original_ = nullptr;
    void* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

} // namespace quelvex
