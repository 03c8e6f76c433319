#include "platform/windows/windows_sound.h"

#include "platform/windows/windows_clock.h"

#include <mmsystem.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace quelvex {
namespace {

// A user's own sound lies in their application data; the program's folder may not be theirs to
// write (Program Files).
std::wstring userAlarm() {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return {};
    const std::wstring file = std::wstring(folder) + L"\\Quelvex\\ALARM.WAV";
    const DWORD attributes = GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) ? file
                                                                                             : std::wstring();
}

std::uint32_t le32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

} // namespace

bool playableWav(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    // The chunks before the samples are small; 64 KiB holds them in any file seen in practice.
    std::vector<std::uint8_t> head(64 * 1024);
    DWORD got = 0;
    const bool read = GetFileSizeEx(file, &size) &&
                      ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &got, nullptr);
    CloseHandle(file);
    if (!read || got < 12 || std::memcmp(head.data(), "RIFF", 4) != 0 ||
        std::memcmp(head.data() + 8, "WAVE", 4) != 0)
        return false;
    bool pcm = false;
    for (std::uint64_t at = 12; at + 8 <= got;) {
        const std::uint8_t* chunk = head.data() + at;
        const std::uint64_t length = le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || at + 8 + 16 > got) return false;
            const std::uint16_t format = le16(chunk + 8), channels = le16(chunk + 10),
                                bits = le16(chunk + 22);
            // Editors write 16-bit PCM as "extensible" too; its sub-format then says PCM.
            const bool extensiblePcm =
                format == 0xFFFE && length >= 40 && at + 8 + 40 <= got && le16(chunk + 32) == 1;
            pcm = (format == WAVE_FORMAT_PCM || extensiblePcm) && channels >= 1 && channels <= 2 &&
                  (bits == 8 || bits == 16);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            return pcm && length > 0 && at + 8 + length <= static_cast<std::uint64_t>(size.QuadPart);
        }
        at += 8 + length + (length & 1);
    }
    return false;
}

void WindowsSound::playLoop(const std::string& path) {
    stopAll();
    std::wstring file = userAlarm();
    if (file.empty()) file = widen(path);
    // Checked each time: a file replaced or mended since the last alarm counts.
    if (!playableWav(file) ||
        !PlaySoundW(file.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NODEFAULT))
        playBuiltin();
}

void WindowsSound::playBuiltin() {
    const HRSRC found = FindResourceW(instance_, L"ALARM_BUILTIN", RT_RCDATA);
    const HGLOBAL loaded = found ? LoadResource(instance_, found) : nullptr;
    // A resource stays mapped for the life of the program, as an asynchronous loop needs.
    if (const void* wav = loaded ? LockResource(loaded) : nullptr)
        PlaySoundW(static_cast<LPCWSTR>(wav), nullptr, SND_MEMORY | SND_ASYNC | SND_LOOP | SND_NODEFAULT);
}

void WindowsSound::stopAll() {
    PlaySoundW(nullptr, nullptr, 0);
}

} // namespace quelvex
