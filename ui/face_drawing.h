// What every view of the main window shares: where each control lies and what it shows, the order
// in which they are painted, which control lies under a point, what to repaint after a change, and
// the rounding of pictures to whole device pixels at a fractional scale. A view walks the items
// this hands it and paints rectangles, pictures and texts with its own toolkit.
#pragma once

#include "ui/layout.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quelvex {

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    int right() const { return left + width; } // one past the last column
    int bottom() const { return top + height; }
    bool contains(Point p) const { return p.x >= left && p.x < right() && p.y >= top && p.y < bottom(); }
    bool contains(const Rect& r) const;
    bool intersects(const Rect& r) const;
    Rect intersected(const Rect& r) const;
    Rect translated(Point by) const { return {left + by.x, top + by.y, width, height}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

inline constexpr std::uint32_t kGaugeFilledColor = 0x800000;
inline constexpr std::uint32_t kGaugeEmptyColor = 0x000080;
// The keyboard focus mark: the skin's caption colour, edged with the navy of its face.
inline constexpr std::uint32_t kFocusMarkColor = kCaption;
inline constexpr std::uint32_t kFocusMarkShade = 0x000040;

// One control to paint, in the coordinates of the surface it lies on.
struct DrawItem {
    // A focus mark is drawn just inside its rectangle (focusMarkEdges), over every control.
    enum class What : std::uint8_t { Picture, Text, Gauge, FocusMark };
    What what;
    Rect rect; // a picture larger than this shows only this part
    Image picture = kNoPicture;
    bool seeThrough = false; // the picture's key colour lets what lies below show
    const std::string* text = nullptr;
    const FontSpec* font = nullptr;
    std::uint32_t color = 0; // the text's, 0xRRGGBB
    int filledWidth = 0;     // the gauge's filled part, from its left edge
};

// An area a view must repaint, on one surface.
struct DirtyArea {
    Parent surface;
    Rect rect;
};

class FaceDrawing {
  public:
    // The size the view's toolkit draws a text at in a font, for labels that fit their caption.
    using MeasureText = std::function<Size(const FontSpec&, const std::string&)>;

    FaceDrawing(const Face& face, MeasureText measure);

    // Panels are surfaces of their own over the window, in this order (bottom first).
    const std::vector<Panel>& panelOrder() const { return panelOrder_; }
    // The surface that holds a panel's controls; none for a panel without any (the web strip).
    static std::optional<Parent> surfaceOf(Panel panel);
    static std::optional<Panel> panelOf(Parent surface);
    Size windowSize() const;
    // Where a surface lies in the window.
    Point originOf(Parent surface) const;
    const LayoutEntry& entry(ControlRef control) const;

    // A control's rectangle on its surface; empty while it is hidden.
    Rect rectOnSurface(ControlRef control) const;
    // In window coordinates; empty while it or its panel is hidden.
    Rect controlRect(ControlRef control) const;
    // The topmost shown control at a point of the window.
    std::optional<ControlRef> controlAt(Point windowPoint) const;
    // A window point in the control's own coordinates.
    Point local(ControlRef control, Point windowPoint) const;

    // Hands over every shown control of a surface that meets `dirty`, in painting order.
    void paint(Parent surface, const Rect& dirty, const std::function<void(const DrawItem&)>& draw) const;

    // What to repaint after the face changed: where each changed control was and where it is now
    // (a new picture can change a fit control's size). Panels and the window are the view's own.
    std::vector<DirtyArea> changedAreas(const FaceChanges& changes);

    // Where the keyboard focus mark lies from now on, if anywhere; returns what to repaint.
    std::vector<DirtyArea> setFocusMark(const std::optional<DirtyArea>& mark);

  private:
    struct Control {
        const LayoutEntry* entry;
        Rect shown; // on its surface, as last painted
    };
    int slotOf(ControlRef control) const;
    Rect rectOnSurface(const Control& c) const;
    void changed(int slot, std::vector<DirtyArea>& areas);

    const Face& face_;
    MeasureText measure_;
    std::vector<Control> controls_;
    std::array<std::vector<int>, 4> bySurface_; // slots in painting order, panels excluded
    std::array<int, kImageCount> imageSlot_{};
    std::array<int, kLabelCount> labelSlot_{};
    std::array<int, kPanelCount> panelSlot_{};
    int gaugeSlot_ = -1;
    std::vector<Panel> panelOrder_;
    std::optional<DirtyArea> focusMark_;
};

// A see-through picture lets what lies below show wherever it has the colour of its bottom-left
// pixel: those pixels become 0 (transparent). `pixels` are 32-bit words, rows `stride` words apart.
void keyOutCornerColour(std::uint32_t* pixels, int width, int height, std::size_t stride);

// Whether pictures at this device-pixel ratio are drawn as they are: the 1x set at 1, the 2x set at
// 2, and the 2x set doubled at 4. At any other ratio they are resampled to the device's grid.
bool picturesDrawnAsTheyAre(double ratio);

// A rectangle whose edges, in device pixels, fall between pixels: each edge moves to the nearest
// pixel boundary, a half to the right and down, so neighbours share their edge (no seam, no
// overlap) whatever surface they lie on, and every picture starts on a whole pixel.
Rect onDeviceGrid(double left, double top, double right, double bottom);

} // namespace quelvex
