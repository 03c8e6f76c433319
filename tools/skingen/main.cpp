// skingen: draws every picture of Quelvex's skin and writes it into the skin folder.
//
// It is run by hand, never by the build, and its output is committed:
//
//   cmake --build build --target skingen
//   QT_QPA_PLATFORM=offscreen build/tools/skingen/skingen skin/
//
// For each picture the layout knows (skinPictures()), it writes <name>.png at its 1× size and
// <name>@2x.png drawn at twice that size, plus the 48 px application icon quelvex-48.png and the
// help window's logo and icon (helplogo, helpicon, also at 1× and 2×). The
// same input always gives the same bytes, so an unchanged skin shows no diff.
//
// To see the result as the window would show it at start-up:
//
//   skingen --preview window.png --preview2x window@2x.png [skin/]
#include "art.h"

#include "ui/face.h"
#include "ui/layout.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>
#include <string>

using namespace quelvex;

namespace {

std::string name(Image image) {
    return std::string(imageName(image));
}

// Every see-through control must show the face through its picture, so under each of them the
// background must have the picture's key colour wherever the picture has it. A mismatch would
// leave a visible patch of the wrong colour.
int checkSeeThrough(skingen::Artist& art) {
    struct Use {
        Image control;
        std::vector<Image> pictures;
        skingen::Artist::Backdrop backdrop;
    };
    using B = skingen::Artist::Backdrop;
    std::vector<Image> digits;
    for (int k = 0; k < 10; ++k)
        digits.push_back(static_cast<Image>(static_cast<int>(Image::n0) + k));
    const std::vector<Use> uses = {
        {Image::hdown, {Image::hdownon, Image::hdownoff}, B::Face},
        {Image::mdown, {Image::mdownon, Image::mdownoff}, B::Face},
        {Image::sdown, {Image::sdownon, Image::sdownoff}, B::Face},
        {Image::hh2, digits, B::Face},
        {Image::hh1, digits, B::Face},
        {Image::mm2, digits, B::Face},
        {Image::mm1, digits, B::Face},
        {Image::ss2, digits, B::Face},
        {Image::ss1, digits, B::Face},
        {Image::menuup, {Image::menuupon, Image::menuupoff}, B::Panel},
        {Image::shutdown, {Image::bon, Image::boff}, B::Panel},
        {Image::alarm, {Image::bon, Image::boff}, B::Panel},
        {Image::capture, {Image::bon, Image::boff}, B::Panel},
        {Image::show, {Image::bon, Image::boff}, B::Panel},
        {Image::rate, {Image::bon, Image::boff}, B::Panel},
    };
    int problems = 0;
    const int s = art.scale();
    for (const Use& use : uses) {
        const LayoutEntry* e = findLayout(use.control);
        if (!e || !e->seeThrough) {
            std::fprintf(stderr, "skingen: %s is expected to be see-through\n", name(use.control).c_str());
            ++problems;
            continue;
        }
        // The picture must blend into the background both as drawn bare and as shipped, which
        // has the control's released look painted in.
        const Image shipped = use.backdrop == B::Face ? Image::modulo1 : Image::modulo2;
        for (const QImage* back : {&art.bare(use.backdrop), &art.picture(shipped)})
            for (Image picture : use.pictures) {
                const QImage& pic = art.picture(picture);
                const QRgb key = pic.pixel(0, pic.height() - 1);
                int wrong = 0;
                for (int y = 0; y < pic.height(); ++y)
                    for (int x = 0; x < pic.width(); ++x)
                        if (pic.pixel(x, y) == key && back->pixel(e->left * s + x, e->top * s + y) != key)
                            ++wrong;
                if (wrong) {
                    std::fprintf(stderr, "skingen: %s at %s (%d×): %d key pixels lie over another colour\n",
                                 name(picture).c_str(), name(use.control).c_str(), s, wrong);
                    ++problems;
                }
            }
    }
    return problems;
}

// Whatever a background shows beyond its bare self (captions, keys, the emblem) must lie inside
// the controls painted over it; English captions in particular must be covered whole by their
// Spanish overlays, or a stray stroke would show through after switching language.
int checkCovered(skingen::Artist& art, Image background, skingen::Artist::Backdrop backdrop,
                 std::initializer_list<std::pair<Image, Image>> covers) {
    const int s = art.scale();
    const QImage& full = art.picture(background);
    const QImage& bare = art.bare(backdrop);
    QImage allowed(full.size(), QImage::Format_Grayscale8);
    allowed.fill(0);
    {
        QPainter p(&allowed);
        // Each cover is a control and a picture it shows, which gives its size.
        for (auto [c, shown] : covers) {
            const LayoutEntry* e = findLayout(c);
            const Size size = e->width ? Size{e->width, e->height} : pictureSize(shown);
            p.fillRect(QRect(e->left * s, e->top * s, size.width * s, size.height * s), Qt::white);
        }
    }
    int stray = 0;
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x)
            if (full.pixel(x, y) != bare.pixel(x, y) && qGray(allowed.pixel(x, y)) == 0) ++stray;
    if (stray)
        std::fprintf(stderr, "skingen: %s (%d×): %d pixels drawn outside the controls that cover them\n",
                     name(background).c_str(), s, stray);
    return stray ? 1 : 0;
}

int checkCovered(skingen::Artist& art) {
    using B = skingen::Artist::Backdrop;
    using I = Image;
    return checkCovered(art, I::modulo1, B::Face,
                        {{I::logo, I::logo},
                         {I::estrella, I::estrellaon},
                         {I::minimice, I::minimiceon},
                         {I::close, I::closeon},
                         {I::start, I::starton},
                         {I::reset, I::reseton},
                         {I::lan, I::english},
                         {I::modocontador, I::modocontador},
                         {I::st, I::engston},
                         {I::pc, I::engpcon},
                         {I::hup, I::hupon},
                         {I::mup, I::mupon},
                         {I::sup, I::supon},
                         {I::hdown, I::hdownon},
                         {I::mdown, I::mdownon},
                         {I::sdown, I::sdownon},
                         {I::stop, I::stopon}}) +
           checkCovered(art, I::modulo2, B::Panel,
                        {{I::iconbell, I::iconbellon},
                         {I::iconshutoff, I::iconshutoffon},
                         {I::iconcapture, I::iconcaptureon},
                         {I::shutdown, I::bon},
                         {I::alarm, I::bon},
                         {I::capture, I::bon},
                         {I::show, I::bon},
                         {I::rate, I::bon},
                         {I::menuup, I::menuupon},
                         {I::esppantalla, I::esppantalla},
                         {I::mess1, I::mess1},
                         {I::mess2, I::mess2},
                         {I::mess3, I::mess3},
                         {I::mess4, I::mess4}}) +
           checkCovered(art, I::Image4, B::Strip, {{I::menudown, I::menudownon}});
}

// The end action's pictures lie over printed words. The power-off's must be those words as the
// panel shows them in either language, and every picture's own words must lie inside its control,
// the captions clear of the mark, or letters would be cut off or printed ones peek out.
int checkEndAction(skingen::Artist& art) {
    const int s = art.scale();
    const QImage english = art.picture(Image::modulo2).convertToFormat(QImage::Format_RGB32);
    QImage spanish = english.copy();
    for (Image overlay : {Image::esppantalla, Image::mess2}) {
        const LayoutEntry* e = findLayout(overlay);
        skingen::paste(spanish, s, art.picture(overlay), {e->left, e->top}, false);
    }
    auto area = [&](Image picture) {
        const LayoutEntry* e = findLayout(skingen::endActionControl(picture));
        const Size size = e->width ? Size{e->width, e->height} : pictureSize(picture);
        return QRect(e->left * s, e->top * s, size.width * s, size.height * s);
    };
    int problems = 0;
    const std::pair<Image, const QImage*> printed[] = {{Image::act_en_poweroff, &english},
                                                       {Image::act_es_poweroff, &spanish},
                                                       {Image::row_en_poweroff, &english},
                                                       {Image::row_es_poweroff, &spanish}};
    for (auto [picture, panel] : printed)
        if (art.picture(picture).convertToFormat(QImage::Format_RGB32) != panel->copy(area(picture))) {
            std::fprintf(stderr, "skingen: %s (%d×) differs from the words printed under it\n",
                         name(picture).c_str(), s);
            ++problems;
        }
    const QRect mark = area(Image::actmark);
    for (int k = static_cast<int>(Image::act_en_poweroff); k <= static_cast<int>(Image::actmark); ++k) {
        const Image picture = static_cast<Image>(k);
        const QRect ink = skingen::endActionInk(picture, s);
        const bool caption = skingen::endActionControl(picture) == Image::endaction;
        if (!area(picture).contains(ink) || (caption && ink.intersects(mark))) {
            std::fprintf(stderr, "skingen: %s (%d×) draws beyond its control\n", name(picture).c_str(), s);
            ++problems;
        }
    }
    return problems;
}

// The window as it first appears with the options panel open, with the pictures the program puts
// up at start-up.
QImage preview(skingen::Artist& art) {
    const int s = art.scale();
    QImage out(kWindowWidth * s, kPanelOpenHeight * s, QImage::Format_RGB32);
    out.fill(Qt::black);

    Face face;
    auto set = [&](Image control, Image picture) { face.setPicture(control, picture); };
    set(Image::start, Image::starton);
    set(Image::stop, Image::stopon);
    set(Image::reset, Image::reseton);
    set(Image::hup, Image::hupon);
    set(Image::mup, Image::mupon);
    set(Image::sup, Image::supon);
    set(Image::hdown, Image::hdownon);
    set(Image::mdown, Image::mdownon);
    set(Image::sdown, Image::sdownon);
    set(Image::st, Image::engston);
    set(Image::pc, Image::engpcoff);
    set(Image::lan, Image::spanish);
    set(Image::estrella, Image::estrellaon);
    set(Image::minimice, Image::minimiceon);
    set(Image::close, Image::closeon);
    for (Image d : {Image::h2, Image::h1, Image::m2, Image::m1, Image::s2, Image::s1, Image::hh2, Image::hh1,
                    Image::mm2, Image::mm1, Image::ss2, Image::ss1})
        set(d, Image::n0);
    for (Image d : {Image::r3,  Image::r2,  Image::r1,  Image::ds9, Image::ds8, Image::ds7, Image::ds6,
                    Image::ds5, Image::ds4, Image::ds3, Image::ds2, Image::ds1, Image::fs9, Image::fs8,
                    Image::fs7, Image::fs6, Image::fs5, Image::fs4, Image::fs3, Image::fs2, Image::fs1})
        set(d, Image::nn0);
    set(Image::shutdown, Image::bon);
    set(Image::iconshutoff, Image::iconshutoffon);
    set(Image::screenshutdown, Image::on);
    set(Image::screenalarm, Image::off);
    set(Image::screencapture, Image::off);
    set(Image::menuup, Image::menuupon);

    // Draws one control into `target`, the canvas of its parent.
    auto drawEntry = [&](QImage& target, const LayoutEntry& e) {
        const Size size = controlSize(e, face);
        const QRect area(e.left * s, e.top * s, size.width * s, size.height * s);
        if (e.control.kind == Kind::Gauge) {
            QPainter p(&target);
            p.fillRect(area, QColor(0x00, 0x00, 0x80));
            return;
        }
        if (e.control.kind != Kind::Image) return;
        const Image image = e.control.image();
        if (!face.visible(image) || face.picture(image) == kNoPicture) return;
        // Pictures are clipped to their control.
        QImage canvas = target.copy(area);
        skingen::paste(canvas, s, art.picture(face.picture(image)), {0, 0}, e.seeThrough);
        QPainter p(&target);
        p.drawImage(area.topLeft(), canvas);
    };

    const auto table = layoutTable();
    for (const LayoutEntry& e : table)
        if (e.parent == Parent::Window && e.control.kind != Kind::Panel) drawEntry(out, e);
    // Windowed panels lie over the face in their own order, each with its children.
    for (const LayoutEntry& e : table) {
        if (e.control.kind != Kind::Panel) continue;
        const Panel panel = e.control.panel();
        if (panel == Panel::CppWebBrowser1 || !face.panel(panel).visible) continue;
        const Parent parent = panel == Panel::Panel1   ? Parent::Panel1
                              : panel == Panel::Panel2 ? Parent::Panel2
                                                       : Parent::Panel3;
        const QRect area(e.left * s, e.top * s, e.width * s, e.height * s);
        QImage inside(area.size(), QImage::Format_RGB32);
        inside.fill(QColor::fromRgb(QRgb(0xFF000000u | e.color)));
        for (const LayoutEntry& child : table)
            if (child.parent == parent) drawEntry(inside, child);
        QPainter p(&out);
        p.drawImage(area.topLeft(), inside);
    }
    return out;
}

bool save(const QImage& img, const QString& path) {
    if (img.save(path, "PNG")) return true;
    std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
    return false;
}

int usage() {
    std::fprintf(stderr,
                 "usage: skingen [SKIN_DIR] [--preview FILE] [--preview2x FILE]\n"
                 "  SKIN_DIR       write every picture of the skin (1× and @2x), quelvex-48.png and the\n"
                 "                 help window's helplogo and helpicon there\n"
                 "  --preview      compose the window at start-up, open, at 1×\n"
                 "  --preview2x    the same at 2×\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString dir, preview1, preview2;
    const QStringList args = app.arguments().mid(1);
    for (int k = 0; k < args.size(); ++k) {
        const QString& a = args[k];
        if ((a == "--preview" || a == "--preview2x") && k + 1 < args.size()) {
            (a == "--preview" ? preview1 : preview2) = args[++k];
        } else if (a.startsWith('-') || !dir.isEmpty()) {
            return usage();
        } else {
            dir = a;
        }
    }
    if (dir.isEmpty() && preview1.isEmpty() && preview2.isEmpty()) return usage();

    if (const QString error = skingen::loadFonts(); !error.isEmpty()) {
        std::fprintf(stderr, "skingen: %s\n", qPrintable(error));
        return 1;
    }

    skingen::Artist art1(1), art2(2);
    int problems = checkSeeThrough(art1) + checkSeeThrough(art2) + checkCovered(art1) + checkCovered(art2) +
                   checkEndAction(art1) + checkEndAction(art2);

    if (!dir.isEmpty()) {
        QDir out(dir);
        if (!out.exists() && !QDir().mkpath(dir)) {
            std::fprintf(stderr, "skingen: cannot create %s\n", qPrintable(dir));
            return 1;
        }
        int written = 0;
        for (Image image : skinPictures()) {
            const Size size = pictureSize(image);
            const QString base = out.filePath(QString::fromStdString(name(image)));
            const QImage& one = art1.picture(image);
            const QImage& two = art2.picture(image);
            if (one.size() != QSize(size.width, size.height) ||
                two.size() != QSize(2 * size.width, 2 * size.height)) {
                std::fprintf(stderr, "skingen: %s drawn at the wrong size\n", name(image).c_str());
                ++problems;
            }
            if (!save(one, base + ".png") || !save(two, base + "@2x.png")) return 1;
            written += 2;
        }
        // The application icon for the desktop's icon theme (its SVG is written by hand).
        if (!save(skingen::Artist::appIcon(48), out.filePath("quelvex-48.png")) ||
            !save(skingen::Artist::appIcon(96), out.filePath("quelvex-96.png")))
            return 1;
        written += 2;
        // The help window's own pictures.
        if (!save(skingen::Artist::helpLogo(1), out.filePath("helplogo.png")) ||
            !save(skingen::Artist::helpLogo(2), out.filePath("helplogo@2x.png")) ||
            !save(skingen::Artist::helpIcon(48), out.filePath("helpicon.png")) ||
            !save(skingen::Artist::helpIcon(96), out.filePath("helpicon@2x.png")))
            return 1;
        written += 4;
        std::printf("skingen: wrote %d pictures to %s\n", written, qPrintable(out.path()));
    }
    if (!preview1.isEmpty() && !save(preview(art1), preview1)) return 1;
    if (!preview2.isEmpty() && !save(preview(art2), preview2)) return 1;
    return problems ? 1 : 0;
}
