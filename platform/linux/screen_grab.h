// The screen capture service of Linux desktops: X11 reads the primary screen straight into a
// buffer kept between captures; Wayland asks the desktop portal, which answers later.
#pragma once

#include "actions/services.h"
#include "core/error_display.h"

#include <functional>
#include <memory>

namespace quelvex {

class PortalScreenshot;
class X11Grabber;

class DesktopScreenGrab final : public ScreenGrab {
  public:
    // `errors` shows the failures that only come to light after captureTo has returned (the
    // portal's late answer). It must outlive this service.
    explicit DesktopScreenGrab(ErrorDisplay& errors);
    ~DesktopScreenGrab() override;
    DesktopScreenGrab(const DesktopScreenGrab&) = delete;
    DesktopScreenGrab& operator=(const DesktopScreenGrab&) = delete;

    // Runs right before the screen is read. The window applies what the model changed only
    // after each handler, so the program applies a pending hide here: otherwise a capture made
    // inside the handler that hid the window would still show it.
    void setBeforeGrab(std::function<void()> hook);

    // Told true while the desktop portal still has to take a picture asked for, false once
    // none is outstanding. A window hidden for the capture must stay off the screen meanwhile.
    void setPortalWaitingHook(std::function<void(bool)> hook);

    std::optional<std::string> captureTo(const std::string& fileName) override;
    bool capturePending() const override;
    // On X11, readies the shared segment for the screen's size (see X11Grabber::warmUp).
    void prepare() override;

  private:
    enum class Method { Undecided, X11, Portal, Qt };
    void chooseMethod();
    std::optional<std::string> captureWithQt(const std::string& fileName);

    ErrorDisplay& errors_;
    std::function<void()> beforeGrab_;
    std::function<void(bool)> portalWaiting_;
    Method method_ = Method::Undecided;
    std::unique_ptr<X11Grabber> x11_;
    std::unique_ptr<PortalScreenshot> portal_;
};

} // namespace quelvex
