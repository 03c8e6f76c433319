// The main window by keyboard and as a screen reader hears it, on the real model with fakes.
#include "tests/fakes.h"
#include "ui/face_driver.h"
#include "ui/keyboard_focus.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quelvex::testing {
namespace {

struct Keys {
    Rig rig;
    FaceDriver driver{rig.face(), rig.form};
    FaceDrawing drawing{rig.face(), [](const FontSpec&, const std::string& t) {
                            return Size{static_cast<int>(t.size()) * 6, 13};
                        }};
    KeyboardFocus focus{rig.face(), drawing, driver};
    bool reaches(ControlRef c) const {
        const auto all = focus.reachable();
        return std::find(all.begin(), all.end(), c) != all.end();
    }
    const AccessibleItem& item(const std::string& name) const {
        static std::vector<AccessibleItem> items;
        items = focus.accessibleItems();
        return *std::find_if(items.begin(), items.end(),
                             [&](const AccessibleItem& i) { return i.name == name; });
    }
};

TEST(Keyboard, TabOrderKeysAndWhatScreenReadersAreTold) {
    Keys k;
    // No mark and no press before the keyboard is used; Escape does nothing at all.
    k.rig.face().takeChanges();
    EXPECT_FALSE(k.focus.mark());
    EXPECT_TRUE(k.focus.key(Key::Space));
    EXPECT_TRUE(k.focus.key(Key::Escape));
    EXPECT_FALSE(k.rig.face().changes().any());
    EXPECT_FALSE(k.focus.focused());

    // Tab starts at the top; Shift+Tab from there goes round to the end, and back.
    k.focus.key(Key::Tab);
    EXPECT_TRUE(k.focus.focused() == ControlRef(Label::Label4));
    ASSERT_TRUE(k.focus.mark());
    k.focus.key(Key::BackTab);
    EXPECT_TRUE(k.focus.focused() == ControlRef(Image::menuup));
    k.focus.key(Key::Tab);
    EXPECT_TRUE(k.focus.focused() == ControlRef(Label::Label4));
    // Hidden (the related-topics bar) and covered (menudown under the open panel) are skipped.
    EXPECT_FALSE(k.reaches(Image::Image6));
    EXPECT_FALSE(k.reaches(Image::menudown));
    EXPECT_TRUE(k.reaches(Image::rate));

    // Up and Down on the seconds do what its buttons do, down to 0 and no further; no repeat runs.
    k.focus.focus(Image::s2);
    for (Key key : {Key::Up, Key::Up, Key::Down, Key::Down, Key::Down, Key::Up})
        k.focus.key(key);
    EXPECT_EQ(k.rig.s().setSeconds, 1);
    EXPECT_FALSE(k.rig.face().enabled(TimerId::Timer2));
    EXPECT_EQ(k.item("seconds").value, "01");
    EXPECT_EQ(k.item("seconds").role, Role::Field);
    EXPECT_TRUE(k.item("seconds").focused);
    k.focus.key(Key::Space); // a number is not pressed
    EXPECT_EQ(k.rig.s().setSeconds, 1);

    // Enter presses the focused control; the options fold, and with them their controls go.
    k.focus.focus(Image::menuup);
    const auto before = k.focus.accessibleItems();
    k.focus.key(Key::Enter);
    EXPECT_EQ(k.rig.face().window().height, kPanelClosedHeight);
    EXPECT_FALSE(k.reaches(Image::rate));
    EXPECT_TRUE(k.reaches(Image::menudown));
    EXPECT_FALSE(k.focus.mark()); // its control has gone
    k.focus.key(Key::BackTab);    // on from where it was
    EXPECT_TRUE(k.focus.focused() == ControlRef(Image::menudown));
    k.focus.pointed(Image::start); // a click takes the focus along
    k.focus.key(Key::Tab);
    EXPECT_TRUE(k.focus.focused() == ControlRef(Image::reset));
    const auto changes = accessibleChanges(before, k.focus.accessibleItems());
    EXPECT_TRUE(std::any_of(changes.begin(), changes.end(), [&](const AccessibleChange& c) {
        return before[c.index].name == "Capture every few minutes" && c.state;
    }));

    // Space on a language button renames everything; the status word is told with its value.
    EXPECT_EQ(k.item("Status").value, "DISABLED");
    k.focus.focus(Image::lan);
    k.focus.key(Key::Space);
    EXPECT_EQ(k.item("INICIAR").role, Role::Button);
    EXPECT_EQ(k.item("Estado").value, "INACTIVO");
    EXPECT_EQ(k.item("Reloj").value.size(), 8u); // hh:mm:ss
}

TEST(Keyboard, FocusMarkIsTwoWholePixelRingsInsideItsRectangle) {
    for (double ratio : {1.0, 1.5, 2.0}) {
        const Rect r{10, 20, 30, 12};
        const auto edges = focusMarkEdges(r, ratio);
        const int t = ratio >= 2 ? 2 : 1;
        int area = 0;
        for (const MarkEdge& e : edges) {
            EXPECT_TRUE(r.contains(e.rect));
            area += e.rect.width * e.rect.height;
        }
        const int inner = (r.width - 4 * t) * (r.height - 4 * t);
        EXPECT_EQ(area, r.width * r.height - inner) << ratio; // no overlap, no gap
        EXPECT_EQ(edges[0].color, kFocusMarkShade);
        EXPECT_EQ(edges[7].color, kFocusMarkColor);
    }
}

} // namespace
} // namespace quelvex::testing

namespace quelvex::testing {
namespace {

// The end action by keyboard: Space opens its menu once the computer has answered, Up and Down
// step through what it allows (skipping what it refuses, stopping at the ends), and a reader hears
// a combo box whose value follows, in the window's language. Folded away, the choice is out of
// reach and an answer that comes late opens no menu under nothing.
TEST(Keyboard, TheEndActionIsAChoiceStepsThroughWhatIsAllowedAndOpensItsMenu) {
    Keys k;
    k.focus.focus(Image::endaction);
    ASSERT_TRUE(k.focus.focused() == ControlRef(Image::endaction));
    EXPECT_EQ(k.item("At the end").role, Role::Choice);
    EXPECT_EQ(k.item("At the end").value, "SHUT DOWN THE COMPUTER");
    const ActionSet allowed = actionBit(EndAction::PowerOff) | actionBit(EndAction::Hibernate);
    // Straight to the model, so that the face keeps the changes for the test to read.
    auto answer = [&] { k.rig.form.allowedActionsFound(allowed); };
    for (Key key : {Key::Down, Key::Down, Key::Up}) {
        k.focus.key(key);
        answer();
    }
    EXPECT_EQ(k.rig.s().endAction, EndAction::Hibernate); // Restart and Suspend are refused
    k.focus.key(Key::Up);
    answer();
    k.focus.key(Key::Up);
    answer();
    EXPECT_EQ(k.rig.s().endAction, EndAction::PowerOff);
    k.focus.key(Key::Down);
    answer();
    k.driver.mouseDown(Image::lan, MouseButton::Left, 0, 0);
    EXPECT_EQ(k.item("Al final").value, "HIBERNAR EL EQUIPO");

    k.focus.key(Key::Space);
    k.rig.face().takeChanges();
    answer();
    EXPECT_EQ(k.rig.face().takeChanges().menuRequests, 1u);
    ASSERT_EQ(k.rig.face().menu().items.size(), 4u);
    EXPECT_EQ(k.rig.face().menu().items[1].label, "Hibernar el equipo");
    EXPECT_TRUE(k.rig.face().menu().items[1].checked);

    k.focus.key(Key::Space);
    pressControl(k.driver, Image::menuup);
    k.rig.face().takeChanges();
    answer();
    EXPECT_EQ(k.rig.face().takeChanges().menuRequests, 0u);
    EXPECT_FALSE(k.reaches(Image::endaction));
}

} // namespace
} // namespace quelvex::testing
