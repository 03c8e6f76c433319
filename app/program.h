#pragma once

#include "platform/qt/timer_runtime.h"
#include "ui/end_action.h"

#include <functional>
#include <memory>

namespace quelvex {

class FaceDriver;
class MainView;
class TForm1;

struct ProgramOptions {
    Timer1Mode timer1 = Timer1Mode::PerSecond;
    // Every action runs except the power-off, which is only reported on standard error.
    bool dryRun = false;
};

// The window with the platform's services, built on a running QApplication.
class Program {
  public:
    explicit Program(ProgramOptions options = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    TForm1& form();
    MainView& view();
    // Input that is not the mouse goes through here, so that its changes reach the screen.
    FaceDriver& driver();
    // What this computer allows, asked without waiting (a rehearsal asks the real service too).
    void askAllowedActions(std::function<void(ActionSet)> done);

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// Application names and icon.
void setUpApplication();

// Builds the program and runs the event loop until the window closes. Reads the command line
// (see commandLineHelp).
int runProgram(int argc, char** argv, Timer1Mode timer1 = Timer1Mode::PerSecond);

} // namespace quelvex
