// START, STOP and RESET, the time entry buttons and the two counter modes.
#include "tests/face_reading.h"

#include <gtest/gtest.h>

namespace quelvex::testing {
namespace {

constexpr Image kEntry[] = {Image::hup, Image::hdown, Image::mup, Image::mdown, Image::sup, Image::sdown};

int visibleEntryButtons(const Face& f) {
    int n = 0;
    for (Image b : kEntry) n += f.visible(b);
    return n;
}

void expectStopped(const Face& f) {
    EXPECT_EQ(f.text(Label::Label3), "DISABLED");
    EXPECT_EQ(f.label(Label::Label3).color, kRed);
    EXPECT_FALSE(f.enabled(TimerId::Timer7));
}

TEST(StartStopReset, ProgramCounterRunStopResumeReset) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    const Face& f = rig.face();
    SharedState& s = rig.s();
    vt.press(Image::pc);
    enter(vt, 0, 1, 30);

    vt.press(Image::start);
    EXPECT_EQ(f.picture(Image::start), Image::startoff);
    EXPECT_EQ(visibleEntryButtons(f), 6);
    vt.run([&] {
        rig.form.click(Image::start);
        rig.form.mouseUp(Image::start, MouseButton::Left, 0, 0);
    });
    EXPECT_EQ(f.picture(Image::start), Image::starton);
    EXPECT_EQ(visibleEntryButtons(f), 0);
    EXPECT_TRUE(f.enabled(TimerId::Timer1));
    vt.advance(10 * 1000);
    EXPECT_EQ(s.countElapsed, 10);

    vt.press(Image::stop);
    EXPECT_EQ(f.picture(Image::stop), Image::stopoff);
    EXPECT_EQ(visibleEntryButtons(f), 0);
    rig.sound.calls.clear();
    vt.release(Image::stop);
    EXPECT_EQ(f.picture(Image::stop), Image::stopon);
    expectStopped(f);
    EXPECT_FALSE(f.enabled(TimerId::Timer1));
    EXPECT_FALSE(f.visible(Image::nodospuntos));
    EXPECT_EQ(rig.sound.calls, std::vector<std::string>{"stop"});
    vt.advance(5 * 1000);
    EXPECT_EQ(s.countElapsed, 10);

    vt.clickOn(Image::start);
    vt.advance(3 * 1000);
    EXPECT_EQ(s.countElapsed, 13);
    EXPECT_EQ(leftClock(f), "00:00:13");
    EXPECT_EQ(f.text(Label::Label3), "ENABLED");

    vt.press(Image::reset);
    EXPECT_EQ(f.picture(Image::reset), Image::resetoff);
    EXPECT_FALSE(f.enabled(TimerId::Timer1));
    EXPECT_EQ(s.countTarget + s.countElapsed + s.setMinutes + s.setSeconds + s.clockSeconds, 0);
    EXPECT_EQ(leftClock(f), "00:00:13"); // digits wait for the release
    EXPECT_EQ(rightClock(f), "00:01:30");
    rig.sound.calls.clear();
    vt.release(Image::reset);
    EXPECT_EQ(f.picture(Image::reset), Image::reseton);
    expectStopped(f);
    EXPECT_EQ(visibleEntryButtons(f), 6);
    EXPECT_EQ(f.gauge().position(), 0);
    EXPECT_EQ(leftClock(f), "00:00:00");
    EXPECT_EQ(rightClock(f), "00:00:00");
    EXPECT_EQ(rig.sound.calls, std::vector<std::string>{"stop"});
    EXPECT_EQ(rig.power.requests, 0);
}

TEST(StartStopReset, ReleaseOffStartKeepsEntryButRuns) {
    Rig rig;
    VirtualTime vt(rig);
    vt.press(Image::pc);
    enter(vt, 0, 0, 5);
    vt.press(Image::start);
    vt.release(Image::start); // the pointer left START: no click
    EXPECT_EQ(visibleEntryButtons(rig.face()), 6);
    vt.advance(3 * 1000);
    EXPECT_EQ(rig.s().countElapsed, 3);
}

TEST(StartStopReset, SystemTimeArmStopRearmAndReset) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 59, 40);
    VirtualTime vt(rig);
    const Face& f = rig.face();
    enter(vt, 10, 0, 0);

    vt.press(Image::start);
    vt.release(Image::start);
    EXPECT_EQ(rig.s().systemTimeArmed, 1);
    EXPECT_EQ(f.text(Label::Label3), "ENABLED");
    EXPECT_EQ(f.label(Label::Label3).color, kLime);
    EXPECT_TRUE(f.enabled(TimerId::Timer7));
    EXPECT_TRUE(f.enabled(TimerId::Timer1));
    EXPECT_FALSE(f.visible(Image::nodospuntos));
    EXPECT_EQ(visibleEntryButtons(f), 0); // hidden even without a click
    vt.advance(2000);

    vt.press(Image::stop);
    EXPECT_EQ(visibleEntryButtons(f), 6);
    vt.release(Image::stop);
    EXPECT_EQ(rig.s().systemTimeArmed, 0);
    expectStopped(f);
    EXPECT_TRUE(f.enabled(TimerId::Timer1)); // the time of day keeps running
    vt.advance(3000);

    vt.clickOn(Image::start);
    vt.advanceTo(toEpochMs({2026, 12, 7, 10, 0, 5, 0}));
    EXPECT_EQ(rig.power.requests, 1);

    vt.press(Image::reset);
    EXPECT_EQ(f.picture(Image::reset), Image::resetoff);
    vt.release(Image::reset);
    EXPECT_EQ(rig.s().systemTimeArmed, 0);
    expectStopped(f);
    EXPECT_EQ(f.gauge().position(), 0);
    EXPECT_EQ(rig.s().countTarget, 10 * 3600);
    EXPECT_EQ(rightClock(f), "10:00:00");
    EXPECT_EQ(visibleEntryButtons(f), 6);
}

// Disarmed across the trigger second: re-arming just after it must not catch up a second that
// was never armed.
TEST(StartStopReset, StopOverTheTriggerSecondRunsNoAction) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 59, 50);
    VirtualTime vt(rig);
    armWithAlarm(vt, 10, 0, 0);
    vt.advanceTo(toEpochMs({2026, 12, 7, 9, 59, 56, 500}));
    vt.clickOn(Image::stop);
    vt.advanceTo(toEpochMs({2026, 12, 7, 10, 0, 0, 300}));
    vt.clickOn(Image::start);
    EXPECT_EQ(rig.s().systemTimeArmed, 1);
    vt.advance(120 * 1000);
    EXPECT_EQ(rig.power.requests, 0);
    EXPECT_EQ(rig.sound.plays(), 0);
}

TEST(TimeEntry, PressStepsHoldRepeatsAndClampsWithoutCarry) {
    Rig rig;
    VirtualTime vt(rig);
    const Face& f = rig.face();
    SharedState& s = rig.s();
    vt.advance(1); // first system-time step: hours now cap at 23

    vt.press(Image::sup);
    EXPECT_EQ(s.setSeconds, 1);
    EXPECT_EQ(f.picture(Image::sup), Image::supoff);
    EXPECT_TRUE(f.enabled(TimerId::Timer2));
    vt.advance(1000);
    EXPECT_EQ(s.setSeconds, 11);
    vt.release(Image::sup);
    EXPECT_EQ(f.picture(Image::sup), Image::supon);
    EXPECT_FALSE(f.enabled(TimerId::Timer2));
    vt.advance(1000);
    EXPECT_EQ(s.setSeconds, 11);
    EXPECT_EQ(s.countTarget, 11);

    vt.press(Image::sup);
    vt.advance(10 * 1000);
    vt.release(Image::sup);
    EXPECT_EQ(s.setSeconds, 59);
    EXPECT_EQ(s.setMinutes, 0);
    vt.clickOn(Image::sup);
    EXPECT_EQ(s.setSeconds, 59);
    EXPECT_EQ(rightClock(f), "00:00:59");

    vt.press(Image::sdown);
    vt.advance(10 * 1000);
    vt.release(Image::sdown);
    vt.clickOn(Image::sdown);
    EXPECT_EQ(s.setSeconds, 0);
    EXPECT_EQ(s.countTarget, 0);

    vt.clickOn(Image::mup);
    vt.clickOn(Image::mup);
    vt.press(Image::hup);
    vt.advance(5 * 1000);
    vt.release(Image::hup);
    EXPECT_EQ(s.setHours, 23);
    EXPECT_EQ(s.countTarget, 23 * 3600 + 120);
    EXPECT_EQ(rightClock(f), "23:02:00");

    vt.press(Image::pc);
    vt.press(Image::hup);
    vt.advance(30 * 1000);
    vt.release(Image::hup);
    EXPECT_EQ(s.setHours, 99);
    EXPECT_EQ(s.countTarget, 99 * 3600);
    EXPECT_EQ(rightClock(f), "99:00:00");
}

TEST(TimeEntry, HoursFollowTheClockStyle) {
    Rig rig;
    rig.clock.style = TimeStyle::DottedLower;
    rig.clock.set(2026, 12, 7, 15, 0, 0);
    VirtualTime vt(rig);
    const Face& f = rig.face();
    vt.advance(1);
    ASSERT_EQ(rig.s().twelveHourClock, 1);
    EXPECT_TRUE(f.visible(Image::amc));

    enter(vt, 13, 0, 0);
    EXPECT_EQ(rightClock(f), "01:00:00");
    EXPECT_TRUE(f.visible(Image::pmc));
    EXPECT_FALSE(f.visible(Image::amc));
    EXPECT_EQ(rig.s().countTarget, 13 * 3600);
    vt.clickOn(Image::hdown);
    vt.clickOn(Image::hdown);
    EXPECT_EQ(rightClock(f), "11:00:00");
    EXPECT_TRUE(f.visible(Image::amc));
    EXPECT_FALSE(f.visible(Image::pmc));

    // Noon and midnight both read 00; only the mark tells them apart.
    vt.clickOn(Image::hup);
    ASSERT_EQ(rig.s().setHours, 12);
    EXPECT_EQ(rightClock(f), "00:00:00");
    EXPECT_TRUE(f.visible(Image::pmc));
    EXPECT_FALSE(f.visible(Image::amc));
    for (int i = 0; i < 12; ++i) vt.clickOn(Image::hdown);
    ASSERT_EQ(rig.s().setHours, 0);
    EXPECT_EQ(rightClock(f), "00:00:00");
    EXPECT_TRUE(f.visible(Image::amc));
    EXPECT_FALSE(f.visible(Image::pmc));

    vt.press(Image::pc);
    enter(vt, 12, 0, 0);
    EXPECT_EQ(rightClock(f), "12:00:00");
    EXPECT_FALSE(f.visible(Image::amc));
    EXPECT_FALSE(f.visible(Image::pmc));

    // "PM" as the last characters is not taken for a 12-hour clock.
    Rig upper;
    upper.clock.style = TimeStyle::UpperAmPm;
    upper.clock.set(2026, 12, 7, 15, 0, 0);
    VirtualTime vu(upper);
    vu.advance(1);
    enter(vu, 13, 0, 0);
    EXPECT_EQ(rightClock(upper.face()), "13:00:00");
    EXPECT_FALSE(upper.face().visible(Image::pmc));
}

TEST(Modes, SwitchingStopsAndClears) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    const Face& f = rig.face();
    SharedState& s = rig.s();
    vt.advance(1);

    vt.press(Image::pc);
    EXPECT_EQ(s.counterMode, ProgramCounter);
    EXPECT_EQ(f.picture(Image::pc), Image::engpcon);
    EXPECT_EQ(f.picture(Image::st), Image::engstoff);
    EXPECT_EQ(s.maxHours, 99);
    EXPECT_FALSE(f.enabled(TimerId::Timer1));
    EXPECT_EQ(leftClock(f), "00:00:00");
    enter(vt, 0, 0, 30);
    vt.clickOn(Image::start);
    vt.advance(3000);
    ASSERT_EQ(s.countElapsed, 3);

    // Same mode again: the count stops and clears, the status stays as it was.
    rig.sound.calls.clear();
    vt.press(Image::pc);
    EXPECT_FALSE(f.enabled(TimerId::Timer1));
    EXPECT_EQ(s.countElapsed + s.countTarget + s.clockSeconds, 0);
    EXPECT_EQ(leftClock(f), "00:00:00");
    EXPECT_EQ(rightClock(f), "00:00:00");
    EXPECT_EQ(f.text(Label::Label3), "ENABLED");
    EXPECT_EQ(rig.sound.calls, std::vector<std::string>{"stop"});

    enter(vt, 0, 0, 30);
    vt.clickOn(Image::start);
    vt.advance(2000);
    rig.sound.calls.clear();
    vt.press(Image::st);
    EXPECT_EQ(s.counterMode, SystemTime);
    EXPECT_EQ(f.picture(Image::st), Image::engston);
    EXPECT_EQ(f.picture(Image::pc), Image::engpcoff);
    EXPECT_EQ(f.text(Label::Label3), "DISABLED");
    EXPECT_TRUE(f.enabled(TimerId::Timer1));
    EXPECT_EQ(s.countTarget, 0);
    EXPECT_EQ(rightClock(f), "00:00:00");
    EXPECT_EQ(visibleEntryButtons(f), 6);
    EXPECT_EQ(rig.sound.calls, std::vector<std::string>{"stop"});
    vt.advance(1000);
    EXPECT_EQ(leftClock(f), "09:00:06");
    EXPECT_EQ(rig.power.requests, 0);
}

TEST(Modes, RoundTripAfterArmingNeedsStartAgain) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 59, 40);
    VirtualTime vt(rig);
    enter(vt, 10, 0, 0);
    vt.clickOn(Image::start);
    vt.advance(1000);
    vt.press(Image::pc);
    vt.press(Image::st);
    EXPECT_EQ(rig.s().systemTimeArmed, 1);
    EXPECT_EQ(rig.face().text(Label::Label3), "DISABLED");
    enter(vt, 10, 0, 0);
    vt.advanceTo(toEpochMs({2026, 12, 7, 9, 59, 55, 0}));
    EXPECT_EQ(rig.power.requests, 0);
    vt.clickOn(Image::start);
    vt.advance(10 * 1000);
    EXPECT_EQ(rig.power.requests, 1);
}

} // namespace
} // namespace quelvex::testing
