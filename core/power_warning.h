// The warning shown before a timed power-off (or whichever action the end of a count is to take),
// with one action that cancels it the way STOP does.
#pragma once

#include "ui/face_driver.h"

#include <optional>
#include <string>

namespace quelvex {

class TForm1;

struct Notice {
    std::string title;
    std::string body; // may be empty
    std::string actionLabel;
    // For systems whose notices have no buttons, where clicking the notice takes the action.
    std::string actionHint;
};

// The desktop's notices. Nothing waits for an answer: the action, when the user takes it, comes
// back as FaceEvents::warningCancelled.
class Notifier {
  public:
    virtual ~Notifier() = default;
    // Shows the notice in place of the one shown before; returns at once.
    virtual void show(const Notice& notice) = 0;
    // Takes the notice away; nothing happens when none is shown.
    virtual void withdraw() = 0;
};

// Seconds from the step just run to the step that powers the machine off, or nothing when no
// power-off is coming: the shutdown option is off, no count runs and no time of day is armed.
std::optional<int> secondsToPowerOff(const TForm1& form);

// Follows the window after every event: warns 60 seconds before a power-off (at once when less
// is left), and also 5 minutes before it when the count is longer than 10 minutes; withdraws
// the warning as soon as the power-off is no longer coming. Attach it to the FaceDriver.
class PowerWarning final : public ChangeSink {
  public:
    // `rehearsal`: the power-off is only reported, and the warning says so.
    PowerWarning(const TForm1& form, Notifier& notifier, bool rehearsal);
    ~PowerWarning() override;
    PowerWarning(const PowerWarning&) = delete;
    PowerWarning& operator=(const PowerWarning&) = delete;

    void applyChanges(const FaceChanges& changes) override;

  private:
    enum class Stage { None, FiveMinutes, OneMinute };

    void show(Stage stage, int language);
    void reset();

    const TForm1& form_;
    Notifier& notifier_;
    bool rehearsal_;
    // The current run-up to one power-off: the most seconds seen left, the warning shown and its
    // language. Ended when the power-off stops coming or moves later.
    std::optional<int> longestLeft_;
    Stage stage_ = Stage::None;
    int language_ = 0;
    EndAction action_ = EndAction::PowerOff;
};

} // namespace quelvex
