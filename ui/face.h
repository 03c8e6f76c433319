// The window face as data: what every control shows, with a record of what changed since the
// view last looked. Handlers change the face; the view only renders it.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quelvex {

enum class Image : std::uint16_t {
#define QUELVEX_IMAGE(name) name,
#include "ui/images.def"
#undef QUELVEX_IMAGE
    Count
};
inline constexpr std::size_t kImageCount = static_cast<std::size_t>(Image::Count);
// The picture id of an image that holds no picture of its own (drawn transparent).
inline constexpr Image kNoPicture = Image::Count;

std::string_view imageName(Image image);
// Image whose name is `name`, or Image::Count.
Image imageByName(std::string_view name);

enum class Label : std::uint8_t { Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label10, Count };
inline constexpr std::size_t kLabelCount = static_cast<std::size_t>(Label::Count);
std::string_view labelName(Label label);

// Windowed containers, plus the embedded web view that shares their stacking rules.
enum class Panel : std::uint8_t { Panel1, CppWebBrowser1, Panel3, Panel2, Count };
inline constexpr std::size_t kPanelCount = static_cast<std::size_t>(Panel::Count);
std::string_view panelName(Panel panel);

enum class TimerId : std::uint8_t { Timer1, Timer2, Timer3, Timer4, Timer5, Timer6, Timer7, Timer8, Count };
inline constexpr std::size_t kTimerCount = static_cast<std::size_t>(TimerId::Count);
std::string_view timerName(TimerId timer);

inline constexpr std::uint32_t kLime = 0x00FF00;
inline constexpr std::uint32_t kRed = 0xFF0000;
inline constexpr std::uint32_t kYellow = 0xFFFF00;
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kCaption = 0xBDB7E8;

// A horizontal progress bar. Its minimum stays 0 in practice; the rules below are the ones the
// countdown relies on (a zero maximum is ignored, positions clamp, the fill is a whole percent).
class Gauge {
  public:
    int minimum() const { return min_; }
    int maximum() const { return max_; }
    int position() const { return pos_; }
    // Filled share of the bar, 0..100, truncated to a whole percent.
    int percent() const;
    void setMinimum(int value);
    void setMaximum(int value);
    void setPosition(int value);

  private:
    int min_ = 0;
    int max_ = 100;
    int pos_ = 0;
};

struct ImageState {
    Image picture = kNoPicture;
    bool visible = true;
};

struct LabelState {
    std::string text;
    std::uint32_t color = 0;
};

struct PanelState {
    bool visible = true;
    int left = 0, top = 0, width = 0, height = 0;
};

struct WindowState {
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
};

// One entry of a menu the model asks the view to open; `id` comes back when it is chosen.
struct MenuItem {
    int id = 0;
    std::string label;
    bool checked = false;
    friend bool operator==(const MenuItem&, const MenuItem&) = default;
};

struct MenuRequest {
    Image anchor = kNoPicture; // the menu opens under this control
    std::vector<MenuItem> items;
};

struct TimerState {
    int interval = 0;
    bool enabled = false;
    // Bumped at every switch from disabled to enabled, so that a runtime restarts the interval.
    unsigned starts = 0;
};

// What changed since the last takeChanges(); the view redraws only these.
struct FaceChanges {
    std::bitset<kImageCount> images;
    std::bitset<kLabelCount> labels;
    std::bitset<kPanelCount> panels;
    std::bitset<kTimerCount> timers;
    bool gauge = false;
    bool window = false;
    unsigned minimiseRequests = 0;
    bool closeRequested = false;
    unsigned menuRequests = 0;
    bool choice = false; // the choice's value
    bool any() const {
        return images.any() || labels.any() || panels.any() || timers.any() || gauge || window ||
               minimiseRequests || closeRequested || menuRequests || choice;
    }
};

class Face {
  public:
    Face();

    // Put the picture that `source` holds into `target`.
    void put(Image target, Image source);
    void setPicture(Image target, Image picture);
    void show(Image image) { setVisible(image, true); }
    void hide(Image image) { setVisible(image, false); }
    void setVisible(Image image, bool visible);
    const ImageState& image(Image image) const { return images_[index(image)]; }
    Image picture(Image image) const { return images_[index(image)].picture; }
    bool visible(Image image) const { return images_[index(image)].visible; }

    void setText(Label label, std::string text);
    void setColor(Label label, std::uint32_t color);
    void setText(Label label, std::string text, std::uint32_t color) {
        setText(label, std::move(text));
        setColor(label, color);
    }
    const LabelState& label(Label label) const { return labels_[index(label)]; }
    const std::string& text(Label label) const { return labels_[index(label)].text; }

    void setPanelVisible(Panel panel, bool visible);
    void setPanelGeometry(Panel panel, int top, int height);
    const PanelState& panel(Panel panel) const { return panels_[index(panel)]; }

    // The gauge: changes count only when the drawn percent changes.
    const Gauge& gauge() const { return gauge_; }
    void setGaugeMinimum(int value);
    void setGaugeMaximum(int value);
    void setGaugePosition(int value);

    const WindowState& window() const { return window_; }
    void setWindowLeft(int left);
    void setWindowTop(int top);
    void setWindowWidth(int width);
    void setWindowHeight(int height);
    void setWindowVisible(bool visible);
    void moveWindowBy(int dx, int dy);
    void requestMinimise();
    void requestClose();
    // Asks the view to open a menu under `anchor`; the person's pick comes back as an event.
    void requestMenu(Image anchor, std::vector<MenuItem> items);
    const MenuRequest& menu() const { return menu_; }
    // What the face's one choice (the end action's caption) reads, for screen readers.
    void setChoiceText(std::string text);
    const std::string& choiceText() const { return choiceText_; }

    void enable(TimerId timer) { setTimerEnabled(timer, true); }
    void disable(TimerId timer) { setTimerEnabled(timer, false); }
    void setTimerEnabled(TimerId timer, bool enabled);
    bool enabled(TimerId timer) const { return timers_[index(timer)].enabled; }
    const TimerState& timer(TimerId timer) const { return timers_[index(timer)]; }

    const FaceChanges& changes() const { return changes_; }
    FaceChanges takeChanges();

  private:
    template <class E> static std::size_t index(E e) { return static_cast<std::size_t>(e); }
    void gaugeChanged(int percentBefore);

    std::array<ImageState, kImageCount> images_{};
    std::array<LabelState, kLabelCount> labels_{};
    std::array<PanelState, kPanelCount> panels_{};
    std::array<TimerState, kTimerCount> timers_{};
    Gauge gauge_;
    WindowState window_;
    MenuRequest menu_;
    std::string choiceText_;
    FaceChanges changes_;
};

} // namespace quelvex
