// The help window on Windows: a modeless dialog that renders TForm2 and feeds it the user's
// input, built on its first showing and from then on only hidden and shown, so whatever the user
// typed into the English manual and where each manual was scrolled to last until the program ends.
#pragma once

#include "help/form2.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace quelvex {

class Win32HelpWindow final : public HelpWindow {
  public:
    Win32HelpWindow(Shell& shell, HINSTANCE instance);
    ~Win32HelpWindow() override;
    Win32HelpWindow(const Win32HelpWindow&) = delete;
    Win32HelpWindow& operator=(const Win32HelpWindow&) = delete;

    // The product logo (drawn 119 x 23 at 280, 16) and the window's icon; they stay the caller's
    // and must outlive this window.
    void setArtwork(HBITMAP logo, HICON icon);

    void showHelp() override;
    void followLanguage(bool english) override;

    const TForm2& form() const { return form_; }
    // The dialog, or null while it has never been shown.
    HWND window() const { return hwnd_; }

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The site link's own window, which holds the keyboard focus and paints the link.
    static LRESULT CALLBACK linkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    // Fonts, places and the link's extent for `dpi`.
    void scaleTo(int dpi);
    void sync();

    TForm2 form_;
    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HBITMAP logo_ = nullptr;
    HICON icon_ = nullptr;
    int raisedFor_ = 0;
    struct Controls;
    Controls* controls_ = nullptr;
};

} // namespace quelvex
