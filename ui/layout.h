// Where every control of the main window sits, written once as data. The model takes initial
// geometry from it; the view builds its widgets from it; the artwork generator sizes pictures by it.
#pragma once

#include "ui/face.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace quelvex {

enum class Kind : std::uint8_t { Image, Label, Gauge, Panel };

struct ControlRef {
    Kind kind;
    std::uint16_t index;
    constexpr ControlRef(Image i) : kind(Kind::Image), index(static_cast<std::uint16_t>(i)) {}
    constexpr ControlRef(Label l) : kind(Kind::Label), index(static_cast<std::uint16_t>(l)) {}
    constexpr ControlRef(Panel p) : kind(Kind::Panel), index(static_cast<std::uint16_t>(p)) {}
    constexpr ControlRef(Kind k, std::uint16_t i) : kind(k), index(i) {}
    constexpr Image image() const { return static_cast<Image>(index); }
    constexpr Label label() const { return static_cast<Label>(index); }
    constexpr Panel panel() const { return static_cast<Panel>(index); }
    friend constexpr bool operator==(ControlRef, ControlRef) = default;
};
inline constexpr ControlRef kGauge{Kind::Gauge, 0};

enum class Parent : std::uint8_t { Window, Panel1, Panel2, Panel3 };

// Logical font families; the view maps them to installed fonts.
enum class FontFamily : std::uint8_t { None, Arial, ArialBlack, ArialUnicode, MsSansSerif };

struct FontSpec {
    FontFamily family = FontFamily::None;
    int pixelSize = 0;
    bool bold = false;
    bool underline = false;
    friend constexpr bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct LayoutEntry {
    ControlRef control;
    Parent parent;
    int left, top;
    // 0 × 0 means "fit": the control takes the size of the picture it holds.
    int width, height;
    bool seeThrough = false;
    bool handCursor = false;
    const char* hint = nullptr;
    FontSpec font{};
    std::uint32_t color = 0; // initial label colour, or the fill colour of a panel
    bool initiallyVisible = true;
    // For a fit control: the picture whose size it keeps while it holds none of its own.
    Image fitPicture = kNoPicture;
};

// Every control in stacking order within its parent (later entries lie over earlier ones).
std::span<const LayoutEntry> layoutTable();
const LayoutEntry* findLayout(ControlRef control);

// Origin of a parent in window coordinates.
struct Point {
    int x, y;
};
Point parentOrigin(Parent parent);

struct Size {
    int width, height;
    friend constexpr bool operator==(Size, Size) = default;
};

// Size in pixels (at 1×) of the picture an image holds as its own: twins, digits, backgrounds.
// {0, 0} for an image that has no picture of its own.
Size pictureSize(Image picture);
// Every image that owns a picture, in declaration order: the set of files the skin must hold.
std::span<const Image> skinPictures();

// Size of a control as placed: its fixed size, or the size of the picture it holds.
Size controlSize(const LayoutEntry& entry, const Face& face);

inline constexpr int kWindowWidth = 483;
inline constexpr int kPanelClosedHeight = 220;
inline constexpr int kPanelOpenHeight = 335;

} // namespace quelvex
