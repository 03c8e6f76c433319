#include "ui/language.h"

namespace quelvex {

namespace {
std::string& site() {
    static std::string url = QUELVEX_SITE_URL;
    return url;
}
} // namespace

const std::string& siteUrl() { return site(); }

void setSiteUrl(std::string url) {
    while (!url.empty() && url.back() == '/') url.pop_back();
    site() = std::move(url);
}

std::string siteName() {
    const std::string& url = site();
    const std::size_t scheme = url.find("://");
    const std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
    return url.substr(start, url.find('/', start) - start);
}

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

const char* rehearsalNoticeText(int language) {
    return isEnglish(language) ? "Rehearsal (--dry-run): the computer will stay on."
                               : "Ensayo (--dry-run): el equipo seguir\u00e1 encendido.";
}

const char* cancelActionText(int language) { return isEnglish(language) ? "Cancel" : "Cancelar"; }

const char* clickToCancelText(int language) {
    return isEnglish(language) ? "Click here to cancel." : "Pulse aqu\u00ed para cancelar.";
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
