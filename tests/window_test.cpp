// The window around the count: options panel, emblem, colon, dragging, disk figures, language.
#include "tests/face_reading.h"
#include "ui/digits.h"
#include "ui/language.h"

#include <gtest/gtest.h>

namespace quelvex::testing {
namespace {

constexpr Image kOverlays[] = {Image::esppantalla, Image::mess1, Image::mess2, Image::mess3, Image::mess4};

int visibleOverlays(const Face& f) {
    int n = 0;
    for (Image i : kOverlays) n += f.visible(i);
    return n;
}


TEST(Panel, CloseAndOpenSequencesWithSpanishOverlays) {
    Rig rig;
    VirtualTime vt(rig);
    const Face& f = rig.face();
    auto expectPanel = [&](bool open) {
        EXPECT_EQ(f.window().height, open ? 335 : 220);
        for (Image i : {Image::modulo2, Image::menuup, Image::iconbell, Image::shutdown, Image::rate,
                        Image::rateup, Image::r1, Image::screenalarm, Image::ds1, Image::fs9})
            EXPECT_EQ(f.visible(i), open) << imageName(i);
    };
    expectPanel(true);

    vt.press(Image::menuup);
    EXPECT_EQ(f.picture(Image::menuup), Image::menuupoff);
    EXPECT_EQ(f.window().height, 335);
    vt.release(Image::menuup);
    EXPECT_EQ(f.picture(Image::menuup), Image::menuupon);
    expectPanel(false);
    vt.press(Image::menudown);
    EXPECT_EQ(f.picture(Image::menudown), Image::menudownoff);
    vt.release(Image::menudown);
    EXPECT_EQ(f.picture(Image::menudown), Image::menudownon);
    expectPanel(true);
    EXPECT_EQ(visibleOverlays(f), 0);
    vt.clickOn(Label::Label10);
    expectPanel(false);
    vt.clickOn(Label::Label9);
    expectPanel(true);

    vt.press(Image::lan); // Spanish, panel open
    EXPECT_EQ(visibleOverlays(f), 5);
    vt.clickOn(Label::Label10);
    EXPECT_EQ(visibleOverlays(f), 0);
    vt.press(Image::lan);
    vt.press(Image::lan); // back to Spanish while closed
    EXPECT_EQ(visibleOverlays(f), 0);
    vt.clickOn(Image::menudown);
    EXPECT_EQ(visibleOverlays(f), 5);
    vt.press(Image::lan); // English while open
    EXPECT_EQ(visibleOverlays(f), 0);
    vt.clickOn(Label::Label9);
    EXPECT_EQ(visibleOverlays(f), 0);
}

TEST(Emblem, CyclesWhileRunningAndHoldsItsFrame) {
    Rig rig;
    VirtualTime vt(rig);
    vt.clickOn(Image::start);
    std::vector<Image> frames;
    for (int i = 0; i < 7; ++i) {
        vt.advance(50);
        frames.push_back(rig.face().picture(Image::logo));
    }
    EXPECT_EQ(frames, (std::vector<Image>{Image::l1, Image::l2, Image::l3, Image::l4, Image::l5, Image::l1,
                                          Image::l2}));
    vt.clickOn(Image::stop);
    vt.advance(1000);
    EXPECT_EQ(rig.face().picture(Image::logo), Image::l2);
}

TEST(Colon, BlinksOnlyWhileTheCountTimerRuns) {
    Rig rig;
    VirtualTime vt(rig);
    const Face& f = rig.face();
    std::string seen;
    auto sample = [&](int n) {
        for (int i = 0; i < n; ++i) {
            vt.advance(500);
            seen += f.visible(Image::nodospuntos) ? '1' : '0';
        }
    };
    sample(2);
    vt.press(Image::pc);
    sample(4);
    vt.clickOn(Image::sup);
    vt.clickOn(Image::mup);
    vt.clickOn(Image::start);
    sample(3);
    EXPECT_EQ(seen, "10" "0000" "101");
}

TEST(Drag, BothHandlesMoveTheWindowByTheOffsetFromThePress) {
    Rig rig;
    VirtualTime vt(rig);
    const WindowState& w = rig.face().window();
    vt.press(Image::modulo1, 10, 10);
    vt.move(Image::modulo1, 15, 7);
    EXPECT_EQ(w.left, 205);
    EXPECT_EQ(w.top, 97);
    vt.move(Image::modulo1, 15, 7); // the handle moved with the window
    EXPECT_EQ(w.left, 210);
    EXPECT_EQ(w.top, 94);
    vt.release(Image::modulo1);
    vt.move(Image::modulo1, 40, 40);
    EXPECT_EQ(w.left, 210);

    vt.press(Image::modulo2, 0, 0);
    vt.move(Image::modulo2, -20, 40);
    vt.release(Image::modulo2);
    vt.move(Image::modulo2, 5, 5);
    EXPECT_EQ(w.left, 190);
    EXPECT_EQ(w.top, 134);
}

TEST(Disk, KibibytesAsTheLowNineDigitsRedrawnOnlyOnChange) {
    Rig rig;
    VirtualTime vt(rig);
    vt.advance(100);
    EXPECT_EQ(nineDigits(rig.face(), kDiskSizeDigits), "078150744");
    EXPECT_EQ(nineDigits(rig.face(), kDiskFreeDigits), "000000000");

    const struct {
        std::int64_t bytes;
        const char* shown;
    } sizes[] = {{1'000'000'000'000, "976562500"},
                 {1'100'000'000'000, "074218750"},
                 {(3LL << 40) + (1LL << 42), "516192768"},
                 {3LL << 40, "221225472"}}; // differs from the one before only above 32 bits
    for (const auto& c : sizes) {
        rig.disk.total = c.bytes;
        rig.form.Timer3Timer();
        EXPECT_EQ(nineDigits(rig.face(), kDiskSizeDigits), c.shown) << c.bytes;
    }
    EXPECT_EQ(rig.s().diskSizeKb, 3LL << 30);
    rig.face().takeChanges();
    rig.form.Timer3Timer();
    EXPECT_FALSE(rig.face().changes().any());
    rig.face().setPicture(kDiskSizeDigits[0], Image::n5); // not drawn again while nothing changed
    rig.form.Timer3Timer();
    EXPECT_EQ(rig.face().picture(kDiskSizeDigits[0]), Image::n5);

    rig.disk.free = 5 << 20;
    rig.form.Timer3Timer();
    EXPECT_TRUE(rig.face().takeChanges().any());
    EXPECT_EQ(nineDigits(rig.face(), kDiskFreeDigits), "000005120");

    rig.disk.total = rig.disk.free = -1;
    vt.advance(100);
    EXPECT_EQ(nineDigits(rig.face(), kDiskSizeDigits), "000000000");
    EXPECT_EQ(nineDigits(rig.face(), kDiskFreeDigits), "000000000");
}

TEST(Disk, QueryFailingFromTheStartLeavesRowsBlank) {
    Rig rig;
    rig.disk.total = rig.disk.free = -1;
    VirtualTime vt(rig);
    vt.advance(1000);
    EXPECT_GE(vt.ticks[static_cast<std::size_t>(TimerId::Timer3)], 10);
    EXPECT_EQ(nineDigits(rig.face(), kDiskSizeDigits), "         ");
    EXPECT_EQ(nineDigits(rig.face(), kDiskFreeDigits), "         ");
}

TEST(Language, SpanishSystemAtStartUp) {
    Rig rig;
    rig.clock.spanishUser = true;
    VirtualTime vt(rig);
    const Face& f = rig.face();
    vt.advance(99);
    EXPECT_EQ(rig.s().language, English);
    vt.advance(1);
    EXPECT_EQ(rig.s().language, Spanish);
    EXPECT_FALSE(f.enabled(TimerId::Timer8));
    EXPECT_EQ(rig.help.languages, std::vector<bool>{false});
    EXPECT_EQ(f.text(Label::Label2), "ESTADO:");
    EXPECT_EQ(f.text(Label::Label3), "INACTIVO");
    EXPECT_EQ(f.text(Label::Label5) + f.text(Label::Label7), "Temas relacionadosAyuda");
    EXPECT_EQ(f.label(Label::Label3).color, kRed);
    EXPECT_EQ(visibleOverlays(f), 5);
    EXPECT_EQ(f.picture(Image::start), Image::iniciaron);
    EXPECT_EQ(f.picture(Image::stop), Image::pararon);
    EXPECT_EQ(f.picture(Image::screenshutdown), Image::si);
    EXPECT_EQ(f.picture(Image::screenalarm), Image::no);
    EXPECT_EQ(f.picture(Image::screencapture), Image::no);
    EXPECT_TRUE(f.visible(Image::modocontador));
    EXPECT_EQ(f.picture(Image::lan), Image::english);
    EXPECT_EQ(f.picture(Image::pc), Image::esppcoff);
    EXPECT_EQ(f.picture(Image::st), Image::espston);
    vt.advance(5000);
    EXPECT_EQ(vt.ticks[static_cast<std::size_t>(TimerId::Timer8)], 1);

    vt.press(Image::start);
    EXPECT_EQ(f.picture(Image::start), Image::iniciaroff);
    vt.release(Image::start);
    EXPECT_EQ(f.text(Label::Label3), "ACTIVO");
    EXPECT_EQ(f.label(Label::Label3).color, kLime);
    vt.press(Image::stop);
    EXPECT_EQ(f.picture(Image::stop), Image::pararoff);
    vt.release(Image::stop);
    EXPECT_EQ(f.picture(Image::stop), Image::pararon);
    EXPECT_EQ(f.text(Label::Label3), "INACTIVO");
    vt.press(Image::reset);
    EXPECT_EQ(f.picture(Image::reset), Image::resetoff);
}

TEST(Language, LinkCaptionsFollowTheStartUpLanguageAndTheButton) {
    Rig rig;
    VirtualTime vt(rig);
    const Face& f = rig.face();
    vt.advance(100);
    EXPECT_EQ(rig.help.languages, std::vector<bool>{true});
    EXPECT_EQ(f.text(Label::Label2), "STATUS:");
    EXPECT_EQ(f.text(Label::Label3), "DISABLED");
    EXPECT_EQ(visibleOverlays(f), 0);
    EXPECT_FALSE(f.visible(Image::modocontador));
    EXPECT_EQ(f.picture(Image::lan), Image::spanish);
    const std::string site = siteName();
    auto captions = [&] {
        return std::vector<std::string>{f.text(Label::Label5), f.text(Label::Label7), f.text(Label::Label8),
                                        f.text(Label::Label9), f.text(Label::Label10)};
    };
    const std::vector<std::string> spanish = {"Temas relacionados", "Ayuda", "Visitar " + site, "Mostrar opciones",
                                              "Ocultar opciones"};
    const std::vector<std::string> english = {"Related topics", "Help", "Visit " + site, "Show options",
                                              "Hide options"};
    EXPECT_EQ(captions(), english);

    vt.press(Image::lan);
    EXPECT_EQ(captions(), spanish);
    EXPECT_EQ(f.text(Label::Label3), "INACTIVO");
    vt.press(Image::lan);
    EXPECT_EQ(captions(), english);
    EXPECT_EQ(f.text(Label::Label3), "DISABLED");
    EXPECT_EQ(rig.help.languages, (std::vector<bool>{true, false, true}));
}

// Both site links hand the browser the full address (a bare host name opens nothing outside
// Windows); the top-bar address lights up under the pointer. The caption shows the host only.
TEST(Links, SiteLinksOpenTheFullAddressAndTheTopBarOneLights) {
    setSiteUrl("http://127.0.0.1:8123/");
    Rig rig;
    const Face& f = rig.face();
    EXPECT_EQ(f.text(Label::Label4), "127.0.0.1:8123");
    rig.form.mouseEnter(Label::Label4);
    EXPECT_EQ(f.label(Label::Label4).color, 0xFFFFFFu);
    rig.form.click(Label::Label4);
    rig.form.mouseLeave(Label::Label4);
    EXPECT_EQ(f.label(Label::Label4).color, kCaption);
    rig.form.click(Label::Label8);
    EXPECT_EQ(rig.shell.opened, (std::vector<std::string>(2, "http://127.0.0.1:8123")));
    setSiteUrl(QUELVEX_SITE_URL);
}

TEST(Language, SwitchingKeepsTheCountAndTranslatesTheStatus) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 59, 40);
    VirtualTime vt(rig);
    const Face& f = rig.face();
    SharedState& s = rig.s();
    vt.advance(100);
    vt.clickOn(Image::alarm);
    vt.clickOn(Image::rate);
    for (int i = 0; i < 3; ++i) vt.clickOn(Image::rateup);
    for (int i = 0; i < 10; ++i) vt.clickOn(Image::hup);
    vt.clickOn(Image::start);

    vt.press(Image::lan);
    EXPECT_EQ(f.text(Label::Label3), "ACTIVO");
    EXPECT_EQ(f.label(Label::Label3).color, kLime);
    EXPECT_EQ(s.alarmOption + s.periodicArmed + s.systemTimeArmed, 3);
    EXPECT_EQ(s.captureInterval, 3);
    EXPECT_EQ(s.countTarget, 10 * 3600);
    EXPECT_EQ(s.counterMode, SystemTime);
    EXPECT_EQ(f.picture(Image::screenalarm), Image::si);
    vt.advanceTo(toEpochMs({2026, 12, 7, 10, 0, 5, 0}));
    EXPECT_EQ(rig.power.requests, 1); // the Spanish running word still passes the status check
    vt.press(Image::lan);
    EXPECT_EQ(f.text(Label::Label3), "ENABLED");
    EXPECT_EQ(f.label(Label::Label3).color, kLime);

    vt.press(Image::pc);
    for (int i = 0; i < 10; ++i) vt.clickOn(Image::sup);
    vt.clickOn(Image::start);
    vt.advance(3000);
    vt.press(Image::lan);
    vt.advance(2000);
    EXPECT_EQ(s.countElapsed, 5);
    EXPECT_EQ(s.counterMode, ProgramCounter);
    EXPECT_EQ(f.picture(Image::pc), Image::esppcon);
    vt.clickOn(Image::stop);
    EXPECT_EQ(f.text(Label::Label3), "INACTIVO");
    vt.press(Image::lan);
    EXPECT_EQ(f.text(Label::Label3), "DISABLED");
    EXPECT_EQ(f.label(Label::Label3).color, kRed);
}

} // namespace
} // namespace quelvex::testing
