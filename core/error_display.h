#pragma once

#include <string>

namespace quelvex {

// The application's standard error display: the one message box the user sees.
class ErrorDisplay {
  public:
    virtual ~ErrorDisplay() = default;
    virtual void showError(const std::string& message) = 0;
};

} // namespace quelvex
