// Screen readers see the custom-painted main window as a window with one child per control: named
// in the window's language, with its role, value, state and place, and a press as its action.
#pragma once

#include "ui/keyboard_focus.h"

#include <vector>

namespace quelvex {

class MainView;

// Lets Qt build the main window's accessible tree; once per program, harmless again.
void installMainViewAccessibility();
// Tells assistive technology what changed since `told`, which it then updates: the focus, names
// (a new language), values (the digits, the status word) and states. Nothing while none listens.
void tellMainViewAccessibility(MainView& view, std::vector<AccessibleItem>& told);

} // namespace quelvex
