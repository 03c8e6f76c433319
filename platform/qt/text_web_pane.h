#pragma once

#include "platform/qt/web_pane.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QTextBrowser>
#include <QThreadPool>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace quelvex {

// Shows a page as simple HTML: fetched over the network with its pictures, no scripts, nothing
// read from local files, cut down to what it can lay out at once (see bounded_html.h). Links load inside the
// pane unless the link hook takes them; a link meant for a new window goes to the pane's new-window event.
class TextWebPane final : public QTextBrowser, public WebPane {
    Q_OBJECT

  public:
    explicit TextWebPane(WebPaneEvents events, QWidget* parent = nullptr);
    ~TextWebPane() override;

    QWidget* widget() override { return this; }
    void navigate(const QUrl& url) override;
    QUrl location() const override { return location_; }

    // Asked first for each link the person follows; true when it was taken elsewhere.
    void setLinkHook(std::function<bool(const QUrl&)> hook) { linkHook_ = std::move(hook); }

    // Larger pages and pictures are not fetched whole.
    static constexpr qint64 kMaxPageBytes = 1 << 20;
    static constexpr int kMaxPictures = 32;

  protected:
    QVariant loadResource(int type, const QUrl& name) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void received();
    void finished();
    void fail();
    void dropReply();
    void dropPictures();
    void fetchPicture(const QUrl& name, const QUrl& url);
    void decodePicture(const QUrl& name, QByteArray data);
    QString markNewWindowLinks(const QString& html);
    void follow(const QUrl& link);

    WebPaneEvents events_;
    std::function<bool(const QUrl&)> linkHook_;
    QNetworkAccessManager* net_;
    QPointer<QNetworkReply> reply_;
    QList<QPointer<QNetworkReply>> pictures_;
    int picturesAsked_ = 0;
    qint64 pixelsLeft_ = 0;
    int pictureRound_ = 0; // tells the pictures of a page already gone
    QThreadPool decoder_;
    QList<QUrl> newWindowLinks_;
    QByteArray body_;
    QUrl location_;
};

} // namespace quelvex
