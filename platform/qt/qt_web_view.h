#pragma once

#include "help/services.h"
#include "ui/face_driver.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

namespace quelvex {

class EmbeddedPane;
class Face;
class MainView;
class WebPane;

// The web view of the strip. Nothing of it exists until the first navigation: then the
// QtWebEngine module beside the program is loaded (or, without it, the simple HTML view is made)
// and its widget takes the control's place in the main view. Its title changes and finished loads
// go to the window model through the driver.
class QtWebView : public WebView, public ChangeSink {
  public:
    void attach(MainView& view, FaceDriver& driver, const Face& face);

    void navigate(const std::string& url) override;
    std::string location() override;
    void applyChanges(const FaceChanges& changes) override;

  private:
    WebPane* pane();
    void openInBrowser(const QUrl& url);

    MainView* view_ = nullptr;
    FaceEvents* events_ = nullptr;
    const Face* face_ = nullptr;
    WebPane* pane_ = nullptr;
    QPointer<QWidget> widget_;        // owned by the main view
    QPointer<EmbeddedPane> embedded_; // the engine's view in its own window, when it is the engine
    QElapsedTimer sinceOpen_;
};

} // namespace quelvex
