#include "platform/linux/logind_power.h"

#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QEventLoop>
#include <QVariant>

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

namespace quelvex {
namespace {

constexpr quint64 kSkipInhibitors = quint64{1} << 4; // SD_LOGIND_SKIP_INHIBITORS
constexpr int kTimeoutMs = 5000;

// logind's method for each action that needs its leave, and the question that asks for it.
struct SystemMethod {
    EndAction action;
    const char* method;
    const char* question;
};
constexpr std::array<SystemMethod, 4> kSystemMethods{{
    {EndAction::PowerOff, "PowerOff", "CanPowerOff"},
    {EndAction::Restart, "Reboot", "CanReboot"},
    {EndAction::Suspend, "Suspend", "CanSuspend"},
    {EndAction::Hibernate, "Hibernate", "CanHibernate"},
}};

const SystemMethod* systemMethod(EndAction action) {
    for (const SystemMethod& m : kSystemMethods)
        if (m.action == action) return &m;
    return nullptr;
}

} // namespace

void askAllowedActions(LazyBus& bus, int timeoutMs, std::function<void(ActionSet)> done) {
    struct Tally {
        ActionSet allowed = kAlwaysAllowed;
        std::size_t answers = 0;
        std::function<void(ActionSet)> done;
    };
    auto tally = std::make_shared<Tally>();
    tally->done = std::move(done);
    for (const SystemMethod& m : kSystemMethods) {
        bus.call(logindCall(QLatin1String(m.question)), timeoutMs,
                 [tally, action = m.action](const BusAnswer& a) {
                     const QString word = a.ok() ? a.reply.arguments().value(0).toString() : QString();
                     if (word == QLatin1String("yes") || word == QLatin1String("challenge"))
                         tally->allowed = static_cast<ActionSet>(tally->allowed | actionBit(action));
                     if (++tally->answers == kSystemMethods.size()) tally->done(tally->allowed);
                 });
    }
}

bool actionAllowedNow(EndAction action, int timeoutMs) {
    if (contains(kAlwaysAllowed, action)) return true;
    LazyBus bus(QDBusConnection::SystemBus);
    std::optional<ActionSet> allowed;
    QEventLoop loop;
    askAllowedActions(bus, timeoutMs, [&](ActionSet set) {
        allowed = set;
        loop.quit();
    });
    loop.exec(); // the answer never comes from inside askAllowedActions
    return contains(allowed.value_or(kAlwaysAllowed), action);
}

LogindPower::LogindPower(ErrorDisplay& errors) : errors_(errors), bus_(QDBusConnection::SystemBus) {}

void LogindPower::carryOut(EndAction action) {
    std::fprintf(stderr, "%s\n", endActionRequestedLine(action, false).c_str());
    if (keepsProgramRunning(action) && beforeStaying_) beforeStaying_();
    if (action == EndAction::Lock || action == EndAction::LogOut)
        askForSession(action);
    else
        ask(action, true);
}

void LogindPower::findAllowed() {
    askAllowed([this](ActionSet allowed) {
        if (allowedHook_) allowedHook_(allowed);
    });
}

void LogindPower::askAllowed(std::function<void(ActionSet)> done) {
    allowedWaiters_.push_back(std::move(done));
    if (allowedWaiters_.size() > 1) return;
    askAllowedActions(bus_, kAllowedAnswerTimeoutMs, [this](ActionSet allowed) {
        // A waiter may ask again from its handler; that starts a new question.
        auto waiters = std::exchange(allowedWaiters_, {});
        for (auto& w : waiters)
            w(allowed);
    });
}

void LogindPower::ask(EndAction action, bool withFlags) {
    const SystemMethod* m = systemMethod(action);
    if (!m) return;
    QDBusMessage call =
        logindCall(QLatin1String(m->method) + (withFlags ? QStringLiteral("WithFlags") : QString()));
    if (withFlags)
        call << QVariant::fromValue(kSkipInhibitors);
    else
        call << false; // not interactive: nobody is asked
    bus_.call(call, kTimeoutMs, [this, action, withFlags](const BusAnswer& answer) {
        if (answer.ok()) return;
        const QString error = answer.reply.errorName();
        // logind before 257 rejects the flag; before 248 it lacks the method.
        if (withFlags && (error == QLatin1String("org.freedesktop.DBus.Error.InvalidArgs") ||
                          error == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))) {
            ask(action, false);
            return;
        }
        failed(action, answer);
    });
}

// The session's name: the desktop's word for it, else logind's for the session holding this process.
void LogindPower::askForSession(EndAction action) {
    if (const QString id = qEnvironmentVariable("XDG_SESSION_ID"); !id.isEmpty()) {
        askWithSession(action, id);
        return;
    }
    QDBusMessage byPid = logindCall(QStringLiteral("GetSessionByPID"));
    byPid << static_cast<quint32>(::getpid());
    bus_.call(byPid, kTimeoutMs, [this, action](const BusAnswer& answer) {
        const QString path = qvariant_cast<QDBusObjectPath>(answer.reply.arguments().value(0)).path();
        if (!answer.ok() || path.isEmpty()) {
            failed(action, answer.ok()
                               ? BusAnswer{answer.reply, QStringLiteral("no session in logind's answer")}
                               : answer);
            return;
        }
        QDBusMessage get = QDBusMessage::createMethodCall(
            kLogindService, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << QStringLiteral("org.freedesktop.login1.Session") << QStringLiteral("Id");
        bus_.call(get, kTimeoutMs, [this, action](const BusAnswer& idAnswer) {
            const QString id =
                qvariant_cast<QDBusVariant>(idAnswer.reply.arguments().value(0)).variant().toString();
            if (!idAnswer.ok() || id.isEmpty()) {
                failed(action, idAnswer.ok()
                                   ? BusAnswer{idAnswer.reply, QStringLiteral("the session has no Id")}
                                   : idAnswer);
                return;
            }
            askWithSession(action, id);
        });
    });
}

void LogindPower::askWithSession(EndAction action, const QString& session) {
    QDBusMessage call = logindCall(action == EndAction::Lock ? QStringLiteral("LockSession")
                                                             : QStringLiteral("TerminateSession"));
    call << session;
    bus_.call(call, kTimeoutMs, [this, action](const BusAnswer& answer) {
        if (!answer.ok()) failed(action, answer);
    });
}

void LogindPower::failed(EndAction action, const BusAnswer& answer) {
    std::fprintf(stderr, "%s\n", endActionFailedLine(action, answer.failure.toStdString()).c_str());
    // logind's own words where it gave some; otherwise why no answer came.
    const QString message =
        answer.reply.type() == QDBusMessage::ErrorMessage ? answer.reply.errorMessage() : QString();
    errors_.showError(endActionFailurePrefix(action) +
                      (message.isEmpty() ? answer.failure : message).toStdString());
}

} // namespace quelvex
