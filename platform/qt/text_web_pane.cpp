#include "platform/qt/text_web_pane.h"

#include "platform/qt/bounded_html.h"

#include <QBuffer>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocument>
#include <QTimer>

namespace quelvex {
namespace {

// A load not over by then fails, however steadily its bytes come.
constexpr int kTimeoutMs = 20000;
constexpr int kMaxPictureSide = 4096;
// A picture is never shown larger than the page view, and a page's pictures together hold at
// most this many pixels once decoded.
constexpr QSize kPictureBox(481, 274);
constexpr qint64 kPicturePixels = 1 << 20;
// A link meant for a new window carries its place in the page's list under this scheme.
const QString kNewWindowScheme = QStringLiteral("quelvex-window");

QString decode(const QByteArray& body, const QByteArray& contentType) {
    static const QRegularExpression charsetRe(QStringLiteral("charset\\s*=\\s*\"?([\\w-]+)"),
                                              QRegularExpression::CaseInsensitiveOption);
    QString charset = QStringLiteral("UTF-8");
    if (const auto m = charsetRe.match(QString::fromLatin1(contentType)); m.hasMatch())
        charset = m.captured(1);
    else if (const auto m2 = charsetRe.match(QString::fromLatin1(body.left(2048))); m2.hasMatch())
        charset = m2.captured(1);
    QStringDecoder decoder(charset.toLatin1().constData());
    if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder.decode(body);
}

QNetworkRequest request(const QUrl& url) {
    QNetworkRequest r(url);
    r.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    return r;
}

// A redirect goes on only to an address the pane may load at all.
void vetRedirects(QNetworkReply* reply) {
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply](const QUrl& url) {
        if (webAddressAllowed(url))
            emit reply->redirectAllowed();
        else
            reply->abort();
    });
}

// What the document gets for a picture it does not have: told nothing, or something that is no
// picture, Qt's rich text reads the picture's name as a local file.
const QImage& noPicture() {
    static const QImage none = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        return image;
    }();
    return none;
}

} // namespace

TextWebPane::TextWebPane(WebPaneEvents events, QWidget* parent)
    : QTextBrowser(parent), events_(std::move(events)), net_(new QNetworkAccessManager(this)) {
    setFrameShape(QFrame::NoFrame);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    net_->setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
    net_->setTransferTimeout(kTimeoutMs);
    // One picture at a time is decoded, away from the window's thread.
    decoder_.setMaxThreadCount(1);
    connect(this, &QTextBrowser::anchorClicked, this, &TextWebPane::follow);
}

TextWebPane::~TextWebPane() {
    if (reply_) reply_->abort();
    dropPictures();
    decoder_.waitForDone();
}

// A one-line strip has no room for a scroll bar; a page a few pixels taller would get one.
void TextWebPane::resizeEvent(QResizeEvent* event) {
    setVerticalScrollBarPolicy(height() < 2 * fontMetrics().height() ? Qt::ScrollBarAlwaysOff
                                                                     : Qt::ScrollBarAsNeeded);
    QTextBrowser::resizeEvent(event);
}

void TextWebPane::follow(const QUrl& link) {
    if (link.scheme() == kNewWindowScheme) {
        bool ok = false;
        const int i = link.path().toInt(&ok);
        if (!ok || i < 0 || i >= newWindowLinks_.size()) return;
        const QUrl target = location_.resolved(newWindowLinks_[i]);
        if (browserAddressAllowed(target) && events_.newWindow) events_.newWindow(target);
        return;
    }
    // A fragment of the page shown scrolls there; anything else loads in the pane.
    const QUrl target = location_.resolved(link);
    if (target.adjusted(QUrl::RemoveFragment) == location_.adjusted(QUrl::RemoveFragment) &&
        target.hasFragment())
        return scrollToAnchor(target.fragment());
    if (!webAddressAllowed(target)) return;
    if (linkHook_ && linkHook_(target)) return;
    navigate(target);
}

void TextWebPane::navigate(const QUrl& url) {
    if (!webAddressAllowed(url)) return;
    dropReply();
    dropPictures();
    body_.clear();
    location_ = url;
    reply_ = net_->get(request(url));
    vetRedirects(reply_);
    connect(reply_, &QNetworkReply::readyRead, this, &TextWebPane::received);
    connect(reply_, &QNetworkReply::finished, this, &TextWebPane::finished);
    QTimer::singleShot(kTimeoutMs, reply_, [this, reply = reply_.data()] {
        if (reply_ != reply) return; // ended, and gone with the next turn of the loop
        dropReply();
        fail();
    });
}

void TextWebPane::received() {
    body_ += reply_->readAll();
    if (body_.size() > kMaxPageBytes) {
        dropReply();
        fail();
    }
}

// A load given up: its end never reaches this pane.
void TextWebPane::dropReply() {
    if (!reply_) return;
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
    reply_ = nullptr;
}

void TextWebPane::dropPictures() {
    for (const QPointer<QNetworkReply>& r : std::as_const(pictures_)) {
        if (!r) continue;
        r->disconnect(this);
        r->abort();
        r->deleteLater();
    }
    pictures_.clear();
    picturesAsked_ = 0;
    pixelsLeft_ = kPicturePixels;
    decoder_.clear();
    ++pictureRound_;
}

void TextWebPane::finished() {
    QNetworkReply* reply = reply_;
    reply->deleteLater();
    reply_ = nullptr;
    if (reply->error() != QNetworkReply::NoError) return fail();
    body_ += reply->readAll();
    if (body_.size() > kMaxPageBytes) return fail();
    location_ = reply->url();
    const QString text = decode(body_, reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    body_.clear();
    // The pictures and marks of the page before go with it.
    document()->clear();
    newWindowLinks_.clear();
    document()->setBaseUrl(location_);
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    if (type.isEmpty() || type.contains(QLatin1String("html"), Qt::CaseInsensitive))
        setHtml(markNewWindowLinks(boundHtml(text)));
    else
        setPlainText(boundText(text));
    if (events_.titleChanged) events_.titleChanged();
    if (events_.loadFinished) events_.loadFinished(true);
}

void TextWebPane::fail() {
    body_.clear();
    dropPictures();
    clear();
    if (events_.loadFinished) events_.loadFinished(false);
}

// The document drops a link's target; a link meant for a new window gets an address of ours
// that names it, so that following it can tell.
QString TextWebPane::markNewWindowLinks(const QString& html) {
    static const QRegularExpression tagRe(QStringLiteral("<a\\s[^>]*>"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression targetRe(QStringLiteral("\\starget\\s*=\\s*[\"']?\\s*([^\"'\\s>]*)"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression hrefRe(QStringLiteral("(\\shref\\s*=\\s*)(\"[^\"]*\"|'[^']*'|[^\\s>]+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype from = 0;
    for (auto it = tagRe.globalMatch(html); it.hasNext();) {
        const auto tag = it.next();
        const QString target = targetRe.match(tag.captured()).captured(1).toLower();
        const auto href = hrefRe.match(tag.captured());
        if (target.isEmpty() || target == QLatin1String("_self") || target == QLatin1String("_top") ||
            target == QLatin1String("_parent") || !href.hasMatch())
            continue;
        QString value = href.captured(2);
        if (value.startsWith(QLatin1Char('"')) || value.startsWith(QLatin1Char('\'')))
            value = value.mid(1, value.size() - 2);
        out += QStringView(html).mid(from, tag.capturedStart() + href.capturedEnd(1) - from);
        out += QStringLiteral("\"%1:%2\"").arg(kNewWindowScheme).arg(newWindowLinks_.size());
        newWindowLinks_.append(QUrl(value.trimmed()));
        from = tag.capturedStart() + href.capturedEnd(2);
    }
    return from == 0 ? html : out + html.mid(from);
}

// Pictures come over the network as the document asks for them, and take their place when they
// arrive; local files are never read, and style sheets and the like never fetched. The answer is
// never null: told nothing, the document reads a local or embedded file itself.
QVariant TextWebPane::loadResource(int type, const QUrl& name) {
    if (type != QTextDocument::ImageResource) return QByteArray();
    if (picturesAsked_ < kMaxPictures) {
        const QUrl url = location_.resolved(name);
        if (webAddressAllowed(url)) fetchPicture(name, url);
    }
    return noPicture();
}

void TextWebPane::fetchPicture(const QUrl& name, const QUrl& url) {
    ++picturesAsked_;
    QNetworkReply* reply = net_->get(request(url));
    vetRedirects(reply);
    QTimer::singleShot(kTimeoutMs, reply, &QNetworkReply::abort);
    pictures_.append(reply);
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        if (reply->bytesAvailable() > kMaxPageBytes) {
            reply->disconnect(this);
            reply->abort();
            reply->deleteLater();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, name] {
        reply->deleteLater();
        pictures_.removeAll(reply);
        if (reply->error() != QNetworkReply::NoError) return;
        QByteArray data = reply->readAll();
        if (data.size() > kMaxPageBytes) return;
        decodePicture(name, std::move(data));
    });
}

// Decoded on the decoder's thread, scaled down to what the pane can show, within the page's
// budget of pixels; the header alone tells the size here.
void TextWebPane::decodePicture(const QUrl& name, QByteArray data) {
    QBuffer buffer(&data);
    const QSize size = QImageReader(&buffer).size();
    if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide) return;
    const QSize shown =
        size.boundedTo(kPictureBox) == size ? size : size.scaled(kPictureBox, Qt::KeepAspectRatio);
    const qint64 pixels = qint64(shown.width()) * shown.height();
    if (shown.isEmpty() || pixels > pixelsLeft_) return;
    pixelsLeft_ -= pixels;
    decoder_.start([this, name, data = std::move(data), shown, round = pictureRound_]() mutable {
        QBuffer buffer(&data);
        QImageReader reader(&buffer);
        reader.setScaledSize(shown);
        const QImage image = reader.read();
        if (image.isNull()) return;
        QMetaObject::invokeMethod(
            this,
            [this, name, image, round] {
                if (round != pictureRound_) return;
                document()->addResource(QTextDocument::ImageResource, name, image);
                document()->markContentsDirty(0, document()->characterCount());
                viewport()->update();
            },
            Qt::QueuedConnection);
    });
}

} // namespace quelvex
