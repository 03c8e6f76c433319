#include "app/program.h"

#include "actions/capture_warm_up.h"
#include "app/command_line_start.h"
#include "core/form1.h"
#include "core/power_warning.h"
#include "platform/linux/desktop_notifier.h"
#include "platform/linux/desktop_session.h"
#include "platform/linux/disk_statvfs.h"
#include "platform/linux/idle_inhibitor.h"
#include "platform/linux/logind_power.h"
#include "platform/linux/screen_grab.h"
#include "platform/linux/session_instance.h"
#include "platform/linux/x11_picture_layer.h"
#include "platform/qt/desktop_shell.h"
#include "platform/qt/help_dialog.h"
#include "platform/qt/main_view.h"
#include "platform/qt/message_box_errors.h"
#include "platform/qt/network_status.h"
#include "platform/qt/qt_sound.h"
#include "platform/qt/qt_web_view.h"
#include "platform/qt/system_clock.h"
#include "ui/face_driver.h"
#include "ui/language.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace quelvex {
namespace {

// Stands in for the power service when a setting is rehearsed.
class DryRunPower : public Power {
  public:
    explicit DryRunPower(Power& real) : real_(real) {}
    void carryOut(EndAction action) override {
        std::fprintf(stderr, "%s\n", endActionRequestedLine(action, true).c_str());
    }
    // What a rehearsal offers is what the real run would.
    void findAllowed() override { real_.findAllowed(); }

  private:
    Power& real_;
};

} // namespace

struct Program::Parts {
    explicit Parts(const ProgramOptions& options)
        : form(Services{clock, sound, options.dryRun ? static_cast<Power&>(dryRunPower) : power, grab, disk,
                        errors, help, QCoreApplication::applicationDirPath().toStdString() + "/"},
               WebServices{shell, network, web}),
          warning(form, notifier, options.dryRun), driver(form.face(), form), view(form.face(), driver),
          timers(form.face(), driver, options.timer1) {
        view.setPictureLayer(&X11PictureLayer::create);
        driver.attach(view);
        driver.attach(timers);
        driver.attach(inhibitor);
        driver.attach(warning);
        driver.attach(captureWarmUp);
        web.attach(view, driver, form.face());
        // A window hidden for a capture must be off the screen before the pixels are read.
        grab.setBeforeGrab([this] { driver.sync(); });
        power.setAllowedHook([this](ActionSet allowed) { driver.allowedActionsFound(allowed); });
        // The program's own inhibitor must not hold up the suspend it asks for.
        power.setBeforeStayingHook([this] { inhibitor.letGoForAction(); });
        grab.setPortalWaitingHook([this](bool waiting) {
            view.holdHidden(waiting);
            if (!waiting) driver.capturesSettled();
        });
    }

    SystemClock clock;
    QtSound sound;
    MessageBoxErrors errors;
    LogindPower power{errors};
    DryRunPower dryRunPower{power};
    DesktopScreenGrab grab{errors}; // keeps only the reference until a capture is armed
    StatvfsDisk disk;
    DesktopShell shell;
    HelpDialog help{shell};
    NetworkStatus network;
    QtWebView web; // its page widget belongs to the view
    TForm1 form;
    IdleInhibitor inhibitor{form}; // outlives the driver that feeds it
    DesktopNotifier notifier{[this] { driver.warningCancelled(); }};
    PowerWarning warning; // as the inhibitor; withdraws its notice at exit
    CaptureWarmUp captureWarmUp{form, grab};
    FaceDriver driver;
    MainView view;
    TimerRuntime timers;
};

Program::Program(ProgramOptions options) : parts_(std::make_unique<Parts>(options)) {}
Program::~Program() = default;
TForm1& Program::form() {
    return parts_->form;
}
MainView& Program::view() {
    return parts_->view;
}
FaceDriver& Program::driver() {
    return parts_->driver;
}
void Program::askAllowedActions(std::function<void(ActionSet)> done) {
    parts_->power.askAllowed(std::move(done));
}

namespace {

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Quelvex"));
    QCoreApplication::setApplicationVersion(QStringLiteral("5.0"));
}

} // namespace

void setUpApplication() {
    nameApplication();
    QApplication::setApplicationDisplayName(QStringLiteral("Quelvex 5.0"));
    // Ties the window to its desktop entry (the Wayland app id, the X11 startup notification).
    QGuiApplication::setDesktopFileName(QStringLiteral("example.quelvex.Quelvex"));
    QIcon icon(QStringLiteral(":/skin/quelvex-48.png"));
    icon.addFile(QStringLiteral(":/skin/quelvex.svg"));
    QApplication::setWindowIcon(icon);
}

int runProgram(int argc, char** argv, Timer1Mode timer1) {
    // Tests and packagers point the program at another server.
    if (const QByteArray site = qgetenv("QUELVEX_SITE_URL"); !site.isEmpty()) setSiteUrl(site.toStdString());
#ifdef Q_OS_UNIX
    // The web engine's sandbox cannot run as root; anyone else keeps it.
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    ProgramOptions options;
    options.timer1 = timer1;
    CommandRequest request;
    QStringList arguments;
    {
        // The command line is read before the display is opened, so --help, --version, a bad
        // value and a hand-over to the running program all answer in a terminal with no display.
        QCoreApplication early(argc, argv);
        nameApplication();
        arguments = early.arguments();
        if (const int status = answerCommandLine(arguments, request); status >= 0) return status;
        options.dryRun = request.dryRun;
    }
    // With shared memory, every repaint of a spot the server may still be reading (the emblem's,
    // twenty times a second) waits for a round trip to the X server first. The face's repaints
    // are a few small pictures, cheaper to send through the socket.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    if (const std::string missing = missingDesktopSession(); !missing.empty()) {
        std::fprintf(stderr, "%s\n", missing.c_str());
        return 1;
    }
    QApplication app(argc, argv);
    setUpApplication();

    try {
        Program program(options);
        SessionInstance instance(options.dryRun,
                                 [&program](const CommandRequest& handed, const QVariantMap& data) {
                                     receiveCommandLine(program, handed, data);
                                 });
        instance.setActionCheck([&program](auto done) { program.askAllowedActions(std::move(done)); });
        // Another start may have taken the name since this one looked.
        if (!instance.claim()) {
            const int status = answerCommandLine(arguments, request);
            return status < 0 ? 1 : status;
        }
        applyCommandRequest(program.form(), program.driver(), request);
        program.view().show();
        app.exec();
    } catch (const std::exception& e) {
        // No event loop runs any more, so the box is shown here and now.
        QMessageBox::critical(nullptr, QStringLiteral("Quelvex 5.0"), QString::fromLocal8Bit(e.what()));
    }
    return 0;
}

} // namespace quelvex
