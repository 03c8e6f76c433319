// Fake services and a virtual clock for driving the window model without a screen.
#pragma once

#include "core/form1.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quelvex::testing {

// How the fake clock writes the time of day after the date.
enum class TimeStyle {
    TwentyFour,   // 23:50:00
    UpperAmPm,    // 11:50:00 PM
    DottedLower,  // 11:50:00 p.m.
};

LocalDateTime fromEpochMs(std::int64_t ms);
std::int64_t toEpochMs(const LocalDateTime& t);

class FakeClock : public Clock {
  public:
    std::int64_t nowMs = 0; // local time, milliseconds since 1970-01-01 00:00
    TimeStyle style = TimeStyle::TwentyFour;
    bool spanishUser = false;
    int formatCalls = 0;

    void set(int year, int month, int day, int hour, int minute, int second, int ms = 0) {
        nowMs = toEpochMs({year, month, day, hour, minute, second, ms});
    }
    LocalDateTime now() override { return fromEpochMs(nowMs); }
    std::string format(const LocalDateTime& when) override;
    LocalDateTime parse(const std::string& text) override;
    bool userLanguageIsSpanish() override { return spanishUser; }
};

struct FakeSound : Sound {
    std::vector<std::string> calls; // "play:<path>" or "stop"
    void playLoop(const std::string& path) override { calls.push_back("play:" + path); }
    void stopAll() override { calls.push_back("stop"); }
    int plays() const;
};

struct FakePower : Power {
    int requests = 0;
    std::vector<EndAction> actions;
    int allowedQueries = 0;
    void carryOut(EndAction action) override {
        ++requests;
        actions.push_back(action);
    }
    void findAllowed() override { ++allowedQueries; }
};

struct FakeGrab : ScreenGrab {
    std::vector<std::string> files;
    std::vector<bool> windowShown; // for each file, whether the window was on the screen
    std::optional<std::string> failWith;
    bool pending = false; // as the desktop portal, whose pictures are saved later
    int prepares = 0;
    const Face* face = nullptr;
    std::optional<std::string> captureTo(const std::string& fileName) override {
        files.push_back(fileName);
        if (face != nullptr) windowShown.push_back(face->window().visible);
        return failWith;
    }
    bool capturePending() const override { return pending; }
    void prepare() override { ++prepares; }
};

struct FakeDisk : DiskInfo {
    std::int64_t total = 80026361856;
    std::int64_t free = 1023;
    int queries = 0;
    std::int64_t totalBytes() override { return ++queries, total; }
    std::int64_t freeBytes() override { return ++queries, free; }
};

struct FakeErrors : ErrorDisplay {
    std::vector<std::string> shown;
    void showError(const std::string& message) override { shown.push_back(message); }
};

struct FakeHelp : HelpWindow {
    int shows = 0;
    std::vector<bool> languages;
    void showHelp() override { ++shows; }
    void followLanguage(bool english) override { languages.push_back(english); }
};

struct FakeShell : Shell {
    std::vector<std::string> opened;
    void openUrl(const std::string& url) override { opened.push_back(url); }
};

struct FakeNetwork : Network {
    bool online = false;
    int polls = 0;
    bool connected() override { return ++polls, online; }
};

// Loads instantly: a navigation only records the address; the test reports titles and load ends.
struct FakeWebView : WebView {
    std::vector<std::string> navigations;
    std::string shown;
    void navigate(const std::string& url) override { navigations.push_back(url); }
    std::string location() override { return shown; }
};

// Every fake plus the window model, wired the way the program wires the real services.
struct Rig {
    FakeClock clock;
    FakeSound sound;
    FakePower power;
    FakeGrab grab;
    FakeDisk disk;
    FakeErrors errors;
    FakeHelp help;
    FakeShell shell;
    FakeNetwork network;
    FakeWebView web;
    TForm1 form;
    explicit Rig(std::int64_t startMs = 0);
    SharedState& s() { return form.state(); }
    Face& face() { return form.face(); }
};

} // namespace quelvex::testing
