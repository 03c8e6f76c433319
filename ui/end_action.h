// What the end of a count does to the computer when the shut-down switch is on, and every text
// that names it. One value of the program-wide state; the power service carries it out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quelvex {

enum class EndAction : std::uint8_t { PowerOff, Restart, Suspend, Hibernate, LogOut, Lock };
inline constexpr int kEndActionCount = 6;

// A set of actions, one bit each.
using ActionSet = std::uint8_t;
constexpr ActionSet actionBit(EndAction a) { return static_cast<ActionSet>(1u << static_cast<unsigned>(a)); }
constexpr bool contains(ActionSet set, EndAction a) { return (set & actionBit(a)) != 0; }
// Ending one's own session or locking its screen needs nobody's leave.
inline constexpr ActionSet kAlwaysAllowed = actionBit(EndAction::LogOut) | actionBit(EndAction::Lock);
inline constexpr ActionSet kEveryAction = (1u << kEndActionCount) - 1;

// The command line's names: poweroff, restart, suspend, hibernate, logout, lock.
std::string_view endActionName(EndAction action);
std::optional<EndAction> endActionByName(std::string_view name);
// "poweroff, restart, suspend, hibernate, logout or lock"
std::string endActionNameList();

// Whether the program is still running after the action (suspend, hibernate, lock).
bool keepsProgramRunning(EndAction action);

// The options panel's caption ("RESTART THE COMPUTER") and the status row's name ("Restart").
const char* endActionCaption(EndAction action, int language);
const char* endActionRowName(EndAction action, int language);
// The lines on standard error when the action is asked for, or rehearsed, and when it was
// refused for `reason`; no newline.
std::string endActionRequestedLine(EndAction action, bool rehearsal);
std::string endActionFailedLine(EndAction action, const std::string& reason);
// The start of the message shown when the action could not be carried out, before the reason:
// "Cannot restart the computer: ".
std::string endActionFailurePrefix(EndAction action);
// The warning's headline for an action `minutes` away, and the line added to a rehearsal's.
std::string endActionNoticeTitle(EndAction action, int language, int minutes);
const char* endActionRehearsalText(EndAction action, int language);
// The refusal of an action this computer does not allow, one line.
std::string endActionNotAllowedLine(EndAction action);

} // namespace quelvex
