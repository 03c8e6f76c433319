#include "platform/linux/logind_power.h"

#include <QVariant>

#include <cstdio>

namespace quelvex {
namespace {

constexpr quint64 kSkipInhibitors = quint64{1} << 4; // SD_LOGIND_SKIP_INHIBITORS
constexpr int kTimeoutMs = 5000;

} // namespace

LogindPower::LogindPower(ErrorDisplay& errors) : errors_(errors), bus_(QDBusConnection::SystemBus) {}

void LogindPower::carryOut(EndAction action) {
    std::fprintf(stderr, "%s\n", endActionRequestedLine(action, false).c_str());
    ask(true);
}

void LogindPower::findAllowed() {}

void LogindPower::ask(bool withFlags) {
    QDBusMessage call =
        logindCall(withFlags ? QStringLiteral("PowerOffWithFlags") : QStringLiteral("PowerOff"));
    if (withFlags)
        call << QVariant::fromValue(kSkipInhibitors);
    else
        call << false; // not interactive: nobody is asked
    bus_.call(call, kTimeoutMs, [this, withFlags](const BusAnswer& answer) {
        if (answer.ok()) return;
        const QString error = answer.reply.errorName();
        // logind before 257 rejects the flag; before 248 it lacks the method.
        if (withFlags && (error == QLatin1String("org.freedesktop.DBus.Error.InvalidArgs") ||
                          error == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))) {
            ask(false);
            return;
        }
        std::fprintf(stderr, "quelvex: power-off failed: %s\n", answer.failure.toLocal8Bit().constData());
        // logind's own words where it gave some; otherwise why no answer came.
        const QString message = answer.reply.errorMessage();
        errors_.showError("Cannot switch the computer off: " +
                          (message.isEmpty() ? answer.failure : message).toStdString());
    });
}

} // namespace quelvex
