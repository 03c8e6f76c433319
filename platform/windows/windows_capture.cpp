#include "platform/windows/windows_capture.h"

#include "actions/jpeg_writer.h"

#include <dwmapi.h>

#include <cstdio>

namespace quelvex {
namespace {

std::string captureFailed(const std::string& fileName, const char* why) {
    std::fprintf(stderr, "quelvex: capture failed: %s\n", why);
    std::fflush(stderr);
    return "Cannot create file " + fileName;
}

} // namespace

WindowsScreenGrab::~WindowsScreenGrab() {
    if (memory_) SelectObject(memory_, original_);
    if (bitmap_) DeleteObject(bitmap_);
    if (memory_) DeleteDC(memory_);
}

// The bitmap is made again only when the screen's size has changed.
bool WindowsScreenGrab::ensureBitmap(int width, int height) {
    if (bitmap_ && width == width_ && height == height_) return true;
    if (!memory_) memory_ = CreateCompatibleDC(nullptr);
    if (!memory_) return false;
    if (bitmap_) {
        SelectObject(memory_, original_);
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first, as the JPEG writer reads them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (!bitmap_) return false;
    original_ = SelectObject(memory_, bitmap_);
    width_ = width;
    height_ = height;
    return true;
}

std::optional<std::string> WindowsScreenGrab::captureTo(const std::string& fileName) {
    if (beforeGrab_) beforeGrab_();
    // A hidden window leaves the screen only once the compositor has drawn a frame without it.
    DwmFlush();

    // The process is DPI aware: these are the primary screen's device pixels.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0 || !ensureBitmap(width, height))
        return captureFailed(fileName, "no bitmap for the screen");
    const HDC screen = GetDC(nullptr);
    if (!screen) return captureFailed(fileName, "the screen cannot be read");
    // CAPTUREBLT takes layered windows too, as the screen shows them.
    const bool copied = BitBlt(memory_, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT) != 0;
    ReleaseDC(nullptr, screen);
    GdiFlush(); // the pixels are read straight from the bitmap's memory
    if (!copied) return captureFailed(fileName, "the screen cannot be read");

    const Rgb32Pixels pixels{static_cast<const std::uint8_t*>(bits_), width, height,
                             static_cast<std::size_t>(width) * 4};
    if (auto why = writeJpeg(fileName, pixels)) return captureFailed(fileName, why->c_str());
    return std::nullopt;
}

} // namespace quelvex
