// The main window's behaviour: every handler of its controls and timers, working on the shared
// state and the face model and reaching the platform only through services.
#pragma once

#include "actions/services.h"
#include "core/clock.h"
#include "core/error_display.h"
#include "core/shared_state.h"
#include "help/services.h"
#include "ui/disk.h"
#include "ui/events.h"
#include "ui/face.h"

#include <string>

namespace quelvex {

// The help window as the main window sees it.
class HelpWindow {
  public:
    virtual ~HelpWindow() = default;
    // Makes it visible and brings it to the front.
    virtual void showHelp() = 0;
    // Selects the manual of a language the way the window's own radio buttons do.
    virtual void followLanguage(bool english) = 0;
};

struct Services {
    Clock& clock;
    Sound& sound;
    Power& power;
    ScreenGrab& grab;
    DiskInfo& disk;
    ErrorDisplay& errors;
    HelpWindow& help;
    // Folder of the program, ending in its separator; the alarm file lies there.
    std::string programFolder;
};

class TForm1 : public FaceEvents {
  public:
    explicit TForm1(Services services, WebServices web = WebServices::none());

    SharedState& state() { return s_; }
    const SharedState& state() const { return s_; }
    Face& face() { return face_; }
    const Face& face() const { return face_; }

    // Whether an end-of-count action is pending: a program-counter count is running, or a time
    // of day is armed. The machine must not go idle meanwhile.
    bool actionArmed() const;

    // FaceEvents: routes input to the named handlers.
    void mouseDown(ControlRef control, MouseButton button, int x, int y) override;
    void mouseUp(ControlRef control, MouseButton button, int x, int y) override;
    void mouseMove(ControlRef control, int x, int y) override;
    void click(ControlRef control) override;
    void mouseEnter(ControlRef control) override;
    void mouseLeave(ControlRef control) override;
    void timerTick(TimerId timer) override;
    void firstShown(int screenWidth, int screenHeight) override;
    void webTitleChanged() override { CppWebBrowser1TitleChange(); }
    void webLoadFinished(bool ok) override { CppWebBrowser1LoadFinished(ok); }
    void capturesSettled() override { powerOffWhenCapturesSaved(); }
    // Cancelling the warning before a power-off is pressing STOP.
    void warningCancelled() override { pressControl(*this, Image::stop); }
    void endActionChosen(EndAction action) override;
    void endActionStep(int direction) override;
    void allowedActionsFound(ActionSet allowed) override;

    // Countdown.
    void Timer1Timer();
    void principalclock();

    // Start, stop, reset.
    void startMouseDown();
    void startClick();
    void startMouseUp();
    void stopMouseDown();
    void stopMouseUp();
    void resetMouseDown();
    void resetMouseUp();

    // Time entry.
    void hupMouseDown();
    void mupMouseDown();
    void supMouseDown();
    void hdownMouseDown();
    void mdownMouseDown();
    void sdownMouseDown();
    void hupMouseUp();
    void mupMouseUp();
    void supMouseUp();
    void hdownMouseUp();
    void mdownMouseUp();
    void sdownMouseUp();
    void Timer2Timer();

    // Counter modes.
    void stMouseDown();
    void pcMouseDown();

    // Capture.
    void captureScreen();
    void endOfCountCapture();
    void periodicCaptureStep();
    void Timer4Timer();

    // Options panel switches.
    void shutdownMouseDown();
    void alarmMouseDown();
    void captureMouseDown();
    void iconshutoffMouseDown();
    void iconbellMouseDown();
    void iconcaptureMouseDown();
    void showMouseDown();
    void rateMouseDown();
    void rateupMouseDown();
    void rateupMouseUp();
    void ratedownMouseDown();
    void ratedownMouseUp();
    // The end action's caption and its mark: a press opens the menu of allowed actions.
    void endactionMouseDown();
    void endactionMouseEnter();
    void endactionMouseLeave();

    // Window skin.
    void estrellaMouseDown();
    void estrellaMouseUp();
    void minimiceMouseDown();
    void minimiceMouseUp();
    void closeMouseDown();
    void closeMouseUp();
    void menudownMouseDown();
    void menudownMouseUp();
    void menuupMouseDown();
    void menuupMouseUp();
    void Label9Click();
    void Label10Click();
    void modulo1MouseDown(int x, int y);
    void modulo1MouseMove(int x, int y);
    void modulo1MouseUp();
    void modulo2MouseDown(int x, int y) { modulo1MouseDown(x, y); }
    void modulo2MouseMove(int x, int y) { modulo1MouseMove(x, y); }
    void modulo2MouseUp() { modulo1MouseUp(); }
    void Timer7Timer();
    void Timer5Timer();

    // Disk and language.
    void Timer3Timer();
    void Timer8Timer();
    void lanMouseDown();
    void Label7Click();

    // Links and the web strip.
    void Label4Click();
    void Label4MouseEnter();
    void Label4MouseLeave();
    void Label8Click();
    void Timer6Timer();
    void CppWebBrowser1TitleChange();
    void CppWebBrowser1LoadFinished(bool ok);
    void Image6Click();

    // The open and close sequences of the options panel.
    void openOptionsPanel();
    void closeOptionsPanel();

  private:
    void readTime();
    void systemTimeStep();
    void programCounterStep();
    void endOfCountActions();
    void powerOffWhenCapturesSaved();
    bool systemTimeTriggerDue() const;
    void drawLeftClock();
    void drawRightHours();
    void drawRightClock();
    void stepEntry(int field, int step, Image button, Image pressed);
    void releaseEntry(Image button, Image released);
    void keepEntryInRange(int field);
    void recomputeTarget();
    void showEntryButtons(bool visible);
    void setStatus(bool running);
    void setModePictures();
    void saveWindowVisibility();
    void startAlarm();
    void stopAllSound();
    void setActionOption(int& option, Image lamp, Image icon, Image onPicture, Image offPicture,
                         Image statusWord, bool fromLamp);
    void refreshLanguage();
    void showEndAction();
    void openEndActionMenu();
    void setLinkCaptions();

    Services svc_;
    WebServices web_;
    SharedState s_;
    Face face_;
};

} // namespace quelvex
