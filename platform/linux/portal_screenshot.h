// Screen pictures through the desktop portal (org.freedesktop.portal.Screenshot), the only way
// on Wayland. The portal answers later, through a Request object's Response signal, with the
// URI of a picture it saved; that picture becomes our JPEG then.
#pragma once

#include "core/error_display.h"

#include <QDBusMessage>
#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <string>

class QDBusPendingCallWatcher;

namespace quelvex {

// A capture that could not be saved: the cause goes to standard error, and the text returned is
// the one the user is shown.
std::string captureFailed(const std::string& fileName, const std::string& why);
// Saves a picture Qt holds as our JPEG; the cause when it cannot be written.
std::optional<std::string> writeImageAsJpeg(const std::string& path, QImage image);

class PortalScreenshot final : public QObject {
    Q_OBJECT

  public:
    // Failures that come with the answer are shown through `errors`, which must outlive this.
    explicit PortalScreenshot(ErrorDisplay& errors, QObject* parent = nullptr);
    ~PortalScreenshot() override;

    // Asks for a picture of the screen without any dialog; the JPEG is written to `fileName`,
    // taken relative to the current folder of this moment, when the answer comes. Returns why
    // the request could not even be sent.
    std::optional<std::string> request(const std::string& fileName);

    // Told true when a first request starts waiting for the portal, false when none waits any
    // more (its file written, its failure reported, or given up).
    void setWaitingHook(std::function<void(bool)> hook) { waitingHook_ = std::move(hook); }
    bool waiting() const { return !pending_.empty(); }

  private slots:
    void onResponse(const QDBusMessage& message);

  private:
    struct Pending {
        std::string fileName; // as the user sees it
        QString target;       // absolute
        unsigned id = 0;
    };

    bool subscribe(const QString& requestPath);
    void unsubscribe(const QString& requestPath);
    void onCallFinished(QDBusPendingCallWatcher* call, const QString& predictedPath);
    void finish(const Pending& pending, const QString& pictureUri);
    void fail(const Pending& pending, const std::string& why);
    Pending take(const QString& requestPath);
    void settleIfIdle();
    void giveUp(QString requestPath);

    ErrorDisplay& errors_;
    std::map<QString, Pending> pending_; // by Request object path
    unsigned serial_ = 0;
    std::function<void(bool)> waitingHook_;
};

} // namespace quelvex
