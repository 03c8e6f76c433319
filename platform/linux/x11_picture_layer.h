// The picture layer on X11: a child window of the host's, whose background is one of the frames,
// kept as pixmaps on the server. Showing a kept frame is two requests (the background, a clear)
// and the server draws it from its own memory, with no repaint of the host's backing store. The
// child takes no input: the pointer passes through it to the host, as if it were not there.
#pragma once

#include "platform/qt/picture_layer.h"

#include <array>
#include <cstdint>

struct xcb_connection_t;

namespace quelvex {

class X11PictureLayer final : public PictureLayer {
  public:
    // None unless the application runs on X11 with the shape extension (for the pass-through).
    static std::unique_ptr<PictureLayer> create(QWidget& host);
    ~X11PictureLayer() override;

    bool show(int slot, const QRect& deviceRect, const std::function<QImage()>& render) override;
    void hide() override;
    void forget(int slot) override;

  private:
    X11PictureLayer(QWidget& host, xcb_connection_t* connection);
    // Makes the child window on the host's current window; false while the host has none or its
    // pixels are in a format this does not write.
    bool ready();
    bool store(int slot, const QImage& image);
    void release();

    QWidget& host_;
    xcb_connection_t* c_;
    std::uint32_t parent_ = 0; // the host's window the child was made on
    std::uint32_t window_ = 0;
    std::uint32_t gc_ = 0;
    std::uint8_t depth_ = 0;
    bool unusable_ = false; // the host's window has a pixel format this does not write
    bool mapped_ = false;
    int shown_ = -1;
    QRect geometry_;
    std::array<std::uint32_t, kSlots> pixmaps_{};
    std::array<QSize, kSlots> sizes_{};
};

} // namespace quelvex
