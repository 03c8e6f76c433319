#include "platform/windows/windows_clock.h"

#include <windows.h>

#include <cwctype>

namespace quelvex {

std::wstring widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

namespace {

std::wstring localeText(LCTYPE type) {
    wchar_t buffer[128] = {};
    const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 128);
    return n > 1 ? std::wstring(buffer, static_cast<std::size_t>(n - 1)) : std::wstring();
}

SYSTEMTIME systemTimeOf(const LocalDateTime& when) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(when.year);
    st.wMonth = static_cast<WORD>(when.month);
    st.wDay = static_cast<WORD>(when.day);
    st.wHour = static_cast<WORD>(when.hour);
    st.wMinute = static_cast<WORD>(when.minute);
    st.wSecond = static_cast<WORD>(when.second);
    st.wMilliseconds = static_cast<WORD>(when.millisecond);
    return st;
}

// Reads `text` by a Windows date or time picture (d, M, y, h, H, m, s, t, quoted literals),
// taking the numeric fields and the AM/PM designator; names of months and days are skipped.
bool readByPicture(const std::wstring& picture, const std::wstring& text, std::size_t& at, LocalDateTime& out,
                   const std::wstring& am, const std::wstring& pm, int& half) {
    for (std::size_t i = 0; i < picture.size();) {
        const wchar_t c = picture[i];
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c)
            ++run;
        if (c == L'\'') {
            const std::size_t end = picture.find(L'\'', i + 1);
            const std::size_t len = (end == std::wstring::npos ? picture.size() : end) - i - 1;
            at += len;
            i += len + 2;
            continue;
        }
        if (c == L't') {
            const auto matches = [&](const std::wstring& s) {
                return !s.empty() && text.compare(at, s.size(), s) == 0;
            };
            if (matches(am))
                half = 1, at += am.size();
            else if (matches(pm))
                half = 2, at += pm.size();
            i += run;
            continue;
        }
        int* field = nullptr;
        switch (c) {
        case L'd': field = run <= 2 ? &out.day : nullptr; break;
        case L'M': field = run <= 2 ? &out.month : nullptr; break;
        case L'y': field = &out.year; break;
        case L'h':
        case L'H': field = &out.hour; break;
        case L'm': field = &out.minute; break;
        case L's': field = &out.second; break;
        default: break;
        }
        if (field) {
            int value = 0, digits = 0;
            while (at < text.size() && std::iswdigit(text[at]))
                value = value * 10 + (text[at++] - L'0'), ++digits;
            if (digits == 0) return false;
            if (c == L'y' && digits <= 2) {
                // Two-digit years: the century nearest to today.
                SYSTEMTIME today;
                GetLocalTime(&today);
                value += today.wYear - today.wYear % 100;
                if (value > today.wYear + 50) value -= 100;
                if (value < today.wYear - 50) value += 100;
            }
            *field = value;
        } else if (std::iswalpha(c) && (c == L'd' || c == L'M' || c == L'g')) {
            while (at < text.size() && !std::iswdigit(text[at]) && !std::iswspace(text[at]))
                ++at;
        } else {
            at += run; // a separator
        }
        i += run;
    }
    return true;
}

} // namespace

WindowsClock::WindowsClock()
    : datePicture_(localeText(LOCALE_SSHORTDATE)), timePicture_(localeText(LOCALE_STIMEFORMAT)),
      am_(localeText(LOCALE_S1159)), pm_(localeText(LOCALE_S2359)) {}

LocalDateTime WindowsClock::now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

std::string WindowsClock::format(const LocalDateTime& when) {
    const SYSTEMTIME st = systemTimeOf(when);
    wchar_t date[128] = {}, time[128] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 128, nullptr);
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, time, 128);
    lastText_ = narrow(std::wstring(date) + L' ' + time);
    lastValue_ = when;
    lastValue_.millisecond = 0;
    return lastText_;
}

LocalDateTime WindowsClock::parse(const std::string& text) {
    if (text == lastText_) return lastValue_;
    const std::wstring wide = widen(text);
    LocalDateTime value{};
    std::size_t at = 0;
    int half = 0;
    if (!readByPicture(datePicture_, wide, at, value, am_, pm_, half)) return lastValue_;
    while (at < wide.size() && wide[at] == L' ')
        ++at;
    if (!readByPicture(timePicture_, wide, at, value, am_, pm_, half)) return lastValue_;
    if (half == 1 && value.hour == 12) value.hour = 0;
    if (half == 2 && value.hour < 12) value.hour += 12;
    if (value.month < 1 || value.month > 12 || value.day < 1 || value.day > 31 || value.hour > 23 ||
        value.minute > 59 || value.second > 59)
        return lastValue_;
    return value;
}

bool WindowsClock::userLanguageIsSpanish() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_SPANISH;
}

} // namespace quelvex
