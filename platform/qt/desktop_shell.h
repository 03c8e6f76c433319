#pragma once

#include "help/services.h"

namespace quelvex {

// Opens addresses with the desktop's default browser.
class DesktopShell : public Shell {
  public:
    void openUrl(const std::string& url) override;
};

} // namespace quelvex
