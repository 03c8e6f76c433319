#include "platform/linux/screen_grab.h"

#include "actions/jpeg_writer.h"
#include "platform/linux/portal_screenshot.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>

#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <system_error>
#include <thread>

namespace quelvex {
namespace {

struct Area {
    int x = 0, y = 0, width = 0, height = 0;
};

// The primary screen's part of the root window, in device pixels. Qt keeps a screen's geometry
// in scaled pixels, rounded: at 175 % a 1280-pixel screen is 731 wide, which is 1279.25 device
// pixels. An edge that close to the root's is the root's edge.
std::optional<Area> primaryScreenArea(int rootWidth, int rootHeight) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return std::nullopt;
    const qreal ratio = screen->devicePixelRatio();
    const QRect g = screen->geometry();
    const auto device = [ratio](int scaled, int rootEdge) {
        const int d = static_cast<int>(std::lround(scaled * ratio));
        return std::abs(d - rootEdge) < ratio ? rootEdge : d;
    };
    Area a;
    a.x = std::clamp(device(g.x(), 0), 0, rootWidth - 1);
    a.y = std::clamp(device(g.y(), 0), 0, rootHeight - 1);
    a.width = std::clamp(device(g.x() + g.width(), rootWidth), a.x + 1, rootWidth) - a.x;
    a.height = std::clamp(device(g.y() + g.height(), rootHeight), a.y + 1, rootHeight) - a.y;
    return a;
}

} // namespace

// Reads a rectangle of the root window over the X connection Qt itself uses. The server carries
// out one connection's requests in order, so whatever Qt has queued before (the unmap of a window
// that has just been hidden) is done before the pixels are read. With MIT-SHM the server writes
// the pixels straight into a shared segment that is kept from one capture to the next and
// replaced only when the size changes.
//
// A new segment makes the first grab into it several times dearer than the next ones: the
// server and this process each map its pages one fault at a time (2025 pages at 1920x1080, the
// larger part of that grab's time on virtual machines). warmUp pays that ahead.
class X11Grabber {
  public:
    // Nothing when the screen's pixels are not 32-bit xRGB words in this machine's byte order.
    static std::unique_ptr<X11Grabber> create(xcb_connection_t* c);
    ~X11Grabber();
    X11Grabber(const X11Grabber&) = delete;
    X11Grabber& operator=(const X11Grabber&) = delete;

    // The pixels stay valid until the next grab. Nothing when the server refuses.
    std::optional<Rgb32Pixels> grab(const Area& area);

    // Readies the segment for grabs of this size without waiting: the server is asked for a
    // picture into it whose reply is dropped, and a thread of its own reads one byte of every
    // page on this side.
    void warmUp(const Area& area);

    int rootWidth = 0;
    int rootHeight = 0;

  private:
    X11Grabber(xcb_connection_t* c, xcb_window_t root) : c_(c), root_(root) {}
    bool ensureSegment(std::size_t bytes);
    void releaseSegment();
    void finishWarmUp();
    xcb_shm_get_image_cookie_t requestIntoSegment(const Area& area);

    xcb_connection_t* c_;
    xcb_window_t root_;
    bool shmUsable_ = false;
    xcb_shm_seg_t segment_ = 0;
    void* shmAddress_ = nullptr;
    std::size_t shmBytes_ = 0;
    bool warm_ = false; // the segment has been grabbed into, or is being warmed
    std::thread toucher_;
    xcb_get_image_reply_t* reply_ = nullptr; // the last picture when shared memory is not available
};

std::unique_ptr<X11Grabber> X11Grabber::create(xcb_connection_t* c) {
    if (c == nullptr || xcb_connection_has_error(c)) return nullptr;
    const xcb_setup_t* setup = xcb_get_setup(c);
    char* host = nullptr;
    int display = 0;
    int screenNumber = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screenNumber) == 0) screenNumber = 0;
    std::free(host);
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screenNumber && roots.rem > 1; ++i)
        xcb_screen_next(&roots);
    const xcb_screen_t* screen = roots.data;
    if (screen == nullptr) return nullptr;

    const auto order =
        std::endian::native == std::endian::little ? XCB_IMAGE_ORDER_LSB_FIRST : XCB_IMAGE_ORDER_MSB_FIRST;
    if (setup->image_byte_order != order) return nullptr;
    bool format32 = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f))
        if (f.data->depth == screen->root_depth)
            format32 = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
    bool rgb = false;
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem > 0; xcb_depth_next(&d)) {
        if (d.data->depth != screen->root_depth) continue;
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v))
            if (v.data->visual_id == screen->root_visual)
                rgb = v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == 0xff0000 &&
                      v.data->green_mask == 0x00ff00 && v.data->blue_mask == 0x0000ff;
    }
    if (!format32 || !rgb) return nullptr;

    std::unique_ptr<X11Grabber> grabber(new X11Grabber(c, screen->root));
    grabber->rootWidth = screen->width_in_pixels;
    grabber->rootHeight = screen->height_in_pixels;
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c, &xcb_shm_id);
    if (shm != nullptr && shm->present) {
        xcb_shm_query_version_reply_t* version =
            xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr);
        grabber->shmUsable_ = version != nullptr;
        std::free(version);
    }
    return grabber;
}

X11Grabber::~X11Grabber() {
    releaseSegment();
    std::free(reply_);
}

bool X11Grabber::ensureSegment(std::size_t bytes) {
    if (shmBytes_ == bytes) return true;
    releaseSegment();
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return false;
    void* address = shmat(id, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return false;
    }
    const xcb_shm_seg_t segment = xcb_generate_id(c_);
    xcb_generic_error_t* error = xcb_request_check(c_, xcb_shm_attach_checked(c_, segment, id, 0));
    // Marked for removal at once: the kernel frees it when both sides have detached, even if
    // this process dies.
    shmctl(id, IPC_RMID, nullptr);
    if (error != nullptr) {
        // A server that cannot see this process's memory (another host, another container).
        std::free(error);
        shmdt(address);
        shmUsable_ = false;
        return false;
    }
    segment_ = segment;
    shmAddress_ = address;
    shmBytes_ = bytes;
    warm_ = false;
    return true;
}

void X11Grabber::releaseSegment() {
    finishWarmUp();
    if (shmAddress_ == nullptr) return;
    // The connection is Qt's and goes with the application.
    if (QGuiApplication::instance() != nullptr)
        std::free(xcb_request_check(c_, xcb_shm_detach_checked(c_, segment_)));
    shmdt(shmAddress_);
    shmAddress_ = nullptr;
    shmBytes_ = 0;
}

xcb_shm_get_image_cookie_t X11Grabber::requestIntoSegment(const Area& a) {
    return xcb_shm_get_image(c_, root_, static_cast<std::int16_t>(a.x), static_cast<std::int16_t>(a.y),
                             static_cast<std::uint16_t>(a.width), static_cast<std::uint16_t>(a.height), ~0u,
                             XCB_IMAGE_FORMAT_Z_PIXMAP, segment_, 0);
}

void X11Grabber::warmUp(const Area& area) {
    const std::size_t bytes =
        static_cast<std::size_t>(area.width) * 4 * static_cast<std::size_t>(area.height);
    if (!shmUsable_ || !ensureSegment(bytes) || warm_) return;
    warm_ = true;
    // A later grab's request comes after this one, so its pixels are never this one's.
    xcb_discard_reply(c_, requestIntoSegment(area).sequence);
    xcb_flush(c_);
    const auto* pages = static_cast<const volatile std::uint8_t*>(shmAddress_);
    const auto pageSize = static_cast<std::size_t>(std::max(4096L, ::sysconf(_SC_PAGESIZE)));
    try {
        toucher_ = std::thread([pages, bytes, pageSize] {
            for (std::size_t i = 0; i < bytes; i += pageSize)
                static_cast<void>(pages[i]);
        });
    } catch (const std::system_error&) {
        // No thread to spare: the first grab touches the pages itself, as without a warm-up.
    }
}

// The segment stays attached while the toucher reads it.
void X11Grabber::finishWarmUp() {
    if (toucher_.joinable()) toucher_.join();
}

std::optional<Rgb32Pixels> X11Grabber::grab(const Area& area) {
    const auto [x, y, width, height] = area;
    const auto w = static_cast<std::uint16_t>(width);
    const auto h = static_cast<std::uint16_t>(height);
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    const std::size_t bytes = stride * static_cast<std::size_t>(height);
    finishWarmUp();
    if (shmUsable_ && ensureSegment(bytes)) {
        warm_ = true;
        xcb_generic_error_t* error = nullptr;
        xcb_shm_get_image_reply_t* reply = xcb_shm_get_image_reply(c_, requestIntoSegment(area), &error);
        const bool ok = reply != nullptr && reply->size >= bytes;
        std::free(reply);
        std::free(error);
        if (ok) return Rgb32Pixels{static_cast<const std::uint8_t*>(shmAddress_), width, height, stride};
    }
    std::free(reply_);
    xcb_generic_error_t* error = nullptr;
    reply_ =
        xcb_get_image_reply(c_,
                            xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, static_cast<std::int16_t>(x),
                                          static_cast<std::int16_t>(y), w, h, ~0u),
                            &error);
    std::free(error);
    if (reply_ == nullptr || static_cast<std::size_t>(xcb_get_image_data_length(reply_)) < bytes) return {};
    return Rgb32Pixels{xcb_get_image_data(reply_), width, height, stride};
}

DesktopScreenGrab::DesktopScreenGrab(ErrorDisplay& errors) : errors_(errors) {}
DesktopScreenGrab::~DesktopScreenGrab() = default;

void DesktopScreenGrab::setBeforeGrab(std::function<void()> hook) {
    beforeGrab_ = std::move(hook);
}

void DesktopScreenGrab::setPortalWaitingHook(std::function<void(bool)> hook) {
    portalWaiting_ = std::move(hook);
    if (portal_) portal_->setWaitingHook(portalWaiting_);
}

// Decided at the first capture or warm-up, when the application is sure to run.
// QUELVEX_CAPTURE=portal, x11 or qt overrides the choice, for desktops where the usual one fails
// (an X11 program under XWayland sees only its own windows).
void DesktopScreenGrab::chooseMethod() {
    const QByteArray forced = qgetenv("QUELVEX_CAPTURE");
    const QString platform = QGuiApplication::platformName();
    if (forced == "portal" || (forced.isEmpty() && platform.startsWith(QLatin1String("wayland"))))
        method_ = Method::Portal;
    else if (forced == "qt")
        method_ = Method::Qt;
    else
        method_ = platform == QLatin1String("xcb") ? Method::X11 : Method::Qt;

    if (method_ == Method::X11) {
        auto* x11 =
            qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        x11_ = X11Grabber::create(x11 != nullptr ? x11->connection() : nullptr);
        if (!x11_) method_ = Method::Qt; // an unusual visual: Qt converts it
    } else if (method_ == Method::Portal) {
        portal_ = std::make_unique<PortalScreenshot>(errors_);
        portal_->setWaitingHook(portalWaiting_);
    }
}

std::optional<std::string> DesktopScreenGrab::captureTo(const std::string& fileName) {
    if (method_ == Method::Undecided) chooseMethod();
    if (beforeGrab_) beforeGrab_();

    switch (method_) {
    case Method::Portal:
        if (auto why = portal_->request(fileName)) return captureFailed(fileName, *why);
        return std::nullopt;
    case Method::X11: {
        const auto area = primaryScreenArea(x11_->rootWidth, x11_->rootHeight);
        if (!area) return captureFailed(fileName, "no screen");
        const auto pixels = x11_->grab(*area);
        if (!pixels) return captureFailed(fileName, "the X server did not hand over the screen");
        if (auto why = writeJpeg(fileName, *pixels)) return captureFailed(fileName, *why);
        return std::nullopt;
    }
    case Method::Qt:
    case Method::Undecided: break;
    }
    return captureWithQt(fileName);
}

void DesktopScreenGrab::prepare() {
    if (method_ == Method::Undecided) chooseMethod();
    if (method_ != Method::X11) return;
    const auto area = primaryScreenArea(x11_->rootWidth, x11_->rootHeight);
    if (!area) return;
    x11_->warmUp(*area);
    warmUpJpegEncoder(area->width);
}

bool DesktopScreenGrab::capturePending() const {
    return portal_ && portal_->waiting();
}

std::optional<std::string> DesktopScreenGrab::captureWithQt(const std::string& fileName) {
    QScreen* screen = QGuiApplication::primaryScreen();
    QImage image = screen != nullptr ? screen->grabWindow(0).toImage() : QImage();
    if (image.isNull()) return captureFailed(fileName, "the screen cannot be read on this platform");
    if (auto why = writeImageAsJpeg(fileName, std::move(image))) return captureFailed(fileName, *why);
    return std::nullopt;
}

} // namespace quelvex
