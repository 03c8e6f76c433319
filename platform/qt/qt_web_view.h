#pragma once

#include "help/services.h"
#include "platform/qt/web_pane.h"
#include "ui/face_driver.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

namespace quelvex {

class EmbeddedPane;
class Face;
class MainView;
class TextWebPane;

// The web view of the strip. Nothing of it exists until the first navigation: then the simple
// HTML view takes the control's place in the main view and shows the update page in the strip.
// A link followed from it starts the QtWebEngine view for the page view: on X11 in a helper
// process whose window lies in the main window, elsewhere (or without the helper) in the module
// loaded beside the program. Back in the strip the engine's view and page go, and the helper with
// all of the engine's processes. Without either the simple view shows every page. Title changes and finished loads of the view shown go to the window model
// through the driver.
class QtWebView : public WebView, public ChangeSink {
  public:
    void attach(MainView& view, FaceDriver& driver, const Face& face);

    void navigate(const std::string& url) override;
    std::string location() override;
    void applyChanges(const FaceChanges& changes) override;

  private:
    TextWebPane* light();
    bool openInEngine(const QUrl& url);
    void showEngine();
    void dropEngine();
    void handBackToLight();
    WebPaneEvents paneEvents(bool engine);
    void openInBrowser(const QUrl& url);

    MainView* view_ = nullptr;
    FaceEvents* events_ = nullptr;
    const Face* face_ = nullptr;
    QPointer<QWidget> host_; // owned by the main view; holds the two views below
    QPointer<TextWebPane> light_;
    WebPane* engine_ = nullptr;       // alive while embedded_ is
    QPointer<EmbeddedPane> embedded_; // the engine's view in its own window, during a page view
    WebPaneFactory* factory_ = nullptr;
    bool factoryTried_ = false;
    int engineId_ = 0; // tells the events of an engine view already dropped
    QElapsedTimer sinceOpen_;
};

} // namespace quelvex
