// The power side of the end of a count on Windows: the chosen action (power-off, restart, suspend,
// hibernate, log-out or lock), which of them this computer allows, and keeping the machine awake
// while an action is armed.
#pragma once

#include "actions/services.h"
#include "core/error_display.h"
#include "core/form1.h"
#include "ui/face_driver.h"

#include <functional>

namespace quelvex {

// What this computer allows now: the power-off, restart, log-out and lock always; suspend where
// the machine has a sleep state, hibernate only where hibernation is enabled.
ActionSet allowedEndActions();

// Carries out the chosen action. A power-off or restart takes the shutdown privilege and is
// forced (applications are closed without being asked), with a planned-shutdown reason; a
// log-out is forced too. Each call returns at once (a suspend returns when the machine wakes);
// a refusal is shown through `errors` (which must outlive this), so that whoever left the machine
// to it does not find it unchanged unwarned. A rehearsal (--dry-run) only reports the request and
// the call it would make.
class WindowsPower final : public Power {
  public:
    WindowsPower(ErrorDisplay& errors, bool dryRun) : errors_(errors), dryRun_(dryRun) {}
    void carryOut(EndAction action) override;
    void findAllowed() override;
    // Where findAllowed's answer goes: the driver's allowedActionsFound.
    void setAllowedHook(std::function<void(ActionSet)> hook) { allowedHook_ = std::move(hook); }
    // Runs before an action the program outlives (suspend, hibernate, lock): whatever keeps the
    // machine awake must let go first, or it would hold off the very sleep asked for.
    void setBeforeSleepHook(std::function<void()> hook) { beforeSleep_ = std::move(hook); }

  private:
    ErrorDisplay& errors_;
    bool dryRun_;
    std::function<void(ActionSet)> allowedHook_;
    std::function<void()> beforeSleep_;
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
    // Lets go now, before the count's own end reaches the model; held again only once an action
    // is armed anew.
    void release();

  private:
    const TForm1& form_;
    bool held_ = false;
    bool released_ = false;
};

} // namespace quelvex
