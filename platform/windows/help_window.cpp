#include "platform/windows/help_window.h"

#include "platform/windows/window_owner.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <utility>

namespace quelvex {
namespace {

constexpr wchar_t kClassName[] = L"QuelvexHelp";
constexpr wchar_t kLinkClassName[] = L"QuelvexHelpLink";
constexpr int kRadioEnglish = 101, kRadioSpanish = 102;

constexpr COLORREF colorRef(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
constexpr COLORREF kGroupColour = colorRef(TForm2::kGroupColour);
constexpr COLORREF kMemoColour = colorRef(TForm2::kMemoColour);

std::wstring wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

// An edit control breaks lines only at CR LF.
std::wstring editText(const std::string& text) {
    std::wstring out;
    for (wchar_t c : wide(text)) {
        if (c == L'\n') out += L'\r';
        out += c;
    }
    return out;
}

// The group box's caption in our colour. With common controls 6 the box draws its caption in the
// system's text colour whatever the window asks for, which is black on this black window: it is
// drawn again over the box's own painting.
LRESULT CALLBACK captionInColour(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR font) {
    const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
    if (message != WM_PAINT) return result;
    wchar_t caption[64] = {};
    const int length = GetWindowTextW(box, caption, 64);
    if (length <= 0) return result;
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(font));
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption, length, &extent);
    SetTextColor(dc, RGB((TForm2::kGroupColour >> 16) & 0xFF, (TForm2::kGroupColour >> 8) & 0xFF,
                         TForm2::kGroupColour & 0xFF));
    SetBkColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, OPAQUE);
    const int indent = extent.cy / 2;
    RECT area{indent, 0, indent + extent.cx + 4, extent.cy};
    ExtTextOutW(dc, indent + 2, 0, ETO_OPAQUE, &area, caption, static_cast<UINT>(length), nullptr);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    return result;
}

int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

} // namespace

// The child controls, their fonts and brushes, and the scale everything was laid out at.
struct Win32HelpWindow::Controls {
    int dpi = 96;
    HWND groupBox1 = nullptr, radioButton1 = nullptr, radioButton2 = nullptr, memo1 = nullptr,
         memo2 = nullptr, label4 = nullptr;
    HFONT groupFont = nullptr, radioFont = nullptr, memoFont = nullptr, linkFont = nullptr;
    HBRUSH black = nullptr, memoBrush = nullptr;
    RECT link{}; // where the site link's caption lies, in client pixels
    bool linkHover = false;
    bool linkPressed = false;

    int px(int v) const { return MulDiv(v, dpi, 96); }
    RECT scaled(const Rect& r) const { return {px(r.left), px(r.top), px(r.right()), px(r.bottom())}; }
    HFONT font(int pixels, bool bold, bool underline = false) const {
        return CreateFontW(-px(pixels), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                           DEFAULT_PITCH, L"Microsoft Sans Serif");
    }
    ~Controls() {
        for (HFONT f : {groupFont, radioFont, memoFont, linkFont})
            if (f) DeleteObject(f);
        for (HBRUSH b : {black, memoBrush})
            if (b) DeleteObject(b);
    }
};

Win32HelpWindow::Win32HelpWindow(Shell& shell, HINSTANCE instance) : form_(shell), instance_(instance) {}

Win32HelpWindow::~Win32HelpWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    delete controls_;
}

void Win32HelpWindow::setArtwork(HBITMAP logo, HICON icon) {
    logo_ = logo;
    icon_ = icon;
    if (hwnd_ && icon_) {
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
}

void Win32HelpWindow::showHelp() {
    if (!hwnd_) create();
    form_.Show();
    sync();
}

void Win32HelpWindow::followLanguage(bool english) {
    form_.followLanguage(english);
    sync();
}

void Win32HelpWindow::create() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(instance_, kClassName, &wc)) {
        wc.lpfnWndProc = &Win32HelpWindow::proc;
        wc.hInstance = instance_;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = kClassName;
        RegisterClassExW(&wc);
        WNDCLASSEXW link{};
        link.cbSize = sizeof link;
        link.lpfnWndProc = &Win32HelpWindow::linkProc;
        link.hInstance = instance_;
        link.lpszClassName = kLinkClassName;
        RegisterClassExW(&link);
    }
    controls_ = new Controls;
    Controls& c = *controls_;
    c.black = CreateSolidBrush(RGB(0, 0, 0));
    c.memoBrush = CreateSolidBrush(kMemoColour);

    // A dialog frame: a title bar with its close box, no resizing, no minimise or maximise box.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const int dpi = screenDpi();
    RECT frame{0, 0, MulDiv(TForm2::kWidth, dpi, 96), MulDiv(TForm2::kHeight, dpi, 96)};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Where the window first opens, kept on the screen.
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int x =
        std::clamp(MulDiv(TForm2::kLeft, dpi, 96) + static_cast<int>(frame.left), static_cast<int>(area.left),
                   std::max(static_cast<int>(area.left), static_cast<int>(area.right) - width));
    const int y =
        std::clamp(MulDiv(TForm2::kTop, dpi, 96) + static_cast<int>(frame.top), static_cast<int>(area.top),
                   std::max(static_cast<int>(area.top), static_cast<int>(area.bottom) - height));
    hwnd_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, wide(form_.caption()).c_str(), style, x, y,
                            width, height, nullptr, nullptr, instance_, this);

    // Placed and given their fonts by scaleTo.
    auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD childStyle, int id) {
        HWND w = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | childStyle, 0, 0, 0, 0, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        // Unthemed, so that the colours asked for below are the ones drawn.
        SetWindowTheme(w, L"", L"");
        return w;
    };
    c.groupBox1 = child(L"BUTTON", L"", BS_GROUPBOX, 0);
    // Siblings of the group box here, placed in it.
    c.radioButton2 = child(L"BUTTON", L"Espa\u00f1ol", BS_RADIOBUTTON | WS_TABSTOP | WS_GROUP, kRadioSpanish);
    c.radioButton1 = child(L"BUTTON", L"English", BS_RADIOBUTTON | WS_TABSTOP, kRadioEnglish);
    // The site link takes the keyboard focus between the language and the manual; the pointer
    // passes through it to this window, which follows the hover and the click.
    c.label4 = CreateWindowExW(0, kLinkClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 0, 0, 0,
                               0, hwnd_, nullptr, instance_, this);
    const DWORD memoStyle =
        WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP | WS_GROUP;
    c.memo1 = child(L"EDIT", editText(TForm2::memo1Text()).c_str(), memoStyle | ES_READONLY, 0);
    c.memo2 = child(L"EDIT", editText(TForm2::memo2Text()).c_str(), memoStyle, 0);
    scaleTo(dpi);
    setArtwork(logo_, icon_);
}

void Win32HelpWindow::scaleTo(int dpi) {
    Controls& c = *controls_;
    c.dpi = dpi;
    for (HFONT f : {c.groupFont, c.radioFont, c.memoFont, c.linkFont})
        if (f) DeleteObject(f);
    c.groupFont = c.font(TForm2::kGroupFontPixels, true);
    c.radioFont = c.font(TForm2::kRadioFontPixels, true);
    c.memoFont = c.font(TForm2::kMemoFontPixels, true);
    c.linkFont = c.font(TForm2::kLinkFontPixels, false);

    // The link is as wide as its caption, and at least as the layout says.
    c.link = c.scaled(TForm2::kLabel4);
    if (HDC dc = GetDC(hwnd_)) {
        const std::wstring caption = wide(form_.label4Caption());
        HGDIOBJ old = SelectObject(dc, c.linkFont);
        SIZE extent{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        SelectObject(dc, old);
        ReleaseDC(hwnd_, dc);
        c.link.right = std::max(c.link.right, c.link.left + extent.cx);
    }
    const auto place = [&](HWND w, const RECT& r, HFONT font) {
        MoveWindow(w, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
        if (font) SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    };
    const Rect group = TForm2::kGroupBox1;
    const Point inGroup{group.left, group.top};
    place(c.groupBox1, c.scaled(group), c.groupFont);
    SetWindowSubclass(c.groupBox1, &captionInColour, 1, reinterpret_cast<DWORD_PTR>(c.groupFont));
    place(c.radioButton2, c.scaled(TForm2::kRadioButton2.translated(inGroup)), c.radioFont);
    place(c.radioButton1, c.scaled(TForm2::kRadioButton1.translated(inGroup)), c.radioFont);
    place(c.label4, c.link, nullptr);
    for (HWND memo : {c.memo1, c.memo2}) {
        place(memo, c.scaled(TForm2::kMemo), c.memoFont);
        SendMessageW(memo, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(c.px(6), c.px(6)));
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CALLBACK Win32HelpWindow::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowOwner<Win32HelpWindow>(hwnd, message, lParam);
    if (!self || !self->controls_ || !self->hwnd_) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT CALLBACK Win32HelpWindow::linkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowOwner<Win32HelpWindow>(link, message, lParam);
    switch (message) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_GETDLGCODE: {
        // Enter presses the link rather than a default button.
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        return msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN ? DLGC_WANTMESSAGE : 0;
    }
    case WM_KEYDOWN:
        if ((wParam == VK_SPACE || wParam == VK_RETURN) && self) self->form_.Label4Click();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(link, nullptr, TRUE); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(link, &ps);
        RECT area;
        GetClientRect(link, &area);
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (self && self->controls_) {
            HGDIOBJ oldFont = SelectObject(dc, self->controls_->linkFont);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, colorRef(self->form_.label4Colour()));
            RECT text = area;
            DrawTextW(dc, wide(self->form_.label4Caption()).c_str(), -1, &text,
                      DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(dc, oldFont);
        }
        if (GetFocus() == link) DrawFocusRect(dc, &area);
        EndPaint(link, &ps);
        return 0;
    }
    default: break;
    }
    return DefWindowProcW(link, message, wParam, lParam);
}

LRESULT Win32HelpWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    Controls& c = *controls_;
    const RECT link = c.link;
    switch (message) {
    case WM_DPICHANGED: {
        // Moved to a screen of another scale: laid out anew, where the system suggests.
        scaleTo(HIWORD(wParam));
        const auto* r = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_CLOSE: // the close box only hides the window
        form_.FormClose();
        sync();
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED &&
            (LOWORD(wParam) == kRadioEnglish || LOWORD(wParam) == kRadioSpanish)) {
            form_.select(LOWORD(wParam) == kRadioEnglish ? RadioButton::RadioButton1
                                                         : RadioButton::RadioButton2);
            sync();
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const HWND control = reinterpret_cast<HWND>(lParam);
        if (control == c.memo1 || control == c.memo2) {
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, kMemoColour);
            return reinterpret_cast<LRESULT>(c.memoBrush);
        }
        SetTextColor(dc, kGroupColour);
        SetBkColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(c.black);
    }
    case WM_MOUSEMOVE: {
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const bool over = PtInRect(&link, p);
        if (over != c.linkHover) {
            c.linkHover = over;
            if (over) {
                form_.Label4MouseEnter();
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
                TrackMouseEvent(&track);
            } else {
                form_.Label4MouseLeave();
            }
            InvalidateRect(hwnd_, &link, TRUE);
            InvalidateRect(c.label4, nullptr, TRUE);
        }
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(over ? 32649 : 32512))); // IDC_HAND, IDC_ARROW
        return 0;
    }
    case WM_MOUSELEAVE:
        if (c.linkHover) {
            c.linkHover = false;
            form_.Label4MouseLeave();
            InvalidateRect(hwnd_, &link, TRUE);
            InvalidateRect(c.label4, nullptr, TRUE);
        }
        return 0;
    case WM_LBUTTONDOWN: {
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        c.linkPressed = PtInRect(&link, p);
        return 0;
    }
    case WM_LBUTTONUP: {
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (std::exchange(c.linkPressed, false) && PtInRect(&link, p)) form_.Label4Click();
        return 0;
    }
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hwnd_)
            return TRUE; // set on moves
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        if (logo_) {
            HDC source = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(source, logo_);
            BITMAP bm{};
            GetObjectW(logo_, sizeof bm, &bm);
            SetStretchBltMode(dc, HALFTONE);
            const RECT logo = c.scaled(TForm2::kImage1);
            StretchBlt(dc, logo.left, logo.top, logo.right - logo.left, logo.bottom - logo.top, source, 0, 0,
                       bm.bmWidth, bm.bmHeight, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
        }
        HGDIOBJ oldFont = SelectObject(dc, c.linkFont);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colorRef(form_.label4Colour()));
        RECT text = link;
        DrawTextW(dc, wide(form_.label4Caption()).c_str(), -1, &text,
                  DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, oldFont);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32HelpWindow::sync() {
    if (!hwnd_) return;
    Controls& c = *controls_;
    SetWindowTextW(hwnd_, wide(form_.caption()).c_str());
    SetWindowTextW(c.groupBox1, wide(form_.groupBox1Caption()).c_str());
    SendMessageW(c.radioButton1, BM_SETCHECK,
                 form_.checked(RadioButton::RadioButton1) ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(c.radioButton2, BM_SETCHECK,
                 form_.checked(RadioButton::RadioButton2) ? BST_CHECKED : BST_UNCHECKED, 0);
    // The English manual lies over the Spanish one; only the one on top is shown.
    ShowWindow(c.memo2, form_.memo2Visible() ? SW_SHOW : SW_HIDE);
    ShowWindow(c.memo1, form_.memo2Visible() ? SW_HIDE : SW_SHOW);
    const RECT link = c.link;
    InvalidateRect(hwnd_, &link, TRUE);
    InvalidateRect(c.label4, nullptr, TRUE);

    if (!form_.visible()) {
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    ShowWindow(hwnd_, SW_SHOW);
    if (raisedFor_ != form_.raiseRequests()) {
        raisedFor_ = form_.raiseRequests();
        SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(hwnd_);
    }
}

} // namespace quelvex
