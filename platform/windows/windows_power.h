// The power side of the end of a count on Windows: the forced power-off, and keeping the machine
// awake while an action is armed.
#pragma once

#include "actions/services.h"
#include "core/error_display.h"
#include "core/form1.h"
#include "ui/face_driver.h"

namespace quelvex {

// Takes the shutdown privilege and asks for a forced power-off (applications are closed without
// being asked), giving a planned-shutdown reason. ExitWindowsEx returns at once; a refusal is
// shown through `errors` (which must outlive this), so that whoever left the machine to go off
// does not find it still on unwarned. A rehearsal (--dry-run) only reports the request and the
// ExitWindowsEx call it would make.
class WindowsPower final : public Power {
  public:
    WindowsPower(ErrorDisplay& errors, bool dryRun) : errors_(errors), dryRun_(dryRun) {}
    void carryOut(EndAction action) override;
    void findAllowed() override;

  private:
    ErrorDisplay& errors_;
    bool dryRun_;
};

// Follows the window model: while it has an action armed the system is told it is in use, so an
// automatic sleep cannot swallow the power-off; when nothing is armed, or at exit, it is let go.
// The execution state belongs to the calling thread: this runs on the window's thread only.
class KeepAwake final : public ChangeSink {
  public:
    explicit KeepAwake(const TForm1& form) : form_(form) {}
    ~KeepAwake() override;
    KeepAwake(const KeepAwake&) = delete;
    KeepAwake& operator=(const KeepAwake&) = delete;

    void applyChanges(const FaceChanges& changes) override;

  private:
    const TForm1& form_;
    bool held_ = false;
};

} // namespace quelvex
