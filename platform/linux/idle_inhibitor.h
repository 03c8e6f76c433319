// Keeps the machine from going idle (screen blanking into suspend) while an action is armed.
#pragma once

#include "core/form1.h"
#include "platform/linux/lazy_bus.h"
#include "ui/face_driver.h"

#include <memory>

namespace quelvex {

// Follows the window model: while it has an action armed, an idle inhibitor is held; when it has
// none (STOP, RESET, the end of a count) or at exit, the inhibitor is let go. It asks the desktop
// portal on the session bus first (what sandboxes and most desktops honour) and, where no portal
// answers, logind on the system bus. Buses are connected on the first take, never at start, and
// nothing waits: a release asked for while a take is under way happens as soon as it lands. A
// take that fails leaves one line on standard error and is tried again at the next arming.
// An action that leaves the program running (suspend, hibernate, lock) has it let go first; a
// count still armed after it (the time of day, daily) takes it again a minute of waking time
// later: Qt's timers run on the monotonic clock, which stands still while the machine sleeps.
class IdleInhibitor final : public ChangeSink {
  public:
    explicit IdleInhibitor(const TForm1& form);
    ~IdleInhibitor() override;
    IdleInhibitor(const IdleInhibitor&) = delete;
    IdleInhibitor& operator=(const IdleInhibitor&) = delete;

    void applyChanges(const FaceChanges& changes) override;
    // Lets go at once, before an action that would otherwise be held up by it.
    void letGoForAction();

  private:
    enum class Hold { None, Taking, Portal, Logind };

    void take();
    void takeFromLogind(const QString& portalFailure);
    void taken();
    void release();

    const TForm1& form_;
    bool wanted_ = false;
    Hold hold_ = Hold::None;
    QString portalRequest_; // the portal's Request object while it holds
    int logindFd_ = -1;     // logind holds while this stays open
    std::unique_ptr<LazyBus> session_;
    std::unique_ptr<LazyBus> system_;
    bool heldBack_ = false; // let go for an action while still wanted
    QObject context_;       // the timer that ends heldBack_ goes with this object
};

} // namespace quelvex
