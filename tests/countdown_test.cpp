#include "tests/virtual_time.h"

#include <gtest/gtest.h>

namespace quelvex::testing {
namespace {

TEST(Smoke, ProgramCounterHourCount) {
    Rig rig;
    rig.clock.set(2026, 12, 7, 9, 0, 0, 500);
    VirtualTime vt(rig);
    vt.press(Image::pc);
    for (int i = 0; i < 60; ++i) vt.clickOn(Image::mup);
    EXPECT_EQ(rig.s().countTarget, 59 * 60);
    vt.clickOn(Image::hup);
    vt.clickOn(Image::mdown);
    EXPECT_EQ(rig.s().countTarget, 3600 + 58 * 60);
}

} // namespace
} // namespace quelvex::testing
