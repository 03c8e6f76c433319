// How a view's mouse reaches the window model, whatever the toolkit: the first button down picks
// the control under it, which gets every event until the last button is up; a click is a left
// press and release over the same control; the pointer entering and leaving controls is told; and
// the releases of a press the window never saw end are delivered once it learns of them.
#pragma once

#include "ui/events.h"
#include "ui/face_drawing.h"

#include <optional>

namespace quelvex {

class PointerRouting {
  public:
    PointerRouting(const FaceDrawing& drawing, FaceEvents& events) : drawing_(drawing), events_(events) {}

    // `alone`: no other button is down. Returns the control the press went to.
    std::optional<ControlRef> press(MouseButton button, Point at, bool alone);
    // `last`: no button is down any more.
    void release(MouseButton button, Point at, bool last);
    // `anyHeld`: whether a button is down; a press whose buttons went up unseen ends first.
    void move(Point at, bool anyHeld);
    // The pointer left the window.
    void left();
    // The buttons went up where the window could not see them: it was hidden, a box took the
    // input, something else took the pointer. Without the releases an auto-repeat would run on
    // and a drag would follow bare pointer moves. No click: the press was not completed.
    void releaseLostPress();

    std::optional<ControlRef> hover() const { return hover_; }
    bool pressing() const { return pressed_.has_value(); }

  private:
    static unsigned bit(MouseButton b) { return 1u << static_cast<unsigned>(b); }
    void setHover(std::optional<ControlRef> control);

    const FaceDrawing& drawing_;
    FaceEvents& events_;
    std::optional<ControlRef> pressed_;
    unsigned held_ = 0; // the buttons down on the pressed control
    Point lastPress_{}; // in the pressed control, for the releases the window never saw
    bool leftDown_ = false;
    std::optional<ControlRef> hover_;
};

} // namespace quelvex
