// The main window on Windows: a borderless popup that paints the face as FaceDrawing lays it out
// and reports the mouse to the model. It holds no behaviour; everything it shows comes from the face.
#pragma once

#include "platform/windows/skin_bitmaps.h"
#include "platform/windows/window_accessible.h"
#include "ui/face_drawing.h"
#include "ui/face_driver.h"
#include "ui/keyboard_focus.h"
#include "ui/pointer_routing.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

namespace quelvex {

class MainWindow final : public ChangeSink {
  public:
    // `events` should be the FaceDriver, so that what the model changes comes back here. The
    // window exists from here on, hidden until show().
    MainWindow(HINSTANCE instance, const Face& face, FaceEvents& events, const SkinBitmaps& pictures,
               HICON icon, HICON smallIcon);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND handle() const { return hwnd_; }
    // Messages of this window that other parts of the program handle (the timers, the error
    // box); a hook returns true for a message it took.
    void addMessageHook(std::function<bool(UINT, WPARAM, LPARAM)> hook);

    // The first show tells the model the size of the primary work area, then opens where it says.
    void show();
    void applyChanges(const FaceChanges& changes) override;

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    Rect toDevice(const Rect& logical) const;
    Point toLogical(LPARAM lParam) const;
    HFONT fontOf(const FontSpec& wanted);
    void paint(HDC target, const RECT& dirty);
    void paintSurface(HDC dc, Parent surface, const Rect& dirty);
    void paintItem(HDC dc, const DrawItem& item, Point origin);
    void applyWindowGeometry();
    void setScale(UINT dpi);
    void invalidate(const Rect& logical);

    // Input (main_window_input.cpp); `message` is the button's WM_xBUTTONDOWN/UP.
    void mouseDown(UINT message, UINT buttonsHeld, LPARAM at);
    void mouseUp(UINT message, UINT buttonsHeld, LPARAM at);
    void mouseMove(WPARAM buttonsHeld, LPARAM at);
    void setCursor();
    bool keyDown(WPARAM key);
    // Opens the menu the face last asked for and sends back the pick.
    void openMenu();
    static constexpr UINT kMenuMessage = WM_APP + 20;
    // After the focus or the face changed: moves the mark, and tells screen readers.
    void followFocus();
    RECT onScreen(const Rect& logical) const;

    const Face& face_;
    FaceEvents& events_;
    const SkinBitmaps& pictures_;
    // Before the drawing, which measures texts from its start.
    double scale_ = 1.0;
    struct Font {
        FontSpec wanted;
        double scale;
        HFONT font;
    };
    std::vector<Font> fonts_;
    HDC measureDc_ = nullptr;
    SkinBitmap measureBitmap_;
    FaceDrawing drawing_;
    HWND hwnd_ = nullptr;
    std::vector<std::function<bool(UINT, WPARAM, LPARAM)>> hooks_;

    POINT offset_{0, 0}; // where the model's screen origin lies, in device pixels
    bool shown_ = false;

    HDC sourceDc_ = nullptr;
    HDC bufferDc_ = nullptr;
    SkinBitmap buffer_;

    PointerRouting pointer_{drawing_, events_};
    bool tracking_ = false;
    bool menuOpen_ = false;
    KeyboardFocus keys_{face_, drawing_, events_};
    AccessibleClient accessible_{keys_, [this](const Rect& r) { return onScreen(r); },
                                 [this] { followFocus(); }};
};

} // namespace quelvex
