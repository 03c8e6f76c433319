#pragma once

#include "help/services.h"

namespace quelvex {

// Whether Windows considers itself connected to the Internet, as its Internet functions say.
class InternetConnection : public Network {
  public:
    bool connected() override;
};

} // namespace quelvex
