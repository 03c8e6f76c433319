// The QtWebEngine view of the page view, shared by the module loaded into the program and the
// helper process that shows it in a window of its own.
#include "platform/webengine/engine_pane.h"

#include <QQuickWindow>
#include <QWebEngineDownloadRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace quelvex {

void prepareEngineGraphics() {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGLRhi);
}

namespace {

// A page held to what the strip needs: no dialogs, no file choosers, no console output, no
// permissions, and no address but http and https.
class StripPage final : public QWebEnginePage {
  public:
    explicit StripPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {
        connect(this, &QWebEnginePage::featurePermissionRequested, this,
                [this](const QUrl& origin, Feature feature) {
                    setFeaturePermission(origin, feature, PermissionDeniedByUser);
                });
    }

  protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override { return {}; }
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
        return webAddressAllowed(url);
    }
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
};

class EnginePane final : public QWebEngineView, public WebPane {
  public:
    explicit EnginePane(WebPaneEvents events) : events_(std::move(events)) {
        // Off the record: nothing of the pages is kept on disk.
        profile_ = new QWebEngineProfile(this);
        profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        connect(profile_, &QWebEngineProfile::downloadRequested, this,
                [](QWebEngineDownloadRequest* download) { download->cancel(); });

        QWebEngineSettings* s = profile_->settings();
        // No scripts. A window.open that the engine refuses still leaves state behind in it, for
        // the window that never comes, before any hook of ours is asked: a page calling it in a
        // loop grew the program without bound. Links, new-window ones included, need no script.
        s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        s->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
        s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
        s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
        s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
        s->setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
        s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
        s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
        s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
        s->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);

        page_ = new StripPage(profile_, this);
        setPage(page_);
        setContextMenuPolicy(Qt::NoContextMenu);
        setAcceptDrops(false);

        // A link meant for a new window goes to the user's browser, and only when the user
        // followed it: scripted pop-ups open nothing.
        connect(page_, &QWebEnginePage::newWindowRequested, this,
                [this](QWebEngineNewWindowRequest& request) {
                    if (request.isUserInitiated() && events_.newWindow)
                        events_.newWindow(request.requestedUrl());
                });
        connect(page_, &QWebEnginePage::titleChanged, this, [this] {
            if (events_.titleChanged) events_.titleChanged();
        });
        connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) {
            if (events_.loadFinished) events_.loadFinished(ok);
        });
    }

    ~EnginePane() override {
        // The page must go before its profile.
        setPage(nullptr);
        delete page_;
    }

    QWidget* widget() override { return this; }
    void navigate(const QUrl& url) override {
        if (webAddressAllowed(url)) page_->load(url);
    }
    QUrl location() const override { return page_->url(); }

  private:
    WebPaneEvents events_;
    QWebEngineProfile* profile_ = nullptr;
    StripPage* page_ = nullptr;
};

} // namespace

WebPane* createEnginePane(WebPaneEvents events) {
    return new EnginePane(std::move(events));
}

} // namespace quelvex
