#include "ui/pointer_routing.h"

namespace quelvex {

std::optional<ControlRef> PointerRouting::press(MouseButton button, Point at, bool alone) {
    if (alone || !pressed_) {
        pressed_ = drawing_.controlAt(at);
        leftDown_ = false;
        held_ = 0;
    }
    if (!pressed_) return std::nullopt;
    const ControlRef target = *pressed_;
    if (button == MouseButton::Left) leftDown_ = true;
    held_ |= bit(button);
    lastPress_ = drawing_.local(target, at);
    events_.mouseDown(target, button, lastPress_.x, lastPress_.y);
    return target;
}

void PointerRouting::release(MouseButton button, Point at, bool last) {
    const auto target = pressed_;
    held_ &= ~bit(button);
    if (last) {
        pressed_.reset();
        held_ = 0;
    }
    if (!target) return;
    const bool clicked = button == MouseButton::Left && leftDown_ && drawing_.controlAt(at) == *target;
    if (button == MouseButton::Left) leftDown_ = false;
    const Point p = drawing_.local(*target, at);
    if (clicked) events_.click(*target);
    events_.mouseUp(*target, button, p.x, p.y);
}

void PointerRouting::releaseLostPress() {
    if (!pressed_) return;
    const ControlRef target = *pressed_;
    const unsigned held = held_;
    pressed_.reset();
    held_ = 0;
    leftDown_ = false;
    for (MouseButton b : {MouseButton::Left, MouseButton::Right, MouseButton::Middle})
        if (held & bit(b)) events_.mouseUp(target, b, lastPress_.x, lastPress_.y);
}

void PointerRouting::move(Point at, bool anyHeld) {
    if (pressed_ && !anyHeld) releaseLostPress();
    const auto under = drawing_.controlAt(at);
    setHover(under);
    const auto target = pressed_ ? pressed_ : under;
    if (!target) return;
    const Point p = drawing_.local(*target, at);
    events_.mouseMove(*target, p.x, p.y);
}

void PointerRouting::left() {
    if (!pressed_) setHover(std::nullopt);
}

void PointerRouting::setHover(std::optional<ControlRef> control) {
    if (hover_ == control) return;
    const auto previous = hover_;
    hover_ = control;
    if (previous) events_.mouseLeave(*previous);
    if (control) events_.mouseEnter(*control);
}

} // namespace quelvex
