// Forced power-off through systemd-logind on the system bus.
#pragma once

#include "actions/services.h"
#include "platform/linux/lazy_bus.h"

namespace quelvex {

// Asks logind to power off without asking anyone and past every inhibitor where logind allows
// it (PowerOffWithFlags with SD_LOGIND_SKIP_INHIBITORS, systemd 257 on); an older logind that
// knows neither the method nor the flag gets PowerOff(interactive = false). polkit decides
// whether the caller may: the active local session may by default. The request returns at once;
// a refusal, a missing bus or a logind that never answers ends in one line on standard error and
// nothing else. The system bus is connected on the first request, and each request asks anew.
class LogindPower final : public Power {
  public:
    LogindPower();
    void powerOff() override;

  private:
    void ask(bool withFlags);

    LazyBus bus_;
};

} // namespace quelvex
