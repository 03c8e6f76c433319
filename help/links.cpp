#include "core/form1.h"
#include "ui/language.h"

namespace quelvex {
namespace {

struct NoShell : Shell {
    void openUrl(const std::string&) override {}
};
struct NoNetwork : Network {
    bool connected() override { return false; }
};
struct NoWebView : WebView {
    void navigate(const std::string&) override {}
    std::string location() override { return {}; }
};

} // namespace

WebServices WebServices::none() {
    static NoShell shell;
    static NoNetwork network;
    static NoWebView web;
    return WebServices{shell, network, web};
}

// The shell is handed the site's full address: a bare host name means nothing to a browser
// launcher outside Windows.
void TForm1::Label4Click() {
    web_.shell.openUrl(siteUrl());
}
void TForm1::Label8Click() {
    web_.shell.openUrl(siteUrl());
}
void TForm1::Label4MouseEnter() {
    face_.setColor(Label::Label4, kWhite);
}
void TForm1::Label4MouseLeave() {
    face_.setColor(Label::Label4, kCaption);
}

} // namespace quelvex
