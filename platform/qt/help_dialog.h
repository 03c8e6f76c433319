// The help window on screen: a fixed-size, modeless dialog that renders TForm2 and feeds it the
// user's input. Its widgets are built on the first showing, which keeps them off the start-up
// path; from then on they are only hidden and shown, so whatever the user typed into the English
// manual and where each manual was scrolled to last until the program ends.
#pragma once

#include "help/form2.h"

#include <memory>

class QWidget;

namespace quelvex {

class HelpDialog : public HelpWindow {
  public:
    explicit HelpDialog(Shell& shell);
    ~HelpDialog() override;
    HelpDialog(const HelpDialog&) = delete;
    HelpDialog& operator=(const HelpDialog&) = delete;

    void showHelp() override;
    void followLanguage(bool english) override;

    const TForm2& form() const { return form_; }
    // The dialog, or null while it has never been shown.
    QWidget* window() const;

  private:
    class View;
    void sync();

    TForm2 form_;
    std::unique_ptr<View> view_;
    int raisedFor_ = 0; // the model's raise request last carried out
};

} // namespace quelvex
