// The page widget of the web strip as the program drives it, whichever engine draws it: the
// QtWebEngine module loaded at the first navigation, or the simple HTML view built in. Header
// only and free of signals, so a module needs no symbol of the program.
#pragma once

#include <QRegularExpression>
#include <QUrl>
#include <QtPlugin>

#include <functional>

class QWidget;

namespace quelvex {

struct WebPaneEvents {
    std::function<void()> titleChanged;
    std::function<void(bool ok)> loadFinished;
    // A page asked for a new window at this address; the program never opens one of its own.
    std::function<void(const QUrl& url)> newWindow;
    // The pane can show nothing more (the process drawing it has ended).
    std::function<void()> lost;
};

// The pane is its widget: whoever owns the widget owns the pane.
class WebPane {
  public:
    virtual ~WebPane() = default;
    virtual QWidget* widget() = 0;
    // Starts loading and returns at once; only addresses webAddressAllowed takes load.
    virtual void navigate(const QUrl& url) = 0;
    // The address of the document shown now.
    virtual QUrl location() const = 0;
};

class WebPaneFactory {
  public:
    virtual ~WebPaneFactory() = default;
    virtual WebPane* createPane(WebPaneEvents events) = 0;
};

// Pages the strip and the page view may load: https, and plain http only from this computer
// (a loopback address by number), where nothing on the way can change them.
inline bool webAddressAllowed(const QUrl& url) {
    if (!url.isValid()) return false;
    if (url.scheme() == QLatin1String("https")) return true;
    if (url.scheme() != QLatin1String("http")) return false;
    static const QRegularExpression loopback(QStringLiteral("^(127(\\.\\d{1,3}){3}|::1)$"));
    return loopback.match(url.host()).hasMatch();
}

// Addresses a page may hand to the user's own browser.
inline bool browserAddressAllowed(const QUrl& url) {
    return url.isValid() && (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"));
}

} // namespace quelvex

#define QuelvexWebPaneFactory_iid "org.quelvex.WebPaneFactory/1"
Q_DECLARE_INTERFACE(quelvex::WebPaneFactory, QuelvexWebPaneFactory_iid)
