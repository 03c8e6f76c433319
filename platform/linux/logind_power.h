// The end of a count carried out through systemd-logind on the system bus.
#pragma once

#include "actions/services.h"
#include "core/error_display.h"
#include "platform/linux/lazy_bus.h"

#include <functional>
#include <vector>

namespace quelvex {

// Longest wait for logind's answer to which actions it allows.
inline constexpr int kAllowedAnswerTimeoutMs = 3000;

// Asks logind's CanPowerOff, CanReboot, CanSuspend and CanHibernate on `bus` and gives `done` the
// actions answered "yes" or "challenge", with kAlwaysAllowed, once every answer is in or has
// failed (within `timeoutMs`). An action whose answer did not come is not allowed.
void askAllowedActions(LazyBus& bus, int timeoutMs, std::function<void(ActionSet)> done);

// The same, waited for in a local event loop (at most `timeoutMs`); connects to the system bus
// only when `action` needs logind's leave. For a start with --action, before any window exists.
bool actionAllowedNow(EndAction action, int timeoutMs = kAllowedAnswerTimeoutMs);

// Power-off, restart, suspend and hibernate go to logind without asking anyone and past every
// inhibitor where logind allows it (PowerOffWithFlags and the like with SD_LOGIND_SKIP_INHIBITORS,
// systemd 257 on); an older logind that knows neither the method nor the flag gets the plain
// method with interactive = false. Lock and log-out are LockSession and TerminateSession of the
// program's own session: XDG_SESSION_ID, else the session logind says owns this process; with
// neither, the action fails like any refusal. polkit decides whether the caller may. Each request
// returns at once; a refusal, a missing bus or a logind that never answers is shown through
// `errors` (which must outlive this), for whoever left the machine to act must not find it
// undone unwarned. The system bus is connected on the first request, and each request asks anew.
class LogindPower final : public Power {
  public:
    explicit LogindPower(ErrorDisplay& errors);
    void carryOut(EndAction action) override;
    // The answer goes to the hook given with setAllowedHook.
    void findAllowed() override;

    void setAllowedHook(std::function<void(ActionSet)> hook) { allowedHook_ = std::move(hook); }
    // Runs just before a request after which the program goes on running (suspend, hibernate,
    // lock): what would hold the machine up lets go there.
    void setBeforeStayingHook(std::function<void()> hook) { beforeStaying_ = std::move(hook); }
    // Hands `done` what logind allows; requests made while one is under way share its answer.
    void askAllowed(std::function<void(ActionSet)> done);

  private:
    void ask(EndAction action, bool withFlags);
    void askForSession(EndAction action);
    void askWithSession(EndAction action, const QString& session);
    void failed(EndAction action, const BusAnswer& answer);

    ErrorDisplay& errors_;
    LazyBus bus_;
    std::function<void(ActionSet)> allowedHook_;
    std::function<void()> beforeStaying_;
    std::vector<std::function<void(ActionSet)>> allowedWaiters_;
};

} // namespace quelvex
