// The connection poll and the web strip's views, on virtual time with a fake network and a fake
// web view that loads only when the test says so.
#include "tests/virtual_time.h"
#include "ui/language.h"

#include <gtest/gtest.h>

namespace quelvex::testing {
namespace {

struct Strip {
    Rig rig;
    VirtualTime vt{rig};
    const std::string update = siteUrl() + "/actualizacion-update.htm";

    // The view reports a document at `location`: its title, then the end of its load.
    void arrive(const std::string& location, bool ok = true) {
        rig.web.shown = location;
        vt.run([&] { rig.form.webTitleChanged(); });
        vt.run([&] { rig.form.webLoadFinished(ok); });
    }
    void setOnline(bool online) {
        rig.network.online = online;
        vt.advance(1000);
    }
    bool linkBar() { return rig.face().panel(Panel::Panel3).visible; }
    bool topicsBar() { return rig.face().panel(Panel::Panel2).visible; }
    // "strip" or "page", from the control's geometry.
    std::string view() {
        const PanelState& p = rig.face().panel(Panel::CppWebBrowser1);
        if (p.top == 169 && p.height == 21) return "strip";
        if (p.top == 57 && p.height == 274) return "page";
        return "elsewhere";
    }
};

TEST(WebStrip, OfflineNothingLoadsTitlesAreIgnoredAndTheCrossStillReloads) {
    Strip t;
    t.vt.advance(10'000);
    EXPECT_GE(t.rig.network.polls, 9);
    EXPECT_TRUE(t.rig.web.navigations.empty());
    EXPECT_TRUE(t.linkBar());
    EXPECT_FALSE(t.topicsBar());
    t.arrive(siteUrl() + "/news.htm");
    EXPECT_EQ(t.view(), "strip");
    EXPECT_FALSE(t.topicsBar());

    t.vt.clickOn(Image::Image6);
    EXPECT_EQ(t.rig.web.navigations, std::vector<std::string>{t.update});
    t.arrive(t.update); // loaded while the system says offline: the link bar still covers it
    EXPECT_TRUE(t.linkBar());
    EXPECT_EQ(t.view(), "strip");
}

// The link bar goes only once the update page is there, and comes back when a load fails.
TEST(WebStrip, OnlineTheLinkBarGivesWayOnlyToALoadedUpdatePage) {
    Strip t;
    t.setOnline(true);
    EXPECT_EQ(t.rig.web.navigations, std::vector<std::string>{t.update});
    EXPECT_TRUE(t.linkBar());
    t.arrive(t.update, false);
    EXPECT_TRUE(t.linkBar());
    t.vt.advance(5000);
    EXPECT_EQ(t.rig.web.navigations.size(), 1u);

    t.setOnline(false);
    t.setOnline(true);
    EXPECT_EQ(t.rig.web.navigations.size(), 2u);
    t.arrive(t.update);
    EXPECT_FALSE(t.linkBar());
    EXPECT_EQ(t.view(), "strip");

    // The marker is case-sensitive: another spelling is another page.
    t.arrive(siteUrl() + "/Actualizacion-Update.htm");
    EXPECT_EQ(t.view(), "page");
    EXPECT_TRUE(t.topicsBar());
    EXPECT_FALSE(t.linkBar());
    t.arrive(t.update); // the update page again: back to the strip, without the topics bar
    EXPECT_FALSE(t.topicsBar());
    t.arrive("https://elsewhere.example/actualizacion-update.htm"); // the marker holds the host
    EXPECT_EQ(t.view(), "page");
    t.arrive(siteUrl() + "/gone.htm", false); // a failed page stays in the page view
    EXPECT_EQ(t.view(), "page");
    EXPECT_FALSE(t.linkBar());

    // The cross returns to the strip and reloads; that reload failing brings the link bar back.
    t.vt.clickOn(Image::Image6);
    EXPECT_EQ(t.view(), "strip");
    EXPECT_FALSE(t.topicsBar());
    EXPECT_EQ(t.rig.web.navigations.back(), t.update);
    t.arrive(t.update, false);
    EXPECT_TRUE(t.linkBar());
    t.arrive(siteUrl() + "/news.htm"); // a page view never lies under the link bar
    EXPECT_FALSE(t.linkBar());
}

TEST(WebStrip, LosingTheConnectionInTheStripAndInThePageView) {
    Strip t;
    t.setOnline(true);
    t.arrive(t.update);
    t.setOnline(false);
    EXPECT_TRUE(t.linkBar());

    t.setOnline(true);
    t.arrive(t.update);
    t.arrive(siteUrl() + "/news.htm");
    ASSERT_EQ(t.view(), "page");
    t.setOnline(false);
    EXPECT_EQ(t.view(), "page");
    EXPECT_FALSE(t.linkBar());
    t.arrive(t.update); // ignored while offline
    EXPECT_EQ(t.view(), "page");
    EXPECT_TRUE(t.topicsBar());

    const std::size_t before = t.rig.web.navigations.size();
    t.vt.clickOn(Image::Image6);
    EXPECT_EQ(t.view(), "strip");
    EXPECT_TRUE(t.linkBar());
    EXPECT_FALSE(t.topicsBar());
    EXPECT_EQ(t.rig.web.navigations.size(), before + 1);
}

} // namespace
} // namespace quelvex::testing
