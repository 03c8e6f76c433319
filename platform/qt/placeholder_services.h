// Services whose real implementations are not in the program yet: they only report the request
// on standard error. The power service in particular never switches anything off.
#pragma once

#include "actions/services.h"
#include "core/error_display.h"
#include "core/form1.h"

namespace quelvex {

class ReportingSound : public Sound {
  public:
    void playLoop(const std::string& path) override;
    void stopAll() override;
};

class ReportingPower : public Power {
  public:
    void powerOff() override;
};

class ReportingScreenGrab : public ScreenGrab {
  public:
    std::optional<std::string> captureTo(const std::string& fileName) override;
};

class ReportingHelpWindow : public HelpWindow {
  public:
    void showHelp() override;
    void followLanguage(bool english) override;
};

// Shows errors in the standard message box.
class MessageBoxErrors : public ErrorDisplay {
  public:
    void showError(const std::string& message) override;
};

} // namespace quelvex
