#include "ui/layout.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

namespace quelvex {
namespace {

using I = Image;
using L = Label;
using P = Panel;

constexpr FontSpec kArialBold11{FontFamily::Arial, 11, true, false};
constexpr FontSpec kLinkFont{FontFamily::MsSansSerif, 11, false, true};

Image fitPictureOf(Image control);

LayoutEntry img(Image i, Parent parent, int x, int y, int w = 0, int h = 0) {
    LayoutEntry e{i, parent, x, y, w, h};
    if (w == 0 && h == 0) e.fitPicture = fitPictureOf(i);
    return e;
}

// Fit controls keep the size of the pictures they take; digit positions take digit pictures.
Image fitPictureOf(Image control) {
    switch (control) {
    case I::estrella: return I::estrellaon;
    case I::minimice: return I::minimiceon;
    case I::close: return I::closeon;
    case I::start: return I::starton;
    case I::reset: return I::reseton;
    case I::lan: return I::spanish;
    case I::modocontador: return I::modocontador;
    case I::st: return I::engston;
    case I::pc: return I::engpcoff;
    case I::hup: return I::hupon;
    case I::mup: return I::mupon;
    case I::sup: return I::supon;
    case I::amc: return I::amc;
    case I::pmc: return I::pmc;
    case I::hdown: return I::hdownon;
    case I::mdown: return I::mdownon;
    case I::sdown: return I::sdownon;
    case I::stop: return I::stopon;
    case I::am: return I::am;
    case I::pm: return I::pm;
    case I::menudown: return I::menudownon;
    case I::menuup: return I::menuupon;
    case I::shutdown: return I::bon;
    case I::alarm: return I::bon;
    case I::capture: return I::bon;
    case I::show: return I::bon;
    case I::rate: return I::bon;
    case I::r3: return I::nn0;
    case I::r2: return I::nn0;
    case I::r1: return I::nn0;
    case I::iconbell: return I::iconbellon;
    case I::iconshutoff: return I::iconshutoffon;
    case I::iconcapture: return I::iconcaptureon;
    case I::screenshutdown: return I::on;
    case I::screencapture: return I::on;
    case I::screenalarm: return I::on;
    case I::esppantalla: return I::esppantalla;
    case I::mess1: return I::mess1;
    case I::mess2: return I::mess2;
    case I::mess3: return I::mess3;
    case I::mess4: return I::mess4;
    case I::endactionmark: return I::actmark;
    case I::endactionrow: return I::row_en_poweroff;
    default: break;
    }
    const std::string_view name = imageName(control);
    if (name.size() == 2 && std::string_view("hms").find(name[0]) != std::string_view::npos && (name[1] == '1' || name[1] == '2'))
        return I::n0;
    if (name.size() == 3 && (name.starts_with("hh") || name.starts_with("mm") || name.starts_with("ss")))
        return I::n0;
    if (name.size() == 3 && (name.starts_with("ds") || name.starts_with("fs"))) return I::nn0;
    return kNoPicture;
}

LayoutEntry& seeThrough(LayoutEntry& e) {
    e.seeThrough = true;
    return e;
}

std::vector<LayoutEntry> buildTable() {
    const Parent W = Parent::Window;
    const Parent P1 = Parent::Panel1;
    std::vector<LayoutEntry> t;
    auto add = [&](LayoutEntry e) -> LayoutEntry& { return t.emplace_back(e); };
    auto hand = [](LayoutEntry& e) -> LayoutEntry& {
        e.handCursor = true;
        return e;
    };
    auto hint = [](LayoutEntry& e, const char* h) -> LayoutEntry& {
        e.hint = h;
        return e;
    };
    auto hidden = [](LayoutEntry& e) -> LayoutEntry& {
        e.initiallyVisible = false;
        return e;
    };
    auto label = [&](Label l, Parent parent, int x, int y, FontSpec font, std::uint32_t color, int w = 0,
                     int h = 0) -> LayoutEntry& {
        LayoutEntry e{l, parent, x, y, w, h};
        e.font = font;
        e.color = color;
        return add(e);
    };

    // Main face, in stacking order.
    add(img(I::modulo1, W, 0, 0, 483, 200));
    add(img(I::logo, W, 8, 5, 43, 28));
    label(L::Label6, W, 184, 16, {FontFamily::ArialBlack, 11, false, false}, kCaption);
    hand(label(L::Label4, W, 224, 11, {FontFamily::ArialUnicode, 11, false, false}, kCaption));
    hand(add(img(I::estrella, W, 407, 5)));
    hint(hand(add(img(I::minimice, W, 432, 5))), "Minimize");
    hint(hand(add(img(I::close, W, 457, 5))), "Exit Program");
    hand(add(img(I::start, W, 5, 41)));
    hand(add(img(I::reset, W, 30, 90)));
    add(img(I::lan, W, 200, 55));
    hidden(add(img(I::modocontador, W, 188, 87)));
    add(img(I::st, W, 202, 98));
    add(img(I::pc, W, 202, 126));
    hand(add(img(I::hup, W, 336, 36)));
    hand(add(img(I::mup, W, 378, 36)));
    hand(add(img(I::sup, W, 420, 36)));
    const int rightX[] = {338, 354, 380, 396, 422, 438};
    const Image rightDigits[] = {I::h2, I::h1, I::m2, I::m1, I::s2, I::s1};
    for (int k = 0; k < 6; ++k) add(img(rightDigits[k], W, rightX[k], 75));
    hidden(add(img(I::amc, W, 454, 79)));
    hidden(add(img(I::pmc, W, 454, 88)));
    hand(seeThrough(add(img(I::hdown, W, 337, 101))));
    hand(seeThrough(add(img(I::mdown, W, 379, 101))));
    hand(seeThrough(add(img(I::sdown, W, 422, 101))));
    hand(add(img(I::stop, W, 317, 131)));
    const int leftX[] = {34, 50, 76, 92, 118, 134};
    const Image leftDigits[] = {I::hh2, I::hh1, I::mm2, I::mm1, I::ss2, I::ss1};
    for (int k = 0; k < 6; ++k) seeThrough(add(img(leftDigits[k], W, leftX[k], 128)));
    hidden(add(img(I::nodospuntos, W, 110, 135, 3, 10)));
    hidden(add(img(I::am, W, 150, 132)));
    hidden(add(img(I::pm, W, 150, 141)));
    add(LayoutEntry{kGauge, W, 12, 154, 157, 10});
    label(L::Label2, W, 16, 152, kArialBold11, kYellow);
    label(L::Label3, W, 80, 152, kArialBold11, kRed);

    // Windowed controls lie over every picture of the face.
    {
        LayoutEntry& e = add(LayoutEntry{P::Panel1, W, 0, 188, 483, 145});
        e.color = 0x808080;
    }
    add(LayoutEntry{P::CppWebBrowser1, W, 1, 169, 481, 21});
    {
        LayoutEntry& e = add(LayoutEntry{P::Panel3, W, 1, 169, 480, 21});
        e.color = 0x000000;
    }
    {
        LayoutEntry& e = hidden(add(LayoutEntry{P::Panel2, W, 0, 36, 482, 21}));
        e.color = 0x000080;
    }

    // Link bar.
    const Parent P3 = Parent::Panel3;
    hand(label(L::Label7, P3, 32, 3, kLinkFont, kCaption));
    hand(label(L::Label8, P3, 104, 3, kLinkFont, kCaption));
    hand(label(L::Label9, P3, 240, 3, kLinkFont, kCaption));
    hand(label(L::Label10, P3, 360, 3, kLinkFont, kCaption));

    // Related-topics bar.
    const Parent P2 = Parent::Panel2;
    add(img(I::Image5, P2, 0, 0, 483, 20));
    hand(add(img(I::Image6, P2, 464, 0, 17, 17)));
    label(L::Label5, P2, 8, 3, {FontFamily::MsSansSerif, 11, false, false}, kWhite, 449, 13);

    // Options panel.
    add(img(I::Image4, P1, 0, 0, 483, 31));
    hand(add(img(I::menudown, P1, 197, 3)));
    add(img(I::modulo2, P1, 0, 0, 483, 145));
    hand(seeThrough(add(img(I::menuup, P1, 198, 116))));
    hint(hand(seeThrough(add(img(I::shutdown, P1, 199, 33)))), "Shut Down");
    hint(hand(seeThrough(add(img(I::alarm, P1, 199, 51)))), "alarn");
    hint(hand(seeThrough(add(img(I::capture, P1, 199, 69)))), "Capture Screen");
    hint(hand(seeThrough(add(img(I::show, P1, 234, 82)))), "Hide program when capture");
    hint(hand(seeThrough(add(img(I::rate, P1, 234, 96)))), "minutes per capture");
    add(img(I::ratedown, P1, 374, 95, 11, 13));
    add(img(I::rateup, P1, 414, 95, 13, 13));
    hint(add(img(I::r3, P1, 390, 98)), "Minutes per Capture");
    hint(add(img(I::r2, P1, 397, 98)), "Minutes per Capture");
    add(img(I::r1, P1, 404, 98));
    hint(hand(add(img(I::iconbell, P1, 47, 19))), "alarm");
    hint(hand(add(img(I::iconshutoff, P1, 68, 20))), "shutdown");
    hint(hand(add(img(I::iconcapture, P1, 132, 19))), "capture");
    hint(add(img(I::Image2, P1, 24, 22, 17, 9)), "HD Space");
    hint(add(img(I::Image3, P1, 104, 22, 25, 9)), "HD free space");
    const Image sizeDigits[] = {I::ds9, I::ds8, I::ds7, I::ds6, I::ds5, I::ds4, I::ds3, I::ds2, I::ds1};
    const Image freeDigits[] = {I::fs9, I::fs8, I::fs7, I::fs6, I::fs5, I::fs4, I::fs3, I::fs2, I::fs1};
    for (int k = 0; k < 9; ++k) add(img(sizeDigits[k], P1, 79 + 7 * k, 36));
    for (int k = 0; k < 9; ++k) add(img(freeDigits[k], P1, 79 + 7 * k, 49));
    add(img(I::screenshutdown, P1, 140, 63));
    add(img(I::screencapture, P1, 140, 75));
    add(img(I::screenalarm, P1, 140, 88));
    hidden(add(img(I::esppantalla, P1, 23, 35)));
    hidden(add(img(I::mess1, P1, 200, 11)));
    hidden(add(img(I::mess2, P1, 223, 34)));
    hidden(add(img(I::mess3, P1, 258, 83)));
    hidden(add(img(I::mess4, P1, 258, 97)));
    // The end action: a choice laid over the printed caption and the status row's name, which
    // show through while the action is the power-off.
    hint(hand(add(img(I::endaction, P1, 221, 32, 214, 14))), "Choose what happens at the end");
    hint(hand(add(img(I::endactionmark, P1, 424, 36))), "Choose what happens at the end");
    add(img(I::endactionrow, P1, 23, 61));
    return t;
}

struct PictureSize {
    Image image;
    Size size;
};

std::vector<PictureSize> buildSizes() {
    std::vector<PictureSize> s;
    auto set = [&](std::initializer_list<Image> images, Size size) {
        for (Image i : images) s.push_back({i, size});
    };
    set({I::modulo1}, {483, 200});
    set({I::modulo2}, {483, 145});
    set({I::Image4}, {483, 31});
    set({I::Image5}, {483, 20});
    set({I::logo, I::l1, I::l2, I::l3, I::l4, I::l5}, {43, 28});
    set({I::nodospuntos}, {3, 10});
    set({I::am, I::pm, I::amc, I::pmc}, {11, 7});
    set({I::modocontador}, {136, 10});
    set({I::esppantalla}, {56, 62});
    set({I::mess1}, {220, 12});
    set({I::mess2}, {200, 46});
    set({I::mess3}, {200, 11});
    set({I::mess4}, {110, 11});
    set({I::act_en_poweroff, I::act_en_restart, I::act_en_suspend, I::act_en_hibernate, I::act_en_logout,
         I::act_en_lock, I::act_es_poweroff, I::act_es_restart, I::act_es_suspend, I::act_es_hibernate,
         I::act_es_logout, I::act_es_lock},
        {214, 14});
    set({I::row_en_poweroff, I::row_en_restart, I::row_en_suspend, I::row_en_hibernate, I::row_en_logout,
         I::row_en_lock, I::row_es_poweroff, I::row_es_restart, I::row_es_suspend, I::row_es_hibernate,
         I::row_es_logout, I::row_es_lock},
        {114, 13});
    set({I::actmark}, {9, 6});
    set({I::starton, I::startoff, I::iniciaron, I::iniciaroff}, {176, 44});
    set({I::stopon, I::stopoff, I::pararon, I::pararoff}, {150, 32});
    set({I::reseton, I::resetoff}, {128, 28});
    set({I::hupon, I::hupoff, I::mupon, I::mupoff, I::supon, I::supoff}, {36, 34});
    set({I::hdownon, I::hdownoff, I::mdownon, I::mdownoff, I::sdownon, I::sdownoff}, {36, 24});
    set({I::estrellaon, I::estrellaoff, I::minimiceon, I::minimiceoff, I::closeon, I::closeoff}, {22, 22});
    set({I::menudownon, I::menudownoff, I::menuupon, I::menuupoff}, {88, 24});
    set({I::engpcon, I::engpcoff, I::engston, I::engstoff, I::esppcon, I::esppcoff, I::espston, I::espstoff,
         I::english, I::spanish},
        {112, 26});
    set({I::bon, I::boff}, {16, 12});
    set({I::iconshutoffon, I::iconshutoffoff, I::iconbellon, I::iconbelloff, I::iconcaptureon,
         I::iconcaptureoff},
        {18, 14});
    set({I::on, I::off, I::si, I::no}, {26, 10});
    set({I::n0, I::n1, I::n2, I::n3, I::n4, I::n5, I::n6, I::n7, I::n8, I::n9}, {13, 23});
    set({I::nn0, I::nn1, I::nn2, I::nn3, I::nn4, I::nn5, I::nn6, I::nn7, I::nn8, I::nn9}, {5, 7});
    std::sort(s.begin(), s.end(), [](const PictureSize& a, const PictureSize& b) { return a.image < b.image; });
    return s;
}

const std::vector<LayoutEntry>& table() {
    static const std::vector<LayoutEntry> t = buildTable();
    return t;
}

const std::vector<PictureSize>& sizes() {
    static const std::vector<PictureSize> s = buildSizes();
    return s;
}

} // namespace

std::span<const LayoutEntry> layoutTable() { return table(); }

const LayoutEntry* findLayout(ControlRef control) {
    for (const LayoutEntry& e : table())
        if (e.control == control) return &e;
    return nullptr;
}

Point parentOrigin(Parent parent) {
    const Panel owner = parent == Parent::Panel1   ? Panel::Panel1
                        : parent == Parent::Panel2 ? Panel::Panel2
                        : parent == Parent::Panel3 ? Panel::Panel3
                                                   : Panel::Count;
    if (owner == Panel::Count) return {0, 0};
    const LayoutEntry* e = findLayout(owner);
    return {e->left, e->top};
}

Size pictureSize(Image picture) {
    const auto& s = sizes();
    auto it = std::lower_bound(s.begin(), s.end(), picture,
                               [](const PictureSize& p, Image i) { return p.image < i; });
    return it != s.end() && it->image == picture ? it->size : Size{0, 0};
}

std::span<const Image> skinPictures() {
    static const std::vector<Image> list = [] {
        std::vector<Image> v;
        for (const PictureSize& p : sizes()) v.push_back(p.image);
        return v;
    }();
    return list;
}

Size controlSize(const LayoutEntry& entry, const Face& face) {
    if (entry.width || entry.height || entry.control.kind != Kind::Image) return {entry.width, entry.height};
    const Image held = face.picture(entry.control.image());
    return pictureSize(held != kNoPicture ? held : entry.fitPicture);
}

} // namespace quelvex
