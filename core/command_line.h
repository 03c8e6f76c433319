// The program's command line: what a start asks for, read from its arguments, and how a running
// window carries it out by pressing its own controls. Shared by every platform's start-up.
#pragma once

#include "ui/end_action.h"
#include "ui/events.h"

#include <optional>
#include <string>
#include <vector>

namespace quelvex {

class TForm1;

// Longest count the face can show, 99:59:59.
inline constexpr int kLongestCountSeconds = 99 * 3600 + 59 * 60 + 59;

struct CommandRequest {
    enum class Count : std::uint8_t { None, In, At };
    Count count = Count::None;
    // For In the length of the count; for At the time of day, both in seconds.
    int seconds = 0;
    bool alarm = false;
    bool capture = false;
    // Minutes between captures while counting; 0 for none.
    int captureEvery = 0;
    bool hideOnCapture = false;
    bool noShutdown = false;
    bool shutdown = false;
    // What the end of the count does to the computer; the window's current choice when absent.
    std::optional<EndAction> action;
    bool stop = false;
    bool dryRun = false;
    bool help = false;
    bool version = false;
};

struct ParsedCommandLine {
    CommandRequest request;
    // Empty when the arguments were understood; otherwise one line for the person, no newline.
    std::string error;
    bool ok() const { return error.empty(); }
};

// Reads the arguments that follow the program's name.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The text of --help, ending in a newline.
std::string commandLineHelp(const std::string& programName);

// Accepted length forms: H:MM:SS, M:SS, and units in falling order (2h, 90m, 45s, 1h30m, 1h5m30s).
// Returns the seconds, or -1 with `error` set.
int parseDuration(const std::string& text, std::string& error);
// HH:MM or HH:MM:SS on a 24-hour clock; seconds of the day, or -1 with `error` set.
int parseTimeOfDay(const std::string& text, std::string& error);

// Carries a request out on the window as a person would: mode button, up buttons, option lamps,
// then START. `events` is the driver that feeds the window, so every change reaches the screen.
void applyCommandRequest(const TForm1& form, FaceEvents& events, const CommandRequest& request);

// What a hand-over may carry. A real start's command line is a few short words; these leave room
// and bound what a caller on the session bus or a window message can make the window read.
inline constexpr std::size_t kMaxHandedOverArguments = 64;
inline constexpr std::size_t kMaxHandedOverArgumentLength = 256;
// Windows' longest command line, 32,767 UTF-16 units, in UTF-8 (at most three bytes each).
inline constexpr std::size_t kLongestCommandLineBytes = 3 * 32767;

// Empty when `count` arguments, the longest of them `longest` characters, may be read; otherwise
// the refusal, one line. Checked before anything else is done with them.
std::string handOverSizeError(std::size_t count, std::size_t longest);

// The arguments of a Windows hand-over: each in UTF-8 followed by a NUL. Nothing when the payload
// does not end in a NUL, is larger than the longest command line or holds too many arguments.
std::optional<std::vector<std::string>> splitHandOverPayload(const char* data, std::size_t size);

// Reads a command line handed over by a later start to a window that rehearses (`rehearsal`) or
// runs for real. Refused, with one line, when it is larger than a start can send, does not parse
// or comes from the other kind of run.
ParsedCommandLine readHandedOverCommandLine(const std::vector<std::string>& arguments, bool rehearsal);

// Carries a handed-over request out on the window. True when the window should then come to the
// front: always, except when all it asked was to stop.
bool applyHandedOverRequest(const TForm1& form, FaceEvents& events, const CommandRequest& request);

// A line for the person about a request that is sound but may surprise (an --at whose moment has
// just gone by, so it comes tomorrow), given the second of the day now; empty otherwise.
std::string commandLineNote(const CommandRequest& request, int secondOfDay);

} // namespace quelvex
