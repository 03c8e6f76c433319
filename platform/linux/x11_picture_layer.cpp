#include "platform/linux/x11_picture_layer.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace quelvex {
namespace {

template <typename T>
struct Reply {
    T* p;
    explicit Reply(T* reply) : p(reply) {}
    ~Reply() { std::free(p); }
    Reply(const Reply&) = delete;
    Reply& operator=(const Reply&) = delete;
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

// Pixels this writes as they lie in a QImage: 32 bits a pixel, 8 bits a channel, red highest,
// least significant byte first on the wire as in memory.
bool writesPixelsOf(xcb_connection_t* c, std::uint8_t depth, xcb_visualid_t visual) {
    if (depth != 24 && depth != 32) return false;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const auto order =
        std::endian::native == std::endian::little ? XCB_IMAGE_ORDER_LSB_FIRST : XCB_IMAGE_ORDER_MSB_FIRST;
    if (setup->image_byte_order != order) return false;
    bool format32 = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f))
        if (f.data->depth == depth) format32 = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
    if (!format32) return false;
    for (auto s = xcb_setup_roots_iterator(setup); s.rem > 0; xcb_screen_next(&s))
        for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem > 0; xcb_depth_next(&d)) {
            if (d.data->depth != depth) continue;
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v))
                if (v.data->visual_id == visual)
                    return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == 0xFF0000 &&
                           v.data->green_mask == 0x00FF00 && v.data->blue_mask == 0x0000FF;
        }
    return false;
}

// The input shape lets the pointer through a window only from version 1.1 on.
bool hasInputShape(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* shape = xcb_get_extension_data(c, &xcb_shape_id);
    if (shape == nullptr || !shape->present) return false;
    const Reply version(xcb_shape_query_version_reply(c, xcb_shape_query_version(c), nullptr));
    return version && (version->major_version > 1 || (version->major_version == 1 && version->minor_version >= 1));
}

} // namespace

std::unique_ptr<PictureLayer> X11PictureLayer::create(QWidget& host) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (c == nullptr || xcb_connection_has_error(c)) return nullptr;
    return std::unique_ptr<PictureLayer>(new X11PictureLayer(host, c));
}

X11PictureLayer::X11PictureLayer(QWidget& host, xcb_connection_t* connection) : host_(host), c_(connection) {}

X11PictureLayer::~X11PictureLayer() {
    release();
    xcb_flush(c_);
}

void X11PictureLayer::release() {
    for (int slot = 0; slot < kSlots; ++slot)
        forget(slot);
    if (gc_ != 0) xcb_free_gc(c_, gc_);
    gc_ = 0;
    // A child made on a window that is gone went with it.
    if (window_ != 0 && static_cast<std::uint32_t>(host_.internalWinId()) == parent_)
        xcb_destroy_window(c_, window_);
    window_ = 0;
    mapped_ = false;
}

bool X11PictureLayer::ready() {
    if (unusable_) return false;
    const auto parent = static_cast<std::uint32_t>(host_.internalWinId());
    if (parent == 0) return false;
    if (window_ != 0 && parent == parent_) return true;

    // First use, or the host's window was made again: the old child went with the old window.
    window_ = 0;
    mapped_ = false;
    shown_ = -1;
    geometry_ = {};
    const Reply geometry(xcb_get_geometry_reply(c_, xcb_get_geometry(c_, parent), nullptr));
    const Reply attributes(xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, parent), nullptr));
    if (!geometry || !attributes || !writesPixelsOf(c_, geometry->depth, attributes->visual) ||
        (parent_ == 0 && !hasInputShape(c_))) {
        unusable_ = true;
        return false;
    }
    if (geometry->depth != depth_) {
        // Frames and the GC are made for one depth.
        release();
        depth_ = geometry->depth;
    }
    parent_ = parent;
    window_ = xcb_generate_id(c_);
    // Depth, visual, colormap and border all those of the host's window; no background until a
    // frame is set, no events selected: what the pointer does reaches the host.
    const std::uint32_t values[] = {XCB_BACK_PIXMAP_NONE};
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, parent_, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXMAP, values);
    xcb_shape_rectangles(c_, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED, window_, 0, 0, 0,
                         nullptr);
    geometry_ = QRect(0, 0, 1, 1);
    return true;
}

bool X11PictureLayer::store(int slot, const QImage& image) {
    const QImage pixels =
        image.convertToFormat(depth_ == 32 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const auto width = static_cast<std::uint16_t>(pixels.width());
    const auto height = static_cast<std::uint16_t>(pixels.height());
    if (pixels.isNull() || width != pixels.width() || height != pixels.height()) return false;
    auto& pixmap = pixmaps_[static_cast<std::size_t>(slot)];
    if (pixmap != 0 && sizes_[static_cast<std::size_t>(slot)] != pixels.size()) forget(slot);
    if (pixmap == 0) {
        pixmap = xcb_generate_id(c_);
        xcb_create_pixmap(c_, depth_, pixmap, window_, width, height);
        sizes_[static_cast<std::size_t>(slot)] = pixels.size();
    }
    if (gc_ == 0) {
        gc_ = xcb_generate_id(c_);
        xcb_create_gc(c_, gc_, pixmap, 0, nullptr);
    }
    // In bands of whole lines that each fit one request.
    const auto line = static_cast<std::size_t>(pixels.bytesPerLine());
    const std::size_t room = static_cast<std::size_t>(xcb_get_maximum_request_length(c_)) * 4 - 64;
    const int band = static_cast<int>(std::max<std::size_t>(1, room / line));
    for (int y = 0; y < height; y += band) {
        const int lines = std::min(band, height - y);
        xcb_put_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc_, width, static_cast<std::uint16_t>(lines), 0,
                      static_cast<std::int16_t>(y), 0, depth_, static_cast<std::uint32_t>(line * lines),
                      pixels.constScanLine(y));
    }
    return true;
}

bool X11PictureLayer::show(int slot, const QRect& deviceRect, const std::function<QImage()>& render) {
    if (slot < 0 || slot >= kSlots || deviceRect.isEmpty() || !ready()) return false;
    const auto s = static_cast<std::size_t>(slot);
    if (pixmaps_[s] == 0 || sizes_[s] != deviceRect.size()) {
        const QImage image = render();
        if (image.size() != deviceRect.size() || !store(slot, image)) return false;
        // The window may show the old pixels of the same pixmap.
        if (shown_ == slot) shown_ = -1;
    }
    if (deviceRect != geometry_) {
        const std::uint32_t values[] = {static_cast<std::uint32_t>(deviceRect.x()),
                                        static_cast<std::uint32_t>(deviceRect.y()),
                                        static_cast<std::uint32_t>(deviceRect.width()),
                                        static_cast<std::uint32_t>(deviceRect.height())};
        xcb_configure_window(c_, window_,
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                                 XCB_CONFIG_WINDOW_HEIGHT,
                             values);
        geometry_ = deviceRect;
    }
    if (slot != shown_) {
        const std::uint32_t values[] = {pixmaps_[s]};
        xcb_change_window_attributes(c_, window_, XCB_CW_BACK_PIXMAP, values);
        // Mapping draws the background; a mapped window is redrawn with it here.
        if (mapped_) xcb_clear_area(c_, 0, window_, 0, 0, 0, 0);
        shown_ = slot;
    }
    if (!mapped_) {
        xcb_map_window(c_, window_);
        mapped_ = true;
    }
    xcb_flush(c_);
    return true;
}

void X11PictureLayer::hide() {
    if (!mapped_) return;
    mapped_ = false;
    if (window_ == 0 || static_cast<std::uint32_t>(host_.internalWinId()) != parent_) return;
    xcb_unmap_window(c_, window_);
    xcb_flush(c_);
}

void X11PictureLayer::forget(int slot) {
    if (slot < 0 || slot >= kSlots) return;
    auto& pixmap = pixmaps_[static_cast<std::size_t>(slot)];
    // The server keeps a pixmap a window still shows until the window lets go of it.
    if (pixmap != 0) xcb_free_pixmap(c_, pixmap);
    pixmap = 0;
    sizes_[static_cast<std::size_t>(slot)] = {};
    if (shown_ == slot) shown_ = -1;
}

} // namespace quelvex
