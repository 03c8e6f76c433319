// The help window, whose real implementation is not in the program yet (it only reports the
// request on standard error), and the error display.
#pragma once

#include "core/error_display.h"
#include "core/form1.h"

#include <QMessageBox>
#include <QPointer>

namespace quelvex {

class ReportingHelpWindow : public HelpWindow {
  public:
    void showHelp() override;
    void followLanguage(bool english) override;
};

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
