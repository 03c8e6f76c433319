// Local time and the user's own formats, from the Windows locale settings.
#pragma once

#include "core/clock.h"

#include <string>

namespace quelvex {

class WindowsClock : public Clock {
  public:
    WindowsClock();

    LocalDateTime now() override;
    // The user's short date, a space, the user's time format (Windows' long time).
    std::string format(const LocalDateTime& when) override;
    LocalDateTime parse(const std::string& text) override;
    bool userLanguageIsSpanish() override;

  private:
    std::wstring datePicture_, timePicture_, am_, pm_;
    // The last text written and its value: reading it back needs no parse.
    std::string lastText_;
    LocalDateTime lastValue_;
};

// UTF-8 to UTF-16 and back.
std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);

} // namespace quelvex
