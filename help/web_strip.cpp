#include "core/form1.h"
#include "ui/language.h"

namespace quelvex {
namespace {

// The control's two views: the one-line strip in the link bar's place, and the page view under
// the related-topics bar.
constexpr int kStripTop = 169, kStripHeight = 21;
constexpr int kPageTop = 57, kPageHeight = 274;

std::string updatePage() {
    return siteUrl() + "/actualizacion-update.htm";
}

// A location holding this text (letter case included) is the update page.
bool isUpdatePage(const std::string& location) {
    return location.find(siteName() + "/actualizacion-update") != std::string::npos;
}

} // namespace

void TForm1::Timer6Timer() {
    s_.online = web_.network.connected() ? 1 : 0;
    if (s_.online == s_.onlineHandled) return;
    if (s_.online) {
        // The link bar stays until the page has arrived: a load that fails must not take Help,
        // Visit and the option links away.
        web_.web.navigate(updatePage());
        s_.onlineHandled = 1;
    } else {
        s_.onlineHandled = 0;
        if (face_.panel(Panel::CppWebBrowser1).height == kStripHeight)
            face_.setPanelVisible(Panel::Panel3, true);
    }
}

void TForm1::CppWebBrowser1TitleChange() {
    if (!s_.online) return;
    if (isUpdatePage(web_.web.location())) {
        face_.setPanelGeometry(Panel::CppWebBrowser1, kStripTop, kStripHeight);
        face_.setPanelVisible(Panel::Panel2, false);
    } else {
        face_.setPanelGeometry(Panel::CppWebBrowser1, kPageTop, kPageHeight);
        face_.setPanelVisible(Panel::Panel2, true);
        // A page view never lies under the link bar (it covers the window's face from 57 down).
        face_.setPanelVisible(Panel::Panel3, false);
    }
}

// Only the update page decides the link bar: shown over the strip until it has loaded, and back
// over the strip whenever a load there fails.
void TForm1::CppWebBrowser1LoadFinished(bool ok) {
    if (!s_.online) return;
    if (ok && isUpdatePage(web_.web.location()))
        face_.setPanelVisible(Panel::Panel3, false);
    else if (!ok && face_.panel(Panel::CppWebBrowser1).height == kStripHeight)
        face_.setPanelVisible(Panel::Panel3, true);
}

void TForm1::Image6Click() {
    face_.setPanelVisible(Panel::Panel2, false);
    if (!s_.online) face_.setPanelVisible(Panel::Panel3, true);
    face_.setPanelGeometry(Panel::CppWebBrowser1, kStripTop, kStripHeight);
    web_.web.navigate(updatePage());
}

} // namespace quelvex
