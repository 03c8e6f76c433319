#pragma once

#include "platform/qt/web_pane.h"

#include <QByteArray>
#include <QPointer>
#include <QTextBrowser>

class QNetworkAccessManager;
class QNetworkReply;

namespace quelvex {

// Shows a page as simple HTML when no web engine is at hand: fetched over the network, no
// scripts, no pictures, nothing read from local files. Links load inside the pane.
class TextWebPane final : public QTextBrowser, public WebPane {
    Q_OBJECT

  public:
    explicit TextWebPane(WebPaneEvents events, QWidget* parent = nullptr);
    ~TextWebPane() override;

    QWidget* widget() override { return this; }
    void navigate(const QUrl& url) override;
    QUrl location() const override { return location_; }

    // Larger pages are not shown: laying them out would hold up the whole window.
    static constexpr qint64 kMaxPageBytes = 1 << 20;

  protected:
    QVariant loadResource(int type, const QUrl& name) override;

  private:
    void received();
    void finished();
    void fail();
    void dropReply();

    WebPaneEvents events_;
    QNetworkAccessManager* net_;
    QPointer<QNetworkReply> reply_;
    QByteArray body_;
    QUrl location_;
};

} // namespace quelvex
