// Input a view delivers to the window model: mouse events on controls and timer ticks.
#pragma once

#include "ui/end_action.h"
#include "ui/layout.h"

namespace quelvex {

enum class MouseButton : std::uint8_t { Left, Right, Middle };

class FaceEvents {
  public:
    virtual ~FaceEvents() = default;
    // Positions are relative to the control's top-left corner.
    virtual void mouseDown(ControlRef control, MouseButton button, int x, int y) = 0;
    virtual void mouseUp(ControlRef control, MouseButton button, int x, int y) = 0;
    virtual void mouseMove(ControlRef control, int x, int y) = 0;
    // A left press and release over the same control; delivered just before that mouseUp.
    virtual void click(ControlRef control) = 0;
    virtual void mouseEnter(ControlRef control) = 0;
    virtual void mouseLeave(ControlRef control) = 0;
    virtual void timerTick(TimerId timer) = 0;
    // The window is about to appear for the first time on a screen of this size.
    virtual void firstShown(int screenWidth, int screenHeight) = 0;
    // The web view shows a new document, or ended a load (`ok` false: it failed).
    virtual void webTitleChanged() {}
    virtual void webLoadFinished(bool /*ok*/) {}
    // Every capture the platform was still saving has been saved or given up.
    virtual void capturesSettled() {}
    // The user took the cancel action of the warning shown before a power-off.
    virtual void warningCancelled() {}
    // The person chose what the end of a count does (from the menu, or the command line).
    virtual void endActionChosen(EndAction /*action*/) {}
    // The keyboard moved the end action's choice one entry up (-1) or down (+1), menu closed.
    virtual void endActionStep(int /*direction*/) {}
    // The platform's answer to Power::findAllowed.
    virtual void allowedActionsFound(ActionSet /*allowed*/) {}
};

// Presses a control the way a person does with the left button: down, click, up, at its top-left
// pixel. For input that is not a mouse (keys, the command line, a notification's action); give it
// the driver, not the model, so the changes reach the screen.
inline void pressControl(FaceEvents& events, ControlRef control) {
    events.mouseDown(control, MouseButton::Left, 0, 0);
    events.click(control);
    events.mouseUp(control, MouseButton::Left, 0, 0);
}

} // namespace quelvex
