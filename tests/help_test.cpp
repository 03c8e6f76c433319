// The help window: following the main window's language, showing, closing, the site link, and
// what the manuals tell the user.
#include "help/form2.h"
#include "help/manuals.h"
#include "tests/fakes.h"
#include "ui/language.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quelvex::testing {
namespace {

// The window model with the real help window in place of the fake one.
struct HelpRig : Rig {
    TForm2 help2{shell};
    TForm1 main{Services{clock, sound, power, grab, disk, errors, help2, "/opt/quelvex/"},
                WebServices{shell, network, web}};
};

void expectLanguage(const TForm2& h, bool en) {
    EXPECT_TRUE(h.memo2Visible() == en && h.checked(RadioButton::RadioButton1) == en &&
                h.checked(RadioButton::RadioButton2) == !en);
    EXPECT_EQ(h.groupBox1Caption() + "/" + h.caption(),
              en ? "LANGUAGE/Quelvex 5.0 HELP" : "IDIOMA/AYUDA de Quelvex 5.0");
}

TEST(Help, FollowsTheMainWindowsLanguageButNeverLeadsIt) {
    HelpRig english;
    english.main.Timer8Timer();
    // Nothing runs on an English system: the form's own captions stay.
    EXPECT_EQ(english.help2.caption(), "Quelvex 5.0   HELP");

    HelpRig r;
    r.clock.spanishUser = true;
    r.main.Timer8Timer();
    expectLanguage(r.help2, false);

    // The user's own choice changes only this window.
    r.help2.select(RadioButton::RadioButton1);
    expectLanguage(r.help2, true);
    EXPECT_EQ(r.main.state().language, Spanish);
    EXPECT_EQ(r.main.face().text(Label::Label2), "ESTADO:");
    r.help2.select(RadioButton::RadioButton1);
    expectLanguage(r.help2, true);

    r.main.lanMouseDown(); // to English: already there
    expectLanguage(r.help2, true);
    r.main.lanMouseDown(); // to Spanish
    expectLanguage(r.help2, false);
}

TEST(Help, ShowCloseAndTheSiteLink) {
    HelpRig r;
    EXPECT_FALSE(r.help2.visible());
    r.main.estrellaMouseUp();
    r.main.Label7Click();
    EXPECT_TRUE(r.help2.visible() && r.help2.raiseRequests() == 2);

    r.help2.select(RadioButton::RadioButton2);
    r.help2.FormClose();
    EXPECT_FALSE(r.help2.visible());
    r.main.Label7Click();
    expectLanguage(r.help2, false);

    EXPECT_EQ(r.help2.label4Caption(), siteName());
    r.help2.Label4MouseEnter();
    EXPECT_EQ(r.help2.label4Colour(), 0xFFFFFFu);
    r.help2.Label4MouseLeave();
    EXPECT_EQ(r.help2.label4Colour(), 0xBDB7E8u);
    r.help2.Label4Click();
    EXPECT_EQ(r.shell.opened, std::vector<std::string>{siteUrl()});
}

TEST(Help, ManualsTellTheTruthAndFitTheirWindow) {
    const std::string en = englishManual(), es = spanishManual();
    for (const char* s : {"MAIN MENU", "BUTTONS", "OPTIONS MENU", "RESET", "working folder",
                          "program's own folder", "no time limit"})
        EXPECT_NE(en.find(s), std::string::npos) << s;
    for (const char* s : {"EL MENÚ PRINCIPAL", "BOTONES", "LAS OPCIONES", "RESET", "carpeta de trabajo",
                          "carpeta del propio programa", "no tiene límite"})
        EXPECT_NE(es.find(s), std::string::npos) << s;
    for (const std::string& manual : {en, es}) {
        EXPECT_EQ(manual.find("10 min"), std::string::npos);
        // The site in the header and the closing block.
        EXPECT_NE(manual.find(siteName()), manual.rfind(siteName()));
        // Rules and headings stay on one line of the editor.
        std::istringstream lines(manual);
        for (std::string line; std::getline(lines, line);) {
            std::size_t letters = 0;
            for (unsigned char c : line)
                letters += (c & 0xC0) != 0x80;
            EXPECT_TRUE(!line.starts_with("_") || letters == 60) << line;
        }
    }
}

} // namespace
} // namespace quelvex::testing
