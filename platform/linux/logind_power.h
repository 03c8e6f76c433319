// Forced power-off through systemd-logind on the system bus.
#pragma once

#include "actions/services.h"
#include "core/error_display.h"
#include "platform/linux/lazy_bus.h"

namespace quelvex {

// Asks logind to power off without asking anyone and past every inhibitor where logind allows
// it (PowerOffWithFlags with SD_LOGIND_SKIP_INHIBITORS, systemd 257 on); an older logind that
// knows neither the method nor the flag gets PowerOff(interactive = false). polkit decides
// whether the caller may: the active local session may by default. The request returns at once;
// a refusal, a missing bus or a logind that never answers is shown through `errors` (which must
// outlive this), for whoever left the machine to go off must not find it still on unwarned. The
// system bus is connected on the first request, and each request asks anew.
class LogindPower final : public Power {
  public:
    explicit LogindPower(ErrorDisplay& errors);
    void carryOut(EndAction action) override;
    void findAllowed() override;

  private:
    void ask(bool withFlags);

    ErrorDisplay& errors_;
    LazyBus bus_;
};

} // namespace quelvex
