#include "platform/qt/text_web_pane.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocument>

namespace quelvex {
namespace {

constexpr int kTimeoutMs = 20000;

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

} // namespace

TextWebPane::TextWebPane(WebPaneEvents events, QWidget* parent)
    : QTextBrowser(parent), events_(std::move(events)), net_(new QNetworkAccessManager(this)) {
    setFrameShape(QFrame::NoFrame);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    net_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    net_->setTransferTimeout(kTimeoutMs);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        // A fragment of the page shown scrolls there; anything else loads in the pane.
        const QUrl target = location_.resolved(link);
        if (target.adjusted(QUrl::RemoveFragment) == location_.adjusted(QUrl::RemoveFragment) &&
            target.hasFragment())
            scrollToAnchor(target.fragment());
        else
            navigate(target);
    });
}

TextWebPane::~TextWebPane() {
    if (reply_) reply_->abort();
}

void TextWebPane::navigate(const QUrl& url) {
    if (!webAddressAllowed(url)) return;
    dropReply();
    body_.clear();
    location_ = url;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    reply_ = net_->get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &TextWebPane::received);
    connect(reply_, &QNetworkReply::finished, this, &TextWebPane::finished);
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
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    if (type.isEmpty() || type.contains(QLatin1String("html"), Qt::CaseInsensitive))
        setHtml(text);
    else
        setPlainText(text);
    if (events_.titleChanged) events_.titleChanged();
    if (events_.loadFinished) events_.loadFinished(true);
}

void TextWebPane::fail() {
    body_.clear();
    clear();
    if (events_.loadFinished) events_.loadFinished(false);
}

// Pictures, style sheets and the like are never fetched, and local files never read. The answer
// is empty but not null: told nothing, the document reads a local or embedded file itself.
QVariant TextWebPane::loadResource(int, const QUrl&) {
    return QByteArray();
}

} // namespace quelvex
