#include "platform/windows/main_window.h"

#include "platform/windows/window_owner.h"
#include "platform/windows/windows_clock.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace quelvex {
namespace {

constexpr wchar_t kClassName[] = L"QuelvexMainWindow";
// The window's own colour, which shows only below the open options panel.
constexpr COLORREF kWindowColor = RGB(0xEF, 0xEF, 0xEF);

COLORREF colorOf(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void fill(HDC dc, const Rect& r, COLORREF color) {
    if (r.empty()) return;
    SetDCBrushColor(dc, color);
    const RECT rc{r.left, r.top, r.right(), r.bottom()};
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Whether asking for a face gives that face, not a substitute the system picked for it.
bool installed(const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfHeight = -11;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t got[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, got);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    return lstrcmpiW(got, face) == 0;
}

// Arial is on every Windows, and MS Sans Serif's successor is Microsoft Sans Serif; Arial Unicode
// MS is not installed by default, and its Latin letters are Arial's. Where they are missing (Wine
// has none of them) the fonts made to their metrics stand in, as on Linux.
const wchar_t* faceNameOf(FontFamily family) {
    static const wchar_t* const arial = [] {
        for (const wchar_t* face : {L"Arial", L"Liberation Sans"})
            if (installed(face)) return face;
        return L"Arial";
    }();
    static const wchar_t* const sansSerif = [] {
        for (const wchar_t* face : {L"Microsoft Sans Serif", L"Liberation Sans Narrow"})
            if (installed(face)) return face;
        return L"MS Sans Serif";
    }();
    return family == FontFamily::MsSansSerif ? sansSerif : arial;
}

// Whether a label's font belongs to a label of fixed size (the layout entry holds the font).
bool fixedSize(const FontSpec& font) {
    for (const LayoutEntry& e : layoutTable())
        if (&e.font == &font) return e.width > 0 || e.height > 0;
    return false;
}

} // namespace

MainWindow::MainWindow(HINSTANCE instance, const Face& face, FaceEvents& events, const SkinBitmaps& pictures,
                       HICON icon, HICON smallIcon)
    : face_(face), events_(events), pictures_(pictures),
      drawing_(face, [this](const FontSpec& font, const std::string& text) {
          // Measured with the font drawn at the current scale, so a fitting label never clips.
          if (!measureDc_) return Size{0, 0};
          HGDIOBJ old = SelectObject(measureDc_, fontOf(font));
          // Laid out by the same call that draws it.
          const std::wstring wide = widen(text);
          RECT bounds{0, 0, 0, 0};
          DrawTextW(measureDc_, wide.c_str(), static_cast<int>(wide.size()), &bounds,
                    DT_CALCRECT | DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
          SelectObject(measureDc_, old);
          return Size{static_cast<int>(std::ceil(bounds.right / scale_)),
                      static_cast<int>(std::ceil(bounds.bottom / scale_))};
      }) {
    measureDc_ = CreateCompatibleDC(nullptr);
    // Measured as drawn: on a colour surface (a memory DC starts monochrome, and text there is
    // laid out without antialiasing, a few pixels narrower).
    measureBitmap_ = SkinBitmap(1, 1);
    SelectObject(measureDc_, measureBitmap_.bitmap);
    sourceDc_ = CreateCompatibleDC(nullptr);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    // A popup has no frame of its own; the minimise box and the system menu let the taskbar
    // button minimise and restore it.
    hwnd_ =
        CreateWindowExW(WS_EX_APPWINDOW, kClassName, L"Quelvex 5.0", WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU,
                        0, 0, kWindowWidth, kPanelClosedHeight, nullptr, nullptr, instance, this);
    setScale(GetDpiForWindow(hwnd_));
    applyWindowGeometry();
}

MainWindow::~MainWindow() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    for (const Font& f : fonts_)
        DeleteObject(f.font);
    if (bufferDc_) DeleteDC(bufferDc_);
    DeleteDC(sourceDc_);
    DeleteDC(measureDc_);
}

void MainWindow::addMessageHook(std::function<bool(UINT, WPARAM, LPARAM)> hook) {
    hooks_.push_back(std::move(hook));
}

void MainWindow::setScale(UINT dpi) {
    scale_ = dpi > 0 ? dpi / 96.0 : 1.0;
    for (const Font& f : fonts_)
        DeleteObject(f.font);
    fonts_.clear();
}

Rect MainWindow::toDevice(const Rect& r) const {
    return onDeviceGrid(r.left * scale_, r.top * scale_, r.right() * scale_, r.bottom() * scale_);
}

Point MainWindow::toLogical(LPARAM lParam) const {
    return {static_cast<int>(std::floor(GET_X_LPARAM(lParam) / scale_)),
            static_cast<int>(std::floor(GET_Y_LPARAM(lParam) / scale_))};
}

HFONT MainWindow::fontOf(const FontSpec& wanted) {
    // A handful of label fonts, each made once per scale.
    for (const Font& f : fonts_)
        if (f.scale == scale_ && f.wanted == wanted) return f.font;
    LOGFONTW lf{};
    // A negative height is the em size, which is what a pixel size means elsewhere.
    lf.lfHeight = -static_cast<LONG>(std::lround((wanted.pixelSize > 0 ? wanted.pixelSize : 11) * scale_));
    lf.lfWeight = wanted.family == FontFamily::ArialBlack ? FW_BLACK : wanted.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = wanted.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(lf.lfFaceName, faceNameOf(wanted.family), LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    fonts_.push_back({wanted, scale_, font});
    return font;
}

void MainWindow::show() {
    if (shown_) return;
    shown_ = true;
    setScale(GetDpiForWindow(hwnd_));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    offset_ = {work.left, work.top};
    // The model places the window (it centres itself) before anything appears.
    events_.firstShown(static_cast<int>((work.right - work.left) / scale_),
                       static_cast<int>((work.bottom - work.top) / scale_));
    applyWindowGeometry();
    if (face_.window().visible) {
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        UpdateWindow(hwnd_);
    }
}

void MainWindow::applyWindowGeometry() {
    const Size size = drawing_.windowSize();
    const WindowState& w = face_.window();
    SetWindowPos(hwnd_, nullptr, offset_.x + static_cast<int>(std::lround(w.left * scale_)),
                 offset_.y + static_cast<int>(std::lround(w.top * scale_)),
                 static_cast<int>(std::lround(size.width * scale_)),
                 static_cast<int>(std::lround(size.height * scale_)), SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::invalidate(const Rect& logical) {
    if (logical.empty()) return;
    // A little more on each side: neighbours rounded to the grid share their edges, and a caption
    // may be drawn a few pixels past its measured end.
    const Rect d = toDevice(logical);
    const int more = static_cast<int>(std::ceil(4 * scale_));
    const RECT rc{d.left - 1, d.top - 1, d.right() + more, d.bottom() + 1};
    InvalidateRect(hwnd_, &rc, FALSE);
}

void MainWindow::applyChanges(const FaceChanges& changes) {
    if (changes.panels.any()) InvalidateRect(hwnd_, nullptr, FALSE);
    for (const DirtyArea& area : drawing_.changedAreas(changes))
        invalidate(area.rect.translated(drawing_.originOf(area.surface)));
    if (changes.window && shown_) {
        applyWindowGeometry();
        const bool visible = IsWindowVisible(hwnd_) != 0;
        if (face_.window().visible != visible) ShowWindow(hwnd_, visible ? SW_HIDE : SW_SHOWNA);
    }
    if (changes.minimiseRequests && shown_) ShowWindow(hwnd_, SW_MINIMIZE);
    // Opened from the message loop, not inside the model's round: the menu runs a loop of its own,
    // in which the seconds must go on.
    if (changes.menuRequests && shown_) PostMessageW(hwnd_, kMenuMessage, 0, 0);
    followFocus();
    // Ends the program once the handler that asked for it has returned.
    if (changes.closeRequested) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

RECT MainWindow::onScreen(const Rect& logical) const {
    const Rect d = toDevice(logical);
    POINT corner{d.left, d.top};
    ClientToScreen(hwnd_, &corner);
    return {corner.x, corner.y, corner.x + d.width, corner.y + d.height};
}

void MainWindow::followFocus() {
    if (!hwnd_) return;
    for (const DirtyArea& area : drawing_.setFocusMark(keys_.mark()))
        invalidate(area.rect.translated(drawing_.originOf(area.surface)));
    accessible_.tell(hwnd_);
}

void MainWindow::paint(HDC target, const RECT& dirty) {
    RECT client;
    GetClientRect(hwnd_, &client);
    if (!bufferDc_) bufferDc_ = CreateCompatibleDC(target);
    if (buffer_.width != client.right || buffer_.height != client.bottom) {
        // Painted off the screen and copied in one go: nothing flickers while the emblem turns. A
        // DIB, like the one texts are measured on, so they are laid out alike.
        SkinBitmap fresh(std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1));
        SelectObject(bufferDc_, fresh.bitmap);
        buffer_ = std::move(fresh);
    }
    HDC dc = bufferDc_;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, dirty.left, dirty.top, dirty.right, dirty.bottom);
    SetBkMode(dc, TRANSPARENT);
    SetStretchBltMode(dc, COLORONCOLOR);
    fill(dc, {dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top}, kWindowColor);
    const int l = static_cast<int>(std::floor(dirty.left / scale_)),
              t = static_cast<int>(std::floor(dirty.top / scale_));
    const Rect logical{l, t, static_cast<int>(std::ceil(dirty.right / scale_)) - l,
                       static_cast<int>(std::ceil(dirty.bottom / scale_)) - t};
    paintSurface(dc, Parent::Window, logical);
    // Panels are surfaces of their own over every picture of the window, each filled with its colour.
    for (Panel panel : drawing_.panelOrder()) {
        const PanelState& p = face_.panel(panel);
        const Rect area{p.left, p.top, p.width, p.height};
        if (!p.visible || !area.intersects(logical)) continue;
        const Rect device = toDevice(area);
        const int inner = SaveDC(dc);
        IntersectClipRect(dc, device.left, device.top, device.right(), device.bottom());
        fill(dc, device, colorOf(drawing_.entry(panel).color));
        if (const auto surface = FaceDrawing::surfaceOf(panel)) paintSurface(dc, *surface, logical);
        RestoreDC(dc, inner);
    }
    RestoreDC(dc, saved);
    BitBlt(target, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, dc, dirty.left,
           dirty.top, SRCCOPY);
}

void MainWindow::paintSurface(HDC dc, Parent surface, const Rect& dirty) {
    const Point origin = drawing_.originOf(surface);
    const Rect local = dirty.translated({-origin.x, -origin.y});
    drawing_.paint(surface, local, [&](const DrawItem& item) { paintItem(dc, item, origin); });
}

void MainWindow::paintItem(HDC dc, const DrawItem& item, Point origin) {
    const Rect r = item.rect.translated(origin);
    switch (item.what) {
    case DrawItem::What::Picture: {
        const SkinBitmap& normal = pictures_.plain(item.picture, false);
        if (!normal) return;
        const Rect whole{r.left, r.top, normal.width, normal.height};
        Rect device = toDevice(whole);
        const SkinBitmap* bitmap = nullptr;
        // The 1x pictures at 100 %, the 2x ones at 200 % (doubled again at 400 %) stay crisp as they
        // are; any other factor takes each picture resampled to the device pixels it covers.
        if (picturesDrawnAsTheyAre(scale_)) {
            const bool doubled = scale_ >= 2.0;
            bitmap = item.seeThrough ? &pictures_.seeThrough(item.picture, doubled)
                                     : &pictures_.plain(item.picture, doubled);
        } else {
            bitmap = &pictures_.fitted(item.picture, item.seeThrough, device.width, device.height);
        }
        if (!*bitmap) return;
        const int saved = r.contains(whole) ? 0 : SaveDC(dc);
        if (saved) {
            // A picture larger than its control shows only the control's part.
            const Rect clip = toDevice(r.intersected(whole));
            IntersectClipRect(dc, clip.left, clip.top, clip.right(), clip.bottom());
        }
        const HGDIOBJ previous = SelectObject(sourceDc_, bitmap->bitmap);
        if (item.seeThrough) {
            const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            AlphaBlend(dc, device.left, device.top, device.width, device.height, sourceDc_, 0, 0,
                       bitmap->width, bitmap->height, blend);
        } else if (bitmap->width == device.width && bitmap->height == device.height) {
            BitBlt(dc, device.left, device.top, device.width, device.height, sourceDc_, 0, 0, SRCCOPY);
        } else {
            StretchBlt(dc, device.left, device.top, device.width, device.height, sourceDc_, 0, 0,
                       bitmap->width, bitmap->height, SRCCOPY);
        }
        // Not left selected: the cache of resampled pictures may free this one before the next paint.
        SelectObject(sourceDc_, previous);
        if (saved) RestoreDC(dc, saved);
        return;
    }
    case DrawItem::What::Text: {
        const Rect device = toDevice(r);
        RECT rc{device.left, device.top, device.right(), device.bottom()};
        HGDIOBJ old = SelectObject(dc, fontOf(*item.font));
        SetTextColor(dc, colorOf(item.color));
        const std::wstring text = widen(*item.text);
        // A label sized to its caption is not clipped: Wine draws a few pixels wider than it measures.
        const UINT clip = fixedSize(*item.font) ? 0 : DT_NOCLIP;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc,
                  DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | clip);
        SelectObject(dc, old);
        return;
    }
    case DrawItem::What::Gauge:
        fill(dc, toDevice({r.left, r.top, item.filledWidth, r.height}), colorOf(kGaugeFilledColor));
        fill(dc, toDevice({r.left + item.filledWidth, r.top, r.width - item.filledWidth, r.height}),
             colorOf(kGaugeEmptyColor));
        return;
    case DrawItem::What::FocusMark:
        for (const MarkEdge& edge : focusMarkEdges(toDevice(r), scale_))
            fill(dc, edge.rect, colorOf(edge.color));
        return;
    }
}

LRESULT CALLBACK MainWindow::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowOwner<MainWindow>(hwnd, message, lParam);
    if (message == WM_NCCREATE) self->hwnd_ = hwnd;
    return self ? self->handle(message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const auto& hook : hooks_)
        if (hook(message, wParam, lParam)) return 0;
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        if (!IsRectEmpty(&ps.rcPaint)) paint(dc, ps.rcPaint);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: mouseDown(message, static_cast<UINT>(wParam), lParam); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: mouseUp(message, static_cast<UINT>(wParam), lParam); return 0;
    // A double click is a second press, as the model counts presses.
    case WM_MOUSEMOVE: mouseMove(wParam, lParam); return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        pointer_.left();
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd_) pointer_.releaseLostPress();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            setCursor();
            return TRUE;
        }
        break;
    case kMenuMessage: openMenu(); return 0;
    case WM_DPICHANGED: {
        // Same place in the model, drawn at the new scale where the system suggests.
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        setScale(HIWORD(wParam));
        const WindowState& w = face_.window();
        offset_ = {suggested->left - static_cast<LONG>(std::lround(w.left * scale_)),
                   suggested->top - static_cast<LONG>(std::lround(w.top * scale_))};
        applyWindowGeometry();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    }
    case WM_KEYDOWN:
        if (keyDown(wParam)) return 0;
        break;
    case WM_GETOBJECT:
        if (const LRESULT object = accessible_.getObject(hwnd_, wParam, lParam)) return object;
        break;
    case WM_CLOSE: DestroyWindow(hwnd_); return 0;
    case WM_DESTROY:
        accessible_.disconnect();
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        const HWND gone = std::exchange(hwnd_, nullptr);
        SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
        return DefWindowProcW(gone, message, wParam, lParam);
    }
    default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

} // namespace quelvex
