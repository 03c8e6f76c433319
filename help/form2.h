// The help window's behaviour: which manual shows, its captions, the site link and its hover
// colour, and whether the window is up. The view renders this state and feeds it input; the text
// typed into the English manual and the scroll positions live in the view's editors, which are
// hidden on close and never rebuilt, so they last until the program ends.
#pragma once

#include "core/form1.h"
#include "help/services.h"
#include "ui/face_drawing.h"

#include <cstdint>
#include <string>

namespace quelvex {

enum class RadioButton { RadioButton1, RadioButton2 }; // English, Español

class TForm2 : public HelpWindow {
  public:
    // Place and client size of the window, in pixels.
    static constexpr int kLeft = 359, kTop = 160, kWidth = 514, kHeight = 406;
    static constexpr std::uint32_t kLinkColour = kCaption;
    static constexpr std::uint32_t kLinkHoverColour = kWhite;
    // Where its controls lie, in client pixels at 100 %, and the colours and font sizes every
    // view draws them in. The radio buttons lie in the group box; the two manuals share one place.
    static constexpr Rect kImage1{280, 16, 119, 23};
    static constexpr Rect kLabel4{280, 50, 100, 16}; // wider when its caption needs it
    static constexpr Rect kGroupBox1{16, 16, 153, 57};
    static constexpr Rect kRadioButton2{24, 16, 81, 17}; // Español, above English
    static constexpr Rect kRadioButton1{24, 32, 89, 17};
    static constexpr Rect kMemo{16, 88, 481, 305};
    static constexpr std::uint32_t kGroupColour = 0xA7A6BD;
    static constexpr std::uint32_t kMemoColour = 0xB4B3CC;
    static constexpr int kMemoFontPixels = 13, kGroupFontPixels = 13, kRadioFontPixels = 11,
                         kLinkFontPixels = 13;

    explicit TForm2(Shell& shell) : shell_(shell) {}

    // HelpWindow, as the main window calls it.
    void showHelp() override { Show(); }
    void followLanguage(bool english) override {
        select(english ? RadioButton::RadioButton1 : RadioButton::RadioButton2);
    }

    // Makes the window visible and asks the view to bring it to the front.
    void Show();
    // The close box: hides the window; everything else stays as it is.
    void FormClose() { visible_ = false; }

    // Selecting a button that is not selected deselects its sibling and runs its click handling;
    // selecting the selected one does nothing. The user's clicks come here too.
    void select(RadioButton button);
    void RadioButton1Click();
    void RadioButton2Click();

    void Label4Click();
    void Label4MouseEnter() { label4Colour_ = kLinkHoverColour; }
    void Label4MouseLeave() { label4Colour_ = kLinkColour; }

    bool visible() const { return visible_; }
    // Counts the requests to come to the front, so the view can tell a new one from an old one.
    int raiseRequests() const { return raiseRequests_; }
    bool checked(RadioButton button) const { return button == selected_; }
    // Memo2 (the English manual) lies over Memo1 (the Spanish one); hidden, it uncovers Memo1.
    bool memo2Visible() const { return memo2Visible_; }
    const std::string& caption() const { return caption_; }
    const std::string& groupBox1Caption() const { return groupBox1Caption_; }
    std::uint32_t label4Colour() const { return label4Colour_; }
    std::string label4Caption() const;
    // The manuals the two editors start with.
    static std::string memo1Text();
    static std::string memo2Text();

  private:
    Shell& shell_;
    bool visible_ = false;
    int raiseRequests_ = 0;
    RadioButton selected_ = RadioButton::RadioButton1;
    bool memo2Visible_ = true;
    // The form's own captions until a radio button's handling first runs.
    std::string caption_ = "Quelvex 5.0   HELP";
    std::string groupBox1Caption_ = "LANGUAGE";
    std::uint32_t label4Colour_ = kLinkColour;
};

} // namespace quelvex
