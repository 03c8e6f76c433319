// The program-wide variables, with their initial values. One instance lives for the whole run.
#pragma once

#include "ui/end_action.h"

#include <cstdint>
#include <string>

namespace quelvex {

inline constexpr int ProgramCounter = 1;
inline constexpr int SystemTime = 0;
inline constexpr int English = 1;
inline constexpr int Spanish = 0;

struct SharedState {
    // Entered time (right clock).
    int setHours = 0;
    int setMinutes = 0;
    int setSeconds = 0;
    int countTarget = 0;
    int maxHours = 0;
    int setHoursShown = 0;

    // Count and left clock.
    int countElapsed = 0;
    int clockHours = 0;
    int clockMinutes = 0;
    int clockSeconds = 0;
    int clockHoursShown = 0;

    // Step timing and the current time.
    int lastSecond = 99;
    std::string nowText;
    double nowValue = 0.0;
    std::uint16_t nowHour = 0, nowMinute = 0, nowSecond = 0, nowMillisecond = 0;
    std::uint16_t nowYear = 0, nowMonth = 0, nowDay = 0;
    int twelveHourClock = 0;
    int morning = 0;

    // Mode, status and language.
    int counterMode = SystemTime;
    int systemTimeArmed = 0;
    int language = English;

    // Action options.
    int shutdownOption = 1;
    int captureOption = 0;
    int alarmOption = 0;
    int hideOnCapture = 0;
    int periodicArmed = 0;
    int captureInterval = 0;
    // What the shut-down switch stands for, and what this computer allows as far as it is known:
    // until the platform has answered, only what needs nobody's leave and the action chosen.
    EndAction endAction = EndAction::PowerOff;
    ActionSet allowedActions = kAlwaysAllowed;
    // 1 while the pointer is over the end action's caption.
    std::uint8_t endActionHovered = 0;
    // What waits for the platform's answer on the allowed actions: 0 nothing, 2 opening the menu,
    // -1 or 1 a step of the choice by keyboard.
    int endActionPending = 0;

    // Capture bookkeeping.
    int windowWasVisible = 1;
    int periodicCapturesDone = 0;
    int secondsSinceCapture = 0;
    int captureDelayTicks = 0;
    // 1 while an end of count's action on the computer waits for the pictures asked for before it.
    int powerOffDue = 0;

    // Auto-repeat, animation, disk, drag and web.
    int repeatUp = 1;
    int repeatField = 0;
    int logoFrame = 0;
    // 64-bit so that disks of 2 TiB and more keep their true figure.
    std::int64_t diskSizeKb = 0, diskFreeKb = 0;
    std::int64_t shownDiskSizeKb = 0, shownDiskFreeKb = 0;
    int dragStartX = 0, dragStartY = 0, dragX = 0, dragY = 0;
    std::uint8_t dragging = 0;
    std::uint8_t online = 0;
    std::uint8_t onlineHandled = 0;

    // Time of day, in seconds, of the previous armed system-time step whose status check passed;
    // -1 when the previous step was not such a step. Lets a step that follows a short stall still
    // catch the trigger second it skipped.
    int lastArmedSecondOfDay = -1;
    // Time of day, in seconds, of the trigger second last acted on, while the clock stays within
    // an hour of it; -1 otherwise.
    int actedTriggerSecond = -1;
};

} // namespace quelvex
