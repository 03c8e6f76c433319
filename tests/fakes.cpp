#include "tests/fakes.h"

#include <cstdio>

namespace quelvex::testing {
namespace {

std::int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<std::int64_t>(era) * 146097 + doe - 719468;
}

} // namespace

std::int64_t toEpochMs(const LocalDateTime& t) {
    return ((daysFromCivil(t.year, t.month, t.day) * 24 + t.hour) * 60 + t.minute) * 60000 + t.second * 1000 +
           t.millisecond;
}

LocalDateTime fromEpochMs(std::int64_t ms) {
    std::int64_t days = ms / 86400000;
    std::int64_t rest = ms % 86400000;
    if (rest < 0) rest += 86400000, --days;
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    LocalDateTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
    t.hour = static_cast<int>(rest / 3600000);
    t.minute = static_cast<int>(rest / 60000 % 60);
    t.second = static_cast<int>(rest / 1000 % 60);
    t.millisecond = static_cast<int>(rest % 1000);
    return t;
}

std::string FakeClock::format(const LocalDateTime& t) {
    ++formatCalls;
    char buf[64];
    if (style == TimeStyle::TwentyFour) {
        std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute, t.second);
    } else {
        const int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
        const bool pm = t.hour >= 12;
        const char* designator = style == TimeStyle::UpperAmPm ? (pm ? "PM" : "AM") : (pm ? "p.m." : "a.m.");
        std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d %s", t.day, t.month, t.year, h12, t.minute, t.second,
                      designator);
    }
    return buf;
}

LocalDateTime FakeClock::parse(const std::string& text) {
    LocalDateTime t;
    char designator[8] = {0};
    std::sscanf(text.c_str(), "%d/%d/%d %d:%d:%d %7s", &t.day, &t.month, &t.year, &t.hour, &t.minute, &t.second,
                designator);
    const char d = designator[0];
    if ((d == 'p' || d == 'P') && t.hour < 12) t.hour += 12;
    if ((d == 'a' || d == 'A') && t.hour == 12) t.hour = 0;
    return t;
}

int FakeSound::plays() const {
    int n = 0;
    for (const auto& c : calls) n += c.starts_with("play:");
    return n;
}

namespace {
// Builds the services the model needs before the model itself exists.
Services servicesOf(Rig& r) {
    return Services{r.clock, r.sound, r.power, r.grab, r.disk, r.errors, r.help, "/opt/quelvex/"};
}
} // namespace

Rig::Rig(std::int64_t startMs)
    : form((clock.nowMs = startMs, servicesOf(*this)), WebServices{shell, network, web}) {
    grab.face = &form.face();
}

} // namespace quelvex::testing
