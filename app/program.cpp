#include "app/program.h"

#include "core/form1.h"
#include "platform/disk_statvfs.h"
#include "platform/face_driver.h"
#include "platform/main_view.h"
#include "platform/placeholder_services.h"
#include "platform/system_clock.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <exception>

namespace quelvex {

struct Program::Parts {
    explicit Parts(Timer1Mode timer1)
        : form(Services{clock, sound, power, grab, disk, errors, help,
                        QCoreApplication::applicationDirPath().toStdString() + "/"}),
          driver(form.face(), form), view(form.face(), driver), timers(form.face(), driver, timer1) {
        driver.attach(view);
        driver.attach(timers);
    }

    SystemClock clock;
    ReportingSound sound;
    ReportingPower power;
    ReportingScreenGrab grab;
    StatvfsDisk disk;
    MessageBoxErrors errors;
    ReportingHelpWindow help;
    TForm1 form;
    FaceDriver driver;
    MainView view;
    TimerRuntime timers;
};

Program::Program(Timer1Mode timer1) : parts_(std::make_unique<Parts>(timer1)) {}
Program::~Program() = default;
TForm1& Program::form() { return parts_->form; }
MainView& Program::view() { return parts_->view; }

void setUpApplication() {
    QApplication::setApplicationName(QStringLiteral("Quelvex"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quelvex 5.0"));
    QApplication::setApplicationVersion(QStringLiteral("5.0"));
    QIcon icon(QStringLiteral(":/skin/quelvex-48.png"));
    icon.addFile(QStringLiteral(":/skin/quelvex.svg"));
    QApplication::setWindowIcon(icon);
}

int runProgram(int argc, char** argv, Timer1Mode timer1) {
    QApplication app(argc, argv);
    setUpApplication();
    try {
        Program program(timer1);
        program.view().show();
        app.exec();
    } catch (const std::exception& e) {
        // No event loop runs any more, so the box is shown here and now.
        QMessageBox::critical(nullptr, QStringLiteral("Quelvex 5.0"), QString::fromLocal8Bit(e.what()));
    }
    return 0;
}

} // namespace quelvex
