#include "ui/face_driver.h"

#include <algorithm>

namespace quelvex {
namespace {

// Lowers a flag however the scope is left.
struct Lowered {
    bool& flag;
    ~Lowered() { flag = false; }
};

} // namespace

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
    const Lowered lowered{syncing_};
    while (face_.changes().any()) {
        const FaceChanges changes = face_.takeChanges();
        for (ChangeSink* sink : sinks_)
            sink->applyChanges(changes);
    }
}

// A sync() from inside a handler (a capture that needs the window off the screen first) can make
// the view raise events of its own, such as the release of a press the hidden window will never
// see. Handlers never run inside one another: such events wait until the running one returns.
template <class Event> void FaceDriver::deliver(const Event& event) {
    if (inHandler_) {
        deferred_.push_back(event);
        return;
    }
    inHandler_ = true;
    const Lowered lowered{inHandler_};
    event();
    for (std::size_t i = 0; i < deferred_.size(); ++i) {
        const auto next = deferred_[i];
        next();
    }
    deferred_.clear();
    inHandler_ = false;
    sync();
}

void FaceDriver::mouseDown(ControlRef control, MouseButton button, int x, int y) {
    deliver([=, this] { model_.mouseDown(control, button, x, y); });
}

void FaceDriver::mouseUp(ControlRef control, MouseButton button, int x, int y) {
    deliver([=, this] { model_.mouseUp(control, button, x, y); });
}

void FaceDriver::mouseMove(ControlRef control, int x, int y) {
    deliver([=, this] { model_.mouseMove(control, x, y); });
}

void FaceDriver::click(ControlRef control) {
    deliver([=, this] { model_.click(control); });
}

void FaceDriver::mouseEnter(ControlRef control) {
    deliver([=, this] { model_.mouseEnter(control); });
}

void FaceDriver::mouseLeave(ControlRef control) {
    deliver([=, this] { model_.mouseLeave(control); });
}

void FaceDriver::timerTick(TimerId timer) {
    deliver([=, this] { model_.timerTick(timer); });
}

void FaceDriver::firstShown(int screenWidth, int screenHeight) {
    deliver([=, this] { model_.firstShown(screenWidth, screenHeight); });
}

void FaceDriver::webTitleChanged() {
    deliver([this] { model_.webTitleChanged(); });
}

void FaceDriver::webLoadFinished(bool ok) {
    deliver([=, this] { model_.webLoadFinished(ok); });
}

void FaceDriver::capturesSettled() {
    deliver([this] { model_.capturesSettled(); });
}

void FaceDriver::warningCancelled() {
    deliver([this] { model_.warningCancelled(); });
}

void FaceDriver::endActionChosen(EndAction action) {
    deliver([=, this] { model_.endActionChosen(action); });
}

void FaceDriver::endActionStep(int direction) {
    deliver([=, this] { model_.endActionStep(direction); });
}

void FaceDriver::allowedActionsFound(ActionSet allowed) {
    deliver([=, this] { model_.allowedActionsFound(allowed); });
}

} // namespace quelvex
