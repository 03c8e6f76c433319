// Start-up state, the program counter, system time (clock-text scans, trigger, stalled steps)
// and the gauge.
#include "tests/face_reading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>

namespace quelvex::testing {
namespace {

std::int64_t at(int h, int m, int s, int ms = 0, int day = 7) { return toEpochMs({2026, 12, day, h, m, s, ms}); }

constexpr int kTen = 10 * 3600;

TEST(StartUp, FaceTimersOptionsAndFirstStep) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 30, 15);
    const Face& f = rig.face();
    const SharedState& s = rig.s();

    EXPECT_EQ(s.counterMode, SystemTime);
    EXPECT_EQ(f.text(Label::Label3), "DISABLED");
    EXPECT_EQ(f.label(Label::Label3).color, kRed);
    EXPECT_EQ(f.picture(Image::pc), Image::engpcoff);
    EXPECT_EQ(f.picture(Image::st), Image::engston);
    EXPECT_EQ(f.window().width, 483);
    EXPECT_EQ(f.window().height, 335);
    EXPECT_EQ(f.window().left, 200);
    EXPECT_EQ(f.window().top, 100);

    EXPECT_EQ(s.shutdownOption, 1);
    EXPECT_EQ(f.picture(Image::shutdown), Image::bon);
    EXPECT_EQ(f.picture(Image::iconshutoff), Image::iconshutoffon);
    EXPECT_EQ(f.picture(Image::screenshutdown), Image::on);
    EXPECT_EQ(s.alarmOption + s.captureOption + s.hideOnCapture + s.periodicArmed + s.captureInterval, 0);
    for (Image r : {Image::r1, Image::r2, Image::r3}) EXPECT_EQ(f.picture(r), Image::nn0);
    EXPECT_EQ(leftClock(f), "00:00:00");
    EXPECT_EQ(rightClock(f), "00:00:00");
    for (Image i : {Image::modocontador, Image::nodospuntos, Image::esppantalla, Image::mess1, Image::mess2,
                    Image::mess3, Image::mess4})
        EXPECT_FALSE(f.visible(i)) << imageName(i);

    for (TimerId t : {TimerId::Timer1, TimerId::Timer3, TimerId::Timer5, TimerId::Timer6, TimerId::Timer8})
        EXPECT_TRUE(f.enabled(t)) << timerName(t);
    for (TimerId t : {TimerId::Timer2, TimerId::Timer4, TimerId::Timer7}) EXPECT_FALSE(f.enabled(t)) << timerName(t);
    EXPECT_EQ(s.maxHours, 99);
    EXPECT_EQ(s.lastSecond, 99);

    // The very first tick already steps: the left clock shows the time and hours cap at 23.
    VirtualTime vt(rig);
    vt.advance(1);
    EXPECT_EQ(s.maxHours, 23);
    EXPECT_EQ(s.lastSecond, 15);
    EXPECT_EQ(leftClock(f), "09:30:15");
    EXPECT_EQ(f.text(Label::Label3), "DISABLED");

    rig.form.firstShown(1920, 1080);
    EXPECT_EQ(f.window().left, (1920 - 483) / 2);
    EXPECT_EQ(f.window().top, (1080 - 335) / 2);
}

TEST(ProgramCounter, CountsEachSecondEndsAndStartRerunsActions) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    const Face& f = rig.face();
    vt.press(Image::pc);
    enter(vt, 0, 0, 3);
    vt.clickOn(Image::start);

    vt.advance(1);
    EXPECT_EQ(rig.s().countElapsed, 1);
    EXPECT_EQ(f.text(Label::Label3), "ENABLED");
    EXPECT_EQ(f.label(Label::Label3).color, kLime);
    EXPECT_TRUE(f.enabled(TimerId::Timer7));
    vt.advance(998); // 09:00:00.999: no new wall-clock second yet
    EXPECT_EQ(rig.s().countElapsed, 1);

    vt.advance(2);
    // The left clock runs one second ahead of the gauge.
    EXPECT_EQ(leftClock(f), "00:00:02");
    EXPECT_EQ(f.gauge().maximum(), 3);
    EXPECT_EQ(f.gauge().position(), 1);
    EXPECT_EQ(rig.power.requests, 0);

    vt.advance(1000);
    EXPECT_EQ(rig.power.requests, 1);
    EXPECT_FALSE(f.enabled(TimerId::Timer1));
    EXPECT_EQ(f.gauge().position(), 3);
    EXPECT_EQ(f.gauge().percent(), 100);
    EXPECT_EQ(leftClock(f), "00:00:03");

    vt.advance(10000);
    EXPECT_EQ(rig.power.requests, 1);
    EXPECT_EQ(rig.s().countElapsed, 3);

    vt.clickOn(Image::start);
    vt.advance(1);
    EXPECT_EQ(rig.power.requests, 2);
}

TEST(ProgramCounter, StepsOnlyOnTheFirstTickOfEachSecond) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig, VirtualTime::Timer1Mode::EveryMillisecond);
    vt.press(Image::pc);
    enter(vt, 0, 1, 0);
    vt.clickOn(Image::start);
    vt.advance(2500);
    EXPECT_GE(vt.ticks[static_cast<std::size_t>(TimerId::Timer1)], 2400);
    EXPECT_EQ(rig.s().countElapsed, 3);
    EXPECT_EQ(leftClock(rig.face()), "00:00:03");
}

TEST(ProgramCounter, EmptyTargetSwitchesOffAndLeavesStatus) {
    Rig rig;
    VirtualTime vt(rig);
    vt.press(Image::pc);
    vt.clickOn(Image::start);
    EXPECT_TRUE(rig.face().enabled(TimerId::Timer1));
    vt.advance(5);
    EXPECT_FALSE(rig.face().enabled(TimerId::Timer1));
    EXPECT_FALSE(rig.face().enabled(TimerId::Timer7));
    EXPECT_EQ(rig.face().text(Label::Label3), "DISABLED");
    EXPECT_EQ(rig.face().label(Label::Label3).color, kRed);
    EXPECT_EQ(rig.s().countElapsed, 0);
    EXPECT_EQ(rig.power.requests, 0);
}

TEST(ProgramCounter, LeftClockCarriesIntoMinutesAndHours) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    vt.press(Image::pc);
    enter(vt, 1, 1, 1);
    ASSERT_EQ(rig.s().countTarget, 3661);
    vt.clickOn(Image::start);
    vt.advance(60 * 1000);
    EXPECT_EQ(leftClock(rig.face()), "00:01:00");
    EXPECT_EQ(rig.face().gauge().position(), 59);
    vt.advance(3601 * 1000);
    EXPECT_EQ(leftClock(rig.face()), "01:01:01");
    EXPECT_EQ(rig.power.requests, 1);
}

// Services that write every end-of-count action into one log, with what the face showed then.
struct OrderLog {
    std::vector<std::string> events;
    TForm1* form = nullptr;
    std::string snapshot() const {
        const Face& f = form->face();
        return std::string(f.enabled(TimerId::Timer1) ? " timer1" : "") +
               (f.gauge().percent() == 100 ? " full" : "") + (f.window().visible ? " shown" : " hidden");
    }
};
struct LogSound : Sound {
    OrderLog& log;
    explicit LogSound(OrderLog& l) : log(l) {}
    void playLoop(const std::string& path) override { log.events.push_back("play " + path); }
    void stopAll() override { log.events.push_back("stop"); }
};
struct LogPower : Power {
    OrderLog& log;
    explicit LogPower(OrderLog& l) : log(l) {}
    void carryOut(EndAction) override { log.events.push_back("power" + log.snapshot()); }
    void findAllowed() override {}
};
struct LogGrab : ScreenGrab {
    OrderLog& log;
    explicit LogGrab(OrderLog& l) : log(l) {}
    std::optional<std::string> captureTo(const std::string&) override {
        log.events.push_back("capture" + log.snapshot());
        return std::nullopt;
    }
};

TEST(EndOfCount, AlarmTimerGaugeCaptureThenPowerOff) {
    OrderLog log;
    LogSound sound(log);
    LogPower power(log);
    LogGrab grab(log);
    FakeClock clock;
    FakeDisk disk;
    FakeErrors errors;
    FakeHelp help;
    clock.set(2026, 12, 7, 9, 0, 0);
    TForm1 form(Services{clock, sound, power, grab, disk, errors, help, "/opt/quelvex/"});
    log.form = &form;
    form.pcMouseDown();
    for (int i = 0; i < 2; ++i) form.supMouseDown(), form.supMouseUp();
    form.alarmMouseDown();
    form.captureMouseDown();
    form.showMouseDown();
    form.startMouseUp();
    log.events.clear();
    for (int i = 0; i < 3; ++i) {
        if (i == 1) form.face().show(Image::nodospuntos); // as the blink leaves it half the time
        form.timerTick(TimerId::Timer1);
        clock.nowMs += 1000;
    }
    const std::vector<std::string> expected = {"stop", "play /opt/quelvex/ALARM.WAV", "capture full hidden",
                                               "power full shown"};
    EXPECT_EQ(log.events, expected);
    EXPECT_FALSE(form.face().visible(Image::nodospuntos));
}

TEST(SystemTime, GaugeUsesThePreviousStep) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 8, 0, 0);
    VirtualTime vt(rig);
    const Gauge& g = rig.face().gauge();
    enter(vt, 10, 0, 0);
    vt.advance(1);
    EXPECT_EQ(g.maximum(), kTen);
    EXPECT_EQ(g.position(), 0);
    vt.advance(1000);
    EXPECT_EQ(g.position(), 8 * 3600);
    EXPECT_EQ(g.percent(), 80);

    rig.clock.set(2026, 12, 7, 11, 0, 0);
    vt.advance(1000);
    EXPECT_EQ(g.maximum(), kTen);
    EXPECT_EQ(g.position(), 8 * 3600 + 1);
    vt.advance(1000);
    // Past the entered time the bar is scaled to the time of day instead.
    EXPECT_EQ(g.maximum(), 11 * 3600);
    EXPECT_EQ(g.position(), kTen);
    EXPECT_EQ(g.percent(), 90);
}

TEST(SystemTime, ClockTextScans) {
    struct Case {
        TimeStyle style;
        int hour, minute;
        int twelve, morning;
        bool am, pm, amc;
        const char* left;
    };
    const Case cases[] = {
        {TimeStyle::TwentyFour, 23, 50, 0, 0, false, false, false, "23:50:00"},
        // "PM" ends the text, so its M is the unexamined last character.
        {TimeStyle::UpperAmPm, 23, 50, 0, 0, false, false, false, "23:50:00"},
        {TimeStyle::UpperAmPm, 9, 15, 0, 1, false, false, false, "09:15:00"},
        {TimeStyle::DottedLower, 23, 50, 1, 0, false, true, true, "11:50:00"},
        {TimeStyle::DottedLower, 9, 15, 1, 1, true, false, true, "09:15:00"},
        {TimeStyle::DottedLower, 12, 30, 1, 0, false, true, true, "00:30:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(c.style) << " " << c.hour << ":" << c.minute);
        Rig rig;
        rig.clock.style = c.style;
        rig.clock.set(2026, 12, 7, c.hour, c.minute, 0);
        VirtualTime vt(rig);
        vt.advance(1);
        const Face& f = rig.face();
        EXPECT_EQ(rig.s().twelveHourClock, c.twelve) << rig.s().nowText;
        EXPECT_EQ(rig.s().morning, c.morning) << rig.s().nowText;
        EXPECT_EQ(f.visible(Image::am), c.am);
        EXPECT_EQ(f.visible(Image::pm), c.pm);
        EXPECT_EQ(f.visible(Image::amc), c.amc);
        if (!c.twelve) {
            EXPECT_FALSE(f.visible(Image::pmc));
        }
        EXPECT_EQ(leftClock(f), c.left);
        EXPECT_EQ(rig.s().countElapsed, c.hour * 3600 + c.minute * 60);
    }
}

TEST(SystemTime, ArmedTriggerRunsOnceOneSecondEarly) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 59, 50);
    VirtualTime vt(rig);
    armWithAlarm(vt, 10, 0, 0);
    ASSERT_TRUE(vt.runUntil([&] { return rig.power.requests > 0; }, 20000));
    EXPECT_EQ(rig.s().countElapsed, kTen - 1);
    EXPECT_EQ(rig.sound.plays(), 1);
    EXPECT_TRUE(rig.face().enabled(TimerId::Timer1));
    EXPECT_EQ(rig.face().text(Label::Label3), "ENABLED");
    vt.advance(120 * 1000);
    EXPECT_EQ(rig.power.requests, 1);
    EXPECT_EQ(rig.sound.plays(), 1);
    EXPECT_EQ(leftClock(rig.face()), "10:01:59");
}

TEST(SystemTime, EnteredMidnightNeverTriggers) {
    for (int stallMs : {0, 2000, 4000}) {
        SCOPED_TRACE(stallMs);
        Rig rig;
        rig.clock.set(2026, 12, 6, 23, 59, 50);
        VirtualTime vt(rig);
        vt.clickOn(Image::start);
        vt.advanceTo(at(23, 59, 58, 0, 6));
        vt.stallNextTick(TimerId::Timer1, stallMs);
        vt.advance(30 * 1000);
        EXPECT_EQ(rig.s().systemTimeArmed, 1);
        EXPECT_EQ(rig.power.requests, 0);
    }
}

// A step delayed by a stalled event loop must neither lose the trigger second nor repeat it.
TEST(SystemTime, StallAroundTheTriggerSecondStillRunsOnce) {
    for (int stalledSecond : {57, 58, 59}) {
        for (int stall : {1, 2, 3}) {
            SCOPED_TRACE(::testing::Message() << "tick at 09:59:" << stalledSecond << " stalled " << stall << " s");
            Rig rig;
            rig.clock.set(2026, 12, 7, 9, 59, 50);
            VirtualTime vt(rig);
            enter(vt, 10, 0, 0);
            vt.clickOn(Image::start);
            vt.advanceTo(at(9, 59, stalledSecond));
            vt.stallNextTick(TimerId::Timer1, stall * 1000);
            ASSERT_TRUE(vt.runUntil([&] { return rig.power.requests > 0; }, 10000));
            EXPECT_EQ(rig.s().countElapsed, kTen - 60 + std::max(59, stalledSecond + stall));
            vt.advance(30 * 1000);
            EXPECT_EQ(rig.power.requests, 1);
        }
    }
}

TEST(SystemTime, OnlyShortForwardGapsCatchUp) {
    struct Case {
        int stalledSecond;
        int stallSeconds;
        bool fires;
    };
    // Gap between steps = 1 + stall; up to 5 catches up.
    const Case cases[] = {{56, 4, true}, {56, 5, false}, {55, 6, false}, {58, 3600, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.stalledSecond << " + " << c.stallSeconds);
        Rig rig;
        rig.clock.set(2026, 12, 7, 9, 59, 50);
        VirtualTime vt(rig);
        enter(vt, 10, 0, 0);
        vt.clickOn(Image::start);
        vt.advanceTo(at(9, 59, c.stalledSecond));
        vt.stallNextTick(TimerId::Timer1, c.stallSeconds * 1000LL);
        vt.advance(60 * 1000);
        EXPECT_EQ(rig.power.requests, c.fires ? 1 : 0);
    }
}

// Waking right after the end, the clock may read behind it (restored from the real-time clock, then
// corrected by network time): that end is not acted on again; the next day's is.
TEST(SystemTime, AClockSetBackOverTheEndDoesNotActAgain) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 59, 50);
    VirtualTime vt(rig);
    armWithAlarm(vt, 10, 0, 0);
    vt.advanceTo(at(10, 0, 3));
    for (int second = 50; second < 60; ++second) {
        rig.clock.set(2026, 12, 7, 9, 59, second);
        rig.form.timerTick(TimerId::Timer1);
    }
    EXPECT_EQ(rig.power.requests, 1);
    vt.advanceTo(at(10, 0, 0, 0, 8));
    EXPECT_EQ(rig.power.requests, 2);
}

// Set at 23:30 for 07:00: armed all night long, so the machine is kept from going idle.
TEST(SystemTime, ATimeEarlierThanNowIsArmedThroughMidnight) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 23, 30, 0);
    VirtualTime vt(rig);
    enter(vt, 7, 0, 0);
    vt.clickOn(Image::start);
    for (const int hour : {23, 0, 3, 6}) {
        vt.advanceTo(toEpochMs({2026, 12, hour == 23 ? 7 : 8, hour, 45, 0}));
        EXPECT_TRUE(rig.form.actionArmed()) << hour;
    }
    EXPECT_EQ(rig.power.requests, 0);
    vt.advanceTo(toEpochMs({2026, 12, 8, 7, 0, 0}));
    EXPECT_EQ(rig.power.requests, 1);
}

TEST(SystemTime, StallAcrossMidnightCatchesTheFirstSecond) {
    struct Case {
        int stalledSecond;
        int stallMs;
        int expectedRequests;
        int firedAt;
    };
    const Case cases[] = {{59, 0, 1, 0}, {59, 2000, 1, 1}, {58, 3000, 1, 1}, {58, 3600 * 1000, 0, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.stalledSecond << " + " << c.stallMs << " ms");
        Rig rig;
        rig.clock.set(2026, 12, 31, 23, 59, 50);
        VirtualTime vt(rig);
        enter(vt, 0, 0, 1);
        vt.clickOn(Image::start);
        vt.advanceTo(toEpochMs({2026, 12, 31, 23, 59, c.stalledSecond, 0}));
        vt.stallNextTick(TimerId::Timer1, c.stallMs);
        if (c.firedAt >= 0) {
            ASSERT_TRUE(vt.runUntil([&] { return rig.power.requests > 0; }, 10000));
            EXPECT_EQ(rig.s().countElapsed, c.firedAt);
        }
        vt.advance(30 * 1000);
        EXPECT_EQ(rig.power.requests, c.expectedRequests);
    }
}

TEST(Gauge, ZeroMaximumClampingAndWholePercentChanges) {
    Face f;
    f.takeChanges();
    f.setGaugeMaximum(1000);
    f.setGaugePosition(5); // 0 %
    EXPECT_FALSE(f.changes().gauge);
    f.setGaugePosition(10);
    EXPECT_EQ(f.gauge().percent(), 1);
    EXPECT_TRUE(f.takeChanges().gauge);
    f.setGaugePosition(19);
    EXPECT_FALSE(f.changes().gauge);

    f.setGaugeMaximum(0);
    EXPECT_EQ(f.gauge().maximum(), 1000);
    f.setGaugePosition(5000);
    EXPECT_EQ(f.gauge().position(), 1000);
    f.setGaugePosition(-3);
    EXPECT_EQ(f.gauge().position(), 0);

    f.setGaugePosition(700);
    f.setGaugeMaximum(300);
    EXPECT_EQ(f.gauge().position(), 300);
    EXPECT_EQ(f.gauge().percent(), 100);
    f.setGaugeMaximum(7);
    f.setGaugePosition(2);
    EXPECT_EQ(f.gauge().percent(), 28);
}

TEST(Timing, SimulatedArmedDayRunsActionsOnce) {
    Rig rig;
    rig.clock.set(2027, 3, 1, 0, 0, 0);
    VirtualTime vt(rig);
    enter(vt, 15, 0, 0);
    vt.clickOn(Image::alarm);
    vt.clickOn(Image::capture);
    vt.clickOn(Image::start);
    const auto t0 = std::chrono::steady_clock::now();
    vt.advance(86'400'000);
    const auto realMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_EQ(rig.power.requests, 1);
    EXPECT_EQ(rig.sound.plays(), 1);
    ASSERT_EQ(rig.grab.files.size(), 1u);
    EXPECT_EQ(rig.grab.files[0], "Quelvex ScreenCAP 14.59 1-3-2027.jpg");
    EXPECT_GE(vt.ticks[static_cast<std::size_t>(TimerId::Timer1)], 86400);
    std::cout << "[ timing ] one simulated day took " << realMs << " ms of real time\n";
    RecordProperty("simulated_day_real_ms", static_cast<int>(realMs));
}

} // namespace
} // namespace quelvex::testing
