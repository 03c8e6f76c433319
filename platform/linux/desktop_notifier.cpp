#include "platform/linux/desktop_notifier.h"

#include <QStringList>
#include <QVariantMap>

#include <QTimer>

#include <cstdio>
#include <limits>
#include <utility>

namespace quelvex {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kDesktopEntry = QStringLiteral("example.quelvex.Quelvex");
const QString kCancelAction = QStringLiteral("cancel");
constexpr uchar kCritical = 2;
constexpr int kNeverExpires = 0;
// After this the next notice goes out without waiting; the call itself is never given up, so that
// a notice the server shows late is still known and can be taken away.
constexpr int kPatienceMs = 5000;
constexpr int kNoTimeout = std::numeric_limits<int>::max();

QDBusMessage notificationsCall(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

} // namespace

DesktopNotifier::DesktopNotifier(std::function<void()> cancelled) : cancelled_(std::move(cancelled)) {}

DesktopNotifier::~DesktopNotifier() {
    wanted_.reset();
    close();
}

void DesktopNotifier::show(const Notice& notice) {
    wanted_ = notice;
    if (answerDue_)
        resend_ = true;
    else
        notify();
}

void DesktopNotifier::withdraw() {
    wanted_.reset();
    resend_ = false;
    if (!answerDue_) close();
}

void DesktopNotifier::notify() {
    if (!wanted_ || !sessionBusExpected()) return;
    if (!bus_) {
        bus_ = std::make_unique<LazyBus>(QDBusConnection::SessionBus);
        // From the server only: the bus passes on a signal only while its sender owns the name.
        bus_->setOnOpen([this](QDBusConnection& bus) {
            bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                        SLOT(onActionInvoked(uint, QString)));
            bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                        SLOT(onClosed(uint, uint)));
        });
    }
    QDBusMessage call = notificationsCall(QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), kDesktopEntry},
                            {QStringLiteral("urgency"), QVariant::fromValue(kCritical)}};
    call << QStringLiteral("Quelvex") << id_ << kDesktopEntry << QString::fromStdString(wanted_->title)
         << QString::fromStdString(wanted_->body)
         << QStringList{kCancelAction, QString::fromStdString(wanted_->actionLabel)} << hints
         << kNeverExpires;
    const quint64 serial = ++lastCall_;
    answerDue_ = true;
    QTimer::singleShot(kPatienceMs, this, [this, serial] {
        if (serial != lastCall_ || !answerDue_) return;
        answerDue_ = false;
        std::fprintf(stderr, "quelvex: the notification server has not answered within %d s\n",
                     kPatienceMs / 1000);
        if (std::exchange(resend_, false)) notify();
    });
    bus_->call(call, kNoTimeout, [this, serial](const BusAnswer& answer) { answered(serial, answer); });
}

void DesktopNotifier::answered(quint64 serial, const BusAnswer& answer) {
    const uint id = answer.ok() ? answer.reply.arguments().value(0).toUInt() : 0;
    if (serial == lastCall_ && answerDue_) {
        answerDue_ = false;
        if (!answer.ok())
            std::fprintf(stderr, "quelvex: notification not shown: %s\n",
                         answer.failure.toLocal8Bit().constData());
        id_ = id;
        if (!wanted_)
            close();
        else if (std::exchange(resend_, false))
            notify();
        return;
    }
    // An answer that came after the notifier stopped waiting for it.
    if (id == 0 || id == id_) return;
    if (serial == lastCall_ && wanted_)
        id_ = id; // nothing was sent since: it shows what is still wanted
    else
        closeNotice(id);
}

void DesktopNotifier::close() {
    if (id_ != 0) closeNotice(std::exchange(id_, 0));
}

void DesktopNotifier::closeNotice(uint id) {
    if (!bus_) return;
    QDBusMessage call = notificationsCall(QStringLiteral("CloseNotification"));
    call << id;
    bus_->send(call);
}

void DesktopNotifier::onActionInvoked(uint id, const QString& action) {
    if (id != 0 && id == id_ && action == kCancelAction && cancelled_) cancelled_();
}

void DesktopNotifier::onClosed(uint id, uint) {
    if (id != 0 && id == id_) id_ = 0;
}

} // namespace quelvex
