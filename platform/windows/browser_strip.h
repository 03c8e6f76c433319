// The web strip on Windows: the system's web-browser control, hosted in a child window of the main
// window over the place the face gives the strip's panel.
#pragma once

#include "help/services.h"
#include "ui/face_driver.h"

#include <windows.h>

#include <string>

struct IConnectionPoint;
struct IOleObject;
struct IUnknown;
struct IWebBrowser2;

namespace quelvex {

class Face;

// Nothing of the control exists until the first navigation, so a computer that never goes online
// never loads the browser engine. Its child window lies over everything the main window paints,
// so it hides while a panel in front of the strip in the layout (the link bar) overlaps it. Pages
// load over HTTPS only, run no scripts and raise no dialog; a link the user follows into a new
// window goes to the default browser, at most once every two seconds. A load the control fails,
// or that has not ended after 20 s, is reported to the model as failed, as is every load when the
// control cannot be made.
class BrowserStrip final : public WebView, public ChangeSink {
  public:
    // Initialises OLE for the program's thread: make it before the main window.
    BrowserStrip(HINSTANCE instance, Shell& shell);
    ~BrowserStrip() override;
    BrowserStrip(const BrowserStrip&) = delete;
    BrowserStrip& operator=(const BrowserStrip&) = delete;

    // The main window, where the control's reports go (the face driver), and the face that places it.
    void attach(HWND mainWindow, FaceEvents& events, const Face& face);

    void navigate(const std::string& url) override;
    std::string location() override;
    void applyChanges(const FaceChanges& changes) override;

  private:
    class Host;

    bool ready();
    bool createControl();
    void destroyControl();
    void place(bool force = false);
    void resizeControl();
    void watchLoad();
    void loadEnded(bool ok);
    bool isTop(IUnknown* frame) const;

    // What the control reports, through the host.
    void beforeNavigate(IUnknown* frame, const std::wstring& url, bool& cancel);
    void navigateComplete(IUnknown* frame);
    void documentComplete(IUnknown* frame);
    void navigateError(IUnknown* frame, bool& cancel);
    void titleChanged();
    void newWindow(unsigned long flags, const std::wstring& url, bool& cancel);

    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    Shell& shell_;
    bool oleReady_ = false;
    HWND parent_ = nullptr;
    HWND container_ = nullptr;
    FaceEvents* events_ = nullptr;
    const Face* face_ = nullptr;

    Host* host_ = nullptr;
    IOleObject* object_ = nullptr;
    IWebBrowser2* browser_ = nullptr;
    IConnectionPoint* events2_ = nullptr;
    unsigned long cookie_ = 0;
    bool tried_ = false;
    bool arrived_ = false; // the document of the last top-level navigation is the one shown
    ULONGLONG openedAt_ = 0;
    bool openedOnce_ = false;

    struct Placed {
        RECT box{};
        bool visible = false;
        bool valid = false;
    } placed_;
};

} // namespace quelvex
