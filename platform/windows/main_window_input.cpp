// The main window's input: the mouse, the keyboard, the cursor, and the menu the model asks for.
#include "platform/windows/main_window.h"

#include "platform/windows/windows_clock.h"

namespace quelvex {
namespace {

MouseButton buttonOf(UINT message) {
    switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return MouseButton::Right;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return MouseButton::Middle;
    default: return MouseButton::Left;
    }
}

UINT flagOf(MouseButton button) {
    switch (button) {
    case MouseButton::Left: return MK_LBUTTON;
    case MouseButton::Right: return MK_RBUTTON;
    case MouseButton::Middle: return MK_MBUTTON;
    }
    return 0;
}

constexpr UINT kButtonFlags = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

} // namespace

void MainWindow::mouseDown(UINT message, UINT buttonsHeld, LPARAM lParam) {
    const MouseButton button = buttonOf(message);
    // Captured, so the release and a drag's moves come here wherever the pointer goes.
    const auto target =
        pointer_.press(button, toLogical(lParam), (buttonsHeld & kButtonFlags) == flagOf(button));
    if (!target) return;
    SetCapture(hwnd_);
    if (button == MouseButton::Left) {
        keys_.pointed(*target);
        followFocus();
    }
}

void MainWindow::mouseUp(UINT message, UINT buttonsHeld, LPARAM lParam) {
    const bool last = (buttonsHeld & kButtonFlags) == 0;
    // The release first: letting the capture go reports it as lost, which would end the press
    // before it could become a click.
    pointer_.release(buttonOf(message), toLogical(lParam), last);
    if (last && GetCapture() == hwnd_) ReleaseCapture();
}

void MainWindow::mouseMove(WPARAM buttonsHeld, LPARAM lParam) {
    if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
        tracking_ = TrackMouseEvent(&track) != 0;
    }
    pointer_.move(toLogical(lParam), (buttonsHeld & kButtonFlags) != 0);
}

void MainWindow::setCursor() {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd_, &p);
    const auto under = drawing_.controlAt(toLogical(MAKELPARAM(p.x, p.y)));
    const bool hand = under && drawing_.entry(*under).handCursor;
    SetCursor(LoadCursorW(nullptr, hand ? IDC_HAND : IDC_ARROW));
}

bool MainWindow::keyDown(WPARAM key) {
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    switch (key) {
    case VK_TAB: keys_.key(GetKeyState(VK_SHIFT) < 0 ? Key::BackTab : Key::Tab); break;
    case VK_SPACE: keys_.key(Key::Space); break;
    case VK_RETURN: keys_.key(Key::Enter); break;
    case VK_UP: keys_.key(Key::Up); break;
    case VK_DOWN: keys_.key(Key::Down); break;
    case VK_ESCAPE: keys_.key(Key::Escape); break;
    default: return false;
    }
    followFocus();
    return true;
}

// The system's popup menu, under its control and clear of it; the keyboard works in it as in any
// menu, and Escape or a click elsewhere closes it without a pick.
void MainWindow::openMenu() {
    const MenuRequest& request = face_.menu();
    const Rect anchor = drawing_.controlRect(request.anchor);
    if (menuOpen_ || anchor.empty() || request.items.empty() || !IsWindowVisible(hwnd_)) return;
    const HMENU menu = CreatePopupMenu();
    if (!menu) return;
    // Command 0 is the answer for no pick: each entry's command is its id plus one.
    for (const MenuItem& item : request.items)
        AppendMenuW(menu, MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED),
                    static_cast<UINT_PTR>(item.id) + 1, widen(item.label).c_str());
    TPMPARAMS clear{sizeof(clear), onScreen(anchor)};
    // The menu closes on a click elsewhere only when its owner is in the foreground.
    SetForegroundWindow(hwnd_);
    menuOpen_ = true;
    const int picked = static_cast<int>(TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL |
                                                                   TPM_RETURNCMD | TPM_NONOTIFY,
                                                         clear.rcExclude.left, clear.rcExclude.bottom, hwnd_, &clear));
    menuOpen_ = false;
    DestroyMenu(menu);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    if (picked > 0) events_.endActionChosen(static_cast<EndAction>(picked - 1));
}

} // namespace quelvex
