#include "platform/linux/lazy_bus.h"

#include <QDBusError>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QPromise>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <utility>

namespace quelvex {
namespace {

std::atomic<int> connectionsMade{0};

QString noAnswerWithin(int timeoutMs) {
    return QStringLiteral("no answer within %1 s").arg(timeoutMs / 1000.0);
}

QString failureOf(const QDBusMessage& reply, int timeoutMs) {
    if (reply.type() == QDBusMessage::ReplyMessage) return {};
    if (reply.type() != QDBusMessage::ErrorMessage) return noAnswerWithin(timeoutMs);
    const QDBusError error(reply);
    if (error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout)
        return noAnswerWithin(timeoutMs);
    return error.name() + QStringLiteral(": ") + error.message();
}

} // namespace

bool sessionBusExpected() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

const QString kLogindService = QStringLiteral("org.freedesktop.login1");
const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalRequest = QStringLiteral("org.freedesktop.portal.Request");

QDBusMessage logindCall(const QString& method) {
    return QDBusMessage::createMethodCall(kLogindService, QStringLiteral("/org/freedesktop/login1"),
                                          QStringLiteral("org.freedesktop.login1.Manager"), method);
}

QDBusMessage portalCall(const QString& interface, const QString& method, const QString& path) {
    return QDBusMessage::createMethodCall(kPortalService, path, interface, method);
}

LazyBus::LazyBus(QDBusConnection::BusType type)
    : type_(type), connectionName_(QStringLiteral("quelvex-%1-%2").arg(busName()).arg(++connectionsMade)) {}

LazyBus::~LazyBus() {
    // A worker still opening may be stuck on a bus that never answers: leave it rather than wait.
    if (!opener_.joinable()) return;
    if (opening_)
        opener_.detach();
    else
        opener_.join();
}

QString LazyBus::busName() const {
    return type_ == QDBusConnection::SystemBus ? QStringLiteral("system") : QStringLiteral("session");
}

void LazyBus::call(const QDBusMessage& message, int timeoutMs, Done done) {
    Waiting waiting{message, QDeadlineTimer(timeoutMs), timeoutMs, std::move(done)};
    if (bus_ && bus_->isConnected()) {
        dispatch(std::move(waiting));
        return;
    }
    bus_.reset();
    const quint64 id = ++lastId_;
    waiting_.emplace(id, std::move(waiting));
    QTimer::singleShot(timeoutMs, &context_, [this, id] { expire(id); });
    if (!opening_) open();
}

void LazyBus::send(const QDBusMessage& message) {
    if (bus_ && bus_->isConnected()) bus_->send(message);
}

void LazyBus::open() {
    opening_ = true;
    if (opener_.joinable()) opener_.join(); // the previous worker has delivered and is ending
    auto* watcher = new QFutureWatcher<Opened>(&context_);
    QObject::connect(watcher, &QFutureWatcherBase::finished, &context_, [this, watcher] {
        watcher->deleteLater();
        opened(watcher->result());
    });
    QPromise<Opened> promise;
    watcher->setFuture(promise.future());
    opener_ = std::thread([promise = std::move(promise), type = type_, name = connectionName_]() mutable {
        promise.start();
        QDBusConnection::disconnectFromBus(name); // a connection lost earlier still holds the name
        Opened result;
        const QDBusConnection bus = QDBusConnection::connectToBus(type, name);
        if (bus.isConnected()) {
            result.bus = bus;
        } else {
            result.error = bus.lastError().message();
            QDBusConnection::disconnectFromBus(name);
        }
        promise.addResult(result);
        promise.finish();
    });
}

void LazyBus::opened(const Opened& result) {
    opening_ = false;
    bus_ = result.bus;
    if (bus_ && onOpen_) onOpen_(*bus_);
    // A caller may call again from its handler; it then starts on an empty list.
    auto waiting = std::exchange(waiting_, {});
    for (auto& entry : waiting) {
        Waiting& w = entry.second;
        if (bus_)
            dispatch(std::move(w));
        else
            w.done(BusAnswer{{}, QStringLiteral("no %1 bus: %2").arg(busName(), result.error)});
    }
}

void LazyBus::dispatch(Waiting waiting) {
    const int timeout = static_cast<int>(std::max<qint64>(1, waiting.deadline.remainingTime()));
    auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(waiting.message, timeout), &context_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &context_,
                     [watcher, timeoutMs = waiting.timeoutMs, done = std::move(waiting.done)] {
                         watcher->deleteLater();
                         const QDBusMessage reply = watcher->reply();
                         done(BusAnswer{reply, failureOf(reply, timeoutMs)});
                     });
}

void LazyBus::expire(quint64 id) {
    const auto it = waiting_.find(id);
    if (it == waiting_.end()) return;
    Waiting waiting = std::move(it->second);
    waiting_.erase(it);
    waiting.done(BusAnswer{{},
                           QStringLiteral("no answer from the %1 bus within %2 s")
                               .arg(busName())
                               .arg(waiting.timeoutMs / 1000.0)});
}

} // namespace quelvex
