// A small surface of the window system's own, laid over part of a window, that shows one of a few
// frames the window system keeps. Changing the frame is a request of a few bytes instead of a
// repaint and a copy of pixels: the emblem turns twenty times a second on one.
#pragma once

#include <QImage>
#include <QRect>

#include <functional>
#include <memory>

class QWidget;

namespace quelvex {

class PictureLayer {
  public:
    // How many frames a layer holds at once.
    static constexpr int kSlots = 8;

    virtual ~PictureLayer() = default;

    // Shows the frame kept in `slot` at `deviceRect` (device pixels of the host window), made
    // first with `render` when the slot is empty; the image must have the rectangle's size.
    // False when the layer cannot show it now (no window yet, a pixel format it does not write):
    // the host then paints the area itself.
    virtual bool show(int slot, const QRect& deviceRect, const std::function<QImage()>& render) = 0;
    // Takes the layer off the window, keeping its frames.
    virtual void hide() = 0;
    // Empties a slot, to hold another frame.
    virtual void forget(int slot) = 0;
};

// Makes a layer over a widget's window; none where the platform has no such surface.
using PictureLayerFactory = std::function<std::unique_ptr<PictureLayer>(QWidget& host)>;

} // namespace quelvex
