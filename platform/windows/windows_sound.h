// The alarm on Windows: PlaySound loops a WAV file; a tone built into the program stands in for a
// file that cannot be played.
#pragma once

#include "actions/services.h"

#include <windows.h>

#include <string>

namespace quelvex {

class WindowsSound final : public Sound {
  public:
    explicit WindowsSound(HINSTANCE instance) : instance_(instance) {}
    ~WindowsSound() override { stopAll(); }
    WindowsSound(const WindowsSound&) = delete;
    WindowsSound& operator=(const WindowsSound&) = delete;

    void playLoop(const std::string& path) override;
    void stopAll() override;

  private:
    void playBuiltin();

    HINSTANCE instance_;
};

// Whether a file is a WAV that plays as the user meant it: RIFF/WAVE with 8- or 16-bit PCM and a
// data chunk that is all there. PlaySound "plays" many other files as silence without a word.
bool playableWav(const std::wstring& path);

} // namespace quelvex
