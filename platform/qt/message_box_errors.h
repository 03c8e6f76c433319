// The error display.
#pragma once

#include "core/error_display.h"

#include <QMessageBox>
#include <QPointer>

namespace quelvex {

// Shows errors in the standard message box.
class MessageBoxErrors : public ErrorDisplay {
  public:
    MessageBoxErrors() = default;
    ~MessageBoxErrors() override;
    MessageBoxErrors(const MessageBoxErrors&) = delete;
    MessageBoxErrors& operator=(const MessageBoxErrors&) = delete;
    void showError(const std::string& message) override;

  private:
    QPointer<QMessageBox> box_;
    QObject context_; // ends a box still to be shown with this object
};

} // namespace quelvex
