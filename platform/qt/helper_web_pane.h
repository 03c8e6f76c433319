#pragma once

#include "platform/qt/web_pane.h"

#include <QByteArray>
#include <QWidget>

class QProcess;
class QSocketNotifier;

namespace quelvex {

// The page view drawn by the web view helper, a process of its own: this widget's window holds
// the helper's, which the helper makes inside it; the helper's reports become the pane's events.
// Deleting the pane ends the helper, with every process of the engine.
class HelperWebPane final : public QWidget, public WebPane {
  public:
    HelperWebPane(const QString& program, WebPaneEvents events);
    ~HelperWebPane() override;

    QWidget* widget() override { return this; }
    void navigate(const QUrl& url) override;
    QUrl location() const override { return location_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void send(const QByteArray& line);
    bool readReports();
    void report(const QByteArray& word, const QByteArray& argument);

    WebPaneEvents events_;
    QProcess* helper_;
    int reports_ = -1; // the reading end of the helper's reports
    QSocketNotifier* notifier_ = nullptr;
    QByteArray pending_;
    bool overlong_ = false;
    QUrl location_;
};

// The helper where it can serve: on X11 (a foreign window cannot be embedded under Wayland) and
// when it is installed beside the program. Null otherwise.
WebPaneFactory* webHelperFactory();

} // namespace quelvex
