#include "help/form2.h"

#include "help/manuals.h"
#include "ui/language.h"

namespace quelvex {

void TForm2::Show() {
    visible_ = true;
    ++raiseRequests_;
}

void TForm2::select(RadioButton button) {
    if (button == selected_) return;
    selected_ = button;
    if (button == RadioButton::RadioButton1)
        RadioButton1Click();
    else
        RadioButton2Click();
}

void TForm2::RadioButton1Click() {
    memo2Visible_ = true;
    groupBox1Caption_ = "LANGUAGE";
    caption_ = "Quelvex 5.0 HELP";
}

void TForm2::RadioButton2Click() {
    memo2Visible_ = false;
    groupBox1Caption_ = "IDIOMA";
    caption_ = "AYUDA de Quelvex 5.0";
}

// The full address, as the main window's links open it: a bare host name means nothing to a
// browser launcher outside Windows.
void TForm2::Label4Click() {
    shell_.openUrl(siteUrl());
}

std::string TForm2::label4Caption() const {
    return siteName();
}

std::string TForm2::memo1Text() {
    return spanishManual();
}

std::string TForm2::memo2Text() {
    return englishManual();
}

} // namespace quelvex
