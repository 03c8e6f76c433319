// The main window by keyboard and for screen readers, whatever the toolkit: which controls Tab
// reaches and in what order, the control that has the focus and the mark that shows it, what each
// key does, and how every control is named and described to assistive technology.
#pragma once

#include "ui/events.h"
#include "ui/face_drawing.h"

#include <optional>
#include <string>
#include <vector>

namespace quelvex {

enum class Key : std::uint8_t { Tab, BackTab, Space, Enter, Up, Down, Escape };

// What a control is to a screen reader.
enum class Role : std::uint8_t {
    Button,
    Toggle, // a lamp or an icon that switches an action on and off
    Radio,  // one of the two counter modes
    Link,
    Field,  // a number set with its up and down buttons
    Status, // the status word
    Text,   // a number shown, not set
    Choice, // one of a list, chosen from a menu (the end action)
};

struct AccessibleItem {
    ControlRef control{Kind::Image, 0}; // an entry field or a shown number goes by its first digit
    Role role = Role::Button;
    std::string name;
    std::string value;           // fields, status, numbers and the choice: what they show
    std::optional<bool> checked; // toggles and counter modes
    bool shown = false;          // visible and reachable now
    bool focused = false;
    Rect rect; // in window coordinates; empty while not shown
    friend bool operator==(const AccessibleItem&, const AccessibleItem&) = default;
};

// What changed for a screen reader between two descriptions of the same items.
struct AccessibleChange {
    std::size_t index;
    bool name = false, value = false, state = false;
};
std::vector<AccessibleChange> accessibleChanges(const std::vector<AccessibleItem>& before,
                                                const std::vector<AccessibleItem>& after);

class KeyboardFocus {
  public:
    // `events` should be the FaceDriver, so that what a key presses reaches the screen.
    KeyboardFocus(const Face& face, const FaceDrawing& drawing, FaceEvents& events)
        : face_(face), drawing_(drawing), events_(events) {}

    // The controls Tab reaches now, in reading order: shown, not covered, reacting to a press.
    std::vector<ControlRef> reachable() const;
    std::optional<ControlRef> focused() const { return focused_; }
    // Gives the focus to a control (a screen reader asks for it); shows the mark.
    void focus(ControlRef control);
    // The left button went down on a control: the focus follows it, as in any toolkit, and the
    // mark shows there only if the keyboard has been used.
    void pointed(ControlRef control);
    // Handles a key meant for the main window; returns whether it was this window's key.
    bool key(Key key);

    // Where the focus mark is to be painted: around the focused control, on its surface. None
    // until the keyboard is first used, or while the focused control is not shown.
    std::optional<DirtyArea> mark() const;

    // Every control a screen reader knows of, always the same ones in the same order (reading
    // order, then the status word and the count), named in the window's language.
    std::vector<AccessibleItem> accessibleItems() const;
    // Presses a control as its default action; false for one that is not reachable now.
    bool press(ControlRef control);
    // An entry field's number as its digits show it, or -1; and setting it, by pressing its up or
    // down button until it shows `wanted` or goes no further. False for what is not a field.
    int number(ControlRef field) const;
    bool setNumber(ControlRef field, int wanted);
    // The largest number a field takes.
    static int largest(ControlRef field);

  private:
    bool isReachable(ControlRef control) const;
    Rect stopRect(ControlRef control) const;
    void step(int direction);

    const Face& face_;
    const FaceDrawing& drawing_;
    FaceEvents& events_;
    std::optional<ControlRef> focused_;
    bool markShown_ = false;
};

// The focus mark on the device: two rings of whole device pixels (one per whole logical pixel)
// just inside `device`, the outer one dark and the inner one light, so that it shows on the dark
// face and on the light clocks alike. Each edge comes with its colour, 0xRRGGBB.
struct MarkEdge {
    Rect rect;
    std::uint32_t color;
};
std::array<MarkEdge, 8> focusMarkEdges(const Rect& device, double ratio);

} // namespace quelvex
