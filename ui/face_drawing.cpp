#include "ui/face_drawing.h"

#include <algorithm>
#include <cmath>

namespace quelvex {

bool Rect::contains(const Rect& r) const {
    return r.left >= left && r.top >= top && r.right() <= right() && r.bottom() <= bottom();
}

bool Rect::intersects(const Rect& r) const {
    return !empty() && !r.empty() && r.left < right() && left < r.right() && r.top < bottom() &&
           top < r.bottom();
}

Rect Rect::intersected(const Rect& r) const {
    const int l = std::max(left, r.left), t = std::max(top, r.top);
    const int rr = std::min(right(), r.right()), b = std::min(bottom(), r.bottom());
    return rr > l && b > t ? Rect{l, t, rr - l, b - t} : Rect{};
}

FaceDrawing::FaceDrawing(const Face& face, MeasureText measure) : face_(face), measure_(std::move(measure)) {
    imageSlot_.fill(-1);
    labelSlot_.fill(-1);
    panelSlot_.fill(-1);
    const auto table = layoutTable();
    controls_.reserve(table.size());
    for (const LayoutEntry& e : table) {
        const int slot = static_cast<int>(controls_.size());
        controls_.push_back(Control{&e, {}});
        switch (e.control.kind) {
        case Kind::Image: imageSlot_[e.control.index] = slot; break;
        case Kind::Label: labelSlot_[e.control.index] = slot; break;
        case Kind::Gauge: gaugeSlot_ = slot; break;
        case Kind::Panel:
            // In table order, so later panels lie over earlier ones.
            panelSlot_[e.control.index] = slot;
            panelOrder_.push_back(e.control.panel());
            continue;
        }
        bySurface_[static_cast<std::size_t>(e.parent)].push_back(slot);
    }
    for (Control& c : controls_)
        c.shown = rectOnSurface(c);
}

std::optional<Parent> FaceDrawing::surfaceOf(Panel panel) {
    switch (panel) {
    case Panel::Panel1: return Parent::Panel1;
    case Panel::Panel2: return Parent::Panel2;
    case Panel::Panel3: return Parent::Panel3;
    default: return std::nullopt;
    }
}

std::optional<Panel> FaceDrawing::panelOf(Parent surface) {
    switch (surface) {
    case Parent::Panel1: return Panel::Panel1;
    case Parent::Panel2: return Panel::Panel2;
    case Parent::Panel3: return Panel::Panel3;
    case Parent::Window: break;
    }
    return std::nullopt;
}

Point FaceDrawing::originOf(Parent surface) const {
    const auto panel = panelOf(surface);
    if (!panel) return {0, 0};
    const PanelState& p = face_.panel(*panel);
    return {p.left, p.top};
}

int FaceDrawing::slotOf(ControlRef control) const {
    switch (control.kind) {
    case Kind::Image: return control.index < kImageCount ? imageSlot_[control.index] : -1;
    case Kind::Label: return control.index < kLabelCount ? labelSlot_[control.index] : -1;
    case Kind::Gauge: return gaugeSlot_;
    case Kind::Panel: return control.index < kPanelCount ? panelSlot_[control.index] : -1;
    }
    return -1;
}

const LayoutEntry& FaceDrawing::entry(ControlRef control) const {
    return *controls_[static_cast<std::size_t>(slotOf(control))].entry;
}

Rect FaceDrawing::rectOnSurface(const Control& c) const {
    const LayoutEntry& e = *c.entry;
    switch (e.control.kind) {
    case Kind::Image: {
        if (!face_.visible(e.control.image())) return {};
        const Size size = controlSize(e, face_);
        return {e.left, e.top, size.width, size.height};
    }
    case Kind::Label: {
        if (e.width || e.height) return {e.left, e.top, e.width, e.height};
        const Size size = measure_(e.font, face_.text(e.control.label()));
        return {e.left, e.top, size.width, size.height};
    }
    case Kind::Gauge: return {e.left, e.top, e.width, e.height};
    case Kind::Panel: {
        const PanelState& p = face_.panel(e.control.panel());
        return p.visible ? Rect{p.left, p.top, p.width, p.height} : Rect{};
    }
    }
    return {};
}

Rect FaceDrawing::rectOnSurface(ControlRef control) const {
    const int slot = slotOf(control);
    return slot < 0 ? Rect{} : rectOnSurface(controls_[static_cast<std::size_t>(slot)]);
}

Rect FaceDrawing::controlRect(ControlRef control) const {
    const int slot = slotOf(control);
    if (slot < 0) return {};
    const Control& c = controls_[static_cast<std::size_t>(slot)];
    if (const auto panel = panelOf(c.entry->parent); panel && !face_.panel(*panel).visible) return {};
    const Rect r = rectOnSurface(c);
    return r.empty() ? Rect{} : r.translated(originOf(c.entry->parent));
}

Size FaceDrawing::windowSize() const {
    // Until the model has sized the window, it has the size the form is designed at.
    const WindowState& w = face_.window();
    return {w.width > 0 ? w.width : kWindowWidth, w.height > 0 ? w.height : kPanelClosedHeight};
}

std::optional<ControlRef> FaceDrawing::controlAt(Point point) const {
    if (!Rect{0, 0, windowSize().width, windowSize().height}.contains(point)) return std::nullopt;
    auto topmostOn = [this](Parent surface, Point p) -> std::optional<ControlRef> {
        const auto& stack = bySurface_[static_cast<std::size_t>(surface)];
        for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
            const Control& c = controls_[static_cast<std::size_t>(*it)];
            if (rectOnSurface(c).contains(p)) return c.entry->control;
        }
        return std::nullopt;
    };
    // Panels lie over every picture of the window.
    for (auto it = panelOrder_.rbegin(); it != panelOrder_.rend(); ++it) {
        const PanelState& p = face_.panel(*it);
        const Rect area{p.left, p.top, p.width, p.height};
        if (!p.visible || !area.contains(point)) continue;
        if (const auto surface = surfaceOf(*it))
            if (auto hit = topmostOn(*surface, {point.x - p.left, point.y - p.top})) return hit;
        return ControlRef(*it);
    }
    return topmostOn(Parent::Window, point);
}

Point FaceDrawing::local(ControlRef control, Point windowPoint) const {
    if (control.kind == Kind::Panel) {
        const PanelState& p = face_.panel(control.panel());
        return {windowPoint.x - p.left, windowPoint.y - p.top};
    }
    const int slot = slotOf(control);
    if (slot < 0) return windowPoint;
    const LayoutEntry& e = *controls_[static_cast<std::size_t>(slot)].entry;
    const Point origin = originOf(e.parent);
    return {windowPoint.x - origin.x - e.left, windowPoint.y - origin.y - e.top};
}

void FaceDrawing::paint(Parent surface, const Rect& dirty,
                        const std::function<void(const DrawItem&)>& draw) const {
    for (int slot : bySurface_[static_cast<std::size_t>(surface)]) {
        const Control& c = controls_[static_cast<std::size_t>(slot)];
        const Rect r = rectOnSurface(c);
        if (r.empty() || !r.intersects(dirty)) continue;
        const LayoutEntry& e = *c.entry;
        switch (e.control.kind) {
        case Kind::Image: {
            const Image picture = face_.picture(e.control.image());
            if (picture != kNoPicture) draw(DrawItem{DrawItem::What::Picture, r, picture, e.seeThrough});
            break;
        }
        case Kind::Label: {
            const LabelState& label = face_.label(e.control.label());
            DrawItem item{DrawItem::What::Text, r};
            item.text = &label.text;
            item.font = &e.font;
            item.color = label.color;
            draw(item);
            break;
        }
        case Kind::Gauge: {
            DrawItem item{DrawItem::What::Gauge, r};
            item.filledWidth = std::clamp(face_.gauge().percent(), 0, 100) * r.width / 100;
            draw(item);
            break;
        }
        case Kind::Panel: break;
        }
    }
    if (focusMark_ && focusMark_->surface == surface && focusMark_->rect.intersects(dirty)) {
        DrawItem item{DrawItem::What::FocusMark, focusMark_->rect};
        item.color = kFocusMarkColor;
        draw(item);
    }
}

std::vector<DirtyArea> FaceDrawing::setFocusMark(const std::optional<DirtyArea>& mark) {
    const auto same = [](const std::optional<DirtyArea>& a, const std::optional<DirtyArea>& b) {
        return a.has_value() == b.has_value() && (!a || (a->surface == b->surface && a->rect == b->rect));
    };
    if (same(mark, focusMark_)) return {};
    std::vector<DirtyArea> areas;
    if (focusMark_) areas.push_back(*focusMark_);
    if (mark) areas.push_back(*mark);
    focusMark_ = mark;
    return areas;
}

void FaceDrawing::changed(int slot, std::vector<DirtyArea>& areas) {
    if (slot < 0) return;
    Control& c = controls_[static_cast<std::size_t>(slot)];
    const Rect now = rectOnSurface(c);
    areas.push_back({c.entry->parent, c.shown});
    if (now != c.shown) areas.push_back({c.entry->parent, now});
    c.shown = now;
}

std::vector<DirtyArea> FaceDrawing::changedAreas(const FaceChanges& changes) {
    std::vector<DirtyArea> areas;
    for (std::size_t i = 0; i < kImageCount; ++i)
        if (changes.images.test(i)) changed(imageSlot_[i], areas);
    for (std::size_t i = 0; i < kLabelCount; ++i)
        if (changes.labels.test(i)) changed(labelSlot_[i], areas);
    if (changes.gauge) changed(gaugeSlot_, areas);
    return areas;
}

void keyOutCornerColour(std::uint32_t* pixels, int width, int height, std::size_t stride) {
    if (pixels == nullptr || width <= 0 || height <= 0) return;
    const std::uint32_t key = pixels[static_cast<std::size_t>(height - 1) * stride];
    for (int y = 0; y < height; ++y) {
        std::uint32_t* line = pixels + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < width; ++x)
            if (line[x] == key) line[x] = 0;
    }
}

bool picturesDrawnAsTheyAre(double ratio) {
    const double fromDoubled = ratio / 2;
    return ratio == 1.0 || fromDoubled == std::floor(fromDoubled);
}

Rect onDeviceGrid(double left, double top, double right, double bottom) {
    // Half away from zero, as Qt rounds the panels' own geometry; window coordinates are positive.
    const auto edge = [](double v) { return static_cast<int>(std::lround(v)); };
    return {edge(left), edge(top), edge(right) - edge(left), edge(bottom) - edge(top)};
}

} // namespace quelvex
