#include "platform/qt/face_driver.h"

#include <algorithm>

namespace quelvex {

FaceDriver::FaceDriver(Face& face, FaceEvents& model) : face_(face), model_(model) {}

void FaceDriver::attach(ChangeSink& sink) {
    if (std::find(sinks_.begin(), sinks_.end(), &sink) == sinks_.end()) sinks_.push_back(&sink);
    sync();
}

void FaceDriver::detach(ChangeSink& sink) {
    std::erase(sinks_, &sink);
}

void FaceDriver::sync() {
    // Applying can itself raise events (a window that hides loses the pointer). Those reach the
    // model at once, but their changes wait for the next round of this loop rather than being
    // applied halfway through the current one.
    if (syncing_) return;
    syncing_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{syncing_};
    while (face_.changes().any()) {
        const FaceChanges changes = face_.takeChanges();
        for (ChangeSink* sink : sinks_)
            sink->applyChanges(changes);
    }
}

void FaceDriver::mouseDown(ControlRef control, MouseButton button, int x, int y) {
    model_.mouseDown(control, button, x, y);
    sync();
}

void FaceDriver::mouseUp(ControlRef control, MouseButton button, int x, int y) {
    model_.mouseUp(control, button, x, y);
    sync();
}

void FaceDriver::mouseMove(ControlRef control, int x, int y) {
    model_.mouseMove(control, x, y);
    sync();
}

void FaceDriver::click(ControlRef control) {
    model_.click(control);
    sync();
}

void FaceDriver::mouseEnter(ControlRef control) {
    model_.mouseEnter(control);
    sync();
}

void FaceDriver::mouseLeave(ControlRef control) {
    model_.mouseLeave(control);
    sync();
}

void FaceDriver::timerTick(TimerId timer) {
    model_.timerTick(timer);
    sync();
}

void FaceDriver::firstShown(int screenWidth, int screenHeight) {
    model_.firstShown(screenWidth, screenHeight);
    sync();
}

} // namespace quelvex
