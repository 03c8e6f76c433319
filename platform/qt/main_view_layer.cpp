// The emblem's picture layer: which frames it keeps, and when the view paints the emblem itself.
#include "platform/qt/main_view.h"

#include <QPainter>

#include <cmath>

namespace quelvex {

void MainView::setPictureLayer(PictureLayerFactory makeLayer) {
    makeLayer_ = std::move(makeLayer);
    if (!makeLayer_) {
        if (layerShown_) update(layerArea_);
        layerShown_ = false;
        layer_.reset();
    }
}

bool MainView::layerFits(const QRect& area, qreal ratio) const {
    // At a fractional ratio, pictures are laid on the device's grid from the window's corner.
    if (area.isEmpty() || ratio != std::floor(ratio) || !rect().contains(area)) return false;
    // A panel is a surface over the window, and the layer would lie over it.
    for (std::size_t i = 0; i < kPanelCount; ++i) {
        const PanelState& p = face_.panel(static_cast<Panel>(i));
        if (p.visible && area.intersects(QRect(p.left, p.top, p.width, p.height))) return false;
    }
    return true;
}

int MainView::layerSlotFor(const QRect& area, qreal ratio) {
    const LayerFrame wanted{layerScene_, face_.picture(kLayered), area, ratio, 0};
    int slot = 0;
    for (int i = 0; i < PictureLayer::kSlots; ++i) {
        LayerFrame& f = layerFrames_[static_cast<std::size_t>(i)];
        if (f.ratio > 0 && f.sameFrame(wanted)) {
            f.lastUsed = ++layerUses_;
            return i;
        }
        if (f.lastUsed < layerFrames_[static_cast<std::size_t>(slot)].lastUsed) slot = i;
    }
    // A frame not seen yet takes the place of the one unused longest.
    layer_->forget(slot);
    layerFrames_[static_cast<std::size_t>(slot)] = wanted;
    layerFrames_[static_cast<std::size_t>(slot)].lastUsed = ++layerUses_;
    return slot;
}

// The area as paintEvent paints it, in an image of the device's pixels.
QImage MainView::renderArea(const QRect& area, qreal ratio) const {
    QImage image(area.size() * static_cast<int>(ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    painter.translate(-area.topLeft());
    painter.fillRect(area, palette().color(QPalette::Button));
    paintControls(painter, Parent::Window, area);
    return image;
}

void MainView::followLayer() {
    const QRect area = controlRect(kLayered);
    const qreal ratio = devicePixelRatioF();
    if (layerFits(area, ratio) && internalWinId() != 0) {
        if (!layer_) {
            layer_ = makeLayer_(*this);
            // None on this platform: the view paints the control from now on.
            if (!layer_) {
                makeLayer_ = nullptr;
                return;
            }
        }
        const int scale = static_cast<int>(ratio);
        const int slot = layerSlotFor(area, ratio);
        if (layer_->show(slot, QRect(area.topLeft() * scale, area.size() * scale),
                         [&] { return renderArea(area, ratio); })) {
            if (layerShown_ && layerArea_ != area) update(layerArea_);
            layerShown_ = true;
            layerArea_ = area;
            return;
        }
    }
    if (!layerShown_) return;
    layer_->hide();
    update(layerArea_);
    layerShown_ = false;
}

} // namespace quelvex
