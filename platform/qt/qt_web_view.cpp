#include "platform/qt/qt_web_view.h"

#include "platform/qt/main_view.h"
#include "platform/qt/text_web_pane.h"
#include "platform/qt/web_pane.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QPluginLoader>
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

WebPaneFactory* engineModule() {
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
// window with an OpenGL surface, under the user's pointer and the window manager. Being a window,
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
    if (embedded_ && changes.panels.test(static_cast<std::size_t>(Panel::Panel3)))
        embedded_->setEngineShown(!face_->panel(Panel::Panel3).visible);
}

WebPane* QtWebView::pane() {
    if (pane_) return widget_ ? pane_ : nullptr;
    if (!view_) return nullptr;
    WebPaneEvents events;
    events.titleChanged = [this] { events_->webTitleChanged(); };
    events.loadFinished = [this](bool ok) { events_->webLoadFinished(ok); };
    events.newWindow = [this](const QUrl& url) { openInBrowser(url); };
    if (WebPaneFactory* factory = engineModule()) {
        pane_ = factory->createPane(events);
        auto* embedded = new EmbeddedPane(pane_->widget());
        embedded->setEngineShown(!face_->panel(Panel::Panel3).visible);
        embedded_ = embedded;
        widget_ = embedded;
    } else {
        pane_ = new TextWebPane(events);
        widget_ = pane_->widget();
    }
    view_->setPanelWidget(Panel::CppWebBrowser1, widget_);
    return pane_;
}

void QtWebView::navigate(const std::string& url) {
    if (WebPane* p = pane()) p->navigate(QUrl(QString::fromStdString(url)));
}

std::string QtWebView::location() {
    if (!pane_ || !widget_) return {};
    return pane_->location().toString(QUrl::FullyEncoded).toStdString();
}

void QtWebView::openInBrowser(const QUrl& url) {
    if (!webAddressAllowed(url)) return;
    if (sinceOpen_.isValid() && sinceOpen_.elapsed() < kOpenEveryMs) return;
    sinceOpen_.start();
    QDesktopServices::openUrl(url);
}

} // namespace quelvex
