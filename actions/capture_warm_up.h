// Readies the screen capture while one is armed, so that the capture at the moment costs what
// later ones do.
#pragma once

#include "ui/face_driver.h"

namespace quelvex {

class ScreenGrab;
class TForm1;

// Follows the window after every event and asks the capture service to prepare each time a
// capture becomes armed: the capture switch on while a count runs or a time of day is armed.
// Attach it to the FaceDriver; it costs a few comparisons an event and nothing while idle.
class CaptureWarmUp final : public ChangeSink {
  public:
    CaptureWarmUp(const TForm1& form, ScreenGrab& grab) : form_(form), grab_(grab) {}
    void applyChanges(const FaceChanges& changes) override;

  private:
    const TForm1& form_;
    ScreenGrab& grab_;
    bool armed_ = false;
};

} // namespace quelvex
