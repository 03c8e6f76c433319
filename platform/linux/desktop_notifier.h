// Notices through the desktop's notification server (org.freedesktop.Notifications).
#pragma once

#include "core/power_warning.h"
#include "platform/linux/lazy_bus.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace quelvex {

// Shows one notice at a time, critical, with its one action as a button, named after the
// program's desktop entry. The session bus is connected on the first notice, never at start, and
// nothing waits on the server: with no session bus or no server nothing is shown and the program
// goes on. A withdrawal asked for while the server has yet to answer happens when it answers,
// however late: a notice shown after it was no longer wanted is taken away at once.
class DesktopNotifier final : public QObject, public Notifier {
    Q_OBJECT
  public:
    // `cancelled` runs when the user takes the notice's action.
    explicit DesktopNotifier(std::function<void()> cancelled);
    ~DesktopNotifier() override;

    void show(const Notice& notice) override;
    void withdraw() override;

  private Q_SLOTS:
    void onActionInvoked(uint id, const QString& action);
    void onClosed(uint id, uint reason);

  private:
    void notify();
    void answered(quint64 serial, const BusAnswer& answer);
    void close();
    void closeNotice(uint id);

    std::function<void()> cancelled_;
    std::unique_ptr<LazyBus> bus_;
    std::optional<Notice> wanted_;
    uint id_ = 0;            // the server's number for the notice on screen; 0 for none
    quint64 lastCall_ = 0;   // the number of the latest Notify sent
    bool answerDue_ = false; // that Notify is out, its id not yet known, and it is waited for
    bool resend_ = false;    // the notice changed while that Notify was out
};

} // namespace quelvex
