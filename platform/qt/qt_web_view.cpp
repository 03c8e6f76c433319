#include "platform/qt/qt_web_view.h"

#include "platform/qt/helper_web_pane.h"
#include "platform/qt/main_view.h"
#include "platform/qt/text_web_pane.h"
#include "platform/qt/web_pane.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QPluginLoader>
#include <QStackedLayout>
#include <QWindow>

#include <cstdio>

QT_BEGIN_NAMESPACE
// Qt GUI's hook for the context every OpenGL context shares with.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace quelvex {
namespace {

// A page flooding window.open must not flood the desktop with browser windows.
constexpr qint64 kOpenEveryMs = 2000;
// The control's height in the strip view.
constexpr int kStripHeight = 21;

// The page view's engine: in a helper process where one can be embedded, so that its processes
// and memory go when the page view closes; else the module, loaded into the program for good.
WebPaneFactory* engineFactory() {
    if (WebPaneFactory* helper = webHelperFactory()) return helper;
#ifdef QUELVEX_WEB_MODULE
    // The engine draws through a context shared with Qt's, which must exist before its library
    // loads; a program linking the engine would make it at start-up, with its cost.
    if (!QOpenGLContext::globalShareContext()) {
        auto* context = new QOpenGLContext(qApp);
        context->setFormat(QSurfaceFormat::defaultFormat());
        context->create();
        qt_gl_set_global_share_context(context);
    }
    QPluginLoader loader(QCoreApplication::applicationDirPath() + QStringLiteral("/" QUELVEX_WEB_MODULE));
    if (QObject* root = loader.instance())
        if (auto* factory = qobject_cast<WebPaneFactory*>(root)) return factory;
    std::fprintf(stderr, "quelvex: web engine module not loaded (%s); pages show as simple HTML\n",
                 qPrintable(loader.errorString()));
#endif
    return nullptr;
}

} // namespace

// Holds the engine's view in a window of its own, embedded in the main window as a child window.
// The engine draws with OpenGL; as a plain child widget it would make Qt recreate the whole main
// window with an OpenGL surface, under the user's pointer and the window manager. The helper
// process's view is a window already, holding the helper's own. Being a window,
// it lies above anything the main window paints, so it is kept hidden while the link bar is shown
// (the link bar lies only over the strip, and the page view never has it).
class EmbeddedPane final : public QWidget {
  public:
    explicit EmbeddedPane(QWidget* engineView) : engine_(engineView) {
        engine_->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setAttribute(Qt::WA_NativeWindow);
        setAttribute(Qt::WA_DontCreateNativeAncestors);
    }
    ~EmbeddedPane() override { delete engine_; }
    void setEngineShown(bool shown) {
        shown_ = shown;
        sync();
    }

  protected:
    void showEvent(QShowEvent*) override { sync(); }
    void hideEvent(QHideEvent*) override { sync(); }
    void resizeEvent(QResizeEvent*) override {
        if (engine_->windowHandle() && engine_->windowHandle()->parent()) engine_->setGeometry(rect());
    }

  private:
    void sync() {
        if (!engine_->windowHandle() || !engine_->windowHandle()->parent()) {
            if (!isVisible() || !shown_) return;
            engine_->winId();
            engine_->windowHandle()->setParent(windowHandle());
        }
        engine_->setGeometry(rect());
        engine_->setVisible(isVisible() && shown_);
    }

    QWidget* engine_;
    bool shown_ = false;
};

void QtWebView::attach(MainView& view, FaceDriver& driver, const Face& face) {
    view_ = &view;
    events_ = &driver;
    face_ = &face;
    driver.attach(*this);
}

void QtWebView::applyChanges(const FaceChanges& changes) {
    if (!embedded_) return;
    if (changes.panels.test(static_cast<std::size_t>(Panel::Panel3)))
        embedded_->setEngineShown(!face_->panel(Panel::Panel3).visible);
    // The engine is for the page view only: a page of its own that brings the strip back is
    // handed to the simple view.
    if (changes.panels.test(static_cast<std::size_t>(Panel::CppWebBrowser1)) &&
        face_->panel(Panel::CppWebBrowser1).height == kStripHeight)
        handBackToLight();
}

// The simple view takes over the engine's page where it is.
void QtWebView::handBackToLight() {
    const QUrl url = engine_->location();
    dropEngine();
    light()->navigate(url);
}

WebPaneEvents QtWebView::paneEvents(bool engine) {
    // Only the view shown speaks to the model.
    auto current = [this, engine, id = engineId_] {
        return engine ? embedded_ && id == engineId_ : !embedded_;
    };
    WebPaneEvents events;
    events.titleChanged = [this, engine, current] {
        if (!current()) return;
        if (engine) showEngine();
        events_->webTitleChanged();
    };
    events.loadFinished = [this, engine, current](bool ok) {
        if (!current()) return;
        if (engine) showEngine();
        events_->webLoadFinished(ok);
    };
    events.newWindow = [this](const QUrl& url) { openInBrowser(url); };
    // An engine that is gone leaves its page to the simple view, as a visit without one does.
    if (engine)
        events.lost = [this, current] {
            if (current()) handBackToLight();
        };
    return events;
}

TextWebPane* QtWebView::light() {
    if (light_ || !view_) return light_;
    if (!host_) {
        auto* host = new QWidget;
        new QStackedLayout(host);
        host_ = host;
        view_->setPanelWidget(Panel::CppWebBrowser1, host);
    }
    light_ = new TextWebPane(paneEvents(false));
    // Space and the arrows would scroll it instead of reaching the window's controls.
    light_->setFocusPolicy(Qt::NoFocus);
    light_->setLinkHook([this](const QUrl& url) { return openInEngine(url); });
    static_cast<QStackedLayout*>(host_->layout())->addWidget(light_);
    return light_;
}

// A link followed in the simple view opens in the engine when there is one; the simple view
// keeps the strip until the engine has something to show.
bool QtWebView::openInEngine(const QUrl& url) {
    if (!factoryTried_) {
        factoryTried_ = true;
        factory_ = engineFactory();
    }
    if (!factory_ || !host_) return false;
    dropEngine();
    ++engineId_;
    engine_ = factory_->createPane(paneEvents(true));
    embedded_ = new EmbeddedPane(engine_->widget());
    embedded_->setEngineShown(!face_->panel(Panel::Panel3).visible);
    static_cast<QStackedLayout*>(host_->layout())->addWidget(embedded_);
    engine_->navigate(url);
    return true;
}

void QtWebView::showEngine() {
    auto* stack = static_cast<QStackedLayout*>(host_->layout());
    if (stack->currentWidget() == embedded_) return;
    stack->setCurrentWidget(embedded_);
    // The engine's window, made now, lies over the windows of the panels above the strip
    // (the link bar, the related-topics bar): raise them again, in their order.
    const QObjectList siblings = view_->children();
    for (auto it = siblings.begin() + siblings.indexOf(host_) + 1; it != siblings.end(); ++it)
        if (auto* w = qobject_cast<QWidget*>(*it)) w->raise();
}

// The engine's page and profile go with its view, and its renderer process with them (the helper
// process with all of the engine, when it drew the view).
void QtWebView::dropEngine() {
    if (!embedded_) return;
    static_cast<QStackedLayout*>(host_->layout())->setCurrentWidget(light_);
    embedded_->hide();
    embedded_->deleteLater();
    embedded_ = nullptr;
    engine_ = nullptr;
    ++engineId_;
}

void QtWebView::navigate(const std::string& url) {
    dropEngine();
    if (TextWebPane* p = light()) p->navigate(QUrl(QString::fromStdString(url)));
}

std::string QtWebView::location() {
    QUrl url;
    if (embedded_)
        url = engine_->location();
    else if (light_)
        url = light_->location();
    return url.toString(QUrl::FullyEncoded).toStdString();
}

void QtWebView::openInBrowser(const QUrl& url) {
    if (!browserAddressAllowed(url)) return;
    if (sinceOpen_.isValid() && sinceOpen_.elapsed() < kOpenEveryMs) return;
    sinceOpen_.start();
    QDesktopServices::openUrl(url);
}

} // namespace quelvex
