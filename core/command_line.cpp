#include "core/command_line.h"

#include "core/form1.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

namespace quelvex {
namespace {

constexpr int kMaxCaptureEvery = 999;
constexpr char kLengthForms[] = "write H:MM:SS, M:SS or units such as 1h30m, 90m, 45s";

bool allDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// Past any count in any unit; numbers stop growing here, so a long run of digits reads as too
// long rather than as no number.
constexpr long long kBeyond = 10'000'000;

// A run of digits, saturated at kBeyond; -1 for anything else.
long long number(const std::string& text) {
    if (!allDigits(text)) return -1;
    long long v = 0;
    for (char c : text)
        v = std::min(v * 10 + (c - '0'), kBeyond);
    return v;
}

// At most four parts: a fourth is already one too many, so the rest is not looked at.
std::vector<std::string> splitColons(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c != ':')
            parts.back() += c;
        else if (parts.size() == 4)
            break;
        else
            parts.emplace_back();
    }
    return parts;
}

// Minutes or seconds after a colon: two digits, below 60 (1:5 could mean 1:05 or 1:50).
int sexagesimal(const std::string& text) {
    if (text.size() != 2) return -1;
    const long long v = number(text);
    return v < 60 ? static_cast<int>(v) : -1;
}

long long colonDuration(const std::string& text) {
    const std::vector<std::string> parts = splitColons(text);
    if (parts.size() < 2 || parts.size() > 3) return -1;
    long long seconds = number(parts[0]);
    if (seconds < 0) return -1;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const int v = sexagesimal(parts[i]);
        if (v < 0) return -1;
        seconds = seconds * 60 + v;
    }
    return seconds;
}

// 2h, 90m, 45s, 1h30m, 1h5m30s: each unit once, hours before minutes before seconds.
long long unitDuration(const std::string& text) {
    static constexpr struct {
        char unit;
        int seconds;
    } kUnits[] = {{'h', 3600}, {'m', 60}, {'s', 1}};
    std::size_t next = 0, at = 0;
    long long total = 0;
    while (at < text.size()) {
        const std::size_t from = at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
            ++at;
        if (at == from || at == text.size()) return -1;
        const long long v = number(text.substr(from, at - from));
        const char unit = static_cast<char>(std::tolower(static_cast<unsigned char>(text[at++])));
        while (next < std::size(kUnits) && kUnits[next].unit != unit)
            ++next;
        if (next == std::size(kUnits)) return -1;
        total += v * kUnits[next++].seconds;
    }
    return text.empty() ? -1 : total;
}

// A value as quoted back in a message: enough to recognise it.
std::string quoted(const std::string& text) {
    constexpr std::size_t kShown = 40;
    return "'" + (text.size() > kShown ? text.substr(0, kShown) + "..." : text) + "'";
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

void pressUntil(FaceEvents& events, Image up, Image down, const int& value, int wanted) {
    for (int guard = 0; value != wanted && guard < 1000; ++guard)
        pressControl(events, value < wanted ? up : down);
}

void pressTimes(FaceEvents& events, Image button, int times) {
    for (int i = 0; i < times; ++i)
        pressControl(events, button);
}

} // namespace

int parseDuration(const std::string& text, std::string& error) {
    const long long seconds = text.find(':') != std::string::npos ? colonDuration(text) : unitDuration(text);
    if (seconds < 0)
        error = quoted(text) + " is not a length of time: " + kLengthForms;
    else if (seconds < 1)
        error = "a count lasts at least 1 second";
    else if (seconds > kLongestCountSeconds)
        error = quoted(text) + " is too long: the longest count is 99:59:59";
    return error.empty() ? static_cast<int>(seconds) : -1;
}

int parseTimeOfDay(const std::string& text, std::string& error) {
    const std::vector<std::string> parts = splitColons(text);
    int seconds = -1;
    if ((parts.size() == 2 || parts.size() == 3) && !parts[0].empty() && parts[0].size() <= 2) {
        const long long hours = number(parts[0]);
        seconds = hours >= 0 && hours < 24 ? static_cast<int>(hours) : -1;
        for (std::size_t i = 1; i < parts.size() && seconds >= 0; ++i) {
            const int v = parts[i].size() == 2 ? sexagesimal(parts[i]) : -1;
            seconds = v < 0 ? -1 : seconds * 60 + v;
        }
        if (parts.size() == 2 && seconds >= 0) seconds *= 60;
    }
    if (seconds < 0)
        error = quoted(text) + " is not a time of day: write HH:MM or HH:MM:SS, 24-hour (such as 22:30)";
    else if (seconds == 0)
        // The face acts one second before the time it shows, and never reaches the second before 0.
        error = "00:00:00 cannot be set: use 23:59:59 or 00:00:01";
    return error.empty() ? seconds : -1;
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    CommandRequest& r = parsed.request;
    bool in = false, at = false;
    // A later option of the same name would silently win over the first.
    static const std::set<std::string> kOnce{"--in",          "--at",       "--capture", "--alarm",  "--hide",
                                             "--no-shutdown", "--shutdown", "--stop",    "--dry-run", "--action"};
    std::set<std::string> seen;
    for (std::size_t i = 0; i < arguments.size() && parsed.ok(); ++i) {
        const std::string& a = arguments[i];
        const std::size_t equals = a.find('=');
        const std::string name = startsWith(a, "--") ? a.substr(0, equals) : a;
        const bool hasValue = startsWith(a, "--") && equals != std::string::npos;
        const std::string inlineValue = hasValue ? a.substr(equals + 1) : std::string();
        // The value of --in and --at may also be the next argument.
        const auto value = [&](const char* what) -> std::string {
            if (hasValue) return inlineValue;
            if (i + 1 < arguments.size()) return arguments[++i];
            parsed.error = name + " needs " + what;
            return {};
        };
        const auto noValue = [&] {
            if (hasValue) parsed.error = name + " takes no value";
        };
        if (kOnce.count(name) && !seen.insert(name).second) {
            parsed.error = name + " is given twice";
        } else if (name == "--in") {
            const std::string v = value("a length of time, such as 1:30:00 or 90m");
            if (parsed.ok()) r.seconds = parseDuration(v, parsed.error);
            in = true;
        } else if (name == "--at") {
            const std::string v = value("a time of day, such as 22:30");
            if (parsed.ok()) r.seconds = parseTimeOfDay(v, parsed.error);
            at = true;
        } else if (name == "--capture") {
            r.capture = true;
            if (hasValue) {
                const long long minutes = number(inlineValue);
                if (minutes < 1 || minutes > kMaxCaptureEvery)
                    parsed.error = "--capture=MINUTES takes 1 to 999 minutes, not " + quoted(inlineValue);
                else
                    r.captureEvery = static_cast<int>(minutes);
            }
        } else if (name == "--alarm") {
            noValue();
            r.alarm = true;
        } else if (name == "--hide") {
            noValue();
            r.hideOnCapture = true;
        } else if (name == "--no-shutdown") {
            noValue();
            r.noShutdown = true;
        } else if (name == "--shutdown") {
            noValue();
            r.shutdown = true;
        } else if (name == "--action") {
            const std::string v = value(("an action: " + endActionNameList()).c_str());
            if (parsed.ok()) {
                r.action = endActionByName(v);
                if (!r.action)
                    parsed.error = "--action takes " + endActionNameList() + ", not " + quoted(v);
            }
        } else if (name == "--stop") {
            noValue();
            r.stop = true;
        } else if (name == "--dry-run") {
            noValue();
            r.dryRun = true;
        } else if (name == "-h" || name == "--help" || name == "-?" || name == "/?") {
            r.help = true;
        } else if (name == "-v" || name == "--version") {
            r.version = true;
        } else if (startsWith(a, "-") && a.size() > 1) {
            parsed.error = "unknown option " + quoted(name) + " (see --help)";
        } else if (i > 0 && arguments[i - 1] == "--capture" && allDigits(a)) {
            parsed.error = "--capture takes its minutes after '=': --capture=" + a;
        } else {
            parsed.error = "unexpected argument " + quoted(a) + " (see --help)";
        }
    }
    if (parsed.ok() && in && at) parsed.error = "--in and --at cannot be used together";
    if (parsed.ok() && r.shutdown && r.noShutdown)
        parsed.error = "--shutdown and --no-shutdown cannot be used together";
    if (parsed.ok() && r.stop && (in || at)) parsed.error = "--stop cannot be used with --in or --at";
    if (parsed.ok()) r.count = in ? CommandRequest::Count::In : at ? CommandRequest::Count::At : r.count;
    return parsed;
}

std::string commandLineHelp(const std::string& programName) {
    return "Usage: " + programName +
           " [options]\n"
           "Switches the computer off at a chosen moment, with an alarm and screen captures.\n"
           "\n"
           "Options:\n"
           "  -h, --help             Displays help on commandline options.\n"
           "  -v, --version          Displays version information.\n"
           "  --in DURATION          Count down this long and start: H:MM:SS, M:SS, or units in\n"
           "                         falling order such as 2h, 90m, 45s, 1h30m (1 s to 99:59:59).\n"
           "  --at HH:MM[:SS]        Act at this time of day (24-hour clock) and start.\n"
           "  --alarm                Sound the alarm at the end.\n"
           "  --capture[=MINUTES]    Capture the screen at the end; with MINUTES (1 to 999) also\n"
           "                         every MINUTES minutes while counting.\n"
           "  --hide                 Hide the window while capturing.\n"
           "  --no-shutdown          Do not switch the computer off at the end.\n"
           "  --shutdown             Switch the computer off at the end (undoes --no-shutdown).\n"
           "  --action ACTION        What the end does to the computer: poweroff (the default),\n"
           "                         restart, suspend, hibernate, logout or lock.\n"
           "  --stop                 Stop the count of the running Quelvex, as STOP does.\n"
           "  --dry-run              Rehearse a setting: every action runs except the power-off\n"
           "                         (or the --action), which is only reported.\n"
           "\n"
           "Options left out keep the window's current setting. Only one Quelvex runs per session:\n"
           "a later start hands its options to it and brings its window to the front. Runs with\n"
           "--dry-run and real runs are apart: neither hands over to the other.\n";
}

void applyCommandRequest(const TForm1& form, FaceEvents& events, const CommandRequest& request) {
    const SharedState& s = form.state();
    const bool counting = request.count != CommandRequest::Count::None;
    // A window that has not yet read the clock would count its first second at once, making the
    // count a second short; the step a running window has already taken comes first. It changes
    // nothing once the clock has been read this second.
    if (counting) events.timerTick(TimerId::Timer1);
    if (request.stop || (counting && form.actionArmed())) pressControl(events, Image::stop);
    // The mode buttons clear the entered time.
    if (counting) pressControl(events, request.count == CommandRequest::Count::In ? Image::pc : Image::st);

    const auto switchOn = [&](const int& option, Image lamp) {
        if (option != 1) pressControl(events, lamp);
    };
    if (request.alarm) switchOn(s.alarmOption, Image::alarm);
    if (request.capture) switchOn(s.captureOption, Image::capture);
    if (request.hideOnCapture) switchOn(s.hideOnCapture, Image::show);
    if ((request.noShutdown && s.shutdownOption == 1) || (request.shutdown && s.shutdownOption != 1))
        pressControl(events, Image::shutdown);
    if (request.action) events.endActionChosen(*request.action);
    if (request.captureEvery > 0) {
        switchOn(s.periodicArmed, Image::rate);
        pressUntil(events, Image::rateup, Image::ratedown, s.captureInterval, request.captureEvery);
    }

    if (!counting) return;
    pressTimes(events, Image::hup, request.seconds / 3600);
    pressTimes(events, Image::mup, request.seconds / 60 % 60);
    pressTimes(events, Image::sup, request.seconds % 60);
    pressControl(events, Image::start);
}

std::string handOverSizeError(std::size_t count, std::size_t longest) {
    if (count > kMaxHandedOverArguments)
        return "more than " + std::to_string(kMaxHandedOverArguments) + " arguments";
    if (longest > kMaxHandedOverArgumentLength)
        return "an argument longer than " + std::to_string(kMaxHandedOverArgumentLength) + " characters";
    return {};
}

std::optional<std::vector<std::string>> splitHandOverPayload(const char* data, std::size_t size) {
    if (size > kLongestCommandLineBytes || (size > 0 && data[size - 1] != '\0')) return std::nullopt;
    std::vector<std::string> out;
    for (std::size_t at = 0; at < size;) {
        if (out.size() == kMaxHandedOverArguments) return std::nullopt;
        out.emplace_back(data + at);
        at += out.back().size() + 1;
    }
    return out;
}

ParsedCommandLine readHandedOverCommandLine(const std::vector<std::string>& arguments, bool rehearsal) {
    std::size_t longest = 0;
    for (const std::string& a : arguments)
        longest = std::max(longest, a.size());
    ParsedCommandLine parsed;
    parsed.error = handOverSizeError(arguments.size(), longest);
    if (!parsed.ok()) return parsed;
    parsed = parseCommandLine(arguments);
    // The two never meet on the command line; a caller that writes its own hand-over must not
    // turn a rehearsal into a real power-off either.
    if (parsed.ok() && parsed.request.dryRun != rehearsal)
        parsed.error = rehearsal ? "this Quelvex rehearses (--dry-run): a real run cannot hand over to it"
                                 : "this Quelvex runs for real: a --dry-run cannot hand over to it";
    return parsed;
}

bool applyHandedOverRequest(const TForm1& form, FaceEvents& events, const CommandRequest& request) {
    applyCommandRequest(form, events, request);
    return !request.stop;
}

std::string commandLineNote(const CommandRequest& request, int secondOfDay) {
    if (request.count != CommandRequest::Count::At) return {};
    // The face acts one second before the time it shows, at the first step after START: a time
    // whose second has come or is the next has its moment tomorrow.
    const int ahead = ((request.seconds - secondOfDay) % 86400 + 86400) % 86400;
    if (ahead > 1) return {};
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", request.seconds / 3600, request.seconds / 60 % 60,
                  request.seconds % 60);
    return std::string("--at ") + time + " is now: the count is set for " + time + " tomorrow";
}

} // namespace quelvex
