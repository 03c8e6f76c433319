// The main view shown on real Qt timers over a fake-service window model.
#pragma once

#include "platform/qt/main_view.h"
#include "platform/qt/timer_runtime.h"
#include "tests/fakes.h"
#include "ui/face_driver.h"

namespace quelvex::testing {

struct ShownWindow {
    Rig rig;
    FaceDriver driver{rig.face(), rig.form};
    MainView view{rig.face(), driver};
    TimerRuntime timers{rig.face(), driver};

    ShownWindow() {
        driver.attach(view);
        driver.attach(timers);
        view.show();
    }
    QPoint centreOf(Image image) const { return view.controlRect(image).center(); }
};

} // namespace quelvex::testing
