// The command line: what it accepts and refuses, and the face it leaves once carried out.
#include "core/command_line.h"
#include "tests/face_reading.h"

#include <gtest/gtest.h>

namespace quelvex::testing {
namespace {

using Count = CommandRequest::Count;
using Args = std::vector<std::string>;

// "--in 1:30:00" as the shell splits it.
Args words(const std::string& line) {
    Args out(1);
    for (char c : line) {
        if (c == ' ')
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

TEST(CommandLine, ReadsEachFormAndRefusesBadValuesWithOneLine) {
    const struct {
        const char* line;
        Count count;
        int seconds;
    } valid[] = {
        {"--in 1:30:00", Count::In, 5400}, {"--in=90m", Count::In, 5400},
        {"--in 2h", Count::In, 7200},      {"--in 45s", Count::In, 45},
        {"--in 1h30m", Count::In, 5400},   {"--in 5:00", Count::In, 300},
        {"--in 1h5m30s", Count::In, 3930}, {"--in 99:59:59", Count::In, kLongestCountSeconds},
        {"--at 22:30", Count::At, 81000},  {"--at=07:05:09", Count::At, 25509},
        {"--at 0:00:01", Count::At, 1},    {"--in 359999s", Count::In, kLongestCountSeconds},
    };
    for (const auto& v : valid) {
        const ParsedCommandLine p = parseCommandLine(words(v.line));
        EXPECT_TRUE(p.ok()) << v.line << ": " << p.error;
        EXPECT_EQ(p.request.count, v.count) << v.line;
        EXPECT_EQ(p.request.seconds, v.seconds) << v.line;
    }
    const ParsedCommandLine all =
        parseCommandLine(words("--alarm --capture=5 --hide --no-shutdown --dry-run"));
    ASSERT_TRUE(all.ok()) << all.error;
    EXPECT_TRUE(all.request.alarm && all.request.capture && all.request.hideOnCapture &&
                all.request.noShutdown && all.request.dryRun);
    EXPECT_EQ(all.request.captureEvery, 5);
    EXPECT_EQ(all.request.count, Count::None);
    EXPECT_EQ(parseCommandLine({"--capture"}).request.captureEvery, 0);
    EXPECT_EQ(parseCommandLine(words("--action=logout")).request.action, EndAction::LogOut);
    EXPECT_FALSE(parseCommandLine({}).request.action);

    for (const char* line : {"--in 0:00:00", "--in 0s",        "--in 100:00:00",
                             "--in 6000m",   "--in 1:60",      "--in abc",
                             "--in 30m1h",   "--in 90",        "--in 1h1h",
                             "--in",         "--in=",          "--in 99999h",
                             "--in 999999h", "--at 24:00",     "--at 7:5",
                             "--at 00:00",   "--at 12",        "--in 1m --at 10:00",
                             "--capture=0",  "--capture=1000", "--capture=x",
                             "--frobnicate", "stray",          "--stop --in 1m",
                             "--alarm=yes",  "--action",       "--action reboot",
                             "--action lock --action lock"}) {
        const ParsedCommandLine p = parseCommandLine(words(line));
        EXPECT_FALSE(p.ok()) << line;
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << p.error;
    }
    for (const char* line : {"--in 1:5", "--in 1:00:00:00", "--in 1m --in 2m", "--shutdown --no-shutdown"})
        EXPECT_FALSE(parseCommandLine(words(line)).ok()) << line;
    for (const char* line : {"--in 360000s", "--in 99999999999999999999m", "--in 1000000:00:00"})
        EXPECT_NE(parseCommandLine(words(line)).error.find("too long"), std::string::npos) << line;
}

TEST(CommandLine, HandOverKeepsRehearsalsApartAndTakesOnlyWholePayloads) {
    EXPECT_TRUE(readHandedOverCommandLine({"--dry-run", "--in", "2s"}, true).ok());
    EXPECT_FALSE(readHandedOverCommandLine({"--in", "2s"}, true).ok());
    const auto split = [](const std::string& s) { return splitHandOverPayload(s.data(), s.size()); };
    EXPECT_EQ(split(std::string("--in\090s\0", 9)), (Args{"--in", "90s"}));
    EXPECT_FALSE(split(std::string("--in\090s", 8))); // its last argument cut short
    EXPECT_FALSE(split(std::string(65, '\0')));
    EXPECT_FALSE(split(std::string(kLongestCommandLineBytes + 1, '\0')));
    EXPECT_NE(commandLineNote(parseCommandLine({"--at", "10:00"}).request, 35999), "");
}

TEST(CommandLine, SetsTheFaceThenStartsAndHandedOverStopEndsTheCount) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0);
    VirtualTime vt(rig);
    const Face& f = rig.face();
    const SharedState& s = rig.s();
    const auto apply = [&](const Args& args) {
        bool front = false;
        vt.run([&] { front = applyHandedOverRequest(rig.form, rig.form, parseCommandLine(args).request); });
        return front;
    };

    EXPECT_TRUE(apply({"--in", "1:30:00", "--alarm", "--capture=5", "--no-shutdown"}));
    EXPECT_EQ(s.counterMode, ProgramCounter);
    EXPECT_EQ(rightClock(f), "01:30:00");
    EXPECT_EQ(intervalDigits(f), "005");
    EXPECT_EQ(s.captureInterval, 5);
    for (Image lamp : {Image::alarm, Image::capture, Image::rate})
        EXPECT_EQ(f.picture(lamp), Image::bon);
    EXPECT_EQ(f.picture(Image::shutdown), Image::boff);
    EXPECT_EQ(f.picture(Image::screenshutdown), Image::off);
    EXPECT_EQ(f.picture(Image::start), Image::starton);
    EXPECT_FALSE(f.visible(Image::hup));
    EXPECT_FALSE(f.enabled(TimerId::Timer2));
    // The first second is a whole one, as after a press of START on a window that has run a while.
    vt.advance(900);
    EXPECT_EQ(s.countElapsed, 0);
    vt.advance(200);
    EXPECT_EQ(s.countElapsed, 1);
    EXPECT_EQ(f.text(Label::Label3), "ENABLED");
    vt.advance(90 * 60 * 1000 - 1000);
    EXPECT_EQ(s.countElapsed, 5400);
    EXPECT_EQ(rig.sound.plays(), 1);
    EXPECT_EQ(rig.grab.files.size(), 1u + 18u); // every 5 minutes, and the end
    EXPECT_EQ(rig.power.requests, 0);

    // A second start's --in replaces a running count; its --stop ends it as STOP does.
    apply({"--in", "10s"});
    vt.advance(3000);
    EXPECT_EQ(s.countElapsed, 3);
    EXPECT_EQ(s.alarmOption, 1); // options left out keep their setting
    EXPECT_FALSE(apply({"--stop"}));
    EXPECT_EQ(f.text(Label::Label3), "DISABLED");
    vt.advance(20 * 1000);
    EXPECT_EQ(s.countElapsed, 3);

    // --at switches to the time of day, with the shutdown lamp as it was left (off).
    apply({"--at", "10:40:05"}); // the clock is near 10:30:30 by now
    EXPECT_EQ(s.counterMode, SystemTime);
    EXPECT_EQ(rightClock(f), "10:40:05");
    EXPECT_EQ(s.systemTimeArmed, 1);
    vt.advance(9 * 60 * 1000);
    EXPECT_EQ(rig.sound.plays(), 1);
    vt.advance(2 * 60 * 1000);
    EXPECT_EQ(rig.sound.plays(), 2);
    EXPECT_EQ(rig.power.requests, 0);
    apply({"--shutdown"}); // the way back from --no-shutdown
    EXPECT_EQ(f.picture(Image::shutdown), Image::bon);
}

} // namespace
} // namespace quelvex::testing
