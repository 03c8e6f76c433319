// Asynchronous calls on a message bus that is connected only when first needed.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QObject>

#include <functional>
#include <map>
#include <optional>
#include <thread>

namespace quelvex {

// The two services the program asks over D-Bus.
extern const QString kLogindService;
extern const QString kPortalService;
extern const QString kPortalRequest; // the interface of a portal request object
// A call to logind's manager object.
QDBusMessage logindCall(const QString& method);
// A call to the desktop portal; `path` defaults to its main object.
QDBusMessage portalCall(const QString& interface, const QString& method,
                        const QString& path = QStringLiteral("/org/freedesktop/portal/desktop"));

// Whether the session has a bus of its own to ask. Without an address libdbus falls back to X11
// autolaunch, which would start a bus of its own.
bool sessionBusExpected();

// What became of one call.
struct BusAnswer {
    // The reply or the error reply; an invalid message when no answer came at all.
    QDBusMessage reply;
    // Why the call failed, in words for a log line ("no system bus: ...", "no answer within 5 s",
    // "org.freedesktop.DBus.Error.AccessDenied: ..."); empty when it succeeded.
    QString failure;
    bool ok() const { return failure.isEmpty(); }
};

// One private connection to the system or the session bus, opened on the first call, never at
// construction, and reopened on a later call once lost. Nothing here ever waits: the connection
// is opened on a worker thread (a bus that accepts the socket but never answers the greeting
// would otherwise stall the caller for libdbus's 25 s), and every answer comes back as an event
// on the caller's thread. Destroying the object drops every pending answer unseen.
class LazyBus {
  public:
    using Done = std::function<void(const BusAnswer&)>;

    explicit LazyBus(QDBusConnection::BusType type);
    ~LazyBus();
    LazyBus(const LazyBus&) = delete;
    LazyBus& operator=(const LazyBus&) = delete;

    // Sends `message` and hands what became of it to `done` within `timeoutMs`, counting the
    // time it takes to reach the bus. `done` is never called from inside this function.
    void call(const QDBusMessage& message, int timeoutMs, Done done);
    // Sends `message` when connected, looking at no answer; otherwise drops it.
    void send(const QDBusMessage& message);
    // Runs on every connection as it opens, before any call goes out on it: where signals are
    // subscribed to.
    void setOnOpen(std::function<void(QDBusConnection&)> hook) { onOpen_ = std::move(hook); }

  private:
    struct Waiting {
        QDBusMessage message;
        QDeadlineTimer deadline;
        int timeoutMs;
        Done done;
    };
    struct Opened {
        std::optional<QDBusConnection> bus;
        QString error;
    };

    void open();
    void opened(const Opened& result);
    void dispatch(Waiting waiting);
    void expire(quint64 id);
    QString busName() const;

    QDBusConnection::BusType type_;
    QString connectionName_;
    std::optional<QDBusConnection> bus_;
    bool opening_ = false;
    std::thread opener_;
    quint64 lastId_ = 0;
    std::map<quint64, Waiting> waiting_;
    std::function<void(QDBusConnection&)> onOpen_;
    // Parent of every watcher and timer: deleting it first drops every pending answer.
    QObject context_;
};

} // namespace quelvex
