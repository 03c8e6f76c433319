#include "platform/linux/session_instance.h"

#include "platform/linux/lazy_bus.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>
#include <QPointer>

#include <algorithm>

namespace quelvex {
namespace {

const QString kObjectPath = QStringLiteral("/example/quelvex/Quelvex");
const QString kInterface = QStringLiteral("example.quelvex.Quelvex");
constexpr int kHandOverTimeoutMs = 5000;
// Hand-overs that may wait for the action check at one time; more are turned away, not queued.
constexpr int kMaxChecking = 16;

QVariantMap activationData() {
    QVariantMap data;
    for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"})
        if (const QByteArray v = qgetenv(name); !v.isEmpty())
            data.insert(QString::fromLatin1(name), QString::fromUtf8(v));
    return data;
}

// The session bus, when the session has one; never one that libdbus would launch for the X
// display on the spot, which would outlive the program and answer nobody else.
QDBusConnection sessionBus(const QString& connectionName) {
    if (!sessionBusExpected()) return QDBusConnection(connectionName); // not connected
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
}

} // namespace

QString sessionInstanceName(bool dryRun) {
    return dryRun ? QStringLiteral("example.quelvex.Quelvex.DryRun")
                  : QStringLiteral("example.quelvex.Quelvex");
}

HandOverResult handOverToRunning(const QStringList& arguments, bool dryRun, QString* failure) {
    // A connection of its own, closed again: the one the running window keeps is made later, on
    // the application that shows it.
    const QString connectionName = QStringLiteral("quelvex-hand-over");
    HandOverResult result = HandOverResult::NoInstance;
    {
        QDBusConnection bus = sessionBus(connectionName);
        if (bus.isConnected()) {
            QDBusMessage call = QDBusMessage::createMethodCall(sessionInstanceName(dryRun), kObjectPath,
                                                               kInterface, QStringLiteral("HandOver"));
            call.setArguments({arguments, activationData()});
            call.setAutoStartService(false);
            const QDBusMessage reply = bus.call(call, QDBus::Block, kHandOverTimeoutMs);
            if (reply.type() == QDBusMessage::ReplyMessage) {
                result = HandOverResult::Delivered;
            } else if (reply.errorName() != QDBusError::errorString(QDBusError::ServiceUnknown) &&
                       reply.errorName() != QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner")) {
                result = HandOverResult::Failed;
                if (failure) *failure = reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
            }
        }
    }
    QDBusConnection::disconnectFromBus(connectionName);
    return result;
}

SessionInstance::SessionInstance(bool dryRun, Receiver receiver)
    : dryRun_(dryRun), receiver_(std::move(receiver)), bus_(sessionBus(QStringLiteral("quelvex-instance"))) {}

SessionInstance::~SessionInstance() {
    if (bus_.isConnected()) bus_.unregisterObject(kObjectPath);
    QDBusConnection::disconnectFromBus(QStringLiteral("quelvex-instance"));
}

bool SessionInstance::claim() {
    if (!bus_.isConnected() || !bus_.interface()) return true;
    // The object is there before the name, so a start that finds the name always reaches it.
    bus_.registerObject(kObjectPath, this, QDBusConnection::ExportScriptableSlots);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus_.interface()->registerService(sessionInstanceName(dryRun_),
                                          QDBusConnectionInterface::DontQueueService,
                                          QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) return true; // the bus refused for another reason: run alone
    if (reply.value() == QDBusConnectionInterface::ServiceRegistered) return true;
    bus_.unregisterObject(kObjectPath);
    return false;
}

void SessionInstance::HandOver(const QStringList& arguments, const QVariantMap& platformData) {
    // Bounded before a copy is made: the bus carries messages of up to 128 MiB.
    qsizetype longest = 0;
    for (const QString& a : arguments)
        longest = std::max(longest, a.size());
    ParsedCommandLine parsed;
    parsed.error =
        handOverSizeError(static_cast<std::size_t>(arguments.size()), static_cast<std::size_t>(longest));
    if (parsed.ok()) {
        std::vector<std::string> strings;
        for (const QString& a : arguments)
            strings.push_back(a.toStdString());
        parsed = readHandedOverCommandLine(strings, dryRun_);
    }
    if (!parsed.ok()) {
        sendErrorReply(QDBusError::InvalidArgs, QString::fromStdString(parsed.error));
        return;
    }
    const std::optional<EndAction> action = parsed.request.action;
    if (!action || contains(kAlwaysAllowed, *action) || !actionCheck_) {
        if (receiver_) receiver_(parsed.request, platformData);
        return;
    }
    if (checking_ >= kMaxChecking) {
        sendErrorReply(QDBusError::LimitsExceeded, QStringLiteral("too many hand-overs at once"));
        return;
    }
    ++checking_;
    setDelayedReply(true);
    actionCheck_([self = QPointer<SessionInstance>(this), call = message(), request = parsed.request,
                  platformData](ActionSet allowed) {
        if (!self) return;
        --self->checking_;
        if (!contains(allowed, *request.action)) {
            self->bus_.send(call.createErrorReply(
                QDBusError::InvalidArgs, QString::fromStdString(endActionNotAllowedLine(*request.action))));
            return;
        }
        self->bus_.send(call.createReply());
        if (self->receiver_) self->receiver_(request, platformData);
    });
}

} // namespace quelvex
