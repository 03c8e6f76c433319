#include "ui/end_action.h"

#include "ui/language.h"

#include <array>

namespace quelvex {
namespace {

struct ActionTexts {
    std::string_view name;
    const char* caption[2];   // English, Spanish
    const char* rowName[2];
    const char* stderrName;   // what "... requested" names
    const char* failure;      // "Cannot ...: "
    const char* notice[2];    // "Quelvex will ... in"
};

constexpr std::array<ActionTexts, kEndActionCount> kTexts{{
    {"poweroff",
     {"SHUT DOWN THE COMPUTER", "APAGAR EL ORDENADOR"},
     {"Shutdown", "Apagar"},
     "power-off",
     "Cannot switch the computer off: ",
     {"Quelvex will switch the computer off in ", "Quelvex apagar\u00e1 el equipo en "}},
    {"restart",
     {"RESTART THE COMPUTER", "REINICIAR EL EQUIPO"},
     {"Restart", "Reiniciar"},
     "restart",
     "Cannot restart the computer: ",
     {"Quelvex will restart the computer in ", "Quelvex reiniciar\u00e1 el equipo en "}},
    {"suspend",
     {"SUSPEND THE COMPUTER", "SUSPENDER EL EQUIPO"},
     {"Suspend", "Suspender"},
     "suspend",
     "Cannot suspend the computer: ",
     {"Quelvex will suspend the computer in ", "Quelvex suspender\u00e1 el equipo en "}},
    {"hibernate",
     {"HIBERNATE THE COMPUTER", "HIBERNAR EL EQUIPO"},
     {"Hibernate", "Hibernar"},
     "hibernate",
     "Cannot hibernate the computer: ",
     {"Quelvex will hibernate the computer in ", "Quelvex hibernar\u00e1 el equipo en "}},
    {"logout",
     {"LOG OUT", "CERRAR LA SESI\u00d3N"},
     {"Log out", "Cerrar sesi\u00f3n"},
     "log-out",
     "Cannot log out: ",
     {"Quelvex will log you out in ", "Quelvex cerrar\u00e1 la sesi\u00f3n en "}},
    {"lock",
     {"LOCK THE SCREEN", "BLOQUEAR LA PANTALLA"},
     {"Lock", "Bloquear"},
     "lock",
     "Cannot lock the screen: ",
     {"Quelvex will lock the screen in ", "Quelvex bloquear\u00e1 la pantalla en "}},
}};

const ActionTexts& texts(EndAction action) {
    const auto i = static_cast<std::size_t>(action);
    return kTexts[i < kTexts.size() ? i : 0];
}

int lang(int language) { return isEnglish(language) ? 0 : 1; }

} // namespace

std::string_view endActionName(EndAction action) { return texts(action).name; }

std::optional<EndAction> endActionByName(std::string_view name) {
    for (int i = 0; i < kEndActionCount; ++i)
        if (kTexts[i].name == name) return static_cast<EndAction>(i);
    return std::nullopt;
}

std::string endActionNameList() {
    std::string list;
    for (int i = 0; i < kEndActionCount; ++i) {
        if (i) list += i + 1 == kEndActionCount ? " or " : ", ";
        list += kTexts[i].name;
    }
    return list;
}

bool keepsProgramRunning(EndAction action) {
    return action == EndAction::Suspend || action == EndAction::Hibernate || action == EndAction::Lock;
}

const char* endActionCaption(EndAction action, int language) { return texts(action).caption[lang(language)]; }
const char* endActionRowName(EndAction action, int language) { return texts(action).rowName[lang(language)]; }

std::string endActionRequestedLine(EndAction action, bool rehearsal) {
    return std::string("quelvex: ") + texts(action).stderrName + " requested" +
           (rehearsal ? " (dry run: not performed)" : "");
}

std::string endActionFailedLine(EndAction action, const std::string& reason) {
    return std::string("quelvex: ") + texts(action).stderrName + " failed: " + reason;
}

std::string endActionFailurePrefix(EndAction action) { return texts(action).failure; }

std::string endActionNoticeTitle(EndAction action, int language, int minutes) {
    const bool en = isEnglish(language);
    return texts(action).notice[lang(language)] + std::to_string(minutes) +
           (en ? (minutes == 1 ? " minute" : " minutes") : (minutes == 1 ? " minuto" : " minutos"));
}

const char* endActionRehearsalText(EndAction action, int language) {
    if (action == EndAction::PowerOff) return rehearsalNoticeText(language);
    return isEnglish(language) ? "Rehearsal (--dry-run): nothing will be done."
                               : "Ensayo (--dry-run): no se har\u00e1 nada.";
}

std::string endActionNotAllowedLine(EndAction action) {
    return "this computer does not allow --action " + std::string(endActionName(action));
}

} // namespace quelvex
