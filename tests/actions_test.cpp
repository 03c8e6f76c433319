// Screen captures (file names, periodic captures, the hidden-window sequence, failures) and the
// switches of the options panel.
#include "actions/capture_warm_up.h"
#include "tests/face_reading.h"

#include <gtest/gtest.h>

namespace quelvex::testing {
namespace {

void enableCaptures(VirtualTime& vt, int interval, bool hide) {
    vt.clickOn(Image::capture);
    if (hide) vt.clickOn(Image::show);
    if (interval > 0) vt.clickOn(Image::rate);
    for (int i = 0; i < interval; ++i) vt.clickOn(Image::rateup);
}

// A program-counter count started at a whole second, so that each advance(1000) is one step.
void startCount(Rig& rig, VirtualTime& vt, int h, int m, int s, int interval, bool hide) {
    vt.press(Image::pc);
    enter(vt, h, m, s);
    enableCaptures(vt, interval, hide);
    ASSERT_EQ(rig.clock.nowMs % 1000, 0);
    vt.clickOn(Image::start);
}

// Runs `steps` seconds and returns the step at which each capture file was written.
std::vector<int> captureSteps(Rig& rig, VirtualTime& vt, int steps) {
    std::vector<int> at;
    const std::size_t before = rig.grab.files.size();
    for (int k = 1; k <= steps; ++k) {
        vt.advance(1000);
        while (before + at.size() < rig.grab.files.size()) at.push_back(rig.s().countElapsed);
    }
    return at;
}


TEST(Capture, FileNamesHaveNoLeadingZerosOrSeconds) {
    const struct {
        LocalDateTime when;
        const char* name;
    } cases[] = {
        {{2026, 12, 6, 9, 5, 42}, "Quelvex ScreenCAP 9.5 6-12-2026.jpg"},
        {{2027, 1, 1, 0, 0, 10}, "Quelvex ScreenCAP 0.0 1-1-2027.jpg"},
        {{2026, 12, 31, 23, 59, 59}, "Quelvex ScreenCAP 23.59 31-12-2026.jpg"},
    };
    for (const auto& c : cases) {
        Rig rig(toEpochMs(c.when));
        VirtualTime vt(rig);
        startCount(rig, vt, 0, 0, 1, 0, false);
        vt.advance(1);
        ASSERT_EQ(rig.grab.files.size(), 1u);
        EXPECT_EQ(rig.grab.files[0], c.name);
    }
}

TEST(PeriodicCapture, TenMinutesOverAlmostAnHourThenStops) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    startCount(rig, vt, 0, 59, 59, 10, false);
    SharedState& s = rig.s();
    EXPECT_EQ(captureSteps(rig, vt, 3000), (std::vector<int>{600, 1200, 1800, 2400, 3000}));
    EXPECT_EQ(s.periodicCapturesDone, 5);
    vt.advance(1000);
    EXPECT_EQ(s.countElapsed, 3001);
    EXPECT_EQ(s.periodicArmed, 0);
    EXPECT_EQ(s.periodicCapturesDone, 0);
    EXPECT_EQ(s.secondsSinceCapture, 0);
    // Only the end-of-count capture is left.
    EXPECT_EQ(captureSteps(rig, vt, 700), std::vector<int>{3599});
    EXPECT_EQ(rig.power.requests, 1);
}

TEST(PeriodicCapture, LastPeriodicAndEndOfCountShareAFileName) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    startCount(rig, vt, 0, 10, 0, 2, false);
    EXPECT_EQ(captureSteps(rig, vt, 620), (std::vector<int>{120, 240, 360, 480, 600, 600}));
    EXPECT_EQ(rig.grab.files[4], rig.grab.files[5]);
    EXPECT_EQ(rig.grab.files[5], "Quelvex ScreenCAP 9.9 7-12-2026.jpg");
}

TEST(PeriodicCapture, HiddenWindowSequence) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    startCount(rig, vt, 0, 5, 0, 1, true);
    const Face& f = rig.face();
    ASSERT_TRUE(vt.runUntil([&] { return !f.window().visible; }, 70 * 1000));
    EXPECT_EQ(rig.s().countElapsed, 60);
    EXPECT_TRUE(f.enabled(TimerId::Timer4));
    EXPECT_TRUE(rig.grab.files.empty());
    vt.advance(500); // first tick: the screen behind repaints
    EXPECT_TRUE(rig.grab.files.empty());
    vt.advance(500);
    EXPECT_EQ(rig.grab.files.size(), 1u);
    EXPECT_FALSE(f.window().visible);
    vt.advance(500);
    EXPECT_EQ(rig.grab.files.size(), 2u);
    EXPECT_TRUE(f.window().visible);
    EXPECT_FALSE(f.enabled(TimerId::Timer4));
    EXPECT_EQ(rig.s().periodicCapturesDone, 2);
    vt.advance(30 * 1000);
    EXPECT_EQ(rig.grab.files.size(), 2u);
    EXPECT_TRUE(f.window().visible);
}

// With the capture lamp off, or an interval of 0, the periodic capture takes nothing and counts
// nothing. Counted seconds are compared for equality with the period: lowering the interval below
// them stops the captures. With hiding on, each trigger adds 2, so an odd quotient never ends it.
TEST(PeriodicCapture, SwitchesIntervalChangesAndOddQuotient) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    vt.clickOn(Image::shutdown);
    vt.press(Image::rate);
    vt.clickOn(Image::rateup);
    vt.press(Image::pc);
    enter(vt, 0, 3, 0);
    vt.clickOn(Image::start);
    EXPECT_TRUE(captureSteps(rig, vt, 150).empty());
    EXPECT_EQ(rig.s().secondsSinceCapture, 0);

    vt.clickOn(Image::reset);
    vt.clickOn(Image::capture);
    vt.clickOn(Image::ratedown);
    enter(vt, 0, 3, 0);
    vt.clickOn(Image::start);
    EXPECT_EQ(captureSteps(rig, vt, 200), std::vector<int>{180});

    vt.clickOn(Image::reset);
    for (int i = 0; i < 3; ++i) vt.clickOn(Image::rateup);
    enter(vt, 0, 10, 0);
    vt.clickOn(Image::start);
    vt.advance(150 * 1000);
    for (int i = 0; i < 2; ++i) vt.clickOn(Image::ratedown);
    EXPECT_TRUE(captureSteps(rig, vt, 100).empty());

    // 3 minutes over 9: quotient 3, and 2 pictures per hidden trigger.
    vt.clickOn(Image::reset);
    vt.clickOn(Image::show);
    rig.s().secondsSinceCapture = rig.s().periodicCapturesDone = 0;
    for (int i = 0; i < 2; ++i) vt.clickOn(Image::rateup);
    enter(vt, 0, 9, 0);
    vt.clickOn(Image::start);
    EXPECT_TRUE(vt.runUntil([&] { return rig.s().countElapsed == 540; }, 600 * 1000));
    vt.advance(2000);
    EXPECT_EQ(rig.s().periodicCapturesDone, 6);
    EXPECT_EQ(rig.s().periodicArmed, 1);
}

TEST(PeriodicCapture, CountersCarryOverStopResetAndStart) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    startCount(rig, vt, 0, 5, 0, 1, false);
    vt.advance(30 * 1000);
    vt.clickOn(Image::stop);
    EXPECT_EQ(rig.s().secondsSinceCapture, 30);
    vt.advance(5000);
    vt.clickOn(Image::reset);
    enter(vt, 0, 5, 0);
    vt.clickOn(Image::start);
    // Thirty more seconds complete the interval begun before RESET.
    EXPECT_EQ(captureSteps(rig, vt, 40), std::vector<int>{30});
}

TEST(Capture, FailedSaveIsShownAndTheRestStillHappens) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    rig.grab.failWith = "Cannot create file X";
    VirtualTime vt(rig);
    startCount(rig, vt, 0, 2, 0, 1, true);
    vt.advance(62 * 1000);
    EXPECT_EQ(rig.errors.shown.size(), 2u); // the hidden sequence's two pictures
    EXPECT_TRUE(rig.face().window().visible);
    vt.advance(60 * 1000);
    EXPECT_EQ(rig.errors.shown, std::vector<std::string>(3, "Cannot create file X"));
    EXPECT_EQ(rig.power.requests, 1);
    EXPECT_TRUE(rig.face().window().visible);
}

TEST(Capture, WindowStaysShownWhenACountEndsWithCaptureOff) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    vt.clickOn(Image::show); // hiding asked for, but capture is off
    vt.press(Image::pc);
    enter(vt, 0, 0, 2);
    vt.clickOn(Image::start);
    bool everHidden = false;
    for (int k = 0; k < 4; ++k) {
        vt.advance(1000);
        everHidden = everHidden || !rig.face().window().visible;
    }
    EXPECT_EQ(rig.power.requests, 1);
    EXPECT_TRUE(rig.grab.files.empty());
    EXPECT_FALSE(everHidden);
    EXPECT_TRUE(rig.face().window().visible);
}

TEST(Capture, WindowComesBackWhenTheCountEndsDuringAHiddenCapture) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    // The periodic capture at second 60 hides the window; the count ends one second later.
    startCount(rig, vt, 0, 1, 1, 1, true);
    ASSERT_TRUE(vt.runUntil([&] { return rig.s().countElapsed == 61; }, 70 * 1000));
    // The power-off waits for the sequence's last picture, and none shows the window.
    EXPECT_TRUE(rig.face().enabled(TimerId::Timer4));
    EXPECT_EQ(rig.power.requests, 0);
    vt.advance(9 * 1000);
    EXPECT_FALSE(rig.face().enabled(TimerId::Timer4));
    EXPECT_EQ(rig.grab.windowShown, std::vector<bool>(3, false));
    EXPECT_TRUE(rig.face().window().visible);
    EXPECT_EQ(rig.power.requests, 1);
    EXPECT_EQ(rig.sound.plays(), 0); // the alarm option is off
}

TEST(Capture, PowerOffWaitsForAPictureSavedLater) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    rig.grab.pending = true;
    VirtualTime vt(rig);
    vt.press(Image::alarm);
    startCount(rig, vt, 0, 0, 2, 0, false);
    vt.advance(5000);
    EXPECT_EQ(rig.grab.files.size(), 1u);
    EXPECT_EQ(rig.sound.plays(), 1); // the alarm does not wait
    EXPECT_EQ(rig.power.requests, 0);
    rig.grab.pending = false;
    vt.run([&] { rig.form.capturesSettled(); });
    EXPECT_EQ(rig.power.requests, 1);
    vt.run([&] { rig.form.capturesSettled(); });
    EXPECT_EQ(rig.power.requests, 1);
}

// The service is asked to prepare each time a capture becomes armed, and only then: a time of
// day, a count, the switch turned on during a count; not while idle, counting or disarmed.
TEST(Capture, ArmingACaptureAsksTheServiceToPrepare) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    CaptureWarmUp warmUp(rig.form, rig.grab);
    std::vector<int> prepares;
    const auto then = [&](const std::function<void()>& act) {
        act();
        warmUp.applyChanges({});
        prepares.push_back(rig.grab.prepares);
    };
    then([&] { vt.clickOn(Image::capture); });
    then([&] { vt.clickOn(Image::start); }); // a time of day armed
    then([&] { vt.clickOn(Image::stop); });  // disarmed
    then([&] { vt.press(Image::pc); });      // program counter, nothing armed
    then([&] { enter(vt, 0, 0, 3); });
    then([&] { vt.clickOn(Image::start); });   // a count armed
    then([&] { vt.advance(2000); });           // still the same count
    then([&] { vt.advance(2000); });           // ended, with its capture
    then([&] { vt.clickOn(Image::capture); }); // off
    then([&] { vt.clickOn(Image::reset); });
    then([&] { enter(vt, 0, 0, 5); });
    then([&] { vt.clickOn(Image::start); });   // counting, no capture
    then([&] { vt.clickOn(Image::capture); }); // on during the count
    then([&] { vt.advance(1000); });
    EXPECT_EQ(prepares, (std::vector<int>{0, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 3, 3}));
    EXPECT_EQ(rig.grab.files.size(), 1u);
}

TEST(Options, LampIconAndWordChangeTogether) {
    Rig rig;
    VirtualTime vt(rig);
    const Face& f = rig.face();
    SharedState& s = rig.s();
    auto expectAction = [&](int option, Image lamp, Image lampPic, Image icon, Image iconPic, Image word,
                            Image wordPic, int expected) {
        EXPECT_EQ(option, expected);
        EXPECT_EQ(f.picture(lamp), lampPic) << imageName(lamp);
        EXPECT_EQ(f.picture(icon), iconPic) << imageName(icon);
        EXPECT_EQ(f.picture(word), wordPic) << imageName(word);
    };

    vt.press(Image::shutdown);
    expectAction(s.shutdownOption, Image::shutdown, Image::boff, Image::iconshutoff, Image::iconshutoffoff,
                 Image::screenshutdown, Image::off, 0);
    vt.press(Image::iconshutoff);
    expectAction(s.shutdownOption, Image::shutdown, Image::bon, Image::iconshutoff, Image::iconshutoffon,
                 Image::screenshutdown, Image::on, 1);
    vt.press(Image::alarm);
    expectAction(s.alarmOption, Image::alarm, Image::bon, Image::iconbell, Image::iconbellon, Image::screenalarm,
                 Image::on, 1);
    vt.press(Image::iconbell);
    expectAction(s.alarmOption, Image::alarm, Image::boff, Image::iconbell, Image::iconbelloff,
                 Image::screenalarm, Image::off, 0);
    vt.press(Image::show);
    EXPECT_EQ(s.hideOnCapture, 1);
    EXPECT_EQ(f.picture(Image::show), Image::bon);
    vt.press(Image::show);
    EXPECT_EQ(s.hideOnCapture, 0);
    EXPECT_EQ(f.picture(Image::show), Image::boff);

    vt.press(Image::lan);
    ASSERT_EQ(s.language, Spanish);
    EXPECT_EQ(f.picture(Image::screenshutdown), Image::si);
    EXPECT_EQ(f.picture(Image::screenalarm), Image::no);
    EXPECT_EQ(f.picture(Image::screencapture), Image::no);
    vt.press(Image::capture);
    expectAction(s.captureOption, Image::capture, Image::bon, Image::iconcapture, Image::iconcaptureon,
                 Image::screencapture, Image::si, 1);
    // The icon's handler writes the English word in either language.
    vt.press(Image::iconcapture);
    expectAction(s.captureOption, Image::capture, Image::boff, Image::iconcapture, Image::iconcaptureoff,
                 Image::screencapture, Image::off, 0);
    vt.press(Image::iconbell);
    expectAction(s.alarmOption, Image::alarm, Image::bon, Image::iconbell, Image::iconbellon, Image::screenalarm,
                 Image::on, 1);
    vt.press(Image::alarm);
    expectAction(s.alarmOption, Image::alarm, Image::boff, Image::iconbell, Image::iconbelloff,
                 Image::screenalarm, Image::no, 0);
}

TEST(Options, CaptureIntervalSwitchStepsAndRepeat) {
    Rig rig;
    VirtualTime vt(rig);
    const Face& f = rig.face();
    SharedState& s = rig.s();

    vt.press(Image::rateup);
    EXPECT_EQ(s.captureInterval, 0);
    EXPECT_FALSE(f.enabled(TimerId::Timer2));
    vt.release(Image::rateup);

    vt.press(Image::rate);
    EXPECT_EQ(s.periodicArmed, 1);
    EXPECT_EQ(f.picture(Image::rate), Image::bon);
    for (int i = 0; i < 7; ++i) vt.clickOn(Image::rateup);
    EXPECT_EQ(intervalDigits(f), "007");
    for (int i = 0; i < 8; ++i) vt.clickOn(Image::ratedown);
    EXPECT_EQ(s.captureInterval, 0);
    EXPECT_EQ(intervalDigits(f), "000");

    vt.press(Image::rateup);
    vt.advance(1000);
    vt.release(Image::rateup);
    EXPECT_EQ(s.captureInterval, 11);
    EXPECT_FALSE(f.enabled(TimerId::Timer2));
    vt.advance(1000);
    EXPECT_EQ(s.captureInterval, 11);
    vt.press(Image::rateup);
    vt.advance(10800);
    vt.release(Image::rateup);
    EXPECT_EQ(s.captureInterval, 120);
    EXPECT_EQ(intervalDigits(f), "120");
    vt.press(Image::rateup);
    vt.advance(100 * 1000);
    vt.release(Image::rateup);
    EXPECT_EQ(s.captureInterval, 999);
    EXPECT_EQ(intervalDigits(f), "999");
    vt.clickOn(Image::rateup);
    EXPECT_EQ(s.captureInterval, 999);

    vt.press(Image::rate);
    EXPECT_EQ(s.periodicArmed, 0);
    EXPECT_EQ(s.captureInterval, 0);
    EXPECT_EQ(f.picture(Image::rate), Image::boff);
    EXPECT_EQ(intervalDigits(f), "000");
    vt.press(Image::ratedown);
    EXPECT_EQ(s.captureInterval, 0);
    EXPECT_FALSE(f.enabled(TimerId::Timer2));
}

// Only what this computer allows is offered (here neither restart nor hibernate); a step skips the rest.
TEST(EndAction, OnlyAllowedActionsAreOffered) {
    Rig rig;
    VirtualTime vt(rig);
    const ActionSet allowed = actionBit(EndAction::PowerOff) | actionBit(EndAction::Suspend);
    vt.press(Image::endaction);
    vt.run([&] { rig.form.allowedActionsFound(allowed); });
    std::vector<int> ids;
    for (const MenuItem& item : rig.face().menu().items)
        ids.push_back(item.id);
    EXPECT_EQ(ids, (std::vector<int>{0, 2, 4, 5}));
    vt.run([&] { rig.form.endActionStep(1), rig.form.allowedActionsFound(allowed); });
    EXPECT_EQ(rig.s().endAction, EndAction::Suspend);
}

} // namespace
} // namespace quelvex::testing

namespace quelvex::testing {
namespace {

std::vector<std::string> menuLabels(const Face& face) {
    std::vector<std::string> labels;
    for (const MenuItem& i : face.menu().items) labels.push_back((i.checked ? "*" : "") + i.label);
    return labels;
}

// The caption opens a menu of what the computer allows (the chosen action always listed); the
// pick is laid over the printed caption and status row in the window's language, and the end of
// a count carries it out once, after the alarm, and leaves the count ended.
TEST(EndAction, MenuOffersWhatIsAllowedAndTheEndCarriesOutThePick) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    vt.press(Image::endaction);
    EXPECT_EQ(rig.power.allowedQueries, 1);
    EXPECT_EQ(rig.face().changes().menuRequests, 0u); // not before the platform has answered
    vt.run([&] { rig.form.allowedActionsFound(actionBit(EndAction::Restart) | actionBit(EndAction::Suspend)); });
    EXPECT_EQ(menuLabels(rig.face()), (std::vector<std::string>{"*Shut down the computer", "Restart the computer",
                                                                "Suspend the computer", "Log out", "Lock the screen"}));
    EXPECT_EQ(rig.face().picture(Image::endaction), kNoPicture);

    vt.run([&] { rig.form.endActionChosen(EndAction::Suspend); });
    EXPECT_EQ(rig.face().picture(Image::endaction), Image::act_en_suspend);
    EXPECT_EQ(rig.face().picture(Image::endactionrow), Image::row_en_suspend);
    EXPECT_EQ(rig.face().picture(Image::endactionmark), Image::actmark);
    EXPECT_EQ(rig.face().choiceText(), "SUSPEND THE COMPUTER");
    vt.press(Image::lan);
    EXPECT_EQ(rig.face().picture(Image::endaction), Image::act_es_suspend);
    EXPECT_EQ(rig.face().choiceText(), "SUSPENDER EL EQUIPO");
    vt.press(Image::endaction);
    vt.run([&] { rig.form.allowedActionsFound(0); });
    EXPECT_EQ(menuLabels(rig.face()), (std::vector<std::string>{"*Suspender el equipo", "Cerrar la sesión",
                                                                "Bloquear la pantalla"}));

    // Up steps back through what is allowed: past nothing to the power-off, whose printed
    // caption shows through again.
    vt.run([&] { rig.form.endActionStep(-1); });
    vt.run([&] { rig.form.allowedActionsFound(actionBit(EndAction::PowerOff)); });
    EXPECT_EQ(rig.s().endAction, EndAction::PowerOff);
    EXPECT_EQ(rig.face().picture(Image::endaction), kNoPicture);
    EXPECT_EQ(rig.face().picture(Image::endactionmark), kNoPicture);

    vt.run([&] { rig.form.endActionChosen(EndAction::Suspend); });
    vt.press(Image::alarm);
    startCount(rig, vt, 0, 0, 3, 0, false);
    vt.advance(10000);
    EXPECT_EQ(rig.power.actions, std::vector<EndAction>{EndAction::Suspend});
    EXPECT_EQ(rig.sound.plays(), 1);
    EXPECT_FALSE(rig.face().enabled(TimerId::Timer1));
    EXPECT_FALSE(rig.form.actionArmed());
}

} // namespace
} // namespace quelvex::testing
