#include "platform/linux/portal_screenshot.h"

#include "actions/jpeg_writer.h"
#include "platform/linux/lazy_bus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

#include <cstdio>
#include <unistd.h>

namespace quelvex {
namespace {

// A portal that shows no dialog answers within a second; one that never answers must not keep
// the window hidden, nor the request, for ever.
constexpr int kAnswerLimitMs = 10000;

// The portal saves into a folder of its choosing; only a copy in a temporary folder is ours to
// remove. A picture it put among the user's own (some desktops use ~/Pictures) stays.
bool inTemporaryFolder(const QString& file) {
    const QString dir = QFileInfo(file).canonicalPath();
    if (dir.isEmpty()) return false;
    QStringList temporary{QStringLiteral("/tmp"),
                          QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    if (const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"); !runtime.isEmpty())
        temporary << QString::fromLocal8Bit(runtime);
    for (const QString& t : temporary) {
        const QString canonical = QFileInfo(t).canonicalFilePath();
        if (!canonical.isEmpty() && (dir == canonical || dir.startsWith(canonical + QLatin1Char('/'))))
            return true;
    }
    return false;
}

} // namespace

std::string captureFailed(const std::string& fileName, const std::string& why) {
    std::fprintf(stderr, "quelvex: capture failed: %s\n", why.c_str());
    return "Cannot create file " + fileName;
}

std::optional<std::string> writeImageAsJpeg(const std::string& path, QImage image) {
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_RGB32);
    return writeJpeg(path, Rgb32Pixels{image.constBits(), image.width(), image.height(),
                                       static_cast<std::size_t>(image.bytesPerLine())});
}

PortalScreenshot::PortalScreenshot(ErrorDisplay& errors, QObject* parent)
    : QObject(parent), errors_(errors) {}

PortalScreenshot::~PortalScreenshot() {
    for (const auto& entry : pending_)
        unsubscribe(entry.first);
}

bool PortalScreenshot::subscribe(const QString& requestPath) {
    return QDBusConnection::sessionBus().connect(kPortalService, requestPath, kPortalRequest,
                                                 QStringLiteral("Response"), this,
                                                 SLOT(onResponse(QDBusMessage)));
}

void PortalScreenshot::unsubscribe(const QString& requestPath) {
    QDBusConnection::sessionBus().disconnect(kPortalService, requestPath, kPortalRequest,
                                             QStringLiteral("Response"), this,
                                             SLOT(onResponse(QDBusMessage)));
}

std::optional<std::string> PortalScreenshot::request(const std::string& fileName) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return "no session bus for the desktop portal";

    // The portal names the Request after our bus name and a token of ours. Listening on that
    // path before calling means an answer that comes at once is not missed.
    const QString token = QStringLiteral("quelvex%1_%2").arg(::getpid()).arg(serial_ + 1);
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    if (!subscribe(path)) return "cannot listen to the desktop portal";
    const QString name = QString::fromStdString(fileName);
    const bool first = pending_.empty();
    pending_[path] = Pending{fileName, QDir::current().absoluteFilePath(name), ++serial_};
    if (first && waitingHook_) waitingHook_(true);
    QTimer::singleShot(kAnswerLimitMs, this, [this, id = serial_] {
        // Looked up by its number: an older portal may have moved it to a path of its own.
        for (const auto& [requestPath, waiting] : pending_)
            if (waiting.id == id) return giveUp(QString(requestPath)); // a copy: the entry goes
    });

    QDBusMessage call =
        portalCall(QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("interactive"), false}};
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, path](QDBusPendingCallWatcher* w) { onCallFinished(w, path); });
    return std::nullopt;
}

void PortalScreenshot::onCallFinished(QDBusPendingCallWatcher* call, const QString& predictedPath) {
    call->deleteLater();
    const QDBusPendingReply<QDBusObjectPath> reply = *call;
    const auto it = pending_.find(predictedPath);
    if (it == pending_.end()) return; // answered already
    if (reply.isError()) {
        fail(take(predictedPath), "desktop portal: " + reply.error().message().toStdString());
        settleIfIdle();
        return;
    }
    // Older portals chose the path themselves.
    const QString actual = reply.value().path();
    if (actual != predictedPath && !actual.isEmpty()) {
        Pending pending = it->second;
        unsubscribe(predictedPath);
        pending_.erase(it);
        pending_[actual] = pending;
        subscribe(actual);
    }
}

void PortalScreenshot::onResponse(const QDBusMessage& message) {
    if (!pending_.contains(message.path())) return;
    const Pending pending = take(message.path());

    const QList<QVariant> args = message.arguments();
    const uint response = args.size() > 0 ? args.at(0).toUInt() : 2;
    QVariantMap results;
    if (args.size() > 1) results = qdbus_cast<QVariantMap>(args.at(1));
    if (response == 0)
        finish(pending, results.value(QStringLiteral("uri")).toString());
    else
        fail(pending, response == 1 ? "the desktop portal's screenshot was cancelled"
                                    : "the desktop portal could not take a screenshot");
    settleIfIdle();
}

void PortalScreenshot::finish(const Pending& pending, const QString& pictureUri) {
    const QUrl url(pictureUri);
    const QString picture = url.isLocalFile() ? url.toLocalFile() : QString();
    QImage image;
    if (!picture.isEmpty()) image.load(picture);
    if (!picture.isEmpty() && inTemporaryFolder(picture)) QFile::remove(picture);
    if (image.isNull()) {
        fail(pending, "cannot read the desktop portal's picture " + pictureUri.toStdString());
        return;
    }
    if (auto why = writeImageAsJpeg(QFile::encodeName(pending.target).toStdString(), std::move(image)))
        fail(pending, *why);
}

PortalScreenshot::Pending PortalScreenshot::take(const QString& requestPath) {
    unsubscribe(requestPath);
    return pending_.extract(requestPath).mapped();
}

// Called once a request's file is written or its failure reported, never before: whoever waits
// for the pictures (a power-off) must find them on disk.
void PortalScreenshot::settleIfIdle() {
    if (pending_.empty() && waitingHook_) waitingHook_(false);
}

void PortalScreenshot::giveUp(QString requestPath) {
    fail(take(requestPath),
         "no answer from the desktop portal within " + std::to_string(kAnswerLimitMs / 1000) + " s");
    settleIfIdle();
}

void PortalScreenshot::fail(const Pending& pending, const std::string& why) {
    errors_.showError(captureFailed(pending.fileName, why));
}

} // namespace quelvex
