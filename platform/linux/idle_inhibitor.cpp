#include "platform/linux/idle_inhibitor.h"

#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QTimer>
#include <QVariantMap>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace quelvex {
namespace {

const QString kReason = QStringLiteral("A timed power-off, alarm or screen capture is armed");
constexpr quint32 kInhibitIdle = 8; // the portal's flag for "idle"
constexpr int kTimeoutMs = 5000;
constexpr int kHeldBackMs = 60 * 1000;

} // namespace

IdleInhibitor::IdleInhibitor(const TForm1& form) : form_(form) {}

IdleInhibitor::~IdleInhibitor() {
    wanted_ = false;
    release();
}

// Runs after every event and every second: a flag comparison unless arming changed.
void IdleInhibitor::applyChanges(const FaceChanges&) {
    const bool armed = form_.actionArmed();
    if (armed == wanted_) return;
    wanted_ = armed;
    heldBack_ = false;
    if (!wanted_)
        release();
    else if (hold_ == Hold::None)
        take();
}

void IdleInhibitor::letGoForAction() {
    if (!wanted_ || heldBack_) return;
    heldBack_ = true;
    release();
    QTimer::singleShot(kHeldBackMs, &context_, [this] {
        if (!heldBack_) return; // a disarming or a new arming came first
        heldBack_ = false;
        if (wanted_ && hold_ == Hold::None) take();
    });
}

void IdleInhibitor::take() {
    hold_ = Hold::Taking;
    if (!sessionBusExpected()) {
        takeFromLogind(QStringLiteral("no session bus"));
        return;
    }
    if (!session_) session_ = std::make_unique<LazyBus>(QDBusConnection::SessionBus);
    QDBusMessage call =
        portalCall(QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    call << QString() << QVariant::fromValue(kInhibitIdle)
         << QVariantMap{{QStringLiteral("reason"), kReason}};
    session_->call(call, kTimeoutMs, [this](const BusAnswer& answer) {
        const QString handle = answer.ok()
                                   ? qvariant_cast<QDBusObjectPath>(answer.reply.arguments().value(0)).path()
                                   : QString();
        if (handle.isEmpty()) {
            takeFromLogind(answer.ok() ? QStringLiteral("no request handle in the answer") : answer.failure);
            return;
        }
        portalRequest_ = handle;
        hold_ = Hold::Portal;
        taken();
    });
}

void IdleInhibitor::takeFromLogind(const QString& portalFailure) {
    if (!system_) system_ = std::make_unique<LazyBus>(QDBusConnection::SystemBus);
    QDBusMessage call = logindCall(QStringLiteral("Inhibit"));
    call << QStringLiteral("idle") << QStringLiteral("Quelvex") << kReason << QStringLiteral("block");
    system_->call(call, kTimeoutMs, [this, portalFailure](const BusAnswer& answer) {
        QString failure = answer.failure;
        int fd = -1;
        if (answer.ok()) {
            const auto handle = qvariant_cast<QDBusUnixFileDescriptor>(answer.reply.arguments().value(0));
            // Our own copy: the message's closes with it.
            if (handle.isValid()) fd = ::fcntl(handle.fileDescriptor(), F_DUPFD_CLOEXEC, 3);
            if (fd < 0) failure = QStringLiteral("no file descriptor in the answer");
        }
        if (fd < 0) {
            hold_ = Hold::None;
            std::fprintf(stderr, "quelvex: idle inhibitor not taken: portal: %s; logind: %s\n",
                         portalFailure.toLocal8Bit().constData(), failure.toLocal8Bit().constData());
            return;
        }
        logindFd_ = fd;
        hold_ = Hold::Logind;
        taken();
    });
}

void IdleInhibitor::taken() {
    if (!wanted_ || heldBack_) release(); // let go while the take was under way
}

void IdleInhibitor::release() {
    switch (hold_) {
    case Hold::Portal:
        session_->send(portalCall(kPortalRequest, QStringLiteral("Close"), portalRequest_));
        portalRequest_.clear();
        hold_ = Hold::None;
        break;
    case Hold::Logind:
        ::close(logindFd_);
        logindFd_ = -1;
        hold_ = Hold::None;
        break;
    case Hold::None:
    case Hold::Taking: // taken() lets go when the answer lands
        break;
    }
}

} // namespace quelvex
