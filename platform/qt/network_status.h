#pragma once

#include "help/services.h"

#include <QElapsedTimer>

namespace quelvex {

// Whether the machine is online, cheap enough to ask every second. Reachability comes from Qt's
// network information backend, loaded at the first question rather than at start-up. Where no
// backend loads, or it cannot tell, a non-loopback interface that is up with a routable address
// counts as a connection; that scan runs at most every few seconds.
class NetworkStatus : public Network {
  public:
    bool connected() override;

  private:
    bool interfacesLookOnline();

    bool backendTried_ = false;
    bool backend_ = false;
    bool scanned_ = false;
    bool interfacesOnline_ = false;
    QElapsedTimer sinceScan_;
};

} // namespace quelvex
