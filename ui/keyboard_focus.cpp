#include "ui/keyboard_focus.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>

namespace quelvex {
namespace {

using I = Image;

// One place the focus can stop at, or one thing only a screen reader is told of.
struct Stop {
    ControlRef control;
    Role role;
    const char* english; // null: the control's own caption
    const char* spanish;
    // A number shown in several digit positions, from `control` up to `lastDigit` in picture order.
    Image lastDigit = kNoPicture;
    // The buttons the arrow keys press for the number this stop sets.
    Image up = kNoPicture, down = kNoPicture;
    bool focusable = true;
};

Stop field(Image first, Image last, Image up, Image down, const char* en, const char* es) {
    return {first, Role::Field, en, es, last, up, down};
}
Stop stepper(Image button, Image up, Image down, const char* en, const char* es) {
    return {button, Role::Button, en, es, kNoPicture, up, down};
}

// In reading order: the title bar, the big buttons, the time entry, the web strip's bar, the link
// bar, then the options panel from its top.
const std::vector<Stop>& stops() {
    static const std::vector<Stop> list = {
        {Label::Label4, Role::Link, nullptr, nullptr},
        {I::estrella, Role::Button, "Help", "Ayuda"},
        {I::minimice, Role::Button, "Minimize", "Minimizar"},
        {I::close, Role::Button, "Exit Program", "Salir del programa"},
        {I::Image6, Role::Button, "Close related topics", "Cerrar temas relacionados"},
        {I::start, Role::Button, "START", "INICIAR"},
        {I::reset, Role::Button, "RESET", "REINICIAR"},
        {I::lan, Role::Button, "Español", "English"},
        {I::st, Role::Radio, "System time", "Hora del sistema"},
        {I::pc, Role::Radio, "Program counter", "Contador del programa"},
        stepper(I::hup, I::hup, I::hdown, "hours up", "subir horas"),
        field(I::h2, I::h1, I::hup, I::hdown, "hours", "horas"),
        stepper(I::hdown, I::hup, I::hdown, "hours down", "bajar horas"),
        stepper(I::mup, I::mup, I::mdown, "minutes up", "subir minutos"),
        field(I::m2, I::m1, I::mup, I::mdown, "minutes", "minutos"),
        stepper(I::mdown, I::mup, I::mdown, "minutes down", "bajar minutos"),
        stepper(I::sup, I::sup, I::sdown, "seconds up", "subir segundos"),
        field(I::s2, I::s1, I::sup, I::sdown, "seconds", "segundos"),
        stepper(I::sdown, I::sup, I::sdown, "seconds down", "bajar segundos"),
        {I::stop, Role::Button, "STOP", "PARAR"},
        {Label::Label7, Role::Link, nullptr, nullptr},
        {Label::Label8, Role::Link, nullptr, nullptr},
        {Label::Label9, Role::Link, nullptr, nullptr},
        {Label::Label10, Role::Link, nullptr, nullptr},
        {I::menudown, Role::Button, "Show options", "Mostrar opciones"},
        {I::iconbell, Role::Toggle, "Alarm icon", "Icono de alarma"},
        {I::iconshutoff, Role::Toggle, "Shut down icon", "Icono de apagado"},
        {I::iconcapture, Role::Toggle, "Capture icon", "Icono de captura"},
        {I::shutdown, Role::Toggle, "Shut down", "Apagar"},
        {I::endaction, Role::Choice, "At the end", "Al final"},
        {I::alarm, Role::Toggle, "Alarm", "Alarma"},
        {I::capture, Role::Toggle, "Capture screen", "Capturar pantalla"},
        {I::show, Role::Toggle, "Hide program when capturing", "Ocultar programa al capturar"},
        {I::rate, Role::Toggle, "Capture every few minutes", "Capturar cada cierto tiempo"},
        stepper(I::ratedown, I::rateup, I::ratedown, "fewer minutes per capture",
                "menos minutos por captura"),
        field(I::r3, I::r1, I::rateup, I::ratedown, "minutes per capture", "minutos por captura"),
        stepper(I::rateup, I::rateup, I::ratedown, "more minutes per capture", "más minutos por captura"),
        {I::menuup, Role::Button, "Hide options", "Ocultar opciones"},
        // Told, not reached.
        {Label::Label3, Role::Status, "Status", "Estado", kNoPicture, kNoPicture, kNoPicture, false},
        {I::hh2, Role::Text, "Clock", "Reloj", I::ss1, kNoPicture, kNoPicture, false},
    };
    return list;
}

const Stop* stopOf(ControlRef control) {
    for (const Stop& s : stops())
        if (s.control == control) return &s;
    return nullptr;
}

// The digit positions of a stop: the control alone, or every position of its number.
std::vector<ControlRef> partsOf(const Stop& s) {
    if (s.lastDigit == kNoPicture) return {s.control};
    std::vector<ControlRef> parts;
    for (auto i = s.control.index; i <= static_cast<std::uint16_t>(s.lastDigit); ++i)
        parts.emplace_back(Kind::Image, i);
    return parts;
}

Rect united(const Rect& a, const Rect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    const int l = std::min(a.left, b.left), t = std::min(a.top, b.top);
    return {l, t, std::max(a.right(), b.right()) - l, std::max(a.bottom(), b.bottom()) - t};
}

char digitOf(Image picture) {
    const int p = static_cast<int>(picture);
    for (Image zero : {I::n0, I::nn0}) {
        const int k = p - static_cast<int>(zero);
        if (k >= 0 && k <= 9) return static_cast<char>('0' + k);
    }
    return ' ';
}

std::optional<bool> checkedOf(const Face& face, Image control) {
    const Image p = face.picture(control);
    switch (control) {
    case I::st: return p == I::engston || p == I::espston;
    case I::pc: return p == I::engpcon || p == I::esppcon;
    case I::iconbell: return p == I::iconbellon;
    case I::iconshutoff: return p == I::iconshutoffon;
    case I::iconcapture: return p == I::iconcaptureon;
    default: return p == I::bon;
    }
}

} // namespace

Rect KeyboardFocus::stopRect(ControlRef control) const {
    const Stop* s = stopOf(control);
    if (!s) return drawing_.controlRect(control);
    Rect r;
    for (ControlRef part : partsOf(*s))
        r = united(r, drawing_.controlRect(part));
    return r;
}

bool KeyboardFocus::isReachable(ControlRef control) const {
    const Stop* s = stopOf(control);
    if (!s || !s->focusable) return false;
    const Size window = drawing_.windowSize();
    const Rect inWindow = stopRect(control).intersected({0, 0, window.width, window.height});
    if (inWindow.empty()) return false;
    // Reachable where a press would find it: some of it lies uncovered.
    const auto parts = partsOf(*s);
    const int w = inWindow.width, h = inWindow.height;
    static constexpr std::pair<int, int> kQuarters[] = {{2, 2}, {1, 1}, {3, 1}, {1, 3}, {3, 3}};
    for (const auto& [fx, fy] : kQuarters) {
        const auto hit = drawing_.controlAt({inWindow.left + w * fx / 4, inWindow.top + h * fy / 4});
        if (hit && std::find(parts.begin(), parts.end(), *hit) != parts.end()) return true;
    }
    return false;
}

std::vector<ControlRef> KeyboardFocus::reachable() const {
    std::vector<ControlRef> list;
    for (const Stop& s : stops())
        if (isReachable(s.control)) list.push_back(s.control);
    return list;
}

void KeyboardFocus::focus(ControlRef control) {
    if (!isReachable(control)) return;
    focused_ = control;
    markShown_ = true;
}

void KeyboardFocus::pointed(ControlRef control) {
    if (isReachable(control)) focused_ = control;
}

void KeyboardFocus::step(int direction) {
    const auto& all = stops();
    const int n = static_cast<int>(all.size());
    int from = direction > 0 ? -1 : n;
    if (markShown_ && focused_)
        for (int i = 0; i < n; ++i)
            if (all[static_cast<std::size_t>(i)].control == *focused_) from = i;
    markShown_ = true;
    // On from where the focus was, even when that control has gone meanwhile; round at the ends.
    for (int k = 1; k <= n; ++k) {
        const ControlRef c = all[static_cast<std::size_t>(((from + direction * k) % n + n) % n)].control;
        if (isReachable(c)) {
            focused_ = c;
            return;
        }
    }
}

bool KeyboardFocus::key(Key key) {
    switch (key) {
    case Key::Tab: step(+1); break;
    case Key::BackTab: step(-1); break;
    case Key::Space:
    case Key::Enter:
        if (markShown_ && focused_) press(*focused_);
        break;
    case Key::Up:
    case Key::Down: {
        const Stop* s = focused_ && markShown_ ? stopOf(*focused_) : nullptr;
        if (s && s->role == Role::Choice && isReachable(*focused_)) {
            events_.endActionStep(key == Key::Up ? -1 : 1);
            break;
        }
        if (!s || s->up == kNoPicture || !isReachable(*focused_)) break;
        const Image button = key == Key::Up ? s->up : s->down;
        if (!drawing_.controlRect(button).empty()) pressControl(events_, button);
        break;
    }
    case Key::Escape: break; // reserved: it neither folds nor closes anything
    }
    return true;
}

bool KeyboardFocus::press(ControlRef control) {
    const Stop* s = stopOf(control);
    if (!s || s->role == Role::Field || !isReachable(control)) return false;
    pressControl(events_, control);
    return true;
}

std::optional<DirtyArea> KeyboardFocus::mark() const {
    if (!markShown_ || !focused_ || !isReachable(*focused_)) return std::nullopt;
    const Rect r = stopRect(*focused_);
    // Drawn around the control, so that none of it is hidden; on the surface the control lies on.
    const Parent surface = drawing_.entry(*focused_).parent;
    const Point origin = drawing_.originOf(surface);
    return DirtyArea{surface, Rect{r.left - origin.x - 2, r.top - origin.y - 2, r.width + 4, r.height + 4}};
}

std::vector<AccessibleItem> KeyboardFocus::accessibleItems() const {
    // The status word is the only caption that tells the language from the face.
    const bool english = face_.text(Label::Label2) != "ESTADO:";
    std::vector<AccessibleItem> items;
    items.reserve(stops().size());
    for (const Stop& s : stops()) {
        AccessibleItem item;
        item.control = s.control;
        item.role = s.role;
        const char* name = english ? s.english : s.spanish;
        item.name = name ? name : face_.text(s.control.label());
        item.shown = s.focusable ? isReachable(s.control) : !stopRect(s.control).empty();
        item.rect = item.shown ? stopRect(s.control) : Rect{};
        item.focused = item.shown && markShown_ && focused_ == s.control;
        if (s.role == Role::Toggle || s.role == Role::Radio)
            item.checked = checkedOf(face_, s.control.image());
        if (s.role == Role::Status) item.value = face_.text(s.control.label());
        if (s.role == Role::Choice) item.value = face_.choiceText();
        if (s.lastDigit != kNoPicture) {
            const auto parts = partsOf(s);
            for (std::size_t k = 0; k < parts.size(); ++k) {
                // The clock's digits go in pairs, hours to seconds.
                if (s.role == Role::Text && k > 0 && k % 2 == 0) item.value += ':';
                item.value += digitOf(face_.picture(parts[k].image()));
            }
            if (s.control == ControlRef(I::h2) && face_.visible(I::amc)) item.value += " AM";
            if (s.control == ControlRef(I::h2) && face_.visible(I::pmc)) item.value += " PM";
        }
        items.push_back(std::move(item));
    }
    return items;
}

int KeyboardFocus::number(ControlRef field) const {
    const Stop* s = stopOf(field);
    if (!s || s->role != Role::Field) return -1;
    int n = 0;
    for (ControlRef part : partsOf(*s)) {
        const char d = digitOf(face_.picture(part.image()));
        if (d == ' ') return -1;
        n = n * 10 + (d - '0');
    }
    return n;
}

bool KeyboardFocus::setNumber(ControlRef field, int wanted) {
    const Stop* s = stopOf(field);
    if (!s || s->role != Role::Field || !isReachable(field)) return false;
    for (int now = number(field); now >= 0 && now != wanted;) {
        const Image button = wanted > now ? s->up : s->down;
        if (drawing_.controlRect(button).empty()) break;
        pressControl(events_, button);
        const int after = number(field);
        if (after == now) break; // at its end, or the button does nothing now
        now = after;
    }
    return true;
}

int KeyboardFocus::largest(ControlRef field) {
    if (field == ControlRef(I::r3)) return 999;
    return field == ControlRef(I::h2) ? 99 : 59;
}

std::vector<AccessibleChange> accessibleChanges(const std::vector<AccessibleItem>& before,
                                                const std::vector<AccessibleItem>& after) {
    std::vector<AccessibleChange> changes;
    for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
        const AccessibleItem &a = before[i], &b = after[i];
        AccessibleChange c{i, a.name != b.name, a.value != b.value,
                           a.checked != b.checked || a.shown != b.shown || a.rect != b.rect};
        if (c.name || c.value || c.state) changes.push_back(c);
    }
    return changes;
}

std::array<MarkEdge, 8> focusMarkEdges(const Rect& device, double ratio) {
    const int t = std::max(1, static_cast<int>(ratio));
    std::array<MarkEdge, 8> edges{};
    Rect ring = device;
    for (int k = 0; k < 2; ++k) {
        const std::uint32_t color = k == 0 ? kFocusMarkShade : kFocusMarkColor;
        const int w = std::max(0, std::min({t, ring.width / 2, ring.height / 2}));
        const std::size_t at = static_cast<std::size_t>(k) * 4;
        edges[at] = {{ring.left, ring.top, ring.width, w}, color};
        edges[at + 1] = {{ring.left, ring.bottom() - w, ring.width, w}, color};
        edges[at + 2] = {{ring.left, ring.top + w, w, ring.height - 2 * w}, color};
        edges[at + 3] = {{ring.right() - w, ring.top + w, w, ring.height - 2 * w}, color};
        ring = {ring.left + w, ring.top + w, ring.width - 2 * w, ring.height - 2 * w};
    }
    return edges;
}

} // namespace quelvex
