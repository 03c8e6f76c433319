// Routes every input to the window model and then hands what the model changed on the face to
// whoever shows it (the view, the timers), so that no change is ever left unapplied.
#pragma once

#include "ui/events.h"

#include <functional>
#include <vector>

namespace quelvex {

// Something that follows the face: given what changed, it reads the face and catches up.
class ChangeSink {
  public:
    virtual ~ChangeSink() = default;
    virtual void applyChanges(const FaceChanges& changes) = 0;
};

// A FaceEvents that forwards each event to the model, then takes the face's changes once and
// applies them to every attached sink. Give it to the view and the timer runtime as their
// FaceEvents. Sinks must outlive their attachment.
class FaceDriver final : public FaceEvents {
  public:
    FaceDriver(Face& face, FaceEvents& model);

    // Attaching also applies whatever the model changed before anyone was listening.
    void attach(ChangeSink& sink);
    void detach(ChangeSink& sink);
    // Takes the pending changes and applies them; for changes made outside any event.
    void sync();

    void mouseDown(ControlRef control, MouseButton button, int x, int y) override;
    void mouseUp(ControlRef control, MouseButton button, int x, int y) override;
    void mouseMove(ControlRef control, int x, int y) override;
    void click(ControlRef control) override;
    void mouseEnter(ControlRef control) override;
    void mouseLeave(ControlRef control) override;
    void timerTick(TimerId timer) override;
    void firstShown(int screenWidth, int screenHeight) override;
    void webTitleChanged() override;
    void webLoadFinished(bool ok) override;
    void capturesSettled() override;
    void warningCancelled() override;
    void endActionChosen(EndAction action) override;
    void endActionStep(int direction) override;
    void allowedActionsFound(ActionSet allowed) override;

  private:
    // Runs one model handler, then any events that arrived while it ran, then applies changes.
    template <class Event> void deliver(const Event& event);

    Face& face_;
    FaceEvents& model_;
    std::vector<ChangeSink*> sinks_;
    bool syncing_ = false;
    bool inHandler_ = false;
    std::vector<std::function<void()>> deferred_;
};

} // namespace quelvex
