// One program per desktop session: the first start owns a well-known name on the session bus,
// and a later start hands its command line to that owner instead of opening a second window.
// Without a session bus every start runs on its own.
#pragma once

#include "core/command_line.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <functional>

namespace quelvex {

// Rehearsals and real runs own different names, so neither hands its options to the other.
QString sessionInstanceName(bool dryRun);

enum class HandOverResult : std::uint8_t {
    Delivered,  // the running program has the arguments
    NoInstance, // nobody owns the name (or there is no session bus)
    Failed,     // somebody owns it but did not answer; `failure` says why
};

// Gives `arguments` (without the program's name) to the program that owns the name, with what
// the desktop gave this start to pass a window's activation on (Wayland's token, X11's
// startup id). Needs a QCoreApplication; blocks at most a few seconds.
HandOverResult handOverToRunning(const QStringList& arguments, bool dryRun, QString* failure = nullptr);

// The object a later start calls, on /example/quelvex/Quelvex. A command line it refuses is
// answered with an InvalidArgs error that carries the reason. One whose --action needs the
// computer's leave is answered only once the action check has answered (a few seconds at most),
// and is refused, changing nothing, when the action is not allowed.
class SessionInstance final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "example.quelvex.Quelvex")

  public:
    using Receiver = std::function<void(const CommandRequest& request, const QVariantMap& platformData)>;
    // Hands its argument, later and once, the actions this computer allows.
    using ActionCheck = std::function<void(std::function<void(ActionSet)>)>;

    SessionInstance(bool dryRun, Receiver receiver);
    ~SessionInstance() override;

    // Takes the name. False only when another program owns it already; true also when there is
    // no session bus to take it on (then this start simply runs alone).
    bool claim();
    void setActionCheck(ActionCheck check) { actionCheck_ = std::move(check); }

  public Q_SLOTS:
    Q_SCRIPTABLE void HandOver(const QStringList& arguments, const QVariantMap& platformData);

  private:
    bool dryRun_;
    Receiver receiver_;
    ActionCheck actionCheck_;
    int checking_ = 0; // hand-overs waiting for the action check
    QDBusConnection bus_;
};

} // namespace quelvex
