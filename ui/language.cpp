#include "ui/language.h"

namespace quelvex {

const char* siteName() { return QUELVEX_SITE; }

const char* statusRunningText(int language) { return isEnglish(language) ? "ENABLED" : "ACTIVO"; }
const char* statusStoppedText(int language) { return isEnglish(language) ? "DISABLED" : "INACTIVO"; }

std::string captionText(Label label, int language) {
    const bool en = isEnglish(language);
    switch (label) {
    case Label::Label2: return en ? "STATUS:" : "ESTADO:";
    case Label::Label5: return en ? "Related topics" : "Temas relacionados";
    case Label::Label7: return en ? "Help" : "Ayuda";
    case Label::Label8: return std::string(en ? "Visit " : "Visitar ") + siteName();
    case Label::Label9: return en ? "Show options" : "Mostrar opciones";
    case Label::Label10: return en ? "Hide options" : "Ocultar opciones";
    default: return {};
    }
}

std::string formCaption(Label label) {
    switch (label) {
    case Label::Label2: return "STATUS:";
    case Label::Label3: return "DISABLED";
    case Label::Label4: return siteName();
    case Label::Label6: return "5.0";
    default: return captionText(label, 0);
    }
}

} // namespace quelvex
