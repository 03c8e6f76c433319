// What the end-of-count actions need from the platform.
#pragma once

#include "ui/end_action.h"

#include <optional>
#include <string>

namespace quelvex {

class Sound {
  public:
    virtual ~Sound() = default;
    // Starts playing the file in an endless loop and returns at once; falls back to a default
    // sound when the file cannot be played.
    virtual void playLoop(const std::string& path) = 0;
    // Silences whatever the program plays; nothing happens when nothing plays.
    virtual void stopAll() = 0;
};

// Carries out the end of a count on the computer.
class Power {
  public:
    virtual ~Power() = default;
    // Asks for the action without asking anyone (a power-off, restart or log-out closes every
    // application without letting it object) and returns at once. A refusal is shown by the
    // service itself.
    virtual void carryOut(EndAction action) = 0;
    // Asks which actions this computer allows. The answer comes back as
    // FaceEvents::allowedActionsFound, possibly before this returns; it always holds
    // kAlwaysAllowed.
    virtual void findAllowed() = 0;
};

class ScreenGrab {
  public:
    virtual ~ScreenGrab() = default;
    // Grabs the primary screen and saves it as a JPEG under `fileName` (no folder: the current
    // directory). Returns the error text to show when the file cannot be written. Where the
    // picture only comes later (the desktop portal), the file is written then and a failure is
    // shown by the service itself.
    virtual std::optional<std::string> captureTo(const std::string& fileName) = 0;
    // Whether a picture asked for is still to be saved. When the last one has been saved or
    // given up, the window hears of it through FaceEvents::capturesSettled.
    virtual bool capturePending() const { return false; }
    // A capture may be asked for soon: pay now, off the moment, what a process's first capture
    // costs more than the next ones. Writes no file and returns at once.
    virtual void prepare() {}
};

} // namespace quelvex
