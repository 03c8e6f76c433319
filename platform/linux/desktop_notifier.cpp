#include "platform/linux/desktop_notifier.h"

#include <QStringList>
#include <QVariantMap>

#include <cstdio>
#include <utility>

namespace quelvex {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kDesktopEntry = QStringLiteral("example.quelvex.Quelvex");
const QString kCancelAction = QStringLiteral("cancel");
constexpr uchar kCritical = 2;
constexpr int kNeverExpires = 0;
constexpr int kTimeoutMs = 5000;

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
        // Any sender: the server's unique name is not known before it answers, and the id is
        // checked anyway.
        bus_->setOnOpen([this](QDBusConnection& bus) {
            bus.connect(QString(), kPath, kService, QStringLiteral("ActionInvoked"), this,
                        SLOT(onActionInvoked(uint, QString)));
            bus.connect(QString(), kPath, kService, QStringLiteral("NotificationClosed"), this,
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
    answerDue_ = true;
    bus_->call(call, kTimeoutMs, [this](const BusAnswer& answer) {
        answerDue_ = false;
        if (answer.ok())
            id_ = answer.reply.arguments().value(0).toUInt();
        else
            std::fprintf(stderr, "quelvex: notification not shown: %s\n",
                         answer.failure.toLocal8Bit().constData());
        if (!wanted_)
            close();
        else if (std::exchange(resend_, false))
            notify();
    });
}

void DesktopNotifier::close() {
    if (id_ == 0 || !bus_) return;
    QDBusMessage call = notificationsCall(QStringLiteral("CloseNotification"));
    call << id_;
    bus_->send(call);
    id_ = 0;
}

void DesktopNotifier::onActionInvoked(uint id, const QString& action) {
    if (id != 0 && id == id_ && action == kCancelAction && cancelled_) cancelled_();
}

void DesktopNotifier::onClosed(uint id, uint) {
    if (id != 0 && id == id_) id_ = 0;
}

} // namespace quelvex
