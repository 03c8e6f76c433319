#include "ui/face.h"

#include "ui/layout.h"

#include <algorithm>

namespace quelvex {
namespace {

constexpr std::string_view kImageNames[] = {
#define QUELVEX_IMAGE(name) #name,
#include "ui/images.def"
#undef QUELVEX_IMAGE
};
constexpr std::string_view kLabelNames[] = {"Label2", "Label3", "Label4", "Label5", "Label6",
                                            "Label7", "Label8", "Label9", "Label10"};
constexpr std::string_view kPanelNames[] = {"Panel1", "CppWebBrowser1", "Panel3", "Panel2"};
constexpr std::string_view kTimerNames[] = {"Timer1", "Timer2", "Timer3", "Timer4",
                                            "Timer5", "Timer6", "Timer7", "Timer8"};
constexpr int kTimerIntervals[] = {1, 100, 100, 500, 500, 1000, 50, 100};
// Enabled as the form is loaded, before the window's constructor adjusts them.
constexpr bool kTimerFormEnabled[] = {true, true, true, false, true, true, false, true};

} // namespace

std::string_view imageName(Image image) {
    return image < Image::Count ? kImageNames[static_cast<std::size_t>(image)] : std::string_view{};
}

Image imageByName(std::string_view name) {
    auto it = std::find(std::begin(kImageNames), std::end(kImageNames), name);
    return static_cast<Image>(it - std::begin(kImageNames));
}

std::string_view labelName(Label label) { return kLabelNames[static_cast<std::size_t>(label)]; }
std::string_view panelName(Panel panel) { return kPanelNames[static_cast<std::size_t>(panel)]; }
std::string_view timerName(TimerId timer) { return kTimerNames[static_cast<std::size_t>(timer)]; }

int Gauge::percent() const {
    if (max_ == min_) return 0;
    return static_cast<int>(static_cast<long long>(pos_ - min_) * 100 / (max_ - min_));
}

void Gauge::setMinimum(int value) {
    if (value > max_) return;
    min_ = value;
    pos_ = std::max(pos_, min_);
}

void Gauge::setMaximum(int value) {
    if (value == 0 || value < min_) return;
    max_ = value;
    pos_ = std::min(pos_, max_);
}

void Gauge::setPosition(int value) { pos_ = std::clamp(value, min_, max_); }

Face::Face() {
    window_.width = kWindowWidth;
    window_.height = kPanelClosedHeight;
    for (std::size_t i = 0; i < kImageCount; ++i) {
        const Image self = static_cast<Image>(i);
        images_[i].picture = pictureSize(self) == Size{0, 0} ? kNoPicture : self;
        const LayoutEntry* e = findLayout(self);
        images_[i].visible = e && e->initiallyVisible;
    }
    for (std::size_t i = 0; i < kLabelCount; ++i) {
        if (const LayoutEntry* e = findLayout(static_cast<Label>(i))) labels_[i].color = e->color;
    }
    for (std::size_t i = 0; i < kPanelCount; ++i) {
        const LayoutEntry* e = findLayout(static_cast<Panel>(i));
        panels_[i] = PanelState{e->initiallyVisible, e->left, e->top, e->width, e->height};
    }
    for (std::size_t i = 0; i < kTimerCount; ++i) {
        timers_[i].interval = kTimerIntervals[i];
        timers_[i].enabled = kTimerFormEnabled[i];
        timers_[i].starts = kTimerFormEnabled[i] ? 1 : 0;
    }
}

void Face::put(Image target, Image source) { setPicture(target, picture(source)); }

void Face::setPicture(Image target, Image picture) {
    ImageState& s = images_[index(target)];
    if (s.picture == picture) return;
    s.picture = picture;
    changes_.images.set(index(target));
}

void Face::setVisible(Image image, bool visible) {
    ImageState& s = images_[index(image)];
    if (s.visible == visible) return;
    s.visible = visible;
    changes_.images.set(index(image));
}

void Face::setText(Label label, std::string text) {
    LabelState& s = labels_[index(label)];
    if (s.text == text) return;
    s.text = std::move(text);
    changes_.labels.set(index(label));
}

void Face::setColor(Label label, std::uint32_t color) {
    LabelState& s = labels_[index(label)];
    if (s.color == color) return;
    s.color = color;
    changes_.labels.set(index(label));
}

void Face::setPanelVisible(Panel panel, bool visible) {
    PanelState& s = panels_[index(panel)];
    if (s.visible == visible) return;
    s.visible = visible;
    changes_.panels.set(index(panel));
}

void Face::setPanelGeometry(Panel panel, int top, int height) {
    PanelState& s = panels_[index(panel)];
    if (s.top == top && s.height == height) return;
    s.top = top;
    s.height = height;
    changes_.panels.set(index(panel));
}

void Face::gaugeChanged(int percentBefore) {
    if (gauge_.percent() != percentBefore) changes_.gauge = true;
}

void Face::setGaugeMinimum(int value) {
    const int before = gauge_.percent();
    gauge_.setMinimum(value);
    gaugeChanged(before);
}

void Face::setGaugeMaximum(int value) {
    const int before = gauge_.percent();
    gauge_.setMaximum(value);
    gaugeChanged(before);
}

void Face::setGaugePosition(int value) {
    const int before = gauge_.percent();
    gauge_.setPosition(value);
    gaugeChanged(before);
}

void Face::setWindowLeft(int left) {
    if (window_.left == left) return;
    window_.left = left;
    changes_.window = true;
}

void Face::setWindowTop(int top) {
    if (window_.top == top) return;
    window_.top = top;
    changes_.window = true;
}

void Face::setWindowWidth(int width) {
    if (window_.width == width) return;
    window_.width = width;
    changes_.window = true;
}

void Face::setWindowHeight(int height) {
    if (window_.height == height) return;
    window_.height = height;
    changes_.window = true;
}

void Face::setWindowVisible(bool visible) {
    if (window_.visible == visible) return;
    window_.visible = visible;
    changes_.window = true;
}

void Face::moveWindowBy(int dx, int dy) {
    setWindowLeft(window_.left + dx);
    setWindowTop(window_.top + dy);
}

void Face::requestMinimise() { ++changes_.minimiseRequests; }
void Face::requestClose() { changes_.closeRequested = true; }

void Face::requestMenu(Image anchor, std::vector<MenuItem> items) {
    menu_ = MenuRequest{anchor, std::move(items)};
    ++changes_.menuRequests;
}

void Face::setChoiceText(std::string text) {
    if (choiceText_ == text) return;
    choiceText_ = std::move(text);
    changes_.choice = true;
}

void Face::setTimerEnabled(TimerId timer, bool enabled) {
    TimerState& s = timers_[index(timer)];
    if (s.enabled == enabled) return;
    s.enabled = enabled;
    if (enabled) ++s.starts;
    changes_.timers.set(index(timer));
}

FaceChanges Face::takeChanges() {
    FaceChanges out = changes_;
    changes_ = FaceChanges{};
    return out;
}

} // namespace quelvex
